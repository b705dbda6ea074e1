// The Linux udp, processes and libraries services on the real system, and
// the fake udp beside the real one where both keep one contract.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "platform/fake/fake_udp.h"
#include "platform/linux/dl_libraries.h"
#include "platform/linux/posix_udp.h"
#include "platform/linux/proc_processes.h"
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
  bool ipv4 = false;
  EXPECT_EQ(udp.Receive(receiver, buffer, sizeof buffer, &ipv4), 4) << "cut to the buffer";
  EXPECT_TRUE(ipv4);
  EXPECT_EQ(std::memcmp(buffer, bytes, 4), 0);

  // Waking the socket ends a thread blocked in its receive.
  int32_t result = 0;
  std::thread blocked([&] { result = udp.Receive(receiver, buffer, sizeof buffer, &ipv4); });
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

// A name of this test's own (beyond the 15 characters of a process's short
// name), so nothing else running on the machine can answer for it.
TEST(ProcessesService, FindsArgvZeroBaseNameBeyondFifteenCharacters) {
  ProcProcesses processes;
  const std::string name = "Own Simulator " + std::to_string(::getpid()) + ".exe";
  const std::string argv0 = "/opt/sim/" + name;
  EXPECT_FALSE(processes.IsRunning(name.c_str()));
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sleep", argv0.c_str(), "30", nullptr);
    ::_exit(127);
  }
  bool seen = false;
  for (int i = 0; i < 500 && !seen; ++i) {
    seen = processes.IsRunning(name.c_str());
    if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(seen);
  EXPECT_FALSE(processes.IsRunning(name.substr(0, name.size() - 4).c_str()));
  EXPECT_TRUE(processes.IsRunning(name.c_str()));  // found again, then asked first
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(processes.IsRunning(name.c_str()));
}

TEST(LibrariesService, LoadsByNameAndFindsFunctions) {
  DlLibraries libraries;
  EXPECT_EQ(libraries.Load("Nothing Here.dll"), nullptr);
  void* c = libraries.Load("libc.so.6");
  ASSERT_NE(c, nullptr);
  EXPECT_NE(libraries.Function(c, "strlen"), nullptr);
  EXPECT_EQ(libraries.Function(c, "FT_Read"), nullptr);
}

}  // namespace
}  // namespace trelvan
