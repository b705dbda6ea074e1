// Page data held in memory for the page codec's readers, and the three
// tables' counts as the codec finds them (each table's offset in the first
// twelve bytes, its 16-bit count at that offset).
#pragma once

#include <cstdint>

#include "storage/bytes.h"
#include "ui/page_codec.h"

namespace trelvan {
namespace fuzz {

struct PageBytes {
  const uint8_t* data;
  uint32_t size;
};

inline bool ReadPageBytes(const void* source, uint64_t offset, void* out, uint32_t count) {
  const PageBytes* b = static_cast<const PageBytes*>(source);
  if (offset + count > b->size) return false;
  const uint8_t* from = b->data + offset;
  uint8_t* to = static_cast<uint8_t*>(out);
  for (uint32_t i = 0; i < count; ++i) to[i] = from[i];
  return true;
}

inline PageReader MemoryPageReader(const PageBytes* bytes) { return PageReader{ReadPageBytes, bytes}; }

// Count k (0 pictures, 1 images, 2 texts); false when it lies outside.
inline bool ReadPageCount(const PageReader& r, int k, uint16_t* out) {
  uint8_t field[4], count[2];
  if (!r.read(r.source, 4u * k, field, 4) || !r.read(r.source, ReadU32LE(field), count, 2)) return false;
  *out = ReadU16LE(count);
  return true;
}

inline bool ReadPageCounts(const PageReader& r, uint16_t* pictures, uint16_t* images, uint16_t* texts) {
  return ReadPageCount(r, 0, pictures) && ReadPageCount(r, 1, images) && ReadPageCount(r, 2, texts);
}

}  // namespace fuzz
}  // namespace trelvan
