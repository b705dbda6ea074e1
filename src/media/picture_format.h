// Pictures for the handheld: a BMP (1, 4, 8, 16, 24 or 32 bits, plain or
// with bit fields, bottom-up or top-down), PNG or JPEG of any size is fitted
// to 480 x 180 (scaled to cover, cut at the centre), then halved into a
// 240 x 90 picture record of 16-bit colours, each output pixel the average
// of a 2 x 2 block. Bytes in, bytes out: opening the file and storing the
// record are the page's work.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr uint16_t kBmpWidth = 480;   // the size a picture is fitted to
constexpr uint16_t kBmpHeight = 180;
constexpr uint32_t kBmpHeaderSize = 54;  // file header and the classic info header
constexpr uint32_t kBmpPixelBytes = uint32_t{kBmpWidth} * kBmpHeight * 3;
constexpr uint16_t kPictureWidth = kBmpWidth / 2;
constexpr uint16_t kPictureHeight = kBmpHeight / 2;
constexpr uint32_t kPictureRecordSize = 4 + uint32_t{kPictureWidth} * kPictureHeight * 2;  // 43,204
constexpr int kPictureNameLength = 23;  // characters of the file's name kept before the "~"
// The longest side read: a 16,384-pixel row of floats stays within 200 KB.
constexpr uint32_t kPictureMostSide = 16384;
// The file and, behind it, the PNG and JPEG decoder's memory: a 24-bit BMP
// of 32 million pixels, or a JPEG of some 14 million.
constexpr uint32_t kPictureMemory = 96u << 20;

enum PictureResult : int {
  kPictureDone = 0,
  kPictureOpenFailed = 1,
  kPictureUnknown = 2,      /**< neither BMP, PNG nor JPEG */
  kPictureDamaged = 3,      /**< a header that contradicts itself, or cut short */
  kPictureUnsupported = 4,  /**< a BMP compression or depth not read here */
  kPictureTooLarge = 5,     /**< a side beyond kPictureMostSide, or beyond the decoder's memory */
};

// What a chosen file is and what fitting did to it.
struct PictureInfo {
  char kind[8];        /**< "BMP", "PNG", "JPEG" */
  uint32_t width, height;
  uint16_t bits;       /**< a BMP's bits per pixel; 0 for the others */
  uint32_t compression;  /**< a BMP's compression field */
  uint8_t scaled;      /**< 1: not 480 x 180 wide and high at scale 1 */
  uint8_t cut;         /**< 0 nothing, 1 at the sides, 2 at top and bottom */
};

// The memory a conversion works in; made once with its owner. Its
// constructor leaves the bytes as they are (nothing is touched until used).
struct PictureWork {
  PictureWork() {}
  uint8_t memory[kPictureMemory];             /**< the file's bytes, then the decoder's */
  float sums[kPictureMostSide * 3];           /**< one output row's source rows, weighed */
  uint8_t row[kPictureMostSide * 4];          /**< one source row */
  uint8_t fitted[uint32_t{kBmpWidth} * kBmpHeight * 3];  /**< the 480 x 180 picture, RGB */
};

// The message for a refusal: what the file is and what would be taken.
void DescribePictureRefusal(int result, const PictureInfo& info, char* out, uint32_t capacity);
// What fitting did ("1024 x 768 PNG, scaled and cut at top and bottom"); empty when nothing.
void DescribePictureFit(const PictureInfo& info, char* out, uint32_t capacity);

// The picture record (width, height, rows of Colour16 from the top) of the
// file whose `size` bytes lie at the start of work.memory, into `record`
// (kPictureRecordSize bytes). `info` receives what the file is.
int ConvertPictureFile(PictureWork& work, uint32_t size, uint8_t* record, PictureInfo* info);

// The record of a 480 x 180 RGB picture: each 2 x 2 block averaged.
void PictureRecordFromRgb(const uint8_t* rgb, uint8_t* record);

// The Colour16 of an averaged blue, green and red.
inline uint16_t PictureColour(uint32_t blue, uint32_t green, uint32_t red) {
  return static_cast<uint16_t>((blue & 0xF8) * 256 + (green & 0xFC) * 8 + red / 8);
}

// The stored name of a picture made from the file at `path`: the name
// without its folder and its extension (".bmp", ".png", ".jpg", ".jpeg";
// else the last four characters), cut to 23 characters, then "~". `out`
// holds at least 25 bytes.
void PictureNameFromPath(const char* path, char separator, char* out);

}  // namespace trelvan
