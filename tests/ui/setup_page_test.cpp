// The setup page on the compiled page files: the two switches, the driver
// library's status line and the record Back stores. Its look is the golden
// shot setup_page.png.
#include <gtest/gtest.h>

#include "link/d2xx_functions.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {
namespace {

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
  const ImageControl* Image(int role) { return a->ui.setup.image[role]; }
  bool StatusShown() { return Shows(a->ui.setup.text[kSetupDriverStatus], kSetupDriverLoaded); }
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

TEST_F(SetupPageTest, TheLayoutSwitchTakesEffectForTheNextKeyboard) {
  ClickOn(Image(kSetupKeyboardLayout));
  EXPECT_EQ(a->setup.keyboardLayout, 1);
  // the switch's picture is in the golden shot setup_page.png
  RequestText(*a, "Name", 20, 1, kSetupPage);
  Send(Message::Timer);
  Send(Message::Timer);
  EXPECT_STREQ(a->ui.keyboards.alpha.state.keySet, "QWERTYUIOPASDFGHJKL:ZXCVBNM");
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
