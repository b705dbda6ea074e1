// The three built-in bitmap fonts. Table layout: byte 0 is 0, byte 1 the
// glyph height; then 95 entries of 3 bytes for characters 32 to 126 (width,
// 16-bit little-endian offset of the glyph bits); glyphs are w x h bits, row
// by row, least significant bit first, each glyph starting on a whole byte.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr int kFontCount = 3;
constexpr int kFontFirstChar = 32;
constexpr int kFontLastChar = 126;
constexpr int kFontEntriesEnd = 2 + 95 * 3;  // 287: the first glyph's offset

extern const uint8_t kFont0[2333];
extern const uint8_t kFont1[1336];
extern const uint8_t kFont2[4019];

// The table of font 0, 1 or 2; nullptr for any other number.
const uint8_t* FontTable(uint8_t font);

}  // namespace trelvan
