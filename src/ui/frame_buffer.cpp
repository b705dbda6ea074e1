#include "ui/frame_buffer.h"

#include "platform/window.h"
#include "storage/bytes.h"
#include "ui/fonts.h"

namespace trelvan {

namespace {

constexpr int kTextScanLimit = 256;

// Number of bytes DrawString looks at: up to the terminator, at most 100.
int DrawnLength(const uint8_t* text) {
  int n = 0;
  while (n < kTextScanLimit && text[n] != 0) ++n;
  return n < kMaxDrawnCharacters ? n : kMaxDrawnCharacters;
}

// The glyph code drawn for a byte, or 0 when the byte takes no room.
int GlyphCode(uint8_t byte) {
  const int c = static_cast<int8_t>(byte);
  if (c == 127) return 126;
  return c >= kFontFirstChar ? c : 0;
}

}  // namespace

void FillArea(FrameBuffer& f, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
  if (w == 0 || h == 0) return;
  const bool wrapsX = static_cast<uint32_t>(x) + w > 65536u;
  const bool wrapsY = static_cast<uint32_t>(y) + h > 65536u;
  if (wrapsX || wrapsY) {
    // Coordinates wrap around 65536: the columns and rows that land on the
    // frame are filled, and the dirty rectangle grows from the first pixel
    // to the extremes, as pixel by pixel, without a step for each of up to
    // 65535 x 65535 pixels off the frame.
    const uint32_t pixel = Colour16ToPixel(f.PenColour);
    for (int32_t cx = 0; cx < kFrameWidth; ++cx) {
      if (static_cast<uint16_t>(cx - x) >= w) continue;
      uint32_t* column = f.pixels + cx * kFrameHeight;
      for (int32_t cy = 0; cy < kFrameHeight; ++cy) {
        if (static_cast<uint16_t>(cy - y) < h) column[cy] = pixel;
      }
    }
    GrowDirtyRect(f, x, y);
    GrowDirtyRect(f, wrapsX ? 0 : x, wrapsY ? 0 : y);
    GrowDirtyRect(f, wrapsX ? 65535 : x + w - 1, wrapsY ? 65535 : y + h - 1);
    return;
  }
  const int32_t x1 = static_cast<int32_t>(x) + w;  // exclusive
  const int32_t y1 = static_cast<int32_t>(y) + h;
  const int32_t clipX1 = x1 < kFrameWidth ? x1 : kFrameWidth;
  const int32_t clipY1 = y1 < kFrameHeight ? y1 : kFrameHeight;
  if (x < kFrameWidth && y < kFrameHeight) {
    const uint32_t pixel = Colour16ToPixel(f.PenColour);
    for (int32_t cx = x; cx < clipX1; ++cx) {
      uint32_t* column = f.pixels + cx * kFrameHeight;
      for (int32_t cy = y; cy < clipY1; ++cy) column[cy] = pixel;
    }
  }
  // The first pixel may start the dirty rectangle (clamped); the others only
  // push its edges outwards, so their extremes are all that matter.
  GrowDirtyRect(f, x, y);
  if (w > 1 || h > 1) {
    GrowDirtyRect(f, h > 1 ? x : x + 1, w > 1 ? y : y + 1);
    GrowDirtyRect(f, x1 - 1, y1 - 1);
  }
}

int32_t TextWidth(uint8_t font, const uint8_t* text) {
  const uint8_t* table = FontTable(font);
  if (!table) return 0;
  const int n = DrawnLength(text);
  int32_t total = 0;
  for (int i = 0; i < n; ++i) {
    const int code = GlyphCode(text[i]);
    if (code) total += table[2 + (code - kFontFirstChar) * 3];
  }
  return total;
}

void DrawString(FrameBuffer& f, uint8_t font, uint16_t x, int32_t y, const uint8_t* text,
                int32_t boxWidth, uint8_t flags) {
  const uint8_t* table = FontTable(font);
  if (!table) return;
  const int h = table[1];
  int32_t start = x;
  if (flags & kDrawCentred) {
    start = x + (boxWidth - TextWidth(font, text)) / 2;
    if (start < 0) start = 0;
  }
  const int n = DrawnLength(text);
  for (int i = 0; i < n; ++i) {
    const int code = GlyphCode(text[i]);
    if (!code) continue;
    const uint8_t* entry = table + 2 + (code - kFontFirstChar) * 3;
    const int w = entry[0];
    const uint8_t* bits = table + ReadU16LE(entry + 1);
    int bit = 0;
    for (int r = 0; r < h; ++r) {
      for (int k = 0; k < w; ++k, ++bit) {
        if (bits[bit >> 3] & (1u << (bit & 7))) {
          PutPixel(f, static_cast<uint16_t>(start + k), static_cast<uint16_t>(y + r));
        }
      }
    }
    start += w;
  }
}

void ClearFrameBuffer(FrameBuffer& f) {
  for (uint32_t& p : f.pixels) p = 0x00FFFFFFu;
  f.FrameDirty = 0;
}

void BlitFrameBuffer(FrameBuffer& f, Window& window) {
  // Transpose the column-major pixels into rows, a tile at a time so both
  // sides stay in the cache.
  constexpr int kTile = 16;
  uint32_t* out = f.blit;
  for (int x0 = 0; x0 < kFrameWidth; x0 += kTile) {
    for (int y0 = 0; y0 < kFrameHeight; y0 += kTile) {
      const int yEnd = y0 + kTile < kFrameHeight ? y0 + kTile : kFrameHeight;
      for (int x = x0; x < x0 + kTile; ++x) {
        const uint32_t* column = f.pixels + x * kFrameHeight;
        for (int y = y0; y < yEnd; ++y) {
          const uint32_t p = column[y];
          // little-endian words: bytes blue, green, red, 0
          out[y * kFrameWidth + x] = ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
        }
      }
    }
  }
  window.PresentFrame(reinterpret_cast<const uint8_t*>(f.blit), kFrameWidth, kFrameHeight);
}

}  // namespace trelvan
