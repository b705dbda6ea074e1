// The stand-in update server's answers, on byte buffers: the chunks and
// refusals, the losses it is told to make. Its file information and whole
// downloads are what the server e2e tests pull; a request with a spoilt sum
// or an unknown code is refused by the readers it shares with the program,
// which the datagrams test holds.
#include "update_server.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "datagram/datagrams.h"
#include "net/file_requests.h"
#include "storage/bytes.h"
#include "storage/file_system.h"

namespace trelvan {
namespace {

struct Exchange {
  UpdateServer server;
  std::vector<uint8_t> file = std::vector<uint8_t>(1000);  // served as "Lamp"
  uint8_t reply[1024];
  uint32_t replyLength = 0;

  Exchange() {
    // a storage file: its header, then bytes counting up
    const int header = StorageBuildHeader(file.data(), "Lamp", "", "Program", "1.00");
    for (size_t i = static_cast<size_t>(header); i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 7);
    EXPECT_TRUE(AddServedFile(server, file.data(), static_cast<uint32_t>(file.size())));
    EXPECT_EQ(ApplyRevisionIndex(server, "# comment\n\nLamp\t2.50\r\nGone\t1.00\nno tab\n"), 2);
  }
  // A request datagram: magic, payload, sequence and sum.
  static std::vector<uint8_t> Datagram(const uint8_t* payload, uint32_t n, uint16_t sequence) {
    std::vector<uint8_t> d(600);
    WriteU32LE(d.data(), kMagicToPeer);
    std::memcpy(d.data() + 4, payload, n);
    d.resize(4 + CompleteServerRequest(d.data() + 4, n, sequence));
    return d;
  }
  // The reply's body (magic taken off) is at reply + 4.
  uint32_t Serve(const std::vector<uint8_t>& d) {
    std::string line;
    replyLength = ServeDatagram(server, d.data(), static_cast<uint32_t>(d.size()), reply, &line);
    EXPECT_FALSE(line.empty());
    return replyLength;
  }
  uint32_t Info(const char* name, uint16_t sequence) {
    uint8_t p[64];
    return Serve(Datagram(p, BuildFileInfoRequest(p, name), sequence));
  }
  uint32_t Data(const char* name, uint32_t offset, uint16_t count, uint16_t sequence) {
    uint8_t p[64];
    return Serve(Datagram(p, BuildFileDataRequest(p, name, "2.50", offset, count), sequence));
  }
  const uint8_t* Body() const { return reply + kMagicLength; }
  uint32_t BodyLength() const { return replyLength - kMagicLength; }
};

TEST(UpdateServer, FileDataChunksAndRefusals) {
  struct Case { const char* name; uint32_t offset; uint16_t count; uint8_t status; uint32_t bytes; };
  const Case cases[] = {
      {"Lamp", 0, 400, 1, 400},   {"Lamp", 600, 400, 1, 400}, {"Lamp", 601, 400, 1, 399},
      {"Lamp", 995, 400, 1, 5},   {"Lamp", 1000, 400, 1, 0},  {"Lamp", 1001, 1, 0, 0},
      {"Lamp", 0, 401, 0, 0},     {"Lamp~", 0, 10, 0, 0},
  };
  for (const Case& c : cases) {
    Exchange x;
    ASSERT_NE(x.Data(c.name, c.offset, c.count, 0xFFFF), 0u);
    SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.offset));
    EXPECT_EQ(x.Body()[0], c.status);
    EXPECT_EQ(FileDataReplyCount(x.BodyLength()), c.bytes);
    EXPECT_EQ(0, std::memcmp(x.Body() + kFileDataReplyHeader, x.file.data() + c.offset, c.bytes));
    EXPECT_TRUE(VerifyServerReply(x.Body(), x.BodyLength()));
    EXPECT_EQ(ReplySequence(x.Body(), x.BodyLength()), 0xFFFF);
  }
}

// Another's magic and a datagram too short for one are not answered; a file
// without a storage header is not served.
TEST(UpdateServer, WhatIsNotAnswered) {
  Exchange x;
  uint8_t p[64];
  std::vector<uint8_t> d = Exchange::Datagram(p, BuildFileInfoRequest(p, "Lamp"), 9);
  WriteU32LE(d.data(), kMagicFromServer);
  EXPECT_EQ(x.Serve(d), 0u);
  d.resize(3);
  EXPECT_EQ(x.Serve(d), 0u);
  const uint8_t headerless[4] = {'L', 'a', 'm', 'p'};
  EXPECT_FALSE(AddServedFile(x.server, headerless, sizeof headerless));
}

TEST(UpdateServer, DropCorruptAndStale) {
  Exchange x;
  x.server.options.dropEvery = 3;
  x.server.options.corruptEvery = 2;
  x.server.options.staleOnce = true;
  // datagrams 1..6: 3 and 6 dropped; replies 1..4: 2 and 4 spoilt; reply 1 stale
  const bool answered[] = {true, true, false, true, true, false};
  const bool sound[] = {true, false, true, false};
  int replies = 0;
  for (uint16_t i = 0; i < 6; ++i) {
    const uint16_t sequence = static_cast<uint16_t>(100 + i);
    ASSERT_EQ(x.Info("Lamp", sequence) != 0, answered[i]) << i;
    if (!answered[i]) continue;
    EXPECT_EQ(VerifyServerReply(x.Body(), x.BodyLength()), sound[replies]) << i;
    EXPECT_EQ(ReplySequence(x.Body(), x.BodyLength()), replies == 0 ? sequence - 1 : sequence) << i;
    ++replies;
  }
}

}  // namespace
}  // namespace trelvan
