// The assistant on real loopback sockets, driven through the main page's
// controls, with the stand-in handheld run under a simulator name of its own beside it:
// it pulls stored files byte for byte, pushes one that is then stored, pulls over the serial link through
// the stand-in driver library and pulls and pushes over the HID link through
// the stand-in hidapi library (preloaded in place of the system's, its
// device present only while a test names its ports); and against the stand-in update server
// serving the sample catalogue, it pulls what the user chose there.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "media/sound_decode.h"
#include "net/free_port.h"
#include "net/server_steps.h"
#include "platform/fake/fake_platform.h"
#include "platform/linux/dl_libraries.h"
#include "platform/linux/hidapi_hid.h"
#include "platform/linux/posix_threads.h"
#include "platform/linux/posix_udp.h"
#include "platform/linux/proc_processes.h"
#include "shell/assistant.h"
#include "shell/shell.h"
#include "storage/bytes.h"
#include "storage/file_system.h"
#include "storage/storage_fixture.h"
#include "storage/whole_file.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using testing::FreePort;
using testing::ReadHostFile;

Bytes Catalogue(const std::string& name) { return ReadHostFile(TRELVAN_CATALOGUE_DIR "/" + name); }

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

class E2e : public ::testing::Test {
 protected:
  FakePlatform fake;
  PosixUdp udp;
  PosixThreads threads;
  ProcProcesses processes;
  FolderLibraries libraries;
  HidapiHid hid;
  Platform platform{fake.window, fake.files, fake.instance, udp, threads, processes,
                    hid, libraries, fake.settings, fake.audio};
  std::unique_ptr<Assistant> a;
  const uint16_t serverPort = FreePort();
  const std::string simulatorPorts = std::to_string(FreePort()) + ":" + std::to_string(FreePort());
  pid_t server = -1;
  std::vector<uint16_t> readyCounts;  /**< each new readyCount seen while the handheld ran */

  ~E2e() override {
    if (a) ExitSequence(*a);
    StopServer();
    ::unsetenv("TRELVAN_FAKE_HID_PORTS");
  }
  // The stand-in hidapi library's device, on ports of its own; its log.
  std::string PresentHidDevice() {
    const std::string log = fake.DataPath("hid.log");
    ::setenv("TRELVAN_FAKE_HID_PORTS", (std::to_string(FreePort()) + ":" + std::to_string(FreePort())).c_str(), 1);
    ::setenv("TRELVAN_FAKE_HID_LOG", log.c_str(), 1);
    return log;
  }

