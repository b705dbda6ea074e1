// The Linux udp service on the real system, and the fake udp beside it where
// both keep one contract; the message box's line breaking. The processes and
// libraries services are the handheld e2e tests': the stand-in handheld runs
// with argv[0] "TX Simulator.exe" (past the kernel's fifteen-character name)
// and must be found for the simulator link, and the serial pull loads the
// stand-in driver library by name and finds its functions.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

#include "platform/fake/fake_udp.h"
#include "platform/linux/message_lines.h"
#include "platform/linux/posix_udp.h"
#include "net/free_port.h"

namespace trelvan {
namespace {

using testing::FreePort;

template <class U>
void UdpContract(U& udp) {
  ASSERT_TRUE(udp.Startup());
  const uint16_t port = FreePort();
  const intptr_t receiver = udp.Open();
  const intptr_t sender = udp.Open();
  ASSERT_NE(receiver, kNoSocket);
  ASSERT_TRUE(udp.Bind(receiver, port));
  const intptr_t second = udp.Open();
  EXPECT_FALSE(udp.Bind(second, port)) << "a port is bound once";
  udp.Close(second);

  const uint8_t bytes[] = {1, 2, 3, 4, 5};
  ASSERT_TRUE(udp.SendTo(sender, "127.0.0.1", port, bytes, 5));
  uint8_t buffer[4];
  UdpSender from;
  EXPECT_EQ(udp.Receive(receiver, buffer, sizeof buffer, &from), 4) << "cut to the buffer";
  EXPECT_TRUE(from.ipv4);
  EXPECT_EQ(from.address, 0x7F000001u);
  EXPECT_NE(from.port, 0);
  EXPECT_EQ(std::memcmp(buffer, bytes, 4), 0);

  // Waking the socket ends a thread blocked in its receive.
  int32_t result = 0;
  std::thread blocked([&] { result = udp.Receive(receiver, buffer, sizeof buffer, &from); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  udp.Wake(receiver);
  blocked.join();
  EXPECT_EQ(result, kReceiveFailed);
  udp.Close(receiver);
  udp.Close(sender);
}

TEST(UdpService, LinuxOnLoopback) {
  PosixUdp udp;
  UdpContract(udp);
  char address[16];
  if (udp.LocalAddress(address, sizeof address)) {
    EXPECT_NE(std::strchr(address, '.'), nullptr);
  }
}

TEST(UdpService, Fake) {
  FakeUdp udp;
  UdpContract(udp);
}

TEST(MessageBoxLines, BreakAtBlanksWithinTheWidth) {
  const struct { const char* text; const char* lines; } cases[] = {
      {"Hi there", "Hi there"},
      {"aaaa bbbb cccc", "aaaa\nbbbb\ncccc"},
      {"aaaa bbb cccc", "aaaa bbb\ncccc"},   // exactly eight fit
      {"aaaabbbbcccc dd", "aaaabbbb\ncccc dd"},  // a long word is broken inside
      {"ab\ncd ef gh ij", "ab\ncd ef gh\nij"},  // breaks in the text are kept
      {"aaaa bbb  cc", "aaaa bbb\n cc"},
  };
  for (const auto& c : cases) EXPECT_EQ(BreakMessageLines(c.text, 8), c.lines) << c.text;
}

}  // namespace
}  // namespace trelvan
