// The datagram layouts of the server and simulator channels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "datagram/datagrams.h"
#include "net/file_requests.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Datagrams, ServerRequestAndReply) {
  uint8_t request[16] = {0x05, 0xFF, 0xFF};
  ASSERT_EQ(CompleteServerRequest(request, 3, 0x1234), 7u);
  // sequence 34 12, then the sum 05 + FF + FF + 34 + 12 = 0x0249
  EXPECT_EQ(Bytes(request, request + 7), (Bytes{0x05, 0xFF, 0xFF, 0x34, 0x12, 0x49, 0x02}));

  // A reply: content, the sequence it answers, the sum of all before. A
  // spoilt sum and the sequence read from its place are the downloads
  // test's (replies refused, every chunk accepted) and the stand-in server's.
  const uint8_t reply[] = {0x01, 0x02, 0x34, 0x12, 0x49, 0x00};
  EXPECT_TRUE(VerifyServerReply(reply, 6));
  EXPECT_FALSE(VerifyServerReply(reply, 1));

  uint8_t out[16];
  ASSERT_EQ(WrapDatagram(kMagicToPeer, reply, 2, out), 6u);
  EXPECT_EQ(Bytes(out, out + 6), (Bytes{0x81, 0x74, 0x23, 0x91, 0x01, 0x02}));
}

TEST(Datagrams, ReceivedDatagrams) {
  struct Case { const char* what; Bytes datagram; uint32_t capacity; int32_t result; Bytes payload; };
  const Bytes over(kOverRunText, kOverRunText + kOverRunLength);
  const Case cases[] = {
      {"server reply", {0x83, 0x74, 0x23, 0x91, 7, 8}, 512, 2, {7, 8}},
      {"simulator packet", {0x82, 0x74, 0x23, 0x91, 0x11, 0x11}, 256, 2, {0x11, 0x11}},
      {"another magic", {0x82, 0x74, 0x23, 0x91, 7}, 512, -1, {}},
      {"magic alone", {0x83, 0x74, 0x23, 0x91}, 512, 0, {}},
      {"shorter than a magic", {0x83, 0x74}, 512, 24, over},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    uint8_t buffer[512] = {};
    std::memcpy(buffer, c.datagram.data(), c.datagram.size());
    const uint32_t magic = c.capacity == 512 ? kMagicFromServer : kMagicFromSimulator;
    const int32_t n = UnwrapDatagram(buffer, c.capacity, static_cast<uint32_t>(c.datagram.size()), magic);
    EXPECT_EQ(n, c.result);
    if (n >= 0) {
      EXPECT_EQ(Bytes(buffer, buffer + n), c.payload);
    }
  }
  // A payload that fills the buffer is an over-run.
  uint8_t buffer[260] = {0x82, 0x74, 0x23, 0x91};
  EXPECT_EQ(UnwrapDatagram(buffer, 256, 260, kMagicFromSimulator), 24);
  EXPECT_EQ(std::memcmp(buffer, kOverRunText, 24), 0);
}

TEST(FileRequests, FieldsSitAtTheirOffsets) {
  uint8_t out[64];
  ASSERT_EQ(BuildFileDataRequest(out, "VH Pictures", "1.23", 0x01020304, 400), 46u);
  EXPECT_EQ(out[0], 0x15);
  EXPECT_STREQ(reinterpret_cast<char*>(out + 1), "VH Pictures");
  EXPECT_STREQ(reinterpret_cast<char*>(out + 33), "1.23");
  EXPECT_EQ(Bytes(out + 40, out + 46), (Bytes{4, 3, 2, 1, 0x90, 0x01}));
  FileRequest r;
  ASSERT_TRUE(ParseFileRequest(out, 46, r));
  EXPECT_EQ(std::make_tuple(std::string(r.name), std::string(r.revision), r.offset, r.count),
            std::make_tuple(std::string("VH Pictures"), std::string("1.23"), 0x01020304u, uint16_t{400}));
  EXPECT_FALSE(ParseFileRequest(out, 45, r)) << "a data request cut short";

  // A name longer than its field is cut to 31 characters both ways.
  const std::string longName(40, 'n');
  ASSERT_EQ(BuildFileInfoRequest(out, longName.c_str()), 33u);
  ASSERT_TRUE(ParseFileRequest(out, 33, r));
  EXPECT_EQ(std::string(r.name), std::string(31, 'n'));
  EXPECT_FALSE(ParseFileRequest(out, 32, r));
  out[0] = 0x16;
  EXPECT_FALSE(ParseFileRequest(out, 33, r)) << "an unknown code";

  // The information reply, closed by the sequence and sum, read back; a
  // name field without its zero ends at the field's end.
  FileInfoReply info{kServerStatusFound, "Station", "2.5", 123456};
  uint32_t n = BuildFileInfoReply(out, info);
  std::memset(out + 1, 'x', kServerNameField);
  n = CompleteServerRequest(out, n, 7);
  FileInfoReply back;
  ASSERT_TRUE(ParseFileInfoReply(out, n, back));
  EXPECT_EQ(std::make_tuple(back.status, std::string(back.name), std::string(back.revision), back.size),
            std::make_tuple(uint8_t{1}, std::string(31, 'x'), std::string("2.5"), 123456u));
  EXPECT_FALSE(ParseFileInfoReply(out, n - 1, back));

  const uint8_t data[3] = {9, 8, 7};
  n = CompleteServerRequest(out, BuildFileDataReply(out, kServerStatusFound, data, 3), 7);
  EXPECT_EQ(FileDataReplyCount(n), 3u);
  EXPECT_EQ(Bytes(out + 2, out + 5), (Bytes{9, 8, 7}));
  EXPECT_EQ(FileDataReplyCount(5), 0u) << "shorter than status, byte and trailer";
}

}  // namespace
}  // namespace trelvan