  // The stand-in server on its loopback port, then the assistant; whether
  // the assistant finds the server reachable.
  bool Start() {
    StartServer();
    StartAssistant();
    return TickUntil([&] { return a->net.server.serverReachable == 1; }, 5);
  }
  // The assistant on the compiled page files, ticked once after `beforeTick`.
  void StartAssistant(const std::function<void()>& beforeTick = {}) {
    for (const auto& e : fs::directory_iterator(TRELVAN_RESOURCE_DIR)) {
      if (e.path().extension() == ".rsc") fs::copy_file(e.path(), fake.DataPath(e.path().filename().string()));
    }
    fake.settings.values = {{"TRELVAN_SERVER", "127.0.0.1:" + std::to_string(serverPort)},
                            {"TRELVAN_SERVER_LOCAL_PORT", std::to_string(FreePort())},
                            {"TRELVAN_SIMULATOR_PORTS", simulatorPorts},
                            {"TRELVAN_SIMULATOR_ADDRESS", "127.0.0.1"},
                            {"TRELVAN_SIMULATOR_PROCESS", simulatorName}};
    a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
    if (beforeTick) beforeTick();
    Tick();
  }
  // `path` started with `args` (the first is its process name), its output
  // into `output`, the simulator ports this run's.
  pid_t Spawn(const char* path, std::vector<std::string> args, const std::string& output) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::setenv("TRELVAN_SIMULATOR_PORTS", simulatorPorts.c_str(), 1);
      std::vector<char*> argv;
      for (std::string& s : args) argv.push_back(&s[0]);
      argv.push_back(nullptr);
      if (!std::freopen(output.c_str(), "w", stdout)) ::_exit(127);
      ::execv(path, argv.data());
      ::_exit(127);
    }
    return child;
  }
  void StartServer() {
    const std::string log = fake.DataPath("server.log");
    server = Spawn(TRELVAN_UPDATE_SERVER,
                   {"trelvan-update-server", TRELVAN_CATALOGUE_DIR, "--port", std::to_string(serverPort)}, log);
    for (int i = 0; i < 3000 && ReadHostFile(log).empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  void StopServer() {
    if (server <= 0) return;
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    server = 0;
  }

  void Send(Message m, uint32_t x = 0, uint32_t y = 0) { MainWindowMessage(*a, m, 0, x, y); }
  // One 10 ms tick of the window timer.
  void Tick() {
    Send(Message::Timer);
    ++ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // Ticks until `done`, for at most `seconds` of the program's own time (its
  // timers count ticks; a loaded machine only makes them slower); its last answer.
  template <typename Done>
  bool TickUntil(Done done, int seconds) {
    for (int t = 0; !done() && t < seconds * 100; ++t) Tick();
    return done();
  }
  int ticks = 0;
  // A press held for about 100 ms on the middle of a control, and its release.
  template <typename Control>
  void ClickOn(const Control* c) {
    ASSERT_NE(c, nullptr);
    const uint32_t x = c->x + c->w / 2u, y = c->y + c->h / 2u;
    Send(Message::LeftButtonDown, x, y);
    for (int i = 0; i < 10; ++i) Tick();
    Send(Message::LeftButtonUp, x, y);
    Tick();
  }
  bool ListShows(const std::string& name) {
    const MainLists& l = a->net.lists;
    for (int r = 0; r < l.listRowCount; ++r) {
      if (name == l.listRows[r]) return true;
    }
    return false;
  }
  // A server list button, then its list once it has been fetched.
  void OpenServerList(int button, const char* firstRow) {
    ClickOn(a->mainPage.image[button]);
    ASSERT_TRUE(TickUntil([&] { return ListShows(firstRow); }, 15)) << firstRow;
  }
  // Clicks the shown row of that name.
  void ClickRow(const std::string& name) {
    const MainLists& l = a->net.lists;
    for (int r = 0; r < kListScreenRows && r < l.listRowCount; ++r) {
      if (name == l.listRows[r]) return ClickOn(&a->mainPage.listRows[r].text);
    }
    ADD_FAILURE() << name << " is not shown";
  }
  // A server list button, its row `category`, then that category's list
  // once it shows `name`.
  void OpenCategory(int button, const char* firstRow, const char* category, const std::string& name) {
    OpenServerList(button, firstRow);
    ClickRow(category);
    ASSERT_TRUE(TickUntil([&] { return ListShows(name); }, 15)) << category;
  }
  // A picked category's rows, each clicked into the selection.
  void SelectFromCategory(int button, const char* categories, const char* category,
                          const std::vector<std::string>& names) {
    OpenCategory(button, categories, category, names[0]);
    for (const std::string& name : names) ClickRow(name);
    ASSERT_EQ(a->link.transfer.selectionCount, names.size());
  }

  // A name of this run's own, so no other stand-in on the machine is taken
  // for this one.
  const std::string simulatorName = "TX Simulator " + std::to_string(::getpid()) + ".exe";
  // The stand-in handheld under that name while the assistant ticks;
  // its exit status.
  int RunHandheld(std::vector<std::string> args) {
    args.insert(args.begin(), simulatorName);
    const pid_t child = Spawn(TRELVAN_HANDHELD, args, "/dev/null");
    int status = -1;
    for (int i = 0; i < 9000; ++i) {
      Tick();
      if (readyCounts.empty() || readyCounts.back() != a->link.transfer.readyCount) {
        readyCounts.push_back(a->link.transfer.readyCount);
      }
      if (::waitpid(child, &status, WNOHANG) == child) return WEXITSTATUS(status);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
  }
  std::string PullFolder() {
    const std::string folder = fake.DataPath("pulled");
    fs::create_directories(folder);
    return folder;
  }
  // The stored file `name`, its header included; empty when there is none.
  Bytes Stored(const std::string& name) { return testing::StoredFile(a->storage, name.c_str()); }
  // Stores and selects `names`, each with data of its own.
  void StoreAndSelect(const std::vector<std::string>& names, const char* type) {
    for (size_t i = 0; i < names.size(); ++i) {
      const Bytes data = testing::Pattern(static_cast<uint32_t>(700 + 2500 * i), static_cast<uint32_t>(i));
      EXPECT_TRUE(StorageWriteRecord(a->storage, names[i].c_str(), "", type, "1.00", data.data(),
                                     static_cast<uint32_t>(data.size())));
      AddToSelection(a->link.transfer, names[i].c_str());
    }
  }
  // The folder holds exactly `names`, each its stored file byte for byte
  // (and the served one, when a server runs).
  void ExpectPulled(const std::string& folder, std::vector<std::string> names) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder)) found.push_back(e.path().filename().string());
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(found, names);
    for (const std::string& name : names) {
      const Bytes stored = Stored(name);
      EXPECT_EQ(ReadHostFile(folder + "/" + name), stored) << name;
      if (server > 0) {
        EXPECT_EQ(stored, Catalogue(name)) << name;
      }
    }
  }
  // A file of `size` bytes pushed by the handheld (`args`, then its path) is
  // stored byte for byte.
  void ExpectPushed(std::vector<std::string> args, uint32_t size) {
    const std::string pushed = fake.DataPath("pushed.raw");
    testing::WriteHostFile(pushed, testing::FileContent("Pushed~", testing::Pattern(size, 9)));
    args.push_back(pushed);
    ASSERT_EQ(RunHandheld(args), 0);
    EXPECT_EQ(Stored("Pushed~"), ReadHostFile(pushed));
  }
};

