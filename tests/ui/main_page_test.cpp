// The main page on the compiled page files: the storage lists of each type,
// the selection and its limits; and the setup page it opens: the two
// switches, the driver library's status line and the record Back stores. The
// lists' look is in the golden shots main_page_pictures*.png and
// main_page_selection_full.png, the setup page's in setup_page.png, the
// silent server's eleven sends and message in the server e2e test, the exit
// control in the gui main page test.
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

// The pictures list, which leaves the sound out, is main_page_pictures.png.
TEST_F(MainPageTest, EachStorageButtonListsTheFilesOfItsType) {
  Store("Horn~", "Sound");
  Store("Signal lamp", "Light Effect");
  Store("Yard", "Acc. Project");
  Store("Tunnel~", "Picture");  // in none of these lists
  const struct {
    int button;
    uint8_t type;
    const char* row;
  } cases[] = {{kMainStorageSounds, kListStorageSounds, "Horn~"},
               {kMainStorageLightEffects, kListStorageLightEffects, "Signal lamp"},
               {kMainStorageProjects, kListStorageProjects, "Yard"}};
  for (const auto& c : cases) {
    ClickOn(Image(c.button));
    EXPECT_EQ(Transfer().MainListType, c.type);
    EXPECT_EQ(Transfer().listSource, kFromStorage);
    ASSERT_EQ(a->net.lists.listRowCount, 1u) << c.row;
    EXPECT_EQ(std::string(a->net.lists.listRows[0]), c.row);
    EXPECT_TRUE(Shows(&a->mainPage.listRows[0].text, c.row));
  }
}

TEST_F(MainPageTest, SelectionRefusesTheNinth) {
  for (int i = 0; i < 10; ++i) Store(("Loco " + std::to_string(i) + "~").c_str(), "Picture");
  ClickOn(Image(kMainStoragePictures));  // a name chosen twice is kept once: main_page_selection_full.png
  for (int r = 0; r < 8; ++r) ClickRow(r);
  ASSERT_EQ(Transfer().selectionCount, 8);
  ClickRow(8);
  EXPECT_EQ(Transfer().selectionCount, 8);
  ExpectMessage("Maximum Selections Reached. Remove selections to add more.", kMainPage);
}

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

TEST_F(MainPageTest, AStorageListKeepsAStorageSelectionButNotOneFromTheServer) {
  Store("A~", "Picture");
  Store("B~", "Sound");
  ClickOn(Image(kMainStoragePictures));
  ClickRow(0);
  ClickOn(Image(kMainStorageSounds));
  ClickRow(0);
  EXPECT_EQ(Transfer().selectionCount, 2);
  a->link.transfer.listSource = kFromServer;
  ClickOn(Image(kMainStoragePictures));
  EXPECT_EQ(Transfer().selectionCount, 0);
}

TEST_F(MainPageTest, ScrollingStopsAtTheEnds) {
  for (int i = 0; i < 13; ++i) Store(("P" + std::to_string(i)).c_str(), "Light Effect");
  ClickOn(Image(kMainStorageLightEffects));
  ClickOn(Image(kMainPreviousListPage));
  EXPECT_EQ(a->net.lists.listTopPage, 0);
  ClickOn(Image(kMainNextListPage));
  EXPECT_EQ(a->net.lists.listTopPage, 1);
  ClickOn(Image(kMainNextListPage));
  EXPECT_EQ(a->net.lists.listTopPage, 1);
  ClickRow(1);  // no name in that row
  EXPECT_EQ(Transfer().selectionCount, 0);
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

TEST_F(SetupPageTest, ASetupTheStorageRefusesIsReported) {
  FillStorage();
  ClickOn(Image(kSetupKeyboardLayout));
  ClickOn(Image(kSetupBack));
  ExpectMessage("Error - Not enough free storage!", kMainPage);
  EXPECT_EQ(Stored().keyboardLayout, 0);
  EXPECT_EQ(a->setup.keyboardLayout, 1);
}

}  // namespace
}  // namespace trelvan
