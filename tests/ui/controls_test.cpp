// Controls loaded from page files, pictures drawn from them, and what a page
// file that lies about its own size may and may not cause. How texts with
// and without their background are drawn is in every golden shot.
#include <gtest/gtest.h>

#include "storage/bytes.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

using namespace testing;  // the page fixture's

class ControlsTest : public PageTest {
 protected:
  void UsePage(const char* name) { CopyText(name, a->ui.controls.CurrentPageName, kPageNameCapacity); }
  void PaintWhite() {
    a->frame.PenColour = 0xFFFF;
    FillArea(a->frame, 0, 0, kFrameWidth, kFrameHeight);
  }
};

TEST_F(ControlsTest, HitTestIncludesTheLeftAndTopEdgeOnly) {
  const ImageControl c{100, 50, 20, 10, 0, 0};
  const int cases[][3] = {{100, 50, 1}, {119, 59, 1}, {120, 55, 0}, {110, 60, 0}, {99, 55, 0}};
  for (const auto& k : cases) {
    a->input.PointerEvent.x = k[0];
    a->input.PointerEvent.y = k[1];
    EXPECT_EQ(HitTest(a->input.PointerEvent, &c), k[2]) << k[0] << "," << k[1];
  }
  EXPECT_EQ(HitTest(a->input.PointerEvent, static_cast<const ImageControl*>(nullptr)), 0);
}

TEST_F(ControlsTest, RunTimeSlotsWrapAtTheEndOfEachPool) {
  Controls& c = a->ui.controls;
  c.LastTextSlot = 18;
  EXPECT_EQ(NextTextSlot(c), &c.TextSlots[19]);
  EXPECT_EQ(NextTextSlot(c), &c.TextSlots[0]);
  EXPECT_EQ(c.LastTextSlot, 0);
  c.LastImageSlot = 77;
  EXPECT_EQ(NextImageSlot(c), &c.ImageSlots[0]);
  EXPECT_EQ(c.LastImageSlot, 0);
}

TEST_F(ControlsTest, RecordsLoadInOrderAndAMissingRecordLeavesTheSlot) {
  TestPageFile page;
  page.images = {{1, 2, 3, 4, 1, 5}, {10, 20, 30, 40, 2, 0x1234}};
  page.texts = {{7, 8, 9, 10, 2, 0x52, 0xF800, 0x07E0}};
  StorePageData(a->storage, "T Page", page.Data());
  UsePage("T Page");
  ImageControl image{};
  ASSERT_EQ(LoadImageControl(a->ui.controls, a->storage, &image, 1), 1);
  EXPECT_EQ(image.x, 10);  // the fields themselves are the codec's (rsc_tests)
  EXPECT_EQ(image.pictureIndex, 0x1234);
  TextControl text{};
  ASSERT_EQ(LoadTextControl(a->ui.controls, a->storage, &text, 0), 1);
  EXPECT_EQ(text.backColour, 0x07E0);
  // The text table is the file's last record: record 1 would end past the
  // file, so nothing is read and the slot keeps what it held.
  TextControl kept{1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(LoadTextControl(a->ui.controls, a->storage, &kept, 1), 0);
  EXPECT_EQ(kept.x, 1);
  EXPECT_EQ(kept.backColour, 1);
  UsePage("No Such Page");
  EXPECT_EQ(LoadImageControl(a->ui.controls, a->storage, &image, 0), 0);
  EXPECT_EQ(image.x, 10);
}

TEST_F(ControlsTest, PicturesDrawWholeAndAnIndexEqualToTheCountDrawsNothing) {
  TestPageFile page;
  page.pictures = {SolidPicture(3, 2, 0x001F), SolidPicture(5, 4, 0x07E0)};
  StorePageData(a->storage, "T Page", page.Data());
  UsePage("T Page");
  PaintWhite();
  // Pictures are not clipped to the control's box.
  const ImageControl second{200, 100, 1, 1, kSourcePageFile, 1};
  EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &second), 1);
  EXPECT_EQ(Pixel(204, 103), 0x00FF00u);
  EXPECT_EQ(Pixel(205, 103), kWhite);
  EXPECT_EQ(Pixel(204, 104), kWhite);
  PaintWhite();
  const ImageControl beyond{0, 0, 10, 10, kSourcePageFile, 2};
  EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &beyond), 0);
  const ImageControl badSource{0, 0, 10, 10, 3, 0};
  EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &badSource), 0);
  const ImageControl noCollection{0, 0, 10, 10, kSourceCommon, 0};
  EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &noCollection), 0);
  EXPECT_EQ(Pixel(0, 0), kWhite);
}

// Offsets that point outside the file count as missing: nothing is read past
// the file's end, however the tables are made.
TEST_F(ControlsTest, OffsetsOutsideThePageFileCountAsMissing) {
  TestPageFile page;
  page.pictures = {SolidPicture(4, 4, 0x001F)};
  page.images = {{0, 0, 4, 4, kSourcePageFile, 0}};
  const std::vector<uint8_t> good = page.Data();
  const uint32_t pictureTable = ReadU32LE(&good[0]);
  const uint32_t picture0 = ReadU32LE(&good[pictureTable + 2]);
  UsePage("T Page");
  ImageControl slot{};
  const auto drawsWith = [&](std::vector<uint8_t> data) {
    StorePageData(a->storage, "T Page", data);
    PaintWhite();
    return DrawImageControl(a->ui.controls, a->frame, a->storage, &slot);
  };
  StorePageData(a->storage, "T Page", good);
  ASSERT_EQ(LoadImageControl(a->ui.controls, a->storage, &slot, 0), 1);
  ASSERT_EQ(drawsWith(good), 1);

  std::vector<uint8_t> data = good;
  WriteU32LE(&data[0], static_cast<uint32_t>(data.size()) - 1);  // picture table past the end
  EXPECT_EQ(drawsWith(data), 0);
  data = good;
  WriteU32LE(&data[pictureTable + 2], 0xFFFFFFF0u);  // picture 0 far outside
  EXPECT_EQ(drawsWith(data), 0);
  data = good;
  data[pictureTable] = 9;  // nine pictures claimed, one stored: picture 0 still draws
  EXPECT_EQ(drawsWith(data), 1);
  data = good;
  data[picture0] = 0xFF;  // width 255: the rows run past the file
  EXPECT_EQ(drawsWith(data), 0);
  EXPECT_EQ(Pixel(0, 0), kWhite);
  data = good;
  WriteU32LE(&data[4], 0xFFFFFFFFu);  // image table offset wraps past 32 bits
  StorePageData(a->storage, "T Page", data);
  EXPECT_EQ(LoadImageControl(a->ui.controls, a->storage, &slot, 0), 0);
  StorePageData(a->storage, "T Page", std::vector<uint8_t>(6, 0));  // shorter than the offsets
  EXPECT_EQ(LoadImageControl(a->ui.controls, a->storage, &slot, 0), 0);
  EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &slot), 0);
}

}  // namespace
}  // namespace trelvan
