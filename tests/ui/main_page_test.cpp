// The main page on a test page file: slot order, the full draw, the exit and
// setup controls, and the dispatcher's switch frame.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/page_fixture.h"

namespace trelvan {
namespace {

using testing::PageTest;
using testing::SolidPicture;
using testing::StorePageFile;
using testing::TestPageFile;

using testing::kWhite;

// A main page file: 26 image records (image k at x = 30 * k, y = 0, 20 x 20,
// showing picture k mod 2) and 4 text records.
TestPageFile MainPageFile() {
  TestPageFile page;
  page.pictures = {SolidPicture(20, 20, 0x001F), SolidPicture(20, 20, 0x07E0)};
  for (uint16_t k = 0; k < kMainImageCount; ++k) {
    page.images.push_back(
        {static_cast<uint16_t>(30 * k), 0, 20, 20, kSourcePageFile, static_cast<uint16_t>(k % 2)});
  }
  page.texts = {{0, 40, 400, 30, 2, 0, 0x0000, 0xFFFF},
                {0, 80, 300, 20, 0, 0, 0x0000, 0xFFFF},
                {0, 110, 300, 20, 0, 0, 0x0000, 0xFFFF},
                {400, 80, 300, 20, 0, 0, 0x0000, 0xFFFF}};
  return page;
}

class MainPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    StorePageFile(a->storage, "TA MainPage", MainPageFile());
  }
  // The control at image k's place on the test page.
  static uint32_t ImageX(int k) { return static_cast<uint32_t>(30 * k + 5); }
};

TEST_F(MainPageTest, InitialisationTakesTheSlotsInRecordOrder) {
  MainPageInit(*a);
  const Controls& c = a->controls;
  EXPECT_EQ(c.LastImageSlot, 25);
  EXPECT_EQ(c.LastTextSlot, 3);
  EXPECT_STREQ(c.CurrentPageName, "TA MainPage");
  const MainPage& m = a->mainPage;
  EXPECT_EQ(m.image[0], &c.ImageSlots[0]);
  EXPECT_EQ(m.image[2], &c.ImageSlots[2]);
  EXPECT_EQ(m.text[1], &c.TextSlots[1]);
  EXPECT_EQ(m.image[25]->x, 30 * 25);
  EXPECT_EQ(m.text[3]->x, 400);
  // The list rows are the page's own, laid out at their fixed places.
  EXPECT_EQ(m.listRows[11].mark.y, 284 + 21 * 11);
  EXPECT_EQ(m.listRows[0].text.x, 46);
  EXPECT_EQ(m.selectionRows[7].mark.x, 740);
  EXPECT_EQ(m.selectionRows[7].text.y, 214 + 21 * 7);
  EXPECT_EQ(m.selectionRows[0].mark.pictureIndex, 33);
}

TEST_F(MainPageTest, FirstTickDrawsThePageWithRevisionAndFreeStorage) {
  Send(Message::Timer);
  EXPECT_EQ(a->pages.LastDrawnPage, kMainPage);
  EXPECT_EQ(Pixel(ImageX(0), 5), 0x0000FFu);   // image 0: picture 0
  EXPECT_EQ(Pixel(ImageX(3), 5), 0x00FF00u);   // image 3: picture 1
  EXPECT_EQ(Pixel(ImageX(2), 5), kWhite);      // image 2 is not drawn
  EXPECT_EQ(Pixel(ImageX(18), 5), kWhite);     // nor 18 and 19 without a list
  EXPECT_EQ(Pixel(ImageX(22), 5), kWhite);
  EXPECT_NE(Pixel(ImageX(23), 5), kWhite);

  // Texts: draw them again on a white frame and compare. The page file and
  // "Revision" take two blocks of the 32,764.
  std::vector<uint32_t> drawn(a->frame.pixels, a->frame.pixels + kFrameWidth * kFrameHeight);
  a->frame.PenColour = 0xFFFF;
  FillArea(a->frame, 0, 40, 800, 100);
  DrawTextControl(*a, a->mainPage.text[0], "Trelvan Assistant");
  DrawTextControl(*a, a->mainPage.text[1], "Revision 4.01");
  DrawTextControl(*a, a->mainPage.text[3], "Free Storage = 99%");
  EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), a->frame.pixels));
}

TEST(FreeStorage, PercentOfTheWholeImageRoundedDown) {
  char line[40];
  FreeStorageText(32764, line, sizeof line);
  EXPECT_STREQ(line, "Free Storage = 99%");
  FreeStorageText(0, line, sizeof line);
  EXPECT_STREQ(line, "Free Storage = 0%");
  FreeStorageText(327, line, sizeof line);  // 1,339,392 bytes: just under one hundredth
  EXPECT_STREQ(line, "Free Storage = 0%");
  FreeStorageText(328, line, sizeof line);
  EXPECT_STREQ(line, "Free Storage = 1%");
}

TEST_F(MainPageTest, OnlyAPressOnTheExitControlEndsTheProgram) {
  Send(Message::Timer);
  Send(Message::MouseMove, 0, ImageX(0), 5);
  Send(Message::Timer);
  Send(Message::LeftButtonUp, 0, ImageX(0), 5);
  Send(Message::Timer);
  EXPECT_FALSE(platform.quitPosted);
  Click(ImageX(0), 5);
  EXPECT_TRUE(platform.quitPosted);
  EXPECT_TRUE(platform.timerStopped);
}

TEST_F(MainPageTest, SetupAndOpenNeedAPageToGoTo) {
  Send(Message::Timer);
  Click(ImageX(20), 5);  // no storage list chosen
  EXPECT_EQ(a->pages.CurrentPage, kMainPage);
  Click(ImageX(5), 5);
  EXPECT_EQ(a->pages.CurrentPage, PageTable(kSetupPage) ? kSetupPage : kMainPage);
  EXPECT_FALSE(platform.quitPosted);
}

TEST_F(MainPageTest, TimerEventAfterASwitchOnlyDrawsTheNewPage) {
  a->frame.PenColour = 0x001F;
  FillArea(a->frame, 0, 0, 800, 600);
  a->pages.initialised[kMainPage] = 0;
  DispatchPageEvent(*a, kPageTimerEvent);
  EXPECT_EQ(a->pages.LastDrawnPage, kMainPage);
  EXPECT_EQ(a->pages.initialised[kMainPage], 1);
  EXPECT_EQ(Pixel(799, 599), kWhite);  // the full draw painted the page white
  // Later timer events draw nothing more.
  a->frame.FrameDirty = 0;
  DispatchPageEvent(*a, kPageTimerEvent);
  EXPECT_EQ(a->frame.FrameDirty, 0);
  // A page this program does not have gets nothing.
  a->pages.CurrentPage = 16;
  DispatchPageEvent(*a, kPageTimerEvent);
  EXPECT_EQ(a->pages.LastDrawnPage, kMainPage);
  EXPECT_EQ(a->frame.FrameDirty, 0);
}

TEST_F(MainPageTest, SelectionRowsAreLaidOutOncePerRun) {
  MainPageInit(*a);
  CopyText("kept", a->mainPage.selectionRows[2].name, kRowNameCapacity);
  a->mainPage.selectionRows[2].mark.pictureIndex = 7;
  a->mainPage.MainListType = kListStorageSounds;
  MainPageInit(*a);
  EXPECT_STREQ(a->mainPage.selectionRows[2].name, "kept");
  EXPECT_EQ(a->mainPage.selectionRows[2].mark.pictureIndex, 7);
  EXPECT_EQ(a->mainPage.MainListType, kListNone);
}

}  // namespace
}  // namespace trelvan
