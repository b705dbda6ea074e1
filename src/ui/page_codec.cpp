#include "ui/page_codec.h"

#include "storage/bytes.h"
#include "ui/fonts.h"

namespace trelvan {

namespace {

constexpr uint32_t kPictureTableField = 0;
constexpr uint32_t kImageTableField = 4;
constexpr uint32_t kTextTableField = 8;
constexpr uint32_t kCountSize = 2;

bool ReadU32At(const PageReader& r, uint64_t offset, uint32_t* out) {
  uint8_t b[4];
  if (!r.read(r.source, offset, b, 4)) return false;
  *out = ReadU32LE(b);
  return true;
}

bool ReadU16At(const PageReader& r, uint64_t offset, uint16_t* out) {
  uint8_t b[2];
  if (!r.read(r.source, offset, b, 2)) return false;
  *out = ReadU16LE(b);
  return true;
}

// Record k of the table whose offset stands at `tableField`.
bool ReadRecord(const PageReader& r, uint32_t tableField, uint32_t size, uint32_t k, uint8_t* out) {
  uint32_t table = 0;
  if (!ReadU32At(r, tableField, &table)) return false;
  return r.read(r.source, uint64_t{table} + kCountSize + uint64_t{size} * k, out, size);
}

bool ReadCount(const PageReader& r, uint32_t tableField, uint16_t* out) {
  uint32_t table = 0;
  return ReadU32At(r, tableField, &table) && ReadU16At(r, table, out);
}

// The counts written before the picture, image and text tables; false when
// a table lies outside the data.
bool ReadPageCounts(const PageReader& r, uint16_t* pictures, uint16_t* images, uint16_t* texts) {
  return ReadCount(r, kPictureTableField, pictures) && ReadCount(r, kImageTableField, images) &&
         ReadCount(r, kTextTableField, texts);
}

}  // namespace

// ---------------------------------------------------------------- records

void DecodeImageRecord(const uint8_t* r, ImageControl* out) {
  out->x = ReadU16LE(r);
  out->y = ReadU16LE(r + 2);
  out->w = ReadU16LE(r + 4);
  out->h = ReadU16LE(r + 6);
  out->source = r[8];
  out->pictureIndex = ReadU16LE(r + 9);
}

void EncodeImageRecord(const ImageControl& c, uint8_t* r) {
  WriteU16LE(r, c.x);
  WriteU16LE(r + 2, c.y);
  WriteU16LE(r + 4, c.w);
  WriteU16LE(r + 6, c.h);
  r[8] = c.source;
  WriteU16LE(r + 9, c.pictureIndex);
}

void DecodeTextRecord(const uint8_t* r, TextControl* out) {
  out->x = ReadU16LE(r);
  out->y = ReadU16LE(r + 2);
  out->w = ReadU16LE(r + 4);
  out->h = ReadU16LE(r + 6);
  out->font = r[8];
  out->flags = ReadU16LE(r + 10);
  out->textColour = ReadU16LE(r + 12);
  out->backColour = ReadU16LE(r + 14);
}

void EncodeTextRecord(const TextControl& c, uint8_t* r) {
  WriteU16LE(r, c.x);
  WriteU16LE(r + 2, c.y);
  WriteU16LE(r + 4, c.w);
  WriteU16LE(r + 6, c.h);
  r[8] = c.font;
  r[9] = 0;
  WriteU16LE(r + 10, c.flags);
  WriteU16LE(r + 12, c.textColour);
  WriteU16LE(r + 14, c.backColour);
}

// ---------------------------------------------------------------- reading

bool ReadImageRecord(const PageReader& r, uint32_t k, ImageControl* out) {
  uint8_t b[kImageRecordSize];
  if (!ReadRecord(r, kImageTableField, kImageRecordSize, k, b)) return false;
  DecodeImageRecord(b, out);
  return true;
}

bool ReadTextRecord(const PageReader& r, uint32_t k, TextControl* out) {
  uint8_t b[kTextRecordSize];
  if (!ReadRecord(r, kTextTableField, kTextRecordSize, k, b)) return false;
  DecodeTextRecord(b, out);
  return true;
}

bool FindPicture(const PageReader& r, uint32_t k, PictureLocation* out) {
  uint32_t table = 0, picture = 0;
  uint16_t count = 0;
  uint8_t size[kPictureSizeBytes];
  if (!ReadU32At(r, kPictureTableField, &table) || !ReadU16At(r, table, &count)) return false;
  if (uint64_t{k} + 1 > count) return false;
  if (!ReadU32At(r, uint64_t{table} + kCountSize + 4 * uint64_t{k}, &picture)) return false;
  if (!r.read(r.source, picture, size, kPictureSizeBytes)) return false;
  out->width = ReadU16LE(size);
  out->height = ReadU16LE(size + 2);
  out->pixels = picture + kPictureSizeBytes;
  // the last byte of the last row, read as a probe: all rows lie inside
  const uint64_t pixelBytes = uint64_t{out->width} * out->height * 2;
  uint8_t last;
  return pixelBytes == 0 ||
         r.read(r.source, uint64_t{picture} + kPictureSizeBytes + pixelBytes - 1, &last, 1);
}

bool PageDataLoads(const PageReader& r) {
  uint16_t pictures = 0, images = 0, texts = 0;
  if (!ReadPageCounts(r, &pictures, &images, &texts)) return false;
  if (pictures == 0 && images == 0 && texts == 0) return false;
  const auto onScreen = [](uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
    return x + w <= kFrameWidth && y + h <= kFrameHeight;
  };
  PictureLocation p;
  for (uint16_t k = 0; k < pictures; ++k) {
    if (!FindPicture(r, k, &p)) return false;
  }
  ImageControl image;
  for (uint16_t k = 0; k < images; ++k) {
    if (!ReadImageRecord(r, k, &image) || !onScreen(image.x, image.y, image.w, image.h) ||
        image.source > kSourceButtons ||
        (image.source == kSourcePageFile && image.pictureIndex >= pictures)) {
      return false;
    }
  }
  TextControl text;
  for (uint16_t k = 0; k < texts; ++k) {
    if (!ReadTextRecord(r, k, &text) || !onScreen(text.x, text.y, text.w, text.h) ||
        text.font >= kFontCount) {
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------- writing

uint64_t PageDataSize(const PageContent& c) {
  uint64_t size = kPageTablesSize + kCountSize + 4 * uint64_t{c.pictureCount} + kCountSize +
                  uint64_t{kImageRecordSize} * c.imageCount + kCountSize +
                  uint64_t{kTextRecordSize} * c.textCount;
  for (uint16_t k = 0; k < c.pictureCount; ++k) {
    size += kPictureSizeBytes + uint64_t{c.pictures[k].width} * c.pictures[k].height * 2;
  }
  return size;
}

uint32_t EncodePageData(const PageContent& c, uint8_t* out, uint32_t capacity) {
  const uint64_t size = PageDataSize(c);
  if (size > capacity) return 0;
  uint32_t at = kPageTablesSize;
  WriteU32LE(out + kPictureTableField, at);
  WriteU16LE(out + at, c.pictureCount);
  const uint32_t pictureOffsets = at + kCountSize;
  at = pictureOffsets + 4 * uint32_t{c.pictureCount};

  WriteU32LE(out + kImageTableField, at);
  WriteU16LE(out + at, c.imageCount);
  at += kCountSize;
  for (uint16_t k = 0; k < c.imageCount; ++k, at += kImageRecordSize) {
    EncodeImageRecord(c.images[k], out + at);
  }

  WriteU32LE(out + kTextTableField, at);
  WriteU16LE(out + at, c.textCount);
  at += kCountSize;
  for (uint16_t k = 0; k < c.textCount; ++k, at += kTextRecordSize) {
    EncodeTextRecord(c.texts[k], out + at);
  }

  for (uint16_t k = 0; k < c.pictureCount; ++k) {
    const PagePicture& p = c.pictures[k];
    WriteU32LE(out + pictureOffsets + 4 * uint32_t{k}, at);
    WriteU16LE(out + at, p.width);
    WriteU16LE(out + at + 2, p.height);
    at += kPictureSizeBytes;
    const uint32_t n = uint32_t{p.width} * p.height;
    for (uint32_t i = 0; i < n; ++i, at += 2) WriteU16LE(out + at, p.pixels[i]);
  }
  return at;
}

}  // namespace trelvan
