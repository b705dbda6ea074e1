// The server channel reopened on one loopback port, and both channels on
// the fake network where a send must not happen or must fail. The eleven
// sends to a silent server and its message, and a request answered over
// real loopback sockets, are the server e2e tests'; the request's bytes are
// the datagrams test's, a stale or badly summed reply refused the downloads
// test's.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/simulator_channel.h"
#include "net/server_channel.h"
#include "platform/fake/fake_platform.h"
#include "platform/linux/posix_threads.h"
#include "platform/linux/posix_udp.h"
#include "net/scripted_server.h"
#include "storage/text.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;

using testing::FreePort;
using testing::WaitUntil;

// The server's reply datagram: magic, content, the sequence it answers and
// the 16-bit sum of content and sequence.
Bytes ReplyFor(uint16_t sequence, Bytes content) {
  testing::Seal(content, sequence);
  content.insert(content.begin(), {0x83, 0x74, 0x23, 0x91});
  return content;
}

TEST(ServerChannel, ManyChannelsOpenAndCloseOnOnePort) {
  FakePlatform fake;  // with real sockets and threads
  PosixUdp udp;
  PosixThreads threads;
  Platform platform{fake.window, fake.files, fake.instance, udp, threads, fake.processes,
                    fake.hid, fake.libraries, fake.settings, fake.audio};
  fake.settings.values["TRELVAN_SERVER"] = "127.0.0.1:" + std::to_string(FreePort());
  fake.settings.values["TRELVAN_SERVER_LOCAL_PORT"] = std::to_string(FreePort());
  const auto server = std::make_unique<ServerChannel>();
  ReadServerSettings(*server, platform);
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(ServerLinkStart(*server, platform)) << i;
    ServerLinkClose(*server);
  }
}

// ---- on the fake network ----

TEST(ServerChannel, LimitsFamiliesAndFailedSends) {
  testing::ScriptedServer n;  // its channel started for 127.0.0.1:4608
  ServerChannel& server = n.net->server;
  SendServerRequest(server, n.platform, 505);  // 509 bytes after the magic
  EXPECT_TRUE(n.fake.udp.Sent().empty());
  SendServerRequest(server, n.platform, 504);
  ASSERT_EQ(n.fake.udp.Sent().size(), 1u);
  EXPECT_EQ(n.fake.udp.Sent()[0].bytes.size(), 512u);

  // Only the configured server answers: another family, another host, or
  // another port of this one never arrives.
  for (const UdpSender& other : {UdpSender{}, UdpSender{true, 0xC0000207, 4608}, UdpSender{true, 0x7F000001, 4609}}) {
    ASSERT_TRUE(n.fake.udp.Deliver(4608, ReplyFor(server.requestSequence, {2}), other));
  }
  ASSERT_TRUE(n.fake.udp.Deliver(4608, ReplyFor(server.requestSequence, {1})));
  WaitUntil([&server] { return server.serverReplyArrived.load(); });
  AcceptServerReply(server);
  EXPECT_EQ(server.serverReplyReady, 1);
  EXPECT_EQ(server.acceptedReply[0], 1);

  // A failed send closes the channel; the next request opens it again.
  n.fake.udp.failSends = true;
  SendServerRequest(server, n.platform, 3);
  EXPECT_EQ(server.socket, kNoSocket);
  EXPECT_EQ(n.fake.threads.joined, 1);
  n.fake.udp.failSends = false;
  SendServerRequest(server, n.platform, 3);
  EXPECT_NE(server.socket, kNoSocket);
  EXPECT_EQ(n.fake.udp.Sent().size(), 2u);
}

TEST(SimulatorChannel, PacketsBothWays) {
  FakePlatform fake;
  Platform platform = fake;
  SimulatorChannel simulator;
  ReadSimulatorSettings(simulator, platform);
  CopyText("127.0.0.1", simulator.address, sizeof simulator.address);
  ASSERT_TRUE(SimulatorLinkStart(simulator, platform));
  const uint8_t reply[253] = {1};
  EXPECT_FALSE(SimulatorSend(simulator, platform, reply, 253));
  EXPECT_TRUE(SimulatorSend(simulator, platform, reply, 252));
  ASSERT_EQ(fake.udp.Sent().size(), 1u);
  EXPECT_EQ(fake.udp.Sent()[0].port, 6769);
  EXPECT_EQ(fake.udp.Sent()[0].bytes.size(), 256u);

  // Only this PC is the simulator: another magic, family or host is dropped
  // unread. (A configured peer outside loopback is also taken; tests use no
  // address outside 127.0.0.0/8, so that case is not shown here.)
  const struct { UdpSender from; uint8_t magicLow; bool taken; } senders[] = {
      {{true, 0x7F000001, 6769}, 0x81, false}, {{}, 0x82, false},
      {{true, 0xC0000204, 6769}, 0x82, false}, {{true, 0x0A000009, 1}, 0x82, false},
      {{true, 0x7F000005, 9}, 0x82, true},
  };
  uint8_t tag = 0;
  for (const auto& s : senders) {
    ASSERT_TRUE(fake.udp.Deliver(6768, {s.magicLow, 0x74, 0x23, 0x91, 0x11, ++tag}, s.from));
    if (!s.taken) continue;
    uint8_t packet[kSimulatorReceiveCapacity];
    uint32_t got = 0;
    WaitUntil([&] { return (got = TakeSimulatorPacket(simulator, packet)) != 0; });
    EXPECT_EQ(Bytes(packet, packet + got), (Bytes{0x11, tag})) << "the first taken is the one allowed";
  }
}

}  // namespace
}  // namespace trelvan
