// The Linux services on the real system: the udp service, and the fake udp
// beside it where both keep one contract; the single-instance lock, one
// holder per data folder whatever path names the folder, released with its
// holder and never a write into the data folder (so a read-only folder
// cannot switch it off); the window's scale, TRELVAN_SCALE over GDK_SCALE
// over Xft.dpi, each only when it is a factor the window can take; and the
// message box's line breaking. The processes and libraries services are the
// handheld e2e tests': the stand-in handheld runs with argv[0]
// "TX Simulator.exe" (past the kernel's fifteen-character name) and must be
// found for the simulator link, and the serial pull loads the stand-in driver
// library by name and finds its functions.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_udp.h"
#include "platform/linux/message_lines.h"
#include "platform/linux/posix_udp.h"
#include "platform/linux/socket_instance.h"
#include "platform/linux/window_scale.h"
#include "net/free_port.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;
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

constexpr const char* kLock = "TrelvanAssistantGlobalMutex";

TEST(SocketInstance, OneHolderPerDataFolder) {
  FakeFiles scratch;  // a fresh folder, so no other test run shares the lock
  const std::string data = scratch.DataPath("data"), other = scratch.DataPath("other");
  fs::create_directory(data);
  fs::create_directory(other);
  fs::create_directory_symlink(data, scratch.DataPath("link"));
  {
    SocketInstance first(data);
    ASSERT_TRUE(first.AcquireSingleInstance(kLock));
    EXPECT_TRUE(first.AcquireSingleInstance(kLock));  // asking again keeps it
    EXPECT_FALSE(SocketInstance(data).AcquireSingleInstance(kLock));
    EXPECT_FALSE(SocketInstance(data + "/").AcquireSingleInstance(kLock));
    EXPECT_FALSE(SocketInstance(scratch.DataPath("link")).AcquireSingleInstance(kLock));
    EXPECT_FALSE(SocketInstance(other + "/../data").AcquireSingleInstance(kLock));
    EXPECT_TRUE(SocketInstance(other).AcquireSingleInstance(kLock));
    EXPECT_TRUE(SocketInstance(data).AcquireSingleInstance("AnotherLock"));
  }
  EXPECT_TRUE(SocketInstance(data).AcquireSingleInstance(kLock));  // released with its holder
  EXPECT_TRUE(fs::is_empty(data));
}

TEST(SocketInstance, AFolderThatCannotBeWrittenStillLocks) {
  FakeFiles scratch;
  const std::string missing = scratch.DataPath("never made");
  SocketInstance first(missing);
  ASSERT_TRUE(first.AcquireSingleInstance(kLock));
  EXPECT_FALSE(SocketInstance(missing).AcquireSingleInstance(kLock));
  EXPECT_FALSE(fs::exists(missing));
}

TEST(WindowScale, TheFirstUsableSettingWins) {
  const struct { const char* trelvan; const char* gdk; int dpi; double scale; } cases[] = {
      {nullptr, nullptr, 0, 1.0},  {nullptr, "2", 0, 2.0},     {"1.5", "2", 192, 1.5},
      {"1", "2", 0, 1.0},          {nullptr, "1.5", 0, 1.0},   {nullptr, "3", 96, 3.0},
      {nullptr, nullptr, 192, 2.0}, {nullptr, nullptr, 144, 1.5}, {nullptr, nullptr, 96, 1.0},
      {nullptr, nullptr, 72, 1.0}, {nullptr, nullptr, 960, 4.0}, {"0.5", "2", 0, 2.0},
      {"5", nullptr, 0, 1.0},      {"2x", "3", 0, 3.0},        {"", "", 0, 1.0},
      {nullptr, "0", 144, 1.5},    {"nan", nullptr, 0, 1.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(ChooseWindowScale(c.trelvan, c.gdk, c.dpi), c.scale)
        << (c.trelvan ? c.trelvan : "-") << " " << (c.gdk ? c.gdk : "-") << " " << c.dpi;
  }
  EXPECT_TRUE(WholeScale(2.0));
  EXPECT_FALSE(WholeScale(1.5));
}

}  // namespace
}  // namespace trelvan
