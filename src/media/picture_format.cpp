#include "media/picture_format.h"

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

// A byte of the file, 0xFF past its end.
struct BmpBytes {
  const uint8_t* data;
  uint32_t size;
  uint8_t At(uint32_t offset) const { return offset < size ? data[offset] : 0xFF; }
  uint16_t U16(uint32_t offset) const {
    return static_cast<uint16_t>(At(offset) | (At(offset + 1) << 8));
  }
  uint32_t U32(uint32_t offset) const {
    return U16(offset) | (static_cast<uint32_t>(U16(offset + 2)) << 16);
  }
};

constexpr uint32_t kBmpRowBytes = uint32_t{kBmpWidth} * 3;  // 1440: a multiple of 4, no padding

}  // namespace

const char* PictureResultText(int result) {
  switch (result) {
    case kPictureOpenFailed: return "Error Opening BMP File!";
    case kPictureBadWidth: return "Error - BMP width must be 480!";
    case kPictureBadHeight: return "Error - BMP height must be 180!";
    case kPictureBadBitCount: return "Error - BMP color data must be 24 bits per pixel!";
    default: return "";
  }
}

int ConvertBmp(const uint8_t* bmp, uint32_t size, uint8_t* record) {
  const BmpBytes f{bmp, size};
  if (f.U16(18) != kBmpWidth) return kPictureBadWidth;
  // Bottom-up as usual; a negative height (-180) stores the top row first.
  bool topDown = false;
  if (f.U16(22) != kBmpHeight) {
    if (static_cast<int32_t>(f.U32(22)) != -int32_t{kBmpHeight}) return kPictureBadHeight;
    topDown = true;
  }
  if (f.U16(28) != 24) return kPictureBadBitCount;
  // Editors often write larger info headers: the pixel array starts where
  // the file header says, when that lies inside the file.
  uint32_t pixels = f.U32(10);
  if (pixels < kBmpHeaderSize || pixels > size) pixels = kBmpHeaderSize;

  WriteU16LE(record, kPictureWidth);
  WriteU16LE(record + 2, kPictureHeight);
  uint8_t* out = record + 4;
  for (uint32_t r = 0; r < kPictureHeight; ++r) {
    uint32_t rowStart[2];
    for (uint32_t k = 0; k < 2; ++k) {
      const uint32_t fromTop = 2 * r + k;
      const uint32_t fileRow = topDown ? fromTop : kBmpHeight - 1 - fromTop;
      rowStart[k] = pixels + fileRow * kBmpRowBytes;
    }
    for (uint32_t c = 0; c < kPictureWidth; ++c) {
      uint32_t sum[3] = {0, 0, 0};  // blue, green, red
      for (uint32_t k = 0; k < 2; ++k) {
        for (uint32_t dx = 0; dx < 2; ++dx) {
          const uint32_t at = rowStart[k] + (2 * c + dx) * 3;
          for (uint32_t ch = 0; ch < 3; ++ch) sum[ch] += f.At(at + ch);
        }
      }
      WriteU16LE(out, PictureColour(sum[0] >> 2, sum[1] >> 2, sum[2] >> 2));
      out += 2;
    }
  }
  return kPictureDone;
}

void PictureNameFromPath(const char* path, char separator, char* out) {
  int end = static_cast<int>(TextLength(path)) - 4;
  if (end < 0) end = 0;
  int start = 0;
  for (int i = end - 1; i >= 0; --i) {
    if (path[i] == separator) {
      start = i + 1;
      break;
    }
  }
  int n = end - start;
  if (n > kPictureNameLength) n = kPictureNameLength;
  CopyBytes(path + start, out, static_cast<uint16_t>(n));
  out[n] = '~';
  out[n + 1] = 0;
}

}  // namespace trelvan
