#include "canvas.h"

#include <cmath>

#include "storage/bytes.h"
#include "ui/fonts.h"

namespace rsc {

Rgb Mix(Rgb a, Rgb b, double t) {
  auto m = [t](uint8_t p, uint8_t q) {
    return static_cast<uint8_t>(std::lround(p + (q - p) * t));
  };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

uint16_t ToColour16(Rgb c) {
  const unsigned r = (c.r * 31u + 127u) / 255u;
  const unsigned g = (c.g * 63u + 127u) / 255u;
  const unsigned b = (c.b * 31u + 127u) / 255u;
  return static_cast<uint16_t>(r | (g << 5) | (b << 11));
}

Canvas MakeCanvas(int w, int h, Rgb background) {
  Canvas c;
  c.w = w;
  c.h = h;
  c.px.assign(static_cast<size_t>(w) * h, background);
  return c;
}

Shape RoundRect(double x, double y, double w, double h, double radius) {
  return [=](double px, double py) {
    if (px < x || py < y || px >= x + w || py >= y + h) return false;
    const double cx = px < x + radius ? x + radius : (px > x + w - radius ? x + w - radius : px);
    const double cy = py < y + radius ? y + radius : (py > y + h - radius ? y + h - radius : py);
    const double dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= radius * radius;
  };
}

Shape Circle(double cx, double cy, double r) {
  return [=](double px, double py) {
    const double dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= r * r;
  };
}

Shape Segment(double x0, double y0, double x1, double y1, double thickness) {
  return [=](double px, double py) {
    const double vx = x1 - x0, vy = y1 - y0;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((px - x0) * vx + (py - y0) * vy) / len2 : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const double dx = px - (x0 + t * vx), dy = py - (y0 + t * vy);
    return dx * dx + dy * dy <= thickness * thickness / 4;
  };
}

Shape Polygon(std::vector<double> xy) {
  return [xy](double px, double py) {
    bool inside = false;
    const size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
      if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Union(Shape a, Shape b) {
  return [a, b](double x, double y) { return a(x, y) || b(x, y); };
}

Shape Minus(Shape a, Shape b) {
  return [a, b](double x, double y) { return a(x, y) && !b(x, y); };
}

namespace {

constexpr int kSamples = 4;

// Share of pixel (i, j) inside the shape, 0 to 1.
double Coverage(const Shape& s, int i, int j) {
  int hits = 0;
  for (int sy = 0; sy < kSamples; ++sy) {
    for (int sx = 0; sx < kSamples; ++sx) {
      if (s(i + (sx + 0.5) / kSamples, j + (sy + 0.5) / kSamples)) ++hits;
    }
  }
  return static_cast<double>(hits) / (kSamples * kSamples);
}

}  // namespace

void Fill(Canvas& c, const Shape& s, Rgb colour) {
  for (int j = 0; j < c.h; ++j) {
    for (int i = 0; i < c.w; ++i) {
      const double k = Coverage(s, i, j);
      if (k > 0) c.px[j * c.w + i] = Mix(c.px[j * c.w + i], colour, k);
    }
  }
}

void FillGradient(Canvas& c, const Shape& s, Rgb top, Rgb bottom) {
  for (int j = 0; j < c.h; ++j) {
    const Rgb colour = Mix(top, bottom, c.h > 1 ? static_cast<double>(j) / (c.h - 1) : 0);
    for (int i = 0; i < c.w; ++i) {
      const double k = Coverage(s, i, j);
      if (k > 0) c.px[j * c.w + i] = Mix(c.px[j * c.w + i], colour, k);
    }
  }
}

void FillRect(Canvas& c, int x, int y, int w, int h, Rgb colour) {
  for (int j = y; j < y + h; ++j) {
    for (int i = x; i < x + w; ++i) {
      if (i >= 0 && j >= 0 && i < c.w && j < c.h) c.px[j * c.w + i] = colour;
    }
  }
}

int FontHeight(int font) {
  const uint8_t* t = trelvan::FontTable(static_cast<uint8_t>(font));
  return t ? t[1] : 0;
}

int TextWidth(int font, const char* text) {
  const uint8_t* t = trelvan::FontTable(static_cast<uint8_t>(font));
  if (!t) return 0;
  int w = 0;
  for (const char* p = text; *p; ++p) {
    const int code = static_cast<unsigned char>(*p);
    if (code >= trelvan::kFontFirstChar && code <= trelvan::kFontLastChar) {
      w += t[2 + (code - trelvan::kFontFirstChar) * 3];
    }
  }
  return w;
}

namespace {

// Calls `dot`(column, row) for every set bit of the glyph.
template <typename Dot>
void ForGlyphBits(const uint8_t* table, int code, Dot dot) {
  const uint8_t* entry = table + 2 + (code - trelvan::kFontFirstChar) * 3;
  const int w = entry[0];
  const int h = table[1];
  const uint8_t* bits = table + trelvan::ReadU16LE(entry + 1);
  for (int bit = 0; bit < w * h; ++bit) {
    if (bits[bit >> 3] & (1u << (bit & 7))) dot(bit % w, bit / w);
  }
}

}  // namespace

int CapitalMiddle(int font) {
  const uint8_t* t = trelvan::FontTable(static_cast<uint8_t>(font));
  if (!t) return 0;
  int top = t[1], bottom = 0;
  ForGlyphBits(t, 'H', [&](int, int row) {
    if (row < top) top = row;
    if (row > bottom) bottom = row;
  });
  return (top + bottom + 1) / 2;
}

void DrawText(Canvas& c, int font, int x, int y, const char* text, Rgb colour) {
  const uint8_t* t = trelvan::FontTable(static_cast<uint8_t>(font));
  if (!t) return;
  for (const char* p = text; *p; ++p) {
    const int code = static_cast<unsigned char>(*p);
    if (code < trelvan::kFontFirstChar || code > trelvan::kFontLastChar) continue;
    ForGlyphBits(t, code, [&](int col, int row) {
      const int i = x + col, j = y + row;
      if (i >= 0 && j >= 0 && i < c.w && j < c.h) c.px[j * c.w + i] = colour;
    });
    x += t[2 + (code - trelvan::kFontFirstChar) * 3];
  }
}

}  // namespace rsc
