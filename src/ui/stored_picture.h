// A picture file of the storage drawn into the frame, as the Picture
// Manager shows it and the page editor lays a project's background.
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

// Draws a picture record held in memory (width, height, then the pixels)
// with its top-left corner at (x, y).
void DrawPictureRecord(FrameBuffer& frame, const uint8_t* record, uint32_t size, uint16_t x, uint16_t y);

}  // namespace trelvan
