// The main page on the compiled page files: a removal from the selection;
// and the setup page it opens: the driver switch and the library's status
// line; the update server chosen there, kept, tested and used by the
// channel. The record Back stores is the gui session end test's. Golden scripts hold the storage lists of
// each type (main_page_types.run), the lists' look, paging to the ends and
// the ninth choice refused (main_page_lists.run), the selection across
// storage and server lists (main_page_sources.run), the setup page's look
// (setup_page.run), the server's entry and test and the main page waiting
// (setup_server.run) and a setup the storage refuses (setup_refused.run); the
// silent server's eleven sends and message are in the server e2e test, the
// exit control in the gui main page test.
#include <gtest/gtest.h>

#include <map>

#include "link/d2xx_functions.h"
#include "net/scripted_server.h"
#include "net/server_steps.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {
namespace {

class MainPageTest : public testing::PageTest {
 protected:
  void SetUp() override {
    StartOnCompiledPages();
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kMainPage);
  }
};

TEST_F(MainPageTest, RemovingAnEntryMovesTheLaterOnesUpWithAllTheirFields) {
  const uint8_t data[3] = {1, 2, 3};
  for (const char* n : {"A~", "B~", "C~", "D~"}) {
    ASSERT_TRUE(StorageWriteRecord(a->storage, n, "", "Sound", "1.00", data, sizeof data));
  }
  ClickOn(a->mainPage.image[kMainStorageSounds]);
  for (int r = 0; r < 4; ++r) ClickOn(&a->mainPage.listRows[r].text);
  TransferLists& t = a->link.transfer;
  t.selectionList[2].progress = 40;
  t.selectionList[3].progress = 70;
  ClickOn(&a->mainPage.selectionRows[1].mark);
  ASSERT_EQ(t.selectionCount, 3);
  const std::pair<std::string, int> moved[] = {{"A~", 0}, {"C~", 40}, {"D~", 70}, {"", 0}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(std::make_pair(std::string(t.selectionList[k].name), int{t.selectionList[k].progress}), moved[k]);
  }
  EXPECT_TRUE(Shows(&a->mainPage.selectionRows[1].text, "C~"));
}

TEST(FreeStorage, PercentOfTheWholeImageRoundedDown) {
  char line[40];
  for (const auto& c : {std::make_pair(32764, "99"), {0, "0"}, {327, "0"}, {328, "1"}}) {
    FreeStorageText(static_cast<uint16_t>(c.first), line, sizeof line);
    EXPECT_EQ(std::string(line), std::string("Free Storage = ") + c.second + "%");
  }
}

// ---------------------------------------------------------------- setup

// A serial driver library that finds no device.
std::map<std::string, void*> NoDeviceLibrary() {
  std::map<std::string, void*> table;
#define TRELVAN_FAILING(name, parameters) \
  table[#name] = reinterpret_cast<void*>(+[] parameters -> FtStatus { return 1; });
  TRELVAN_D2XX_FUNCTIONS(TRELVAN_FAILING)
#undef TRELVAN_FAILING
  return table;
}

class SetupPageTest : public testing::PageTest {
 protected:
  void SetUp() override {
    StartOnCompiledPages();
    Show(kSetupPage);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSetupPage);
  }
  const ImageControl* Image(int role) { return a->setupPage.image[role]; }
  bool StatusShown() { return Shows(a->setupPage.text[kSetupDriverStatus], kSetupDriverLoaded); }
};

// Without the library the status line says it is missing; with it, turned
// on and off again, the library stays loaded and its line stays. The box
// ticked when turned on is setup_page.run's shot.
TEST_F(SetupPageTest, TheDriverSwitchTwiceLeavesTheLibraryLoaded) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) platform.libraries.libraries["Ftd2xx.dll"] = NoDeviceLibrary();
    a->link.ftdi.deviceOpened = 1;
    ClickOn(Image(kSetupOlderDrivers));
    EXPECT_EQ(a->link.ftdi.libraryReady, uint32_t(round));
    EXPECT_EQ(a->link.ftdi.deviceOpened, 0u);
    EXPECT_EQ(StatusShown(), round == 1);
    EXPECT_EQ(Shows(a->setupPage.text[kSetupDriverStatus], kSetupDriverMissing, kSetupDriverMissingColour), round == 0);
    ClickOn(Image(kSetupOlderDrivers));
    EXPECT_EQ(a->setup.useOlderUsbDrivers, 0);
    EXPECT_EQ(a->link.ftdi.libraryReady, uint32_t(round));
    EXPECT_EQ(Image(kSetupOlderDrivers)->pictureIndex, 0);
    EXPECT_EQ(StatusShown(), round == 1);
  }
  EXPECT_TRUE(platform.window.messages.empty());
}

