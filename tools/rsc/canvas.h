// A small RGB canvas that the resource compiler paints pictures on: shapes
// are filled with 4 x 4 supersampling and blended with what lies below, text
// is drawn with the program's own bitmap fonts.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace rsc {

struct Rgb {
  uint8_t r, g, b;
};

// Mix of a and b: t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);
// The nearest Colour16 (red bits 0-4, green 5-10, blue 11-15).
uint16_t ToColour16(Rgb c);

struct Canvas {
  int w = 0;
  int h = 0;
  std::vector<Rgb> px;  // rows from the top
};

Canvas MakeCanvas(int w, int h, Rgb background);

// Inside test in continuous pixel coordinates (pixel (i, j) covers
// [i, i + 1) x [j, j + 1)).
using Shape = std::function<bool(double x, double y)>;

Shape RoundRect(double x, double y, double w, double h, double radius);
Shape Circle(double cx, double cy, double r);
Shape Segment(double x0, double y0, double x1, double y1, double thickness);
Shape Polygon(std::vector<double> xy);  // x0 y0 x1 y1 ...
Shape Union(Shape a, Shape b);
Shape Minus(Shape a, Shape b);

// Blends `c` over every pixel in proportion to the part of it the shape covers.
void Fill(Canvas& c, const Shape& s, Rgb colour);
// Fills a rectangle whose colour runs from `top` to `bottom`, clipped by `s`.
void FillGradient(Canvas& c, const Shape& s, Rgb top, Rgb bottom);
void FillRect(Canvas& c, int x, int y, int w, int h, Rgb colour);

int FontHeight(int font);
int TextWidth(int font, const char* text);
// Rows from the top of the glyph cell to the middle of the capitals.
int CapitalMiddle(int font);
void DrawText(Canvas& c, int font, int x, int y, const char* text, Rgb colour);

}  // namespace rsc
