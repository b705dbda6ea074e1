#include "media/bmp_decode.h"

#include "storage/text.h"

namespace trelvan {

namespace {

// A byte of the file, 0xFF past its end.
struct BmpBytes {
  const uint8_t* data;
  uint32_t size;
  uint8_t At(uint64_t offset) const { return offset < size ? data[offset] : 0xFF; }
  uint16_t U16(uint64_t offset) const { return static_cast<uint16_t>(At(offset) | (At(offset + 1) << 8)); }
  uint32_t U32(uint64_t offset) const { return U16(offset) | (static_cast<uint32_t>(U16(offset + 2)) << 16); }
};

constexpr uint32_t kFileHeader = 14;
constexpr uint32_t kCoreHeader = 12;     // the oldest info header: 16-bit sizes, 3-byte colours
constexpr uint32_t kClassicHeader = 40;
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

// A mask's channel as 0 to 255.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask >> shift & 1)) ++shift;
  const uint32_t top = mask >> shift;
  const uint64_t v = (pixel & mask) >> shift;
  return static_cast<uint8_t>((v * 255 + top / 2) / top);
}

}  // namespace

int ReadBmpLayout(const uint8_t* f, uint32_t size, BmpLayout* out, PictureInfo* info) {
  const BmpBytes b{f, size};
  BmpLayout l{};
  FormatText(info->kind, "BMP");
  const uint32_t header = b.U32(kFileHeader);
  if (size < kFileHeader + 16 || (header != kCoreHeader && header < kClassicHeader)) return kPictureDamaged;
  int32_t width, height;
  uint32_t compression = kBiRgb, colours = 0;
  if (header == kCoreHeader) {
    width = b.U16(18);
    height = static_cast<int16_t>(b.U16(20));
    l.bits = b.U16(24);
    l.paletteStep = 3;
  } else {
    width = static_cast<int32_t>(b.U32(18));
    height = static_cast<int32_t>(b.U32(22));
    l.bits = b.U16(28);
    compression = b.U32(30);
    colours = b.U32(46);
    l.paletteStep = 4;
  }
  info->bits = l.bits;
  info->compression = compression;
  l.topDown = height < 0;
  l.width = width < 0 ? 0 : static_cast<uint32_t>(width);
  l.height = height < 0 ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
  info->width = l.width;
  info->height = l.height;
  if (l.width == 0 || l.height == 0) return kPictureDamaged;
  if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields) {
    return kPictureUnsupported;  // run-length, or a PNG or JPEG inside
  }
  const uint16_t bits = l.bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return kPictureUnsupported;
  if (compression != kBiRgb && bits != 16 && bits != 32) return kPictureDamaged;
  if (l.width > kPictureMostSide || l.height > kPictureMostSide) return kPictureTooLarge;

  uint32_t end = kFileHeader + header;  // where the colour table or the pixels follow
  if (compression != kBiRgb) {
    // the masks follow a classic header, and lie inside the larger ones
    for (int c = 0; c < 3; ++c) l.mask[c] = b.U32(kFileHeader + kClassicHeader + 4u * c);
    if (header == kClassicHeader) end += compression == kBiAlphaBitfields ? 16 : 12;
  } else if (bits == 16) {
    l.mask[0] = 0x7C00, l.mask[1] = 0x03E0, l.mask[2] = 0x001F;  // 5 bits each
  } else if (bits == 32) {
    l.mask[0] = 0xFF0000, l.mask[1] = 0xFF00, l.mask[2] = 0xFF;
  }
  if (bits <= 8) {
    const uint32_t most = 1u << bits;
    l.palette = end;
    l.paletteEntries = colours == 0 || colours > most ? most : colours;
    end += l.paletteEntries * l.paletteStep;
  }
  l.stride = (l.width * bits + 31) / 32 * 4;
  // Editors often write larger headers: the pixel array starts where the
  // file header says, when that lies inside the file past the headers.
  const uint32_t pixels = b.U32(10);
  l.pixels = pixels >= end && pixels < size ? pixels : end;
  // One row's worth may be missing (writers drop the last padding); less is
  // a file cut short.
  const uint64_t need = uint64_t{l.pixels} + uint64_t{l.stride} * l.height;
  if (need > uint64_t{size} + l.stride) return kPictureDamaged;
  *out = l;
  return kPictureDone;
}

void ReadBmpRow(const BmpLayout& l, const uint8_t* f, uint32_t size, uint32_t y, uint8_t* rgb) {
  const BmpBytes b{f, size};
  const uint32_t fileRow = l.topDown ? y : l.height - 1 - y;
  const uint64_t start = l.pixels + uint64_t{fileRow} * l.stride;
  for (uint32_t x = 0; x < l.width; ++x) {
    uint8_t* out = rgb + 3 * x;
    if (l.bits <= 8) {
      const uint64_t bit = uint64_t{x} * l.bits;
      const uint32_t index = (b.At(start + bit / 8) >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
      if (index >= l.paletteEntries) {
        out[0] = out[1] = out[2] = 0;
        continue;
      }
      const uint64_t entry = l.palette + uint64_t{index} * l.paletteStep;  // blue, green, red
      out[0] = b.At(entry + 2), out[1] = b.At(entry + 1), out[2] = b.At(entry);
    } else if (l.bits == 24) {
      const uint64_t at = start + 3ull * x;
      out[0] = b.At(at + 2), out[1] = b.At(at + 1), out[2] = b.At(at);
    } else {
      const uint32_t pixel = l.bits == 16 ? b.U16(start + 2ull * x) : b.U32(start + 4ull * x);
      for (int c = 0; c < 3; ++c) out[c] = Channel(pixel, l.mask[c]);
    }
  }
}

}  // namespace trelvan
