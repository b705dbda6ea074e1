// Stored pictures for the handheld: a picture file holds, after its
// FileHeader, a 16-bit width, a 16-bit height and the Colour16 pixels row by
// row from the top (240 x 90 for the handheld's screen).
#pragma once

#include <cstdint>

#include "storage/storage.h"
#include "ui/frame_buffer.h"

namespace trelvan {

// Draws the picture file at storage index `index` with its top-left corner
// at (x, y). Nothing for a negative index, a version other than "1.", or a
// record larger than its file.
void DrawStoragePicture(const Storage& s, FrameBuffer& frame, int16_t index, uint16_t x,
                        uint16_t y);

}  // namespace trelvan
