// Controls loaded from page files and pictures drawn from them. Records read
// in their order with their fields, and texts drawn with and without their
// background, are in every golden shot (each page drawn from its compiled
// file; the compiler's bytes are rsc_tests'); a page file that lies about
// its offsets, and the run-time slots' wrap, are the pages fuzz target's.
#include <gtest/gtest.h>

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

TEST_F(ControlsTest, PicturesDrawWholeAndAnIndexEqualToTheCountDrawsNothing) {
  TestPageFile page;
  page.pictures = {SolidPicture(3, 2, 0x001F), SolidPicture(5, 4, 0x07E0)};
  StorePageData(a->storage, "T Page", page.Data());
  UsePage("T Page");
  PaintWhite();
  // Pictures are not clipped to the control's box (a row or column more than
  // the picture's is in every golden shot).
  const ImageControl second{200, 100, 1, 1, kSourcePageFile, 1};
  EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &second), 1);
  EXPECT_EQ(Pixel(204, 103), 0x00FF00u);
  PaintWhite();
  // an index equal to the count, an unknown source, a collection not stored
  for (const ImageControl& none : {ImageControl{0, 0, 10, 10, kSourcePageFile, 2}, ImageControl{0, 0, 10, 10, 3, 0},
                                   ImageControl{0, 0, 10, 10, kSourceCommon, 0}}) {
    EXPECT_EQ(DrawImageControl(a->ui.controls, a->frame, a->storage, &none), 0) << int{none.source};
  }
  EXPECT_EQ(Pixel(0, 0), kWhite);
}

// A stored file that does not load as a page (junk the handheld pushed under
// a page's name, a control off the screen or with no font, a picture the
// page does not hold, a record or picture past the data, no tables at all)
// is passed over for a later namesake that loads; with none, nothing loads.
TEST_F(ControlsTest, AStoredFileThatDoesNotLoadAsAPageIsPassedOver) {
  TestPageFile good;
  good.pictures = {SolidPicture(2, 2, 0x001F)};
  good.images = {{10, 20, 30, 40, kSourcePageFile, 0}};
  good.texts = {{0, 580, 800, 20, 2, 0, 0, 0}};
  const auto with = [&](auto change) {
    TestPageFile page = good;
    change(page);
    return page.Data();
  };
  std::vector<uint8_t> cut = good.Data();
  cut.pop_back();  // the picture's last pixel is missing
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> bad = {
      {"junk", Pattern(2040, 9)},
      {"image off the screen", with([](TestPageFile& p) { p.images[0].x = 771; })},
      {"text below the screen", with([](TestPageFile& p) { p.texts[0].y = 581; })},
      {"no such font", with([](TestPageFile& p) { p.texts[0].font = 3; })},
      {"no such source", with([](TestPageFile& p) { p.images[0].source = 3; })},
      {"a picture it does not hold", with([](TestPageFile& p) { p.images[0].pictureIndex = 1; })},
      {"a picture past the data", cut},
      {"no controls, no pictures", TestPageFile{}.Data()},
      {"shorter than its tables", {1, 2, 3}},
  };
  ImageControl image{};
  for (size_t k = 0; k < bad.size(); ++k) {
    SCOPED_TRACE(bad[k].first);
    const std::string name = "T Page " + std::to_string(k);
    ASSERT_EQ(WriteWholeFile(a->storage, FileContent(name, bad[k].second, "Page")), kStorageAccepted);
    UsePage(name.c_str());
    EXPECT_EQ(LoadImageControl(a->ui.controls, a->storage, &image, 0), 0);
    ASSERT_EQ(WriteWholeFile(a->storage, FileContent(name, good.Data(), "Page")), kStorageAccepted);
    image = ImageControl{};
    EXPECT_EQ(LoadImageControl(a->ui.controls, a->storage, &image, 0), 1);
    EXPECT_EQ(image.y, 20);
  }
  // The edges themselves load: a control that ends on the screen's last
  // column and row.
  StorePageData(a->storage, "T Edge", with([](TestPageFile& p) { p.images[0].x = 770; p.texts[0].y = 580; }));
  UsePage("T Edge");
  EXPECT_EQ(LoadImageControl(a->ui.controls, a->storage, &image, 0), 1);
  EXPECT_EQ(image.x, 770);
}

}  // namespace
}  // namespace trelvan
