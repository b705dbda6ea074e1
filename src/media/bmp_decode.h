// The rows of a BMP: every depth the format holds (1, 4 and 8 bits through
// a colour table, 16 and 32 bits plain or through bit fields, 24 bits),
// bottom-up or top-down, behind a header of any of the sizes writers use.
// Bytes in, RGB rows out.
#pragma once

#include <cstdint>

#include "media/picture_format.h"

namespace trelvan {

struct BmpLayout {
  uint32_t width, height;
  uint8_t topDown;         /**< 1: the first row in the file is the top row */
  uint16_t bits;
  uint32_t pixels;         /**< offset of the pixel array */
  uint32_t stride;         /**< bytes per row, padded to 4 */
  uint32_t palette;        /**< offset of the colour table */
  uint32_t paletteEntries;
  uint8_t paletteStep;     /**< 4 bytes an entry, 3 behind the oldest header */
  uint32_t mask[3];        /**< red, green and blue of 16 and 32-bit pixels */
};

// Reads the headers of the BMP of `size` bytes at `f`. kPictureDone, or
// the refusal; `info` receives what the file is either way.
int ReadBmpLayout(const uint8_t* f, uint32_t size, BmpLayout* out, PictureInfo* info);

// Row `y` (from the top) as width x 3 bytes of red, green and blue. Bytes
// past the file's end read as 0xFF.
void ReadBmpRow(const BmpLayout& b, const uint8_t* f, uint32_t size, uint32_t y, uint8_t* rgb);

}  // namespace trelvan
