#include "ui/page_file.h"

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

uint16_t U16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

bool ReadU32At(const Storage& s, const PageFile& f, uint64_t offset, uint32_t* out) {
  uint8_t b[4];
  if (!ReadPageBytes(s, f, offset, b, 4)) return false;
  *out = ReadU32LE(b);
  return true;
}

}  // namespace

bool OpenPageFile(const Storage& s, const char* name, PageFile* out) {
  const int index = StorageFindFile(s, name);
  if (index < 0) return false;
  out->index = static_cast<uint16_t>(index);
  const uint32_t size = StorageFileSize(s, out->index);
  out->dataStart = StorageHeaderLength(s, out->index);
  out->dataSize = size > out->dataStart ? size - out->dataStart : 0;
  return true;
}

bool ReadPageBytes(const Storage& s, const PageFile& f, uint64_t offset, void* out, uint32_t count) {
  if (offset + count > f.dataSize) return false;
  StorageReadData(s, f.index, f.dataStart + static_cast<uint32_t>(offset), static_cast<uint8_t*>(out),
                  count);
  return true;
}

bool ReadControlRecord(const Storage& s, const PageFile& f, uint32_t tableField, uint32_t recordSize,
                       uint32_t k, uint8_t* out) {
  uint32_t table = 0;
  if (!ReadU32At(s, f, tableField, &table)) return false;
  return ReadPageBytes(s, f, uint64_t{table} + 2 + uint64_t{recordSize} * k, out, recordSize);
}

bool FindPicture(const Storage& s, const PageFile& f, uint32_t k, PictureLocation* out) {
  uint32_t table = 0;
  uint8_t b[4];
  if (!ReadU32At(s, f, kPictureTableField, &table)) return false;
  if (!ReadPageBytes(s, f, table, b, 2) || k + 1 > U16(b)) return false;
  uint32_t picture = 0;
  if (!ReadU32At(s, f, uint64_t{table} + 2 + 4 * uint64_t{k}, &picture)) return false;
  if (!ReadPageBytes(s, f, picture, b, 4)) return false;
  out->width = U16(b);
  out->height = U16(b + 2);
  out->pixels = picture + 4;
  const uint64_t pixelBytes = uint64_t{out->width} * out->height * 2;
  return uint64_t{picture} + 4 + pixelBytes <= f.dataSize;
}

}  // namespace trelvan
