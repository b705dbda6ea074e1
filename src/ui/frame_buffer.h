// The 800 x 600 frame buffer that every page draws into, with the current pen
// colour and the dirty rectangle that the shell invalidates.
#pragma once

#include <cstdint>

namespace trelvan {

class Window;

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;
constexpr int kMaxDrawnCharacters = 100;
constexpr uint8_t kDrawCentred = 2;  // DrawString flag: centre in boxWidth

struct FrameRect {
  int32_t left, top, right, bottom;  /**< right and bottom exclusive */
};

struct FrameBuffer {
  uint16_t height;
  uint16_t width;
  FrameRect dirtyRect;
  uint8_t FrameDirty;   /**< 1: pixels were written since the last invalidation */
  uint16_t PenColour;   /**< Colour16 that every primitive draws with */
  uint16_t penCacheColour;  /**< PenColour the cached pixel was made from */
  uint32_t penCachePixel;   /**< Colour16ToPixel(penCacheColour) */
  uint32_t pixels[kFrameWidth * kFrameHeight];  /**< column-major: (x, y) at x * 600 + y */
  uint32_t blit[kFrameWidth * kFrameHeight];   /**< rows from the top; bytes blue, green, red, 0 */
};

// Colour16 (red bits 0-4, green 5-10, blue 11-15) to a 0x00BBGGRR pixel.
constexpr uint32_t Colour16ToPixel(uint16_t c) {
  uint32_t red = (c & 0x1Fu) * 8u;
  if (red >= 128) red += 7;
  uint32_t green = (static_cast<uint32_t>(c) >> 3) & 0xFCu;
  if (c & 0x200u) green += 3;
  uint32_t blue = (static_cast<uint32_t>(c) >> 8) & 0xF8u;
  if (blue >= 128) blue += 7;
  return blue * 65536u + green * 256u + red;
}

inline void GrowDirtyRect(FrameBuffer& f, int32_t x, int32_t y) {
  FrameRect& r = f.dirtyRect;
  if (!f.FrameDirty) {
    const int32_t maxX = f.width - 1, maxY = f.height - 1;
    const int32_t cx = x < 1 ? 1 : (x > maxX ? maxX : x);
    const int32_t cy = y < 1 ? 1 : (y > maxY ? maxY : y);
    r = {cx - 1, cy - 1, cx + 1, cy + 1};
    f.FrameDirty = 1;
    return;
  }
  if (r.left >= x) r.left = x - 1;
  if (r.top >= y) r.top = y - 1;
  if (r.right <= x) r.right = x + 1;
  if (r.bottom <= y) r.bottom = y + 1;
}

inline void PutPixel(FrameBuffer& f, int32_t x, int32_t y) {
  if (static_cast<uint32_t>(x) < kFrameWidth && static_cast<uint32_t>(y) < kFrameHeight) {
    if (f.PenColour != f.penCacheColour) {
      f.penCacheColour = f.PenColour;
      f.penCachePixel = Colour16ToPixel(f.PenColour);
    }
    f.pixels[x * kFrameHeight + y] = f.penCachePixel;
  }
  GrowDirtyRect(f, x, y);
}

void FillArea(FrameBuffer& f, uint16_t x, uint16_t y, uint16_t w, uint16_t h);
void DrawString(FrameBuffer& f, uint8_t font, uint16_t x, int32_t y, const uint8_t* text,
                int32_t boxWidth, uint8_t flags);
inline void DrawString(FrameBuffer& f, uint8_t font, uint16_t x, int32_t y, const char* text,
                       int32_t boxWidth, uint8_t flags) {
  DrawString(f, font, x, y, reinterpret_cast<const uint8_t*>(text), boxWidth, flags);
}
// Width in pixels of the characters DrawString would draw.
int32_t TextWidth(uint8_t font, const uint8_t* text);
void ClearFrameBuffer(FrameBuffer& f);
void BlitFrameBuffer(FrameBuffer& f, Window& window);

}  // namespace trelvan
