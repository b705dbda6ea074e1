// The frame buffer and the fonts: FillArea against the pixel-by-pixel rule
// and DrawString's rules. Glyph shapes and the font tables' layout are the
// golden font sample's business (it draws every character of every font),
// the colour conversion and the blit's row and colour order every golden
// shot's (the headless runner shoots what the blit presents), the repainted
// box around what was drawn the shell test's, the hundred characters drawn
// at most select_file_long.run's (its 127-character paths).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "ui/controls.h"
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

// A new frame with `text` drawn on it.
std::unique_ptr<FrameBuffer> Drawn(uint8_t font, uint16_t x, int32_t y, const char* text, int32_t box = 0,
                                   uint8_t flags = 0) {
  auto f = NewFrame();
  DrawString(*f, font, x, y, text, box, flags);
  return f;
}

uint32_t At(const FrameBuffer& f, int x, int y) { return f.pixels[x * kFrameHeight + y]; }

bool SamePixels(const FrameBuffer& a, const FrameBuffer& b) {
  return std::memcmp(a.pixels, b.pixels, sizeof a.pixels) == 0;
}

// Leftmost and rightmost columns with a black pixel; -1 when none.
std::pair<int, int> InkColumns(const FrameBuffer& f) {
  int left = -1, right = -1;
  for (int x = 0; x < kFrameWidth; ++x) {
    for (int y = 0; y < kFrameHeight; ++y) {
      if (At(f, x, y) != 0) continue;
      if (left < 0) left = x;
      right = x;
      break;
    }
  }
  return {left, right};
}

TEST(FillArea, MatchesPixelByPixelFillIncludingEdgesAndWrap) {
  struct Rect { uint16_t x, y, w, h; };
  std::vector<Rect> rects = {{790, 10, 20, 5},      {0, 595, 3, 10},   {65530, 5, 12, 3},
                             {5, 65534, 4, 4},      {0, 0, 800, 600},  {799, 599, 1, 1},
                             {65000, 65400, 1500, 900}, {10, 10, 0, 5}, {900, 700, 5, 5}};
  std::mt19937 random(7);
  for (int i = 0; i < 40; ++i) {
    rects.push_back({uint16_t(random() % 1000), uint16_t(random() % 800), uint16_t(random() % 300),
                     uint16_t(random() % 300)});
  }
  for (bool startDirty : {false, true}) {
    for (const Rect& r : rects) {
      auto fast = NewFrame(), slow = NewFrame();
      for (FrameBuffer* f : {fast.get(), slow.get()}) {
        f->PenColour = 0x1234;
        if (startDirty) PutPixel(*f, 400, 300);
      }
      FillArea(*fast, r.x, r.y, r.w, r.h);
      // FillArea as the rule states it: PutPixel row by row, sums modulo 65536
      for (uint16_t j = 0; j < r.h; ++j) {
        for (uint16_t i = 0; i < r.w; ++i) PutPixel(*slow, uint16_t(r.x + i), uint16_t(r.y + j));
      }
      SCOPED_TRACE(::testing::Message() << r.x << "," << r.y << " " << r.w << "x" << r.h);
      EXPECT_TRUE(SamePixels(*fast, *slow));
      EXPECT_EQ(fast->FrameDirty, slow->FrameDirty);
    }
  }
}

TEST(DrawString, CentresWithTruncationAndAStartLeftOfZeroBecomesZero) {
  const char* text = "Trelvan";
  const int32_t width = TextWidth(0, reinterpret_cast<const uint8_t*>(text));
  for (int32_t box : {300, 301, 11, 10, 0}) {
    const uint16_t x = box ? 200 : 3;
    const int32_t start = x + (box - width) / 2;
    const auto placed = Drawn(0, uint16_t(start < 0 ? 0 : start), 50, text);
    EXPECT_TRUE(SamePixels(*Drawn(0, x, 50, text, box, kDrawCentred), *placed)) << "box " << box;
  }
}

TEST(DrawString, CodeOneTwentySevenIsTildeOtherCodesTakeNoRoomAndUnknownFontsDrawNothing) {
  EXPECT_TRUE(SamePixels(*Drawn(0, 10, 10, "A\x7f" "B"), *Drawn(0, 10, 10, "A~B")));
  EXPECT_TRUE(SamePixels(*Drawn(2, 10, 10, "A\xe9\x01\x1f" "B"), *Drawn(2, 10, 10, "AB")));
  EXPECT_EQ(TextWidth(2, reinterpret_cast<const uint8_t*>("A\xe9" "B")),
            TextWidth(2, reinterpret_cast<const uint8_t*>("AB")));
  const auto g = Drawn(3, 10, 10, "Hello");
  EXPECT_EQ(g->FrameDirty, 0);
  EXPECT_EQ(InkColumns(*g).second, -1);
}

TEST(DrawString, RowsAboveTheTopWrapOutOfTheFrame) {
  // y - 3 puts the first three glyph rows at 65533..65535, off the frame.
  const auto high = Drawn(0, 10, -3, "Hg"), low = Drawn(0, 10, 0, "Hg");
  for (int x = 0; x < 40; ++x) {
    for (int y = 0; y + 3 < 19; ++y) ASSERT_EQ(At(*high, x, y), At(*low, x, y + 3)) << x << "," << y;
  }
}

// A name too long for its row ends in "..." within the row; one that fits
// stays whole; a small buffer keeps its terminator. Names cut and kept
// whole in the pages' lists are the golden shots' (project_manager.run,
// picture_refusals.run and most list pages); here are the edges.
TEST(FitText, LongNamesEndInDotsInsideTheirWidth) {
  const std::string longName = "Harbour lights with the long evening sequence~";
  const auto width = [](const char* t) { return TextWidth(0, reinterpret_cast<const uint8_t*>(t)); };
  const struct { std::string text; int32_t width; uint16_t capacity; bool cut; } cases[] = {
      {longName, width(longName.c_str()), 64, false},  // exactly as wide as the row
      {longName, 170, 10, true},                      // the buffer cuts before the width does
      {"a b c d e f g h i j", 40, 32, true},           // no blank before the dots
  };
  for (const auto& c : cases) {
    char out[64];
    FitText(0, c.text.c_str(), c.width, out, c.capacity);
    const std::string fitted = out;
    EXPECT_LE(width(out), c.width) << c.text;
    EXPECT_LT(fitted.size(), c.capacity) << c.text;
    if (!c.cut) {
      EXPECT_EQ(fitted, c.text);
      continue;
    }
    ASSERT_GE(fitted.size(), 4u) << c.text;
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_NE(fitted[fitted.size() - 4], ' ');
    EXPECT_EQ(c.text.compare(0, fitted.size() - 3, fitted, 0, fitted.size() - 3), 0);
  }
}

}  // namespace
}  // namespace trelvan
