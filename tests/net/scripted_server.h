// A tiny update server for the download and server-step tests: it answers
// the newest request sent on the fake network from a map of files, and its
// reply lands in the channel's slot as the receive thread would leave it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/file_requests.h"
#include "net/free_port.h"
#include "net/net.h"
#include "platform/fake/fake_platform.h"
#include "storage/bytes.h"
#include "storage/storage_fixture.h"

namespace trelvan {
namespace testing {

using Bytes = std::vector<uint8_t>;

struct ServerScript {
  std::map<std::string, Bytes> files;          /**< name -> whole content served */
  std::map<std::string, uint32_t> claimedSize;  /**< an information reply's size, when not the content's */
  bool silent = false;
  std::vector<uint16_t> dataCounts;  /**< the count of every data request answered */
  std::function<void(Bytes& reply, int n)> tamper;  /**< changes the n-th reply, trailer included */
  int replies = 0;
  size_t seen = 0;

  void Serve(FakeUdp& udp, ServerChannel& c) {
    const size_t count = udp.SentCount();
    if (silent || count == seen) return;
    seen = count;
    const Bytes d = udp.LastSent().bytes;
    const uint32_t n = static_cast<uint32_t>(d.size()) - 8;
    FileRequest q;
    if (!ParseFileRequest(d.data() + 4, n, q)) return;
    const auto f = files.find(q.name);
    const bool found = f != files.end();
    uint8_t body[600];
    uint32_t length;
    if (q.code == kFileInfoCode) {
      FileInfoReply info{static_cast<uint8_t>(found ? 1 : 0), {}, "1.07", 0};
      std::snprintf(info.name, sizeof info.name, "%s", q.name);
      if (found) info.size = claimedSize.count(q.name) ? claimedSize[q.name] : uint32_t(f->second.size());
      length = BuildFileInfoReply(body, info);
    } else {
      dataCounts.push_back(q.count);
      Bytes chunk(q.count, 0);
      for (uint32_t i = 0; found && i < q.count && q.offset + i < f->second.size(); ++i) {
        chunk[i] = f->second[q.offset + i];
      }
      length = BuildFileDataReply(body, found ? 1 : 0, chunk.data(), q.count);
    }
    Bytes reply(body, body + length);
    Seal(reply, ReadU16LE(d.data() + 4 + n));
    if (tamper) tamper(reply, replies);
    ++replies;
    std::memcpy(c.serverReply, reply.data(), reply.size());
    c.serverReplyLength.store(static_cast<uint16_t>(reply.size()));
    c.serverReplyArrived.store(1);
  }
};

// The script with a storage and a Net of its own.
struct ScriptedServer : ServerScript {
  FakePlatform fake;
  Platform platform = fake;
  std::unique_ptr<Storage> storage = MakeFormattedStorage(fake.files);
  std::unique_ptr<Net> net{new Net{}};

  ScriptedServer() {
    fake.settings.values["TRELVAN_SERVER"] = "127.0.0.1:4608";
    ReadServerSettings(net->server, platform);
    EXPECT_TRUE(ServerLinkStart(net->server, platform));
  }
  int Sends() { return static_cast<int>(fake.udp.SentCount()); }
  // One tick of the channel: the server answers, the reply is taken or a resend is due.
  void Tick() {
    Serve(fake.udp, net->server);
    ServiceServerChannel(net->server, platform);
  }
  int Download(const char* name) {
    int r = DownloadServerFile(*net, *storage, platform, 1, name);
    for (int i = 0; i < 200000 && r < 100; ++i) {
      Tick();
      r = DownloadServerFile(*net, *storage, platform, 0, nullptr);
    }
    return r;
  }
};

}  // namespace testing
}  // namespace trelvan
