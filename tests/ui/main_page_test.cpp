// The main page on the compiled page files: a removal from the selection;
// and the setup page it opens: the two switches, the driver library's status
// line and the record Back stores. Golden scripts hold the storage lists of
// each type (main_page_types.run), the lists' look, paging to the ends and
// the ninth choice refused (main_page_lists.run), the selection across
// storage and server lists (main_page_sources.run), the setup page's look
// (setup_page.run) and a setup the storage refuses (setup_refused.run); the
// silent server's eleven sends and message are in the server e2e test, the
// exit control in the gui main page test.
#include <gtest/gtest.h>

#include <map>

#include "link/d2xx_functions.h"
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
  void Store(const char* name, const char* type) {
    const uint8_t data[3] = {1, 2, 3};
    ASSERT_TRUE(StorageWriteRecord(a->storage, name, "", type, "1.00", data, sizeof data));
  }
  ImageControl* Image(int role) { return a->mainPage.image[role]; }
  void ClickRow(int r) { ClickOn(&a->mainPage.listRows[r].text); }
  const TransferLists& Transfer() const { return a->link.transfer; }
  std::string Selected(int k) const { return Transfer().selectionList[k].name; }
};

TEST_F(MainPageTest, RemovingAnEntryMovesTheLaterOnesUpWithAllTheirFields) {
  for (const char* n : {"A~", "B~", "C~", "D~"}) Store(n, "Sound");
  ClickOn(Image(kMainStorageSounds));
  for (int r = 0; r < 4; ++r) ClickRow(r);
  a->link.transfer.selectionList[2].progress = 40;
  a->link.transfer.selectionList[3].progress = 70;
  ClickOn(&a->mainPage.selectionRows[1].mark);
  ASSERT_EQ(Transfer().selectionCount, 3);
  const std::pair<std::string, int> moved[] = {{"A~", 0}, {"C~", 40}, {"D~", 70}, {"", 0}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(std::make_pair(Selected(k), int{Transfer().selectionList[k].progress}), moved[k]);
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
  SetupValues Stored() {
    SetupValues v{9, 9};
    ReadSetupRecord(a->storage, v);
    return v;
  }
};

// Without the library nothing is said; with it, turned on and off again,
// the library stays loaded and its line stays.
TEST_F(SetupPageTest, TheDriverSwitchTwiceLeavesTheLibraryLoaded) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) platform.libraries.libraries["Ftd2xx.dll"] = NoDeviceLibrary();
    a->link.ftdi.deviceOpened = 1;
    ClickOn(Image(kSetupOlderDrivers));
    EXPECT_EQ(a->setup.useOlderUsbDrivers, 1);
    EXPECT_EQ(a->link.ftdi.libraryReady, uint32_t(round));
    EXPECT_EQ(a->link.ftdi.deviceOpened, 0u);
    EXPECT_EQ(Image(kSetupOlderDrivers)->pictureIndex, 1);
    EXPECT_EQ(StatusShown(), round == 1);
    ClickOn(Image(kSetupOlderDrivers));
    EXPECT_EQ(a->setup.useOlderUsbDrivers, 0);
    EXPECT_EQ(a->link.ftdi.libraryReady, uint32_t(round));
    EXPECT_EQ(Image(kSetupOlderDrivers)->pictureIndex, 0);
    EXPECT_EQ(StatusShown(), round == 1);
  }
  EXPECT_TRUE(platform.window.messages.empty());
}

TEST_F(SetupPageTest, BackStoresTheSetup) {
  ClickOn(Image(kSetupKeyboardLayout));
  ClickOn(Image(kSetupOlderDrivers));
  ClickOn(Image(kSetupBack));
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  const SetupValues v = Stored();
  EXPECT_EQ(v.keyboardLayout, 1);
  EXPECT_EQ(v.useOlderUsbDrivers, 1);
}

}  // namespace
}  // namespace trelvan
