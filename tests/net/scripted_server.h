// A tiny update server for the download and server-step tests: it answers
// the latest request sent on the fake network from a map of files, and its
// reply lands in the channel's receive slot as the receive thread would
// leave it. Hooks shorten, corrupt or withhold replies.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/datagrams.h"
#include "net/file_requests.h"
#include "net/net.h"
#include "platform/fake/fake_platform.h"
#include "storage/bytes.h"
#include "storage/storage_fixture.h"

namespace trelvan {
namespace testing {

using Bytes = std::vector<uint8_t>;

// Answers from a map of files, on any fake network and channel.
struct ServerScript {
  std::map<std::string, Bytes> files;          /**< name -> whole content served */
  std::map<std::string, uint32_t> claimedSize;  /**< an information reply's size, when not the content's */
  bool silent = false;                          /**< answers nothing */
  std::vector<uint16_t> dataCounts;             /**< the count of every data request answered */
  // Changes a reply (content and trailer, without magic) before it lands;
  // `n` counts the replies sent so far.
  std::function<void(Bytes& reply, int n)> tamper;
  int replies = 0;
  size_t seen = 0;

  // Answers the newest datagram when one arrived since the last call.
  void Serve(FakeUdp& udp, ServerChannel& channel) {
    const auto sent = udp.Sent();
    if (silent || sent.size() == seen) return;
    seen = sent.size();
    const Bytes& d = sent.back().bytes;
    const uint32_t n = static_cast<uint32_t>(d.size()) - kMagicLength - 4;
    const uint8_t* payload = d.data() + kMagicLength;
    FileRequest q;
    if (!ParseFileRequest(payload, n, q)) return;
    uint8_t body[600];
    uint32_t length;
    auto f = files.find(q.name);
    if (q.code == kFileInfoCode) {
      FileInfoReply info{};
      info.status = f != files.end() ? kServerStatusFound : 0;
      std::snprintf(info.name, sizeof info.name, "%s", q.name);
      std::snprintf(info.revision, sizeof info.revision, "1.07");
      if (f != files.end()) {
        auto c = claimedSize.find(q.name);
        info.size = c != claimedSize.end() ? c->second : static_cast<uint32_t>(f->second.size());
      }
      length = BuildFileInfoReply(body, info);
    } else {
      dataCounts.push_back(q.count);
      Bytes chunk(q.count, 0);
      for (uint32_t i = 0; f != files.end() && i < q.count && q.offset + i < f->second.size(); ++i) {
        chunk[i] = f->second[q.offset + i];
      }
      length = BuildFileDataReply(body, f != files.end() ? 1 : 0, chunk.data(), q.count);
    }
    Bytes reply(body, body + length);
    const uint16_t sequence = ReadU16LE(payload + n);
    reply.push_back(static_cast<uint8_t>(sequence));
    reply.push_back(static_cast<uint8_t>(sequence >> 8));
    const uint16_t sum = Sum16(reply.data(), static_cast<uint32_t>(reply.size()));
    reply.push_back(static_cast<uint8_t>(sum));
    reply.push_back(static_cast<uint8_t>(sum >> 8));
    if (tamper) tamper(reply, replies);
    ++replies;
    Land(channel, reply);
  }

  // The slot as the receive thread fills it (nothing is delivered to the
  // fake socket, so the thread stays asleep).
  static void Land(ServerChannel& c, const Bytes& reply) {
    std::memcpy(c.serverReply, reply.data(), reply.size());
    c.serverReplyLength.store(static_cast<uint16_t>(reply.size()));
    c.serverReplyArrived.store(1);
  }
};

// The script with its own storage and Net.
struct ScriptedServer : ServerScript {
  FakePlatform fake;
  Platform platform = fake;
  std::unique_ptr<Storage> storage = MakeFormattedStorage(fake.files);
  std::unique_ptr<Net> net{new Net{}};

  ScriptedServer() {
    ReadChannelSettings(net->server, net->simulator, platform);
    EXPECT_TRUE(ServerLinkStart(net->server, platform));
  }

  // The datagrams the assistant sent to the server.
  int Sends() { return static_cast<int>(fake.udp.Sent().size()); }
  void Serve() { ServerScript::Serve(fake.udp, net->server); }

  // One tick of the channel: the server answers, the reply is taken and a
  // resend is due or not.
  void Tick() {
    Serve();
    ServiceServerChannel(*net, platform);
  }

  // A download run to its final result.
  int Download(const char* name) {
    int r = DownloadServerFile(*net, *storage, platform, 1, name);
    for (int i = 0; i < 200000 && r < 100; ++i) {
      Tick();
      r = DownloadServerFile(*net, *storage, platform, 0, nullptr);
    }
    return r;
  }

  // Stored files of that name.
  int CountNamed(const char* name) {
    int n = 0;
    char field[32];
    for (uint16_t i = 0; i < storage->fs.header.fileCount; ++i) {
      if (StorageReadField(*storage, i, kFieldName, field) && std::string(field) == name) ++n;
    }
    return n;
  }
  Bytes Stored(const char* name) {
    const int i = StorageFindFile(*storage, name);
    return i < 0 ? Bytes{} : StoredContent(*storage, static_cast<uint16_t>(i));
  }
};

}  // namespace testing
}  // namespace trelvan