using HandheldE2e = E2e;
using ServerE2e = E2e;

// The no-op and bad-checksum replies are the protocol's golden sessions and
// the HID link's golden exchanges.
TEST_F(HandheldE2e, PullAndPush) {
  StartAssistant();
  const std::vector<std::string> names = {"Platform~", "Signal~", "Yard~"};
  StoreAndSelect(names, "Picture");
  const std::string folder = PullFolder();
  ASSERT_EQ(RunHandheld({"pull", folder}), 0);
  ExpectPulled(folder, names);
  EXPECT_EQ(a->link.linkType, kLinkSimulator);
  ExpectPushed({"push"}, 5000);
}

// The handheld runs as "TX Simulator.exe" too: with both there the probe
// takes HID. Its requests are at most 63 bytes and its replies 62. The
// device stops answering mid-pull: the poll's read waits its 2000 ms, the
// link is closed and the probe opens it again; the pull then completes.
TEST_F(HandheldE2e, HidPullThroughAStallThenPush) {
  const std::string log = PresentHidDevice();
  ::setenv("TRELVAN_HANDHELD_STALL", "12:2500", 1);
  StartAssistant();
  const std::vector<std::string> names = {"Platform~", "Signal~"};
  StoreAndSelect(names, "Picture");
  const std::string folder = PullFolder();
  const int status = RunHandheld({"--hid", "pull", folder});
  ::unsetenv("TRELVAN_HANDHELD_STALL");
  ASSERT_EQ(status, 0);
  EXPECT_EQ(a->link.linkType, kLinkHid);
  ExpectPulled(folder, names);
  const Bytes written = ReadHostFile(log);
  const std::string events(written.begin(), written.end());
  EXPECT_NE(events.find("open\nread ran out after 2000 ms\nclose\nopen\n"), std::string::npos) << events;
  ExpectPushed({"--hid", "push"}, 3000);
}

TEST_F(HandheldE2e, SerialPullThroughTheDriverLibrary) {
  libraries.folder = TRELVAN_FAKE_D2XX_DIR "/full";
  const std::string folder = PullFolder(), done = fake.DataPath("serial.done");
  ::setenv("TRELVAN_FAKE_D2XX", ("pull " + folder).c_str(), 1);
  ::setenv("TRELVAN_FAKE_D2XX_DONE", done.c_str(), 1);
  const std::vector<std::string> names = {"Whistle~", "Bell~"};
  StartAssistant([&] {
    a->setup.useOlderUsbDrivers = 1;  // the setup switch, before the first tick
    StoreAndSelect(names, "Sound");
  });
  ASSERT_TRUE(TickUntil([&] { return fs::exists(done); }, 30));
  EXPECT_EQ(ReadHostFile(done), Bytes({'o', 'k', '\n'}));
  EXPECT_EQ(a->link.linkType, kLinkSerial);
  ExpectPulled(folder, names);
  EXPECT_TRUE(fake.window.messages.empty());
}

// The connection test's file stored and the lamp lit, then the pictures.
TEST_F(ServerE2e, ConnectionTestThenThreePicturesPulledWhileTheyDownload) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(TickUntil([&] { return a->net.serverStep == kServerIdle; }, 2));
  EXPECT_EQ(a->mainPage.image[kMainServerStatus]->pictureIndex, 20);  // the lamp for reachable
  EXPECT_EQ(Stored(kConnectionTestName), Catalogue(kConnectionTestName));
  const std::vector<std::string> pictures = {"Red Engine~", "Blue Engine~", "Green Engine~"};
  SelectFromCategory(kMainServerPictures, "Locomotives", "Locomotives", pictures);
  const std::string folder = PullFolder();
  ASSERT_EQ(RunHandheld({"pull", folder}), 0);
  ExpectPulled(folder, pictures);
  // the ready count grew one file at a time while the handheld waited
  EXPECT_EQ(readyCounts, (std::vector<uint16_t>{0, 1, 2, 3}));
}

