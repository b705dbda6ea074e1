// Pictures for the handheld: a 480 x 180 BMP of 24 bits per pixel becomes
// a 240 x 90 picture record of 16-bit colours, each output pixel the average
// of a 2 x 2 block. Bytes in, bytes out: opening the BMP and storing the
// record are the page's work.
#pragma once

#include <cstdint>


namespace trelvan {

constexpr uint16_t kBmpWidth = 480;
constexpr uint16_t kBmpHeight = 180;
constexpr uint32_t kBmpHeaderSize = 54;  // file header and the classic info header
constexpr uint32_t kBmpPixelBytes = uint32_t{kBmpWidth} * kBmpHeight * 3;
constexpr uint16_t kPictureWidth = kBmpWidth / 2;
constexpr uint16_t kPictureHeight = kBmpHeight / 2;
constexpr uint32_t kPictureRecordSize = 4 + uint32_t{kPictureWidth} * kPictureHeight * 2;  // 43,204
constexpr int kPictureNameLength = 23;  // characters of the BMP's name kept before the "~"

enum PictureResult : int {
  kPictureDone = 0,
  kPictureOpenFailed = 1,
  kPictureBadWidth = 2,
  kPictureBadHeight = 3,
  kPictureBadBitCount = 4,
};

// The page's message for a result other than kPictureDone.
const char* PictureResultText(int result);

// The picture record (width, height, rows of Colour16 from the top) of the
// BMP in `bmp` (size bytes) into `record` (kPictureRecordSize bytes). Bytes
// past the end of the file read as 0xFF. Checks the width, then the height,
// then the bit count.
int ConvertBmp(const uint8_t* bmp, uint32_t size, uint8_t* record);

// The Colour16 of an averaged blue, green and red.
inline uint16_t PictureColour(uint32_t blue, uint32_t green, uint32_t red) {
  return static_cast<uint16_t>((blue & 0xF8) * 256 + (green & 0xFC) * 8 + red / 8);
}

// The stored name of a picture made from the file at `path`: the name
// without its folder and its four-character extension, cut to 23
// characters, then "~". `out` holds at least 25 bytes.
void PictureNameFromPath(const char* path, char separator, char* out);

}  // namespace trelvan
