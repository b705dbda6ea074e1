// The page-file format, read and written in one place: by the program from
// the storage, by the resource compiler and by the tests from memory. Pure:
// bytes in, records out, and back.
//
// Page data (what follows the file's FileHeader), offsets from its first
// byte, numbers little-endian:
//   0: offset P of the picture table   P: count n, then n picture offsets
//   4: offset I of the image-control table   I: count, I + 2 + 11k: record k
//   8: offset T of the text-control table    T: count, T + 2 + 16k: record k
// Image record: x, y, w, h (2 bytes each), source (1), pictureIndex (2).
// Text record: x, y, w, h (2 each), font (1), reserved (1), flags,
// textColour, backColour (2 each).
// Picture record: width, height, then height rows of width Colour16 values.
// The program never reads the counts before the control tables; the
// compiler writes them so that tools can list the records.
//
// Page data comes from outside, so every offset read from it is checked
// against the data's size: what lies outside counts as missing.
#pragma once

#include <cstdint>

#include "ui/controls.h"

namespace trelvan {

constexpr uint32_t kPageTablesSize = 12;  /**< the three table offsets */
constexpr uint32_t kImageRecordSize = 11;
constexpr uint32_t kTextRecordSize = 16;
constexpr uint32_t kPictureSizeBytes = 4;  /**< width and height before the rows */

// ---------------------------------------------------------------- records

void DecodeImageRecord(const uint8_t* record, ImageControl* out);
void EncodeImageRecord(const ImageControl& control, uint8_t* record);
void DecodeTextRecord(const uint8_t* record, TextControl* out);
// The reserved byte is written as 0.
void EncodeTextRecord(const TextControl& control, uint8_t* record);

// ---------------------------------------------------------------- reading

// Where page data is read from: `read` copies `count` bytes from data
// offset `offset` into `out`, or returns false, copying nothing, when any of
// them lies outside the data.
struct PageReader {
  bool (*read)(const void* source, uint64_t offset, void* out, uint32_t count);
  const void* source;
};

struct PictureLocation {
  uint32_t pixels;  /**< data offset of row 0 */
  uint16_t width, height;
};

// Record k of the image or text table; false, leaving `out` as it was, when
// the record lies outside the data.
bool ReadImageRecord(const PageReader& r, uint32_t k, ImageControl* out);
bool ReadTextRecord(const PageReader& r, uint32_t k, TextControl* out);
// Picture k of the picture table; false when the table has no such picture
// or the picture's rows do not all lie inside the data.
bool FindPicture(const PageReader& r, uint32_t k, PictureLocation* out);
// Whether page data loads as a page file or a picture collection: its three
// tables lie inside it, and so do every picture of the picture table and
// every control record the tables' counts name; each control lies on the
// screen, each text control names a font, each image control a source (and,
// from the page file itself, a picture it holds). Data with neither
// pictures nor controls is no page.
bool PageDataLoads(const PageReader& r);

// ---------------------------------------------------------------- writing

struct PagePicture {
  uint16_t width, height;
  const uint16_t* pixels;  /**< Colour16, rows from the top */
};

struct PageContent {
  const PagePicture* pictures;
  uint16_t pictureCount;
  const ImageControl* images;
  uint16_t imageCount;
  const TextControl* texts;
  uint16_t textCount;
};

// Bytes that EncodePageData writes for `content`.
uint64_t PageDataSize(const PageContent& content);
// Writes the table offsets, the picture table, the image and text tables,
// then the pictures. Returns the bytes written; 0, when they would not fit
// in `capacity` or an offset would not fit in 32 bits.
uint32_t EncodePageData(const PageContent& content, uint8_t* out, uint32_t capacity);

}  // namespace trelvan
