// The stand-in handheld, run as "TX Simulator.exe", against an assistant on
// real loopback sockets: it pulls the selected stored files byte for byte,
// pushes one that is then stored, and gets its no-op and bad-checksum
// replies.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
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
using testing::ReadHostFile;
using testing::StoredContent;

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

  // Stores and selects `names`, each with data of its own; a folder for
  // what the handheld pulls.
  std::string StoreAndSelect(const std::vector<const char*>& names, const char* type) {
    for (size_t i = 0; i < names.size(); ++i) {
      const Bytes data = testing::Pattern(static_cast<uint32_t>(700 + 2500 * i), static_cast<uint32_t>(i));
      EXPECT_TRUE(StorageWriteRecord(a->storage, names[i], "", type, "1.00", data.data(),
                                     static_cast<uint32_t>(data.size())));
      AddToSelection(a->link.transfer, names[i]);
    }
    const std::string folder = fake.DataPath("pulled");
    std::filesystem::create_directories(folder);
    return folder;
  }
  // Each file pulled into `folder` is its stored content byte for byte.
  void ExpectPulled(const std::string& folder, const std::vector<const char*>& names) {
    for (const char* name : names) {
      const int index = StorageFindFile(a->storage, name);
      ASSERT_GE(index, 0) << name;
      EXPECT_EQ(ReadHostFile(folder + "/" + name), StoredContent(a->storage, static_cast<uint16_t>(index)))
          << name;
    }
  }
};

TEST(HandheldE2e, PullPushNoOpAndBadChecksum) {
  World w;
  const std::vector<const char*> names = {"Platform~", "Signal~", "Yard~"};
  const std::string folder = w.StoreAndSelect(names, "Picture");
  ASSERT_EQ(w.RunHandheld({"pull", folder}), 0);
  w.ExpectPulled(folder, names);
  EXPECT_EQ(w.a->link.transfer.transferActive, 1);
  EXPECT_EQ(w.a->link.linkType, kLinkSimulator);

  const std::string pushed = w.fake.DataPath("pushed.raw");
  testing::WriteHostFile(pushed, testing::FileContent("Pushed~", testing::Pattern(5000, 9)));
  ASSERT_EQ(w.RunHandheld({"push", pushed}), 0);
  const int index = StorageFindFile(w.a->storage, "Pushed~");
  ASSERT_GE(index, 0);
  EXPECT_EQ(StoredContent(w.a->storage, static_cast<uint16_t>(index)), ReadHostFile(pushed));

  EXPECT_EQ(w.RunHandheld({"noop"}), 0);
  EXPECT_EQ(w.RunHandheld({"bad-checksum"}), 0);
}

TEST(HandheldE2e, SerialPullThroughTheDriverLibrary) {
  World w;
  w.libraries.folder = TRELVAN_FAKE_D2XX_DIR "/full";
  const std::vector<const char*> names = {"Whistle~", "Bell~"};
  const std::string folder = w.StoreAndSelect(names, "Sound");
  const std::string done = w.fake.DataPath("serial.done");
  ::setenv("TRELVAN_FAKE_D2XX", ("pull " + folder).c_str(), 1);
  ::setenv("TRELVAN_FAKE_D2XX_DONE", done.c_str(), 1);
  w.a->setup.useOlderUsbDrivers = 1;  // the setup switch, before the first tick
  for (int i = 0; i < 3000 && !std::filesystem::exists(done); ++i) {
    TimerTick(*w.a);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(ReadHostFile(done), Bytes({'o', 'k', '\n'}));
  EXPECT_EQ(w.a->link.linkType, kLinkSerial);
  w.ExpectPulled(folder, names);
  EXPECT_TRUE(w.fake.window.messages.empty());
}

}  // namespace
}  // namespace trelvan
