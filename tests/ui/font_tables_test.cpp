// The generated font tables: layout, widths, and the shape facts that text
// layout depends on (capital height, one baseline, descenders below it).
#include "ui/fonts.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace trelvan {
namespace {

constexpr int kGlyphs = kFontLastChar - kFontFirstChar + 1;

struct FontFacts {
  const uint8_t* table;
  size_t size;
  int height;
  int capTop;
  uint8_t widths[kGlyphs];
};

const FontFacts kFacts[kFontCount] = {
    {kFont0, sizeof(kFont0), 19, 3,
     {4, 4, 8, 9, 9, 16, 12, 4, 5, 5, 6, 9, 4, 5, 4, 4,
      9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 6, 9, 9, 9, 10,
      16, 11, 12, 12, 12, 11, 10, 12, 12, 4, 9, 12, 10, 13, 12, 12,
      11, 12, 12, 11, 10, 12, 11, 15, 11, 10, 9, 5, 4, 5, 9, 9,
      5, 9, 10, 9, 10, 9, 5, 10, 10, 4, 4, 9, 4, 14, 10, 10,
      10, 10, 6, 9, 5, 10, 9, 13, 9, 9, 9, 6, 4, 6, 12}},
    {kFont1, sizeof(kFont1), 14, 3,
     {3, 3, 5, 6, 6, 9, 8, 3, 4, 4, 4, 6, 3, 4, 3, 3,
      6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 7,
      11, 8, 7, 8, 7, 6, 6, 8, 7, 3, 6, 7, 7, 10, 7, 8,
      7, 8, 7, 7, 7, 7, 8, 10, 7, 7, 7, 4, 3, 4, 6, 6,
      4, 6, 7, 6, 7, 7, 4, 7, 7, 3, 3, 7, 3, 11, 7, 7,
      7, 7, 5, 7, 4, 7, 6, 10, 6, 6, 6, 4, 3, 4, 8}},
    {kFont2, sizeof(kFont2), 26, 5,
     {6, 7, 10, 12, 12, 18, 16, 5, 7, 7, 9, 13, 6, 7, 6, 6,
      12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 7, 7, 13, 13, 13, 13,
      21, 15, 16, 16, 16, 15, 13, 17, 16, 5, 12, 16, 13, 17, 16, 17,
      15, 17, 16, 15, 15, 16, 15, 21, 15, 15, 12, 7, 6, 7, 13, 12,
      7, 12, 13, 12, 13, 12, 7, 13, 13, 5, 6, 12, 5, 19, 13, 13,
      13, 13, 8, 12, 7, 13, 13, 19, 12, 11, 11, 9, 6, 9, 16}},
};

int Width(const uint8_t* t, char c) { return t[2 + (c - kFontFirstChar) * 3]; }

int Offset(const uint8_t* t, char c) {
  const uint8_t* e = t + 2 + (c - kFontFirstChar) * 3;
  return e[1] | (e[2] << 8);
}

// Reads a glyph bit the way DrawString does: row by row, bits running on
// across row ends, least significant bit first.
bool Pixel(const uint8_t* t, char c, int x, int y) {
  const int bit = y * Width(t, c) + x;
  return (t[Offset(t, c) + (bit >> 3)] >> (bit & 7)) & 1;
}

bool RowSet(const uint8_t* t, char c, int y) {
  for (int x = 0; x < Width(t, c); ++x) {
    if (Pixel(t, c, x, y)) return true;
  }
  return false;
}

bool ColumnSet(const uint8_t* t, char c, int x) {
  for (int y = 0; y < t[1]; ++y) {
    if (Pixel(t, c, x, y)) return true;
  }
  return false;
}

// First and last rows with ink, -1 when the glyph is blank.
int TopRow(const uint8_t* t, char c) {
  for (int y = 0; y < t[1]; ++y) {
    if (RowSet(t, c, y)) return y;
  }
  return -1;
}

int BottomRow(const uint8_t* t, char c) {
  for (int y = t[1] - 1; y >= 0; --y) {
    if (RowSet(t, c, y)) return y;
  }
  return -1;
}

std::string Label(int font, char c) {
  return "font " + std::to_string(font) + " '" + std::string(1, c) + "'";
}

TEST(FontTables, FontTableReturnsTheThreeTables) {
  EXPECT_EQ(FontTable(0), kFont0);
  EXPECT_EQ(FontTable(1), kFont1);
  EXPECT_EQ(FontTable(2), kFont2);
  EXPECT_EQ(FontTable(3), nullptr);
}

TEST(FontTables, HeaderBytes) {
  for (int f = 0; f < kFontCount; ++f) {
    const FontFacts& k = kFacts[f];
    EXPECT_EQ(k.table[0], 0) << "font " << f;
    EXPECT_EQ(k.table[1], k.height) << "font " << f;
  }
  EXPECT_EQ(sizeof(kFont0), 2333u);
  EXPECT_EQ(sizeof(kFont1), 1336u);
  EXPECT_EQ(sizeof(kFont2), 4019u);
}

TEST(FontTables, EveryGlyphHasItsLayoutWidth) {
  for (int f = 0; f < kFontCount; ++f) {
    for (int i = 0; i < kGlyphs; ++i) {
      EXPECT_EQ(kFacts[f].table[2 + i * 3], kFacts[f].widths[i])
          << Label(f, static_cast<char>(kFontFirstChar + i));
    }
  }
}

TEST(FontTables, GlyphOffsetsChainToTheEndOfTheTable) {
  for (int f = 0; f < kFontCount; ++f) {
    const FontFacts& k = kFacts[f];
    size_t expected = kFontEntriesEnd;
    for (int i = 0; i < kGlyphs; ++i) {
      const char c = static_cast<char>(kFontFirstChar + i);
      ASSERT_EQ(static_cast<size_t>(Offset(k.table, c)), expected) << Label(f, c);
      expected += (static_cast<size_t>(k.widths[i]) * k.height + 7) / 8;
    }
    EXPECT_EQ(expected, k.size) << "font " << f;
  }
}

TEST(FontTables, SpaceIsBlankAndEveryOtherGlyphHasInk) {
  for (int f = 0; f < kFontCount; ++f) {
    const uint8_t* t = kFacts[f].table;
    EXPECT_EQ(TopRow(t, ' '), -1) << "font " << f;
    for (char c = '!'; c <= '~'; ++c) EXPECT_GE(TopRow(t, c), 0) << Label(f, c);
  }
}

TEST(FontTables, CapitalsAndDigitsStartOnTheCapitalRow) {
  for (int f = 0; f < kFontCount; ++f) {
    const FontFacts& k = kFacts[f];
    for (char c : std::string("EHTLFIKNXZ0123456789")) {
      EXPECT_EQ(TopRow(k.table, c), k.capTop) << Label(f, c);
    }
  }
}

TEST(FontTables, LettersAndDigitsShareOneBaseline) {
  for (int f = 0; f < kFontCount; ++f) {
    const uint8_t* t = kFacts[f].table;
    const int baseline = BottomRow(t, 'H');
    // Well above the bottom of the cell, leaving rows for descenders.
    EXPECT_LE(baseline, t[1] - 4) << "font " << f;
    for (char c : std::string("ABDEFIKLMNPRTUVWXYZabdhiklmnrxz0123456789")) {
      EXPECT_EQ(BottomRow(t, c), baseline) << Label(f, c);
    }
  }
}

TEST(FontTables, DescendersReachBelowTheBaseline) {
  for (int f = 0; f < kFontCount; ++f) {
    const uint8_t* t = kFacts[f].table;
    const int baseline = BottomRow(t, 'H');
    for (char c : std::string("gjpqy")) {
      EXPECT_GE(BottomRow(t, c), baseline + 2) << Label(f, c);
      EXPECT_LT(BottomRow(t, c), t[1]) << Label(f, c);
    }
    // Lower-case letters without ascenders start below the capitals.
    for (char c : std::string("acemnorsuvwxz")) {
      EXPECT_GT(TopRow(t, c), kFacts[f].capTop + 1) << Label(f, c);
    }
  }
}

// The left stem of 'H' runs unbroken from the capital row to the baseline
// and the bar joins it to the right stem: a bit order or row length fault
// scatters these pixels.
TEST(FontTables, CapitalHIsTwoStemsAndABar) {
  for (int f = 0; f < kFontCount; ++f) {
    const uint8_t* t = kFacts[f].table;
    int left = 0;
    while (left < Width(t, 'H') && !ColumnSet(t, 'H', left)) ++left;
    ASSERT_LT(left, Width(t, 'H')) << "font " << f;
    for (int y = kFacts[f].capTop; y <= BottomRow(t, 'H'); ++y) {
      EXPECT_TRUE(Pixel(t, 'H', left, y)) << "font " << f << " row " << y;
    }
    int fullRows = 0;
    int right = Width(t, 'H') - 1;
    while (right > left && !ColumnSet(t, 'H', right)) --right;
    for (int y = 0; y < t[1]; ++y) {
      bool full = true;
      for (int x = left; x <= right; ++x) full = full && Pixel(t, 'H', x, y);
      if (full) ++fullRows;
    }
    EXPECT_GE(fullRows, 1) << "font " << f;
    EXPECT_LE(fullRows, 3) << "font " << f;
  }
}

// With no spacing between characters, neighbours stay apart only if no
// glyph fills both its first and its last column.
TEST(FontTables, NeighbouringGlyphsNeverTouch) {
  for (int f = 0; f < kFontCount; ++f) {
    const uint8_t* t = kFacts[f].table;
    for (char c = '!'; c <= '~'; ++c) {
      EXPECT_FALSE(ColumnSet(t, c, 0) && ColumnSet(t, c, Width(t, c) - 1)) << Label(f, c);
    }
  }
}

}  // namespace
}  // namespace trelvan