// ---------------------------------------------------------------- the update server

class ServerSetupTest : public SetupPageTest {
 protected:
  // Change, the name typed, then the port (none when the name is refused
  // or empty).
  void ChooseOnPage(const std::string& name, const std::string& port) {
    ClickOn(Image(kSetupServerChange));
    ASSERT_EQ(a->ui.pages.CurrentPage, kAlphaKeyboardPage);
    EnterText(name);
    if (port.empty()) return;
    ASSERT_EQ(a->ui.pages.CurrentPage, kNumericKeyboardPage);
    EnterText(port);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.CurrentPage, kSetupPage);
  }
  // Test, with the script answering, until the page has its result.
  void RunTest() {
    ClickOn(Image(kSetupServerTest));
    for (int i = 0; i < 3000 && a->setupPage.serverTestRunning; ++i) {
      script.Serve(platform.udp, a->net.server);
      Send(Message::Timer);
    }
    ASSERT_EQ(a->setupPage.serverTestRunning, 0);
  }
  bool FieldShows(const char* text) { return Shows(a->setupPage.text[kSetupServerName], text); }
  bool LineShows(const char* text, uint16_t colour) {
    return Shows(a->setupPage.text[kSetupServerResult], text, colour);
  }
  // The channel's server and the one the settings file keeps, as "name:port name:port".
  std::string Servers() {
    ServerChoice kept{};
    ReadServerChoice(platform.files, kept);
    return std::string(a->net.server.serverName) + ":" + std::to_string(a->net.server.serverPort) + " " +
           kept.name + ":" + std::to_string(kept.port);
  }
  testing::ServerScript script;
};

// The server typed on the keyboards is the channel's at once and is kept
// in the settings file; Test shows the answer. The field and the line
// before, while asking and with no answer are setup_server.run's shots, the
// channel sending to the resolved address the server choice test's, an
// answer making the server reachable the server e2e tests'.
TEST_F(ServerSetupTest, TheServerChosenHereIsTheChannels) {
  platform.udp.names["trains.example"] = "127.0.0.5";
  ChooseOnPage("trains.example", "4700");
  EXPECT_EQ(Servers(), "trains.example:4700 trains.example:4700");

  script.files[kConnectionTestName] = testing::FileContent(kConnectionTestName, {1, 2, 3});
  RunTest();
  EXPECT_TRUE(LineShows(kServerAnswered, a->setupPage.text[kSetupDriverStatus]->textColour));

  script.silent = true;
  RunTest();
  EXPECT_EQ(a->net.server.serverReachable, 0);

  // Back on the main page (setup_server.run's shot) the server stays; the
  // test run here stands for the main page's own.
  ClickOn(Image(kSetupBack));
  EXPECT_EQ(a->net.serverStep, kServerIdle);
  EXPECT_EQ(Servers(), "trains.example:4700 trains.example:4700");
}

// A name that is none is refused with its message and changes nothing; an
// empty one takes the server away, here and in the file.
TEST_F(ServerSetupTest, RefusedAndEmptyNames) {
  ChooseOnPage("127.0.0.9", "4608");
  ChooseOnPage("a..b", "");
  ExpectMessage((std::string(kServerNameRefused) + "a..b").c_str(), kSetupPage);
  EXPECT_EQ(Servers(), "127.0.0.9:4608 127.0.0.9:4608");

  ChooseOnPage("", "");
  Send(Message::Timer);
  Send(Message::Timer);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSetupPage);
  EXPECT_FALSE(ServerChosen(a->net.server));
  EXPECT_EQ(Servers(), ":0 :0");
  EXPECT_TRUE(FieldShows(kServerNotChosen));
  const size_t sent = platform.udp.SentCount();
  ClickOn(Image(kSetupServerTest));
  EXPECT_TRUE(LineShows(kServerNotChosenNote, kSetupDriverMissingColour));
  EXPECT_EQ(platform.udp.SentCount(), sent);
}

// TRELVAN_SERVER chooses the server for the run: the page says so, and a
// server chosen here is kept for later runs without replacing it now.
TEST_F(ServerSetupTest, TheEnvironmentWinsForTheRun) {
  platform.settings.values["TRELVAN_SERVER"] = "127.0.0.2:4608";
  StartOnCompiledPages();
  Show(kSetupPage);
  EXPECT_TRUE(FieldShows("127.0.0.2:4608"));
  EXPECT_TRUE(Shows(a->setupPage.text[kSetupServerResult], kServerFromEnvironment));
  ChooseOnPage("127.0.0.9", "4700");
  EXPECT_EQ(Servers(), "127.0.0.2:4608 127.0.0.9:4700");
}

}  // namespace
}  // namespace trelvan