TEST_F(ServerE2e, ProductUpdateBringsTheFilesOfTheHandheldsRevision) {
  ASSERT_TRUE(Start());
  OpenServerList(kMainServerProductPrograms, "Handheld TX Rev 1.30");
  ClickRow("Handheld TX Rev 1.30");
  const std::string folder = PullFolder();
  ASSERT_EQ(RunHandheld({"pull", folder, "1.23"}), 0);
  ExpectPulled(folder, {"TX Program 1.23", "TX Fonts 1.23"});
  EXPECT_LT(StorageFindFile(a->storage, "TX Program 1.30"), 0);
}

// A look before choosing: a server picture shown on the page and a server
// sound (start, loop and stop) played as the handheld plays it, each
// fetched into memory only; the Stop control ends the sound.
TEST_F(ServerE2e, ServerPictureSeenAndSoundHeardBeforeTheyAreChosen) {
  ASSERT_TRUE(Start());
  OpenCategory(kMainServerPictures, "Locomotives", "Locomotives", "Blue Engine~");
  ClickOn(&a->mainPage.lookControls[1]);
  ASSERT_TRUE(TickUntil([&] { return a->mainPage.lookShown && a->mainPage.lookAsked < 0; }, 15));
  const Bytes picture = Catalogue("Blue Engine~");
  const uint32_t header = CompleteFileHeaderLength(picture.data(), static_cast<uint32_t>(picture.size()));
  ASSERT_GT(header, 0u);
  int same = 0;  // the panel holds the picture, pixel for pixel, at (436, 409)
  for (uint32_t y = 0; y < 90; ++y) {
    for (uint32_t x = 0; x < 240; ++x) {
      const uint8_t* p = picture.data() + header + 4 + 2 * (y * 240 + x);
      same += a->frame.pixels[(436 + x) * kFrameHeight + 409 + y] == Colour16ToPixel(ReadU16LE(p));
    }
  }
  EXPECT_EQ(same, 240 * 90);

  OpenCategory(kMainServerSounds, "Whistles", "Bells", "Crossing Bell~");
  ClickOn(&a->mainPage.lookControls[1]);
  ASSERT_TRUE(TickUntil([&] { return fake.audio.playing; }, 15));
  const Bytes sound = Catalogue("Crossing Bell~");
  const uint32_t at = CompleteFileHeaderLength(sound.data(), static_cast<uint32_t>(sound.size()));
  std::vector<int16_t> expected(kPlaySampleCapacity);
  expected.resize(DecodeSound(sound.data() + at, static_cast<uint32_t>(sound.size()) - at, expected.data(),
                              kPlaySampleCapacity));
  EXPECT_GT(expected.size(), 0u);
  EXPECT_EQ(fake.audio.played, expected);
  EXPECT_EQ(fake.audio.playedRate, kStoredSoundRate);
  ClickOn(&a->mainPage.lookControls[1]);
  EXPECT_FALSE(fake.audio.playing);
  EXPECT_EQ(a->mainPage.lookControls[1].pictureIndex, 36);  // Play again
  for (const char* name : {"Blue Engine~", "Crossing Bell~"}) EXPECT_LT(StorageFindFile(a->storage, name), 0);
  EXPECT_EQ(a->link.transfer.selectionCount, 0);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(ServerE2e, ASilentServerGetsElevenSendsThenTheMessage) {
  // a socket on the server's port that takes every datagram and answers none
  const int silent = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  at.sin_port = htons(serverPort);
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  StartAssistant();
  const int start = ticks;
  ASSERT_TRUE(TickUntil([&] { return a->ui.pages.CurrentPage == kInformationPage; }, 15));
  EXPECT_STREQ(a->ui.information.MessageText, kCouldNotConnect);
  EXPECT_EQ(a->net.server.serverReachable, 0);
  EXPECT_GT(ticks - start, 1000);  // the eleven sends a second apart
  int sends = 0;
  uint8_t b[600];
  while (::recv(silent, b, sizeof b, MSG_DONTWAIT) > 0) ++sends;
  ::close(silent);
  EXPECT_EQ(sends, 11);
}

}  // namespace
}  // namespace trelvan
