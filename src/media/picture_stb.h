// PNG and JPEG pictures, decoded by stb_image inside a block of memory the
// caller owns. Bytes in, RGBA pixels out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/picture_format.h"

namespace trelvan {

// Whether the bytes begin as a PNG or a JPEG does; names the kind in `info`.
bool IsPngOrJpeg(const uint8_t* bytes, uint32_t size, PictureInfo* info);

// Decodes the PNG or JPEG whose `size` bytes begin `memory` into RGBA rows
// from the top, taking the decoder's memory from the rest of the block
// (`capacity` bytes in all). kPictureDone with *pixels set, or the refusal.
int DecodePngOrJpeg(uint8_t* memory, size_t capacity, uint32_t size, const uint8_t** pixels,
                    PictureInfo* info);

}  // namespace trelvan
