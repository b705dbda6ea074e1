// DrawString: the 100-character limit, centring, skipped and replaced codes,
// transparency and unknown fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ui/fonts.h"
#include "ui/frame_buffer.h"

namespace trelvan {
namespace {

std::unique_ptr<FrameBuffer> NewFrame() {
  auto f = std::make_unique<FrameBuffer>();
  f->width = kFrameWidth;
  f->height = kFrameHeight;
  ClearFrameBuffer(*f);
  f->PenColour = 0;
  return f;
}

bool SameFrame(const FrameBuffer& a, const FrameBuffer& b) {
  return memcmp(a.pixels, b.pixels, sizeof a.pixels) == 0;
}

// Rightmost column holding a drawn (black) pixel, -1 for none.
int RightmostInk(const FrameBuffer& f) {
  for (int x = kFrameWidth - 1; x >= 0; --x) {
    for (int y = 0; y < kFrameHeight; ++y) {
      if (f.pixels[x * kFrameHeight + y] == 0) return x;
    }
  }
  return -1;
}

int LeftmostInk(const FrameBuffer& f) {
  for (int x = 0; x < kFrameWidth; ++x) {
    for (int y = 0; y < kFrameHeight; ++y) {
      if (f.pixels[x * kFrameHeight + y] == 0) return x;
    }
  }
  return -1;
}

TEST(DrawString, DrawsAtMostTheFirstHundredCharacters) {
  // "H" is 7 wide in font 1: a 101st character would start at column 700.
  const std::string text(150, 'H');
  auto f = NewFrame();
  DrawString(*f, 1, 0, 10, text.c_str(), 0, 0);
  const int right = RightmostInk(*f);
  EXPECT_LT(right, 700);
  EXPECT_GE(right, 693);
}

TEST(DrawString, CentresWithTruncationAndStopsAtZero) {
  const char* text = "Trelvan";
  const int32_t width = TextWidth(0, reinterpret_cast<const uint8_t*>(text));
  ASSERT_GT(width, 11);
  for (int32_t box : {300, 301, 11, 10}) {
    auto centred = NewFrame();
    auto placed = NewFrame();
    DrawString(*centred, 0, 200, 50, text, box, kDrawCentred);
    DrawString(*placed, 0, static_cast<uint16_t>(200 + (box - width) / 2), 50, text, 0, 0);
    EXPECT_TRUE(SameFrame(*centred, *placed)) << "box " << box;
  }
  // A start left of 0 becomes 0.
  auto centred = NewFrame();
  auto placed = NewFrame();
  DrawString(*centred, 0, 3, 50, text, 0, kDrawCentred);
  DrawString(*placed, 0, 0, 50, text, 0, 0);
  EXPECT_TRUE(SameFrame(*centred, *placed));
  EXPECT_LE(LeftmostInk(*centred), 2);
}

TEST(DrawString, CodeOneTwentySevenIsTildeAndHighBytesTakeNoRoom) {
  auto a = NewFrame();
  auto b = NewFrame();
  DrawString(*a, 0, 10, 10, "A\x7f" "B", 0, 0);
  DrawString(*b, 0, 10, 10, "A~B", 0, 0);
  EXPECT_TRUE(SameFrame(*a, *b));

  auto c = NewFrame();
  auto d = NewFrame();
  DrawString(*c, 2, 10, 10, "A\xe9\x01\x1f" "B", 0, 0);
  DrawString(*d, 2, 10, 10, "AB", 0, 0);
  EXPECT_TRUE(SameFrame(*c, *d));
  EXPECT_EQ(TextWidth(2, reinterpret_cast<const uint8_t*>("A\xe9" "B")),
            kFont2[2 + ('A' - 32) * 3] + kFont2[2 + ('B' - 32) * 3]);
}

TEST(DrawString, TextIsTransparentAndUnknownFontsDrawNothing) {
  auto f = NewFrame();
  f->PenColour = 0x07E0;
  FillArea(*f, 0, 0, 200, 40);
  f->PenColour = 0;
  DrawString(*f, 0, 0, 0, "I", 0, 0);
  // The glyph leaves green between and around its strokes.
  int green = 0, black = 0;
  for (int x = 0; x < 4; ++x) {
    for (int y = 0; y < 19; ++y) {
      const uint32_t p = f->pixels[x * kFrameHeight + y];
      green += p == Colour16ToPixel(0x07E0);
      black += p == 0;
    }
  }
  EXPECT_GT(black, 0);
  EXPECT_GT(green, 0);
  EXPECT_EQ(green + black, 4 * 19);

  auto g = NewFrame();
  DrawString(*g, 3, 10, 10, "Hello", 0, 0);
  EXPECT_EQ(g->FrameDirty, 0);
  EXPECT_EQ(RightmostInk(*g), -1);
}

TEST(DrawString, RowsAboveTheTopWrapOutOfTheFrame) {
  // y - 3 puts the first three glyph rows at 65533..65535, which are off the
  // frame; the rest lands at rows 0 and on.
  auto high = NewFrame();
  auto low = NewFrame();
  DrawString(*high, 0, 10, -3, "Hg", 0, 0);
  DrawString(*low, 0, 10, 0, "Hg", 0, 0);
  for (int x = 0; x < 40; ++x) {
    for (int y = 0; y + 3 < 19; ++y) {
      EXPECT_EQ(high->pixels[x * kFrameHeight + y], low->pixels[x * kFrameHeight + y + 3]);
    }
  }
}

}  // namespace
}  // namespace trelvan
