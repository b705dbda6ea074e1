// The stand-in handheld, run as "TX Simulator.exe", against an assistant on
// real loopback sockets: it pulls the selected stored files byte for byte,
// pushes one that is then stored, and gets its no-op and bad-checksum
// replies.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/linux/dl_libraries.h"
#include "platform/linux/posix_threads.h"
#include "platform/linux/posix_udp.h"
#include "platform/linux/proc_processes.h"
#include "shell/assistant.h"
#include "shell/shell.h"
#include "storage/file_system.h"
#include "storage/whole_file.h"
#include "net/free_port.h"
#include "storage/storage_fixture.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;

using testing::FreePort;

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// dlopen of the stand-in library built in `folder` for the driver's name.
class FolderLibraries : public Libraries {
 public:
  std::string folder;
  void* Load(const char* name) override {
    return std::string(name) == "Ftd2xx.dll" ? dl.Load((folder + "/libftd2xx.so").c_str()) : nullptr;
  }
  void* Function(void* library, const char* name) override { return dl.Function(library, name); }

 private:
  DlLibraries dl;
};

struct World {
  FakePlatform fake;
  PosixUdp udp;
  PosixThreads threads;
  ProcProcesses processes;
  FolderLibraries libraries;
  Platform platform{fake.window, fake.files, fake.instance, udp, threads, processes,
                    fake.hid, libraries, fake.settings};
  std::unique_ptr<Assistant> a;
  std::string ports;

  World() {
    ports = std::to_string(FreePort()) + ":" + std::to_string(FreePort());
    fake.settings.values = {{"TRELVAN_SIMULATOR_PORTS", ports},
                            {"TRELVAN_SIMULATOR_ADDRESS", "127.0.0.1"},
                            {"TRELVAN_SERVER", "127.0.0.1:" + std::to_string(FreePort())},
                            {"TRELVAN_SERVER_LOCAL_PORT", std::to_string(FreePort())}};
    a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
  }
  ~World() { ExitSequence(*a); }

  // Runs the stand-in handheld as "TX Simulator.exe" while the assistant
  // ticks every 10 ms; its exit status.
  int RunHandheld(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::setenv("TRELVAN_SIMULATOR_PORTS", ports.c_str(), 1);
      std::vector<char*> argv = {const_cast<char*>("TX Simulator.exe")};
      for (const std::string& s : args) argv.push_back(const_cast<char*>(s.c_str()));
      argv.push_back(nullptr);
      ::execv(TRELVAN_HANDHELD, argv.data());
      ::_exit(127);
    }
    int status = -1;
    for (int i = 0; i < 3000; ++i) {
      TimerTick(*a);
      if (::waitpid(child, &status, WNOHANG) == child) return WEXITSTATUS(status);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
  }
};

TEST(HandheldE2e, PullPushNoOpAndBadChecksum) {
  World w;
  Storage& s = w.a->storage;
  const char* names[] = {"Platform~", "Signal~", "Yard~"};
  for (int i = 0; i < 3; ++i) {
    const Bytes data = testing::Pattern(1000 + 3000 * i, i);
    ASSERT_TRUE(StorageWriteRecord(s, names[i], "", "Picture", "1.00", data.data(),
                                   static_cast<uint32_t>(data.size())));
    AddToSelection(w.a->link.transfer, names[i]);
  }
  const std::string folder = w.fake.DataPath("pulled");
  std::filesystem::create_directories(folder);
  ASSERT_EQ(w.RunHandheld({"pull", folder}), 0);
  for (const char* name : names) {
    const int index = StorageFindFile(s, name);
    ASSERT_GE(index, 0);
    EXPECT_EQ(ReadFileBytes(folder + "/" + name), testing::StoredContent(s, static_cast<uint16_t>(index)))
        << name;
  }
  EXPECT_EQ(w.a->link.transfer.transferActive, 1);
  EXPECT_EQ(w.a->link.linkType, kLinkSimulator);

  const std::string pushed = w.fake.DataPath("pushed.raw");
  {
    const Bytes content = testing::FileContent("Pushed~", testing::Pattern(5000, 9));
    std::ofstream(pushed, std::ios::binary)
        .write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  }
  ASSERT_EQ(w.RunHandheld({"push", pushed}), 0);
  const int index = StorageFindFile(s, "Pushed~");
  ASSERT_GE(index, 0);
  EXPECT_EQ(testing::StoredContent(s, static_cast<uint16_t>(index)), ReadFileBytes(pushed));

  EXPECT_EQ(w.RunHandheld({"noop"}), 0);
  EXPECT_EQ(w.RunHandheld({"bad-checksum"}), 0);
}

void StoreAndSelect(World& w, const char* const* names, int n) {
  for (int i = 0; i < n; ++i) {
    const Bytes data = testing::Pattern(700 + 2500 * i, i + 3);
    ASSERT_TRUE(StorageWriteRecord(w.a->storage, names[i], "", "Sound", "1.00", data.data(),
                                   static_cast<uint32_t>(data.size())));
    AddToSelection(w.a->link.transfer, names[i]);
  }
}

TEST(HandheldE2e, SerialPullThroughTheDriverLibrary) {
  World w;
  w.libraries.folder = TRELVAN_FAKE_D2XX_DIR "/full";
  const char* names[] = {"Whistle~", "Bell~"};
  StoreAndSelect(w, names, 2);
  const std::string folder = w.fake.DataPath("serial");
  const std::string done = w.fake.DataPath("serial.done");
  std::filesystem::create_directories(folder);
  ::setenv("TRELVAN_FAKE_D2XX", ("pull " + folder).c_str(), 1);
  ::setenv("TRELVAN_FAKE_D2XX_DONE", done.c_str(), 1);
  w.a->setup.useOlderUsbDrivers = 1;  // the setup switch, before the first tick
  for (int i = 0; i < 3000 && !std::filesystem::exists(done); ++i) {
    TimerTick(*w.a);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_TRUE(std::filesystem::exists(done));
  EXPECT_EQ(ReadFileBytes(done), Bytes({'o', 'k', '\n'}));
  EXPECT_EQ(w.a->link.linkType, kLinkSerial);
  for (const char* name : names) {
    const int index = StorageFindFile(w.a->storage, name);
    ASSERT_GE(index, 0);
    EXPECT_EQ(ReadFileBytes(folder + "/" + name),
              testing::StoredContent(w.a->storage, static_cast<uint16_t>(index)));
  }
  EXPECT_TRUE(w.fake.window.messages.empty());
}

TEST(HandheldE2e, SerialLibraryMessages) {
  World w;
  w.a->setup.useOlderUsbDrivers = 1;
  w.libraries.folder = "/nonexistent";
  TimerTick(*w.a);  // no library: no message
  EXPECT_TRUE(w.fake.window.messages.empty());
  w.libraries.folder = TRELVAN_FAKE_D2XX_DIR "/lacking";
  FtdiLoadLibrary(w.a->link.ftdi, w.platform);
  ASSERT_EQ(w.fake.window.messages.size(), 1u);
  EXPECT_EQ(w.fake.window.messages[0], "Error: Can't Find FT_Read");
}

}  // namespace
}  // namespace trelvan
