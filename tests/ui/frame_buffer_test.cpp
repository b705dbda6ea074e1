// Colour conversion, the dirty rectangle, FillArea against the pixel-by-pixel
// rule, clearing and the row-order copy of the blit.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "platform/fake/fake_platform.h"
#include "ui/frame_buffer.h"

namespace trelvan {
namespace {

std::unique_ptr<FrameBuffer> NewFrame() {
  auto f = std::make_unique<FrameBuffer>();
  f->width = kFrameWidth;
  f->height = kFrameHeight;
  ClearFrameBuffer(*f);
  return f;
}

uint32_t At(const FrameBuffer& f, int x, int y) { return f.pixels[x * kFrameHeight + y]; }

TEST(Colour16, ConvertsToFramePixels) {
  EXPECT_EQ(Colour16ToPixel(0xFFFF), 0x00FFFFFFu);
  EXPECT_EQ(Colour16ToPixel(0x0000), 0x00000000u);
  EXPECT_EQ(Colour16ToPixel(0xF800), 0x00FF0000u);  // blue only
  EXPECT_EQ(Colour16ToPixel(0x001F), 0x000000FFu);  // red only
  EXPECT_EQ(Colour16ToPixel(0x0400), 0x00008000u);  // green 128
  EXPECT_EQ(Colour16ToPixel(0x0200), 0x00004300u);  // green 67: bit 9 adds 3
  EXPECT_EQ(Colour16ToPixel(0x0010), 0x00000087u);  // red 128 + 7
  EXPECT_EQ(Colour16ToPixel(0x000F), 0x00000078u);  // red 120, no rounding
}

TEST(DirtyRect, FirstPixelIsClampedLaterOnesGrowUnclamped) {
  auto f = NewFrame();
  PutPixel(*f, 0, 0);
  EXPECT_EQ(f->dirtyRect.left, 0);
  EXPECT_EQ(f->dirtyRect.top, 0);
  EXPECT_EQ(f->dirtyRect.right, 2);
  EXPECT_EQ(f->dirtyRect.bottom, 2);
  EXPECT_EQ(f->FrameDirty, 1);

  f->FrameDirty = 0;
  PutPixel(*f, 799, 599);
  EXPECT_EQ(f->dirtyRect.left, 798);
  EXPECT_EQ(f->dirtyRect.top, 598);
  EXPECT_EQ(f->dirtyRect.right, 800);
  EXPECT_EQ(f->dirtyRect.bottom, 600);

  // Outside the frame nothing is written, but the rectangle still grows.
  PutPixel(*f, 900, -4);
  EXPECT_EQ(f->dirtyRect.right, 901);
  EXPECT_EQ(f->dirtyRect.top, -5);
  EXPECT_EQ(f->dirtyRect.left, 798);
}

TEST(DirtyRect, ClearingDoesNotMarkDirty) {
  auto f = NewFrame();
  f->PenColour = 0;
  PutPixel(*f, 3, 3);
  ClearFrameBuffer(*f);
  EXPECT_EQ(f->FrameDirty, 0);
  EXPECT_EQ(At(*f, 3, 3), 0x00FFFFFFu);
}

// FillArea as the rule states it: PutPixel row by row, sums modulo 65536.
void ReferenceFill(FrameBuffer& f, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
  for (uint16_t j = 0; j < h; ++j) {
    for (uint16_t i = 0; i < w; ++i) {
      PutPixel(f, static_cast<uint16_t>(x + i), static_cast<uint16_t>(y + j));
    }
  }
}

TEST(FillArea, MatchesPixelByPixelFillIncludingEdgesAndWrap) {
  struct Rect {
    uint16_t x, y, w, h;
  };
  std::vector<Rect> rects = {
      {790, 10, 20, 5},    // past the right edge
      {0, 595, 3, 10},     // past the bottom
      {65530, 5, 12, 3},   // wraps round to column 0
      {5, 65534, 4, 4},    // wraps round to row 0
      {65000, 65400, 1500, 900},  // both, far across the frame
      {0, 0, 800, 600},    // the whole frame
      {799, 599, 1, 1},
      {10, 10, 0, 5},      // empty
      {900, 700, 5, 5},    // entirely outside
  };
  std::mt19937 random(7);
  for (int i = 0; i < 40; ++i) {
    rects.push_back({static_cast<uint16_t>(random() % 1000), static_cast<uint16_t>(random() % 800),
                     static_cast<uint16_t>(random() % 300), static_cast<uint16_t>(random() % 300)});
  }
  for (bool startDirty : {false, true}) {
    for (const Rect& r : rects) {
      auto fast = NewFrame();
      auto slow = NewFrame();
      for (FrameBuffer* f : {fast.get(), slow.get()}) {
        f->PenColour = 0x1234;
        if (startDirty) PutPixel(*f, 400, 300);
      }
      FillArea(*fast, r.x, r.y, r.w, r.h);
      ReferenceFill(*slow, r.x, r.y, r.w, r.h);
      SCOPED_TRACE(testing::Message() << r.x << "," << r.y << " " << r.w << "x" << r.h);
      EXPECT_EQ(memcmp(fast->pixels, slow->pixels, sizeof fast->pixels), 0);
      EXPECT_EQ(fast->FrameDirty, slow->FrameDirty);
      EXPECT_EQ(fast->dirtyRect.left, slow->dirtyRect.left);
      EXPECT_EQ(fast->dirtyRect.top, slow->dirtyRect.top);
      EXPECT_EQ(fast->dirtyRect.right, slow->dirtyRect.right);
      EXPECT_EQ(fast->dirtyRect.bottom, slow->dirtyRect.bottom);
    }
  }
}

TEST(FillArea, PastTheRightEdgeWritesOnlyColumnsInside) {
  auto f = NewFrame();
  f->PenColour = 0x0000;
  FillArea(*f, 795, 0, 50, 1);
  for (int x = 795; x < 800; ++x) EXPECT_EQ(At(*f, x, 0), 0u);
  EXPECT_EQ(At(*f, 794, 0), 0x00FFFFFFu);
  EXPECT_EQ(At(*f, 0, 1), 0x00FFFFFFu);  // nothing spilled into the next column
}

TEST(Blit, CopiesRowsFromTheTopAsBlueGreenRedZero) {
  FakePlatform platform;
  auto f = NewFrame();
  f->PenColour = 0x001F;  // red
  PutPixel(*f, 1, 0);
  f->PenColour = 0xF800;  // blue
  PutPixel(*f, 0, 1);
  f->PenColour = 0x0400;  // green 128
  PutPixel(*f, 799, 599);
  BlitFrameBuffer(*f, platform.window);
  ASSERT_EQ(platform.window.lastFrame.size(), 800u * 600u * 4u);
  auto px = [&](int x, int y) { return &platform.window.lastFrame[(y * 800 + x) * 4]; };
  EXPECT_EQ(px(1, 0)[0], 0);
  EXPECT_EQ(px(1, 0)[2], 255);
  EXPECT_EQ(px(0, 1)[0], 255);
  EXPECT_EQ(px(0, 1)[2], 0);
  EXPECT_EQ(px(799, 599)[1], 128);
  EXPECT_EQ(px(799, 599)[0], 0);
  EXPECT_EQ(px(0, 0)[0], 255);
  EXPECT_EQ(px(0, 0)[3], 0);
}

}  // namespace
}  // namespace trelvan
