// The one file that holds stb_image's code: only its PNG and JPEG readers,
// no file access, its allocations served from the caller's block.
#include "media/picture_stb.h"

#include <cstring>

namespace trelvan {
namespace {

// The block a decode allocates from: a bump allocator whose last block can
// grow and be given back (what the PNG reader's growing buffers need). It
// is set only for the length of one decode.
struct Arena {
  uint8_t* base;
  size_t capacity;
  size_t used;
  size_t last;  /**< offset of the last block handed out */
  bool full;    /**< an allocation did not fit */
};
Arena* current = nullptr;

constexpr size_t kAlign = 16;
size_t Aligned(size_t n) { return (n + kAlign - 1) & ~(kAlign - 1); }

void* ArenaMalloc(size_t size) {
  Arena& a = *current;
  const size_t at = Aligned(a.used);
  if (size > a.capacity || at > a.capacity - size) {
    a.full = true;
    return nullptr;
  }
  a.last = at;
  a.used = at + size;
  // Zeroed, as calloc would give it: the JPEG decoder reads the Huffman
  // tables of its state even where the stream never defined one, and an
  // earlier picture's bytes there send its lookups outside the tables.
  std::memset(a.base + at, 0, size);
  return a.base + at;
}

void ArenaFree(void* p) {
  Arena& a = *current;
  if (p && static_cast<uint8_t*>(p) == a.base + a.last) a.used = a.last;
}

void* ArenaRealloc(void* p, size_t oldSize, size_t newSize) {
  Arena& a = *current;
  if (!p) return ArenaMalloc(newSize);
  if (static_cast<uint8_t*>(p) == a.base + a.last) {  // the last block grows in place
    if (newSize > a.capacity - a.last) {
      a.full = true;
      return nullptr;
    }
    a.used = a.last + newSize;
    return p;
  }
  void* moved = ArenaMalloc(newSize);
  if (moved) std::memcpy(moved, p, oldSize < newSize ? oldSize : newSize);
  return moved;
}

}  // namespace
}  // namespace trelvan

#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384
#define STBI_MALLOC(size) trelvan::ArenaMalloc(size)
#define STBI_REALLOC_SIZED(p, oldSize, newSize) trelvan::ArenaRealloc(p, oldSize, newSize)
#define STBI_FREE(p) trelvan::ArenaFree(p)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace trelvan {

bool IsPngOrJpeg(const uint8_t* bytes, uint32_t size, PictureInfo* info) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= 8 && std::memcmp(bytes, kPng, 8) == 0) {
    std::memcpy(info->kind, "PNG", 4);
    return true;
  }
  if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
    std::memcpy(info->kind, "JPEG", 5);
    return true;
  }
  return false;
}

namespace {

// False when a Huffman table of the JPEG stream names more than 256 codes.
// The decoder's table holds 256, and the stb release the program is built
// with writes past it instead of refusing the stream. The segments are
// walked as the decoder reads them: entropy-coded data has no 0xFF byte
// but stuffed ones (0xFF 0x00) and restart markers, which carry no length.
bool JpegHuffmanTablesFit(const uint8_t* bytes, uint32_t size) {
  uint32_t at = 2;  // after the start-of-image marker
  while (at + 3 < size) {
    if (bytes[at] != 0xFF || bytes[at + 1] == 0xFF) {
      ++at;
      continue;
    }
    const uint8_t marker = bytes[at + 1];
    if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
      at += 2;
      continue;
    }
    const uint32_t length = uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
    if (marker == 0xC4) {
      // Tables follow one another while the segment's length lasts; the
      // decoder reads each table's 16 counts even past the segment's end,
      // and past the file's end it reads zeros.
      int64_t left = int64_t{length} - 2;
      for (uint32_t table = at + 4; left > 0 && table < size;) {
        uint32_t codes = 0;
        for (uint32_t i = 1; i <= 16 && table + i < size; ++i) codes += bytes[table + i];
        if (codes > 256) return false;
        left -= 17 + codes;
        table += 17 + codes;
      }
    }
    at += 2 + length;
  }
  return true;
}

uint32_t ReadU32BE(const uint8_t* b) {
  return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

// Readies a PNG's chunks for the decoder (which reads no chunk's CRC).
// - A palette PNG's pixels may name entries past the end of its palette.
//   The decoder reads those entries from a table it never cleared, so such
//   a picture came out different from one conversion to the next, coloured
//   by whatever an earlier decode left there. The palette chunk is padded
//   to all 256 entries with black, which is what other readers show for
//   such pixels; `*size` grows by the padding. A second palette chunk is
//   refused, as the PNG format forbids it.
// - An empty image-data chunk holds nothing, but as the first one it had
//   the decoder copy from a buffer it had not yet made (a null pointer).
//   It is renamed to a chunk the decoder skips.
int PreparePng(uint8_t* memory, size_t capacity, uint32_t* size) {
  constexpr uint32_t kFullPalette = 256 * 3;
  bool seen = false;
  for (uint32_t at = 8; at + 8 <= *size;) {
    uint32_t length = ReadU32BE(memory + at);
    const uint8_t* type = memory + at + 4;
    if (std::memcmp(type, "IEND", 4) == 0 || length > *size - at - 8) break;
    if (length == 0 && std::memcmp(type, "IDAT", 4) == 0) memory[at + 4] = 'i';
    if (std::memcmp(type, "PLTE", 4) == 0) {
      if (seen) return kPictureDamaged;
      seen = true;
      if (length > 0 && length < kFullPalette && length % 3 == 0) {  // the decoder refuses an empty one
        const uint32_t extra = kFullPalette - length;
        if (extra > capacity - *size) return kPictureTooLarge;
        uint8_t* end = memory + at + 8 + length;
        std::memmove(end + extra, end, *size - (at + 8 + length));
        std::memset(end, 0, extra);
        for (int i = 0; i < 4; ++i) memory[at + i] = static_cast<uint8_t>(kFullPalette >> (24 - 8 * i));
        *size += extra;
        length = kFullPalette;
      }
    }
    at += 8 + length;
    if (*size - at < 4) break;
    at += 4;  // the CRC
  }
  return kPictureDone;
}

}  // namespace

int DecodePngOrJpeg(uint8_t* memory, size_t capacity, uint32_t size, const uint8_t** pixels,
                    PictureInfo* info) {
  const uint8_t* bytes = memory;
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8 && !JpegHuffmanTablesFit(bytes, size)) {
    return kPictureDamaged;
  }
  if (size >= 8 && bytes[0] == 0x89) {
    const int prepared = PreparePng(memory, capacity, &size);
    if (prepared != kPictureDone) return prepared;
  }
  Arena arena{memory, capacity, size, 0, false};  // allocations go behind the file
  current = &arena;
  int w = 0, h = 0, n = 0;
  int result = kPictureDone;
  if (!stbi_info_from_memory(bytes, static_cast<int>(size), &w, &h, &n)) {
    result = kPictureDamaged;
  } else {
    info->width = static_cast<uint32_t>(w);
    info->height = static_cast<uint32_t>(h);
    if (w <= 0 || h <= 0) {
      result = kPictureDamaged;
    } else if (static_cast<uint32_t>(w) > kPictureMostSide || static_cast<uint32_t>(h) > kPictureMostSide) {
      result = kPictureTooLarge;
    } else {
      *pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &n, 4);
      // out of the block's memory, or a damaged or unreadable stream
      if (!*pixels) result = arena.full ? kPictureTooLarge : kPictureDamaged;
    }
  }
  current = nullptr;
  return result;
}

}  // namespace trelvan
