// Reading page files and picture collections out of the storage. A page file
// comes from outside, so every offset and record in it is checked against
// the file's size: what lies outside counts as missing.
//
// Layout, offsets from the first data byte, little-endian:
//   0: offset P of the picture table   (P: count n, then n picture offsets)
//   4: offset I of the image-control table (I + 2 + 11k: record k)
//   8: offset T of the text-control table  (T + 2 + 16k: record k)
// A picture is width, height, then height rows of width Colour16 values.
#pragma once

#include <cstdint>

#include "storage/storage.h"

namespace trelvan {

constexpr uint32_t kImageRecordSize = 11;
constexpr uint32_t kTextRecordSize = 16;

struct PageFile {
  uint16_t index;      /**< table index in the storage */
  uint32_t dataStart;  /**< offset of the first data byte from the file's start */
  uint32_t dataSize;   /**< bytes from there to the file's end */
};

struct PictureLocation {
  uint32_t pixels;  /**< data offset of row 0 */
  uint16_t width, height;
};

// False when no stored file has that name.
bool OpenPageFile(const Storage& s, const char* name, PageFile* out);
// `count` data bytes from `offset`; false, reading nothing, when any of them
// lies outside the file.
bool ReadPageBytes(const Storage& s, const PageFile& f, uint64_t offset, void* out, uint32_t count);
// Record k of the image (kImageRecordSize bytes) or text (kTextRecordSize
// bytes) table; false when it lies outside the file.
bool ReadControlRecord(const Storage& s, const PageFile& f, uint32_t tableField, uint32_t recordSize,
                       uint32_t k, uint8_t* out);
// Picture k of the file's picture table; false when the table has no such
// picture or the picture's rows do not all lie inside the file.
bool FindPicture(const Storage& s, const PageFile& f, uint32_t k, PictureLocation* out);

constexpr uint32_t kPictureTableField = 0;
constexpr uint32_t kImageTableField = 4;
constexpr uint32_t kTextTableField = 8;

}  // namespace trelvan
