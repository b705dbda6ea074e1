#include "ui/stored_picture.h"

#include "storage/bytes.h"
#include "storage/file_system.h"

namespace trelvan {

void DrawStoragePicture(const Storage& s, FrameBuffer& frame, int16_t index, uint16_t x,
                        uint16_t y) {
  if (index < 0) return;
  const uint16_t i = static_cast<uint16_t>(index);
  char version[8];
  if (!StorageReadField(s, i, kFieldVersion, version) || version[0] != '1' || version[1] != '.') {
    return;
  }
  const uint32_t header = StorageHeaderLength(s, i);
  const uint32_t size = StorageFileSize(s, i);
  uint8_t wh[4];
  if (header + 4 > size || StorageReadData(s, i, header, wh, 4) != 4) return;
  const uint32_t width = ReadU16LE(wh), height = ReadU16LE(wh + 2);
  if (uint64_t{width} * height * 2 + 4 > size - header) return;
  uint8_t row[2 * 512];
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t k0 = 0; k0 < width; k0 += 512) {
      const uint32_t n = width - k0 < 512 ? width - k0 : 512;
      StorageReadData(s, i, header + 4 + (r * width + k0) * 2, row, n * 2);
      for (uint32_t k = 0; k < n; ++k) {
        frame.PenColour = ReadU16LE(row + 2 * k);
        PutPixel(frame, static_cast<uint16_t>(x + k0 + k), static_cast<int32_t>(y + r));
      }
    }
  }
}

void DrawPictureRecord(FrameBuffer& frame, const uint8_t* record, uint32_t size, uint16_t x, uint16_t y) {
  if (size < 4) return;
  const uint32_t width = ReadU16LE(record), height = ReadU16LE(record + 2);
  if (uint64_t{width} * height * 2 + 4 > size) return;
  const uint8_t* p = record + 4;
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t k = 0; k < width; ++k, p += 2) {
      frame.PenColour = ReadU16LE(p);
      PutPixel(frame, static_cast<uint16_t>(x + k), static_cast<int32_t>(y + r));
    }
  }
}

}  // namespace trelvan
