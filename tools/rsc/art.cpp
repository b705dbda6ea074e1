#include "art.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace rsc {

// ---------------------------------------------------------------- palette

namespace {

struct NamedColour {
  const char* name;
  Rgb rgb;
};

// One palette for every page: a deep blue for title bars and buttons, light
// grey panels on white, one orange accent for what is current.
const NamedColour kPalette[] = {
    {"white", {0xFF, 0xFF, 0xFF}},     {"black", {0x00, 0x00, 0x00}},
    {"navy", {0x1E, 0x3C, 0x6E}},      {"navydark", {0x12, 0x26, 0x48}},
    {"navylight", {0x35, 0x5C, 0x98}}, {"accent", {0xE8, 0x7C, 0x1E}},
    {"accentdark", {0xB2, 0x5A, 0x0C}}, {"panel", {0xEC, 0xEF, 0xF3}},
    {"panelline", {0xB6, 0xBF, 0xCC}}, {"ink", {0x1E, 0x26, 0x30}},
    {"muted", {0x66, 0x71, 0x80}},     {"rowgrey", {0xC6, 0xC6, 0xC6}},
    {"green", {0x2E, 0xA0, 0x4A}},     {"red", {0xCC, 0x3A, 0x32}},
    {"grey", {0x9A, 0xA3, 0xAE}},      {"yellow", {0xF2, 0xC2, 0x1E}},
    {"blue", {0x2A, 0x78, 0xD0}},      {"purple", {0x7A, 0x4C, 0xB0}},
    {"teal", {0x1C, 0x8C, 0x8C}},
};

Rgb P(const char* name) {
  for (const NamedColour& c : kPalette) {
    if (std::string(c.name) == name) return c.rgb;
  }
  return {0xFF, 0x00, 0xFF};
}

}  // namespace

bool ParseColour(const std::string& word, Rgb* out) {
  for (const NamedColour& c : kPalette) {
    if (word == c.name) {
      *out = c.rgb;
      return true;
    }
  }
  if (word.size() == 10 && word.compare(0, 4, "rgb:") == 0) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(word.c_str() + 4, &end, 16);
    if (end && *end == 0) {
      *out = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
      return true;
    }
  }
  return false;
}

std::string PaletteListing() {
  std::ostringstream s;
  for (const NamedColour& c : kPalette) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", c.rgb.r, c.rgb.g, c.rgb.b);
    s << c.name << " rgb:" << hex << " colour16 0x" << std::hex << ToColour16(c.rgb) << std::dec
      << "\n";
  }
  return s.str();
}

// ---------------------------------------------------------------- helpers

namespace {

struct Style {
  const PictureDefinition& picture;
  std::string* error;

  std::string Option(const char* key, const char* fallback) const {
    auto it = picture.options.find(key);
    return it == picture.options.end() ? fallback : it->second;
  }
  bool Colour(const char* key, const char* fallback, Rgb* out) const {
    const std::string word = Option(key, fallback);
    if (ParseColour(word, out)) return true;
    *error = std::string("unknown colour '") + word + "' for " + key;
    return false;
  }
  bool Font(int fallback, int* out) const {
    const std::string word = Option("font", std::to_string(fallback).c_str());
    if (word == "0" || word == "1" || word == "2") {
      *out = word[0] - '0';
      return true;
    }
    *error = "font must be 0, 1 or 2, not '" + word + "'";
    return false;
  }
  bool Has(const char* word) const {
    for (const std::string& w : picture.words) {
      if (w == word) return true;
    }
    return false;
  }
  std::string Caption(size_t i = 0) const {
    return i < picture.captions.size() ? picture.captions[i] : std::string();
  }
};

Rgb Lighter(Rgb c, double t) { return Mix(c, {0xFF, 0xFF, 0xFF}, t); }
Rgb Darker(Rgb c, double t) { return Mix(c, {0x00, 0x00, 0x00}, t); }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char ch : text) {
    if (ch == '|') {
      lines.push_back(line);
      line.clear();
    } else {
      line += ch;
    }
  }
  lines.push_back(line);
  return lines;
}

// Lines separated by '|', each centred in the box, the block centred on the
// capitals' middle.
void CentredText(Canvas& c, int font, double x, double y, double w, double h,
                 const std::string& text, Rgb colour) {
  const std::vector<std::string> lines = SplitLines(text);
  const int pitch = font == 1 ? 13 : (font == 0 ? 16 : 24);
  const double middle = y + h / 2.0 - (lines.size() - 1) * pitch / 2.0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int tx = static_cast<int>(std::lround(x + (w - TextWidth(font, lines[i].c_str())) / 2.0));
    const int ty = static_cast<int>(std::lround(middle + i * pitch - CapitalMiddle(font)));
    DrawText(c, font, tx, ty, lines[i].c_str(), colour);
  }
}

// ---------------------------------------------------------------- icons

// Draws the named symbol centred at (cx, cy) in a square of side s.
bool Icon(Canvas& c, const std::string& name, double cx, double cy, double s, Rgb ink, Rgb back,
          std::string* error) {
  const double k = s / 16.0;  // symbols are designed on a 16-unit square
  auto X = [&](double u) { return cx + (u - 8) * k; };
  auto Y = [&](double v) { return cy + (v - 8) * k; };
  const double stroke = 2.2 * k;
  if (name == "up" || name == "down" || name == "left" || name == "right") {
    std::vector<double> tri;
    if (name == "up") tri = {X(2), Y(11.5), X(14), Y(11.5), X(8), Y(4)};
    if (name == "down") tri = {X(2), Y(4.5), X(14), Y(4.5), X(8), Y(12)};
    if (name == "left") tri = {X(11.5), Y(2), X(11.5), Y(14), X(4), Y(8)};
    if (name == "right") tri = {X(4.5), Y(2), X(4.5), Y(14), X(12), Y(8)};
    Fill(c, Polygon(tri), ink);
  } else if (name == "tick") {
    Fill(c, Union(Segment(X(2.5), Y(8.5), X(6.5), Y(12.5), stroke * 1.1),
                  Segment(X(6.5), Y(12.5), X(13.5), Y(3.5), stroke * 1.1)),
         ink);
  } else if (name == "cross") {
    Fill(c, Union(Segment(X(3.5), Y(3.5), X(12.5), Y(12.5), stroke),
                  Segment(X(12.5), Y(3.5), X(3.5), Y(12.5), stroke)),
         ink);
  } else if (name == "plus" || name == "minus") {
    Shape bar = Segment(X(2.5), Y(8), X(13.5), Y(8), stroke * 1.2);
    if (name == "plus") bar = Union(bar, Segment(X(8), Y(2.5), X(8), Y(13.5), stroke * 1.2));
    Fill(c, bar, ink);
  } else if (name == "backspace") {
    Fill(c, Polygon({X(0.5), Y(8), X(5), Y(2.5), X(15.5), Y(2.5), X(15.5), Y(13.5), X(5), Y(13.5)}),
         ink);
    Fill(c, Union(Segment(X(7.5), Y(5.5), X(12.5), Y(10.5), stroke * 0.8),
                  Segment(X(12.5), Y(5.5), X(7.5), Y(10.5), stroke * 0.8)),
         back);
  } else if (name == "shift" || name == "shiftfull") {
    Shape arrow = Polygon({X(8), Y(1), X(15), Y(8), X(11), Y(8), X(11), Y(14.5), X(5), Y(14.5),
                           X(5), Y(8), X(1), Y(8)});
    Fill(c, arrow, ink);
    if (name == "shift") {
      Fill(c, Polygon({X(8), Y(3.6), X(12.1), Y(7.2 + 0.2), X(9.6), Y(7.4), X(9.6), Y(13.1),
                       X(6.4), Y(13.1), X(6.4), Y(7.4), X(3.9), Y(7.4)}),
           back);
    }
  } else if (name == "trash") {
    Fill(c, RoundRect(X(3.5), Y(5), 9 * k, 10 * k, 1.2 * k), ink);
    Fill(c, RoundRect(X(2), Y(2.5), 12 * k, 1.8 * k, 0.6 * k), ink);
    Fill(c, RoundRect(X(6), Y(1), 4 * k, 2 * k, 0.6 * k), ink);
    for (double u : {5.8, 8.0, 10.2}) Fill(c, Segment(X(u), Y(7), X(u), Y(13), 1.0 * k), back);
  } else if (name == "pencil") {
    Fill(c, Polygon({X(2), Y(14), X(2.8), Y(10.5), X(11), Y(2.3), X(13.7), Y(5), X(5.5), Y(13.2)}),
         ink);
    Fill(c, Segment(X(9.6), Y(3.7), X(12.3), Y(6.4), 0.9 * k), back);
  } else if (name == "picture") {
    // a framed landscape: hills under a sun
    Fill(c, RoundRect(X(0.5), Y(2), 15 * k, 12 * k, 1.2 * k), ink);
    Fill(c, RoundRect(X(2), Y(3.5), 12 * k, 9 * k, 0.4 * k), back);
    Fill(c, Polygon({X(2), Y(12.5), X(6.5), Y(6.5), X(9.5), Y(10), X(11), Y(8.5), X(14), Y(12.5)}), ink);
    Fill(c, Circle(X(11), Y(5.8), 1.4 * k), ink);
  } else if (name == "folder" || name == "upfolder") {
    Fill(c, RoundRect(X(1), Y(3), 6 * k, 3 * k, 1 * k), ink);
    Fill(c, RoundRect(X(1), Y(4.5), 14 * k, 9.5 * k, 1.2 * k), ink);
    if (name == "upfolder") {
      Fill(c, Polygon({X(8), Y(5.8), X(11.6), Y(9.4), X(9.3), Y(9.4), X(9.3), Y(12.6), X(6.7),
                       Y(12.6), X(6.7), Y(9.4), X(4.4), Y(9.4)}),
           back);
    }
  } else if (name == "file") {
    Fill(c, Polygon({X(3), Y(1), X(10), Y(1), X(13), Y(4), X(13), Y(15), X(3), Y(15)}), ink);
    Fill(c, Polygon({X(10), Y(1), X(13), Y(4), X(10), Y(4)}), back);
    for (double v : {7.0, 9.5, 12.0}) Fill(c, Segment(X(5.5), Y(v), X(10.5), Y(v), 0.9 * k), back);
  } else if (name == "info" || name == "warning" || name == "question") {
    const double r = 7.6 * k;
    Fill(c, Circle(cx, cy, r), ink);
    if (name == "info") {
      Fill(c, Circle(X(8), Y(4.3), 1.3 * k), back);
      Fill(c, RoundRect(X(6.9), Y(6.5), 2.2 * k, 6.5 * k, 0.5 * k), back);
    } else if (name == "warning") {
      Fill(c, RoundRect(X(6.9), Y(3), 2.2 * k, 7 * k, 1 * k), back);
      Fill(c, Circle(X(8), Y(12.3), 1.3 * k), back);
    } else {
      Shape hook = [&](double x, double y) {
        const double dx = x - X(8), dy = y - Y(6);
        const double d = std::sqrt(dx * dx + dy * dy);
        return d >= 1.8 * k && d <= 3.9 * k && !(dx < 0 && dy > 0);
      };
      Fill(c, hook, back);
      Fill(c, RoundRect(X(6.9), Y(8.4), 2.2 * k, 2.6 * k, 0.4 * k), back);
      Fill(c, Circle(X(8), Y(12.8), 1.3 * k), back);
    }
  } else if (name == "stop") {
    Fill(c, RoundRect(X(3), Y(3), 10 * k, 10 * k, 1.2 * k), ink);
  } else if (name == "play") {
    Fill(c, Polygon({X(4), Y(2), X(14), Y(8), X(4), Y(14)}), ink);
  } else if (name == "pause") {
    Fill(c, RoundRect(X(3.5), Y(2.5), 3.3 * k, 11 * k, 0.8 * k), ink);
    Fill(c, RoundRect(X(9.2), Y(2.5), 3.3 * k, 11 * k, 0.8 * k), ink);
  } else if (name == "bulb") {
    Fill(c, Circle(X(8), Y(6.5), 5.2 * k), ink);
    Fill(c, RoundRect(X(5.6), Y(10), 4.8 * k, 3 * k, 0.6 * k), ink);
    Fill(c, RoundRect(X(6.2), Y(13.6), 3.6 * k, 1.6 * k, 0.6 * k), ink);
  } else if (name == "note") {
    Fill(c, Circle(X(5), Y(12.5), 2.6 * k), ink);
    Fill(c, Circle(X(12), Y(11), 2.6 * k), ink);
    Fill(c, Polygon({X(6.5), Y(12.5), X(6.5), Y(3), X(14.5), Y(1.2), X(14.5), Y(11), X(13), Y(11),
                     X(13), Y(4.3), X(8), Y(5.4), X(8), Y(12.5)}),
         ink);
  } else if (name == "horn") {
    Fill(c, Polygon({X(1.5), Y(6), X(5), Y(6), X(12), Y(1.5), X(12), Y(14.5), X(5), Y(10), X(1.5),
                     Y(10)}),
         ink);
    Fill(c, Segment(X(14), Y(5), X(14), Y(11), 1.3 * k), ink);
  } else if (name == "home") {
    Fill(c, Polygon({X(8), Y(1.5), X(15), Y(8), X(13), Y(8), X(13), Y(14.5), X(3), Y(14.5), X(3),
                     Y(8), X(1), Y(8)}),
         ink);
    Fill(c, RoundRect(X(6.5), Y(9.5), 3 * k, 5 * k, 0.3 * k), back);
  } else if (name == "gear") {
    Shape teeth = [&](double x, double y) {
      const double dx = x - cx, dy = y - cy;
      const double a = std::atan2(dy, dx);
      const double r = std::sqrt(dx * dx + dy * dy) / k;
      const double tooth = std::cos(a * 8) > 0.2 ? 7.4 : 5.8;
      return r <= tooth;
    };
    Fill(c, teeth, ink);
    Fill(c, Circle(cx, cy, 2.6 * k), back);
  } else {
    *error = "unknown icon '" + name + "'";
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- styles

// The one button of the program: rounded, a soft top-to-bottom shade, a
// darker rim and a white caption or symbol.
bool Button(Canvas& c, const Style& st, bool key) {
  Rgb on, fill, ink;
  if (!st.Colour("on", "white", &on)) return false;
  const bool current = st.Has("current");
  if (!st.Colour("fill", current ? "accent" : "navy", &fill)) return false;
  if (!st.Colour("text", "white", &ink)) return false;
  int font;
  if (!st.Font(0, &font)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  // key caps stand in a grid of touching boxes: leave a gap round each one
  const double inX = key ? 1.5 : 0.5, inY = key ? 2.5 : 0.5;
  const double w = c.w - 2 * inX, h = c.h - 2 * inY;
  const double r = std::fmin(key ? 5.0 : 7.0, std::fmin(w, h) / 2);
  Fill(c, RoundRect(inX, inY, w, h, r), Darker(fill, 0.35));
  FillGradient(c, RoundRect(inX + 1, inY + 1, w - 2, h - 2, r - 1), Lighter(fill, 0.22), fill);
  const std::string icon = st.Option("icon", "");
  const std::string caption = st.Caption();
  if (!icon.empty()) {
    const double size = std::fmin(h * 0.52, 22.0);
    double ix = c.w / 2.0;
    if (!caption.empty()) {
      const int tw = TextWidth(font, caption.c_str());
      ix = c.w / 2.0 - (tw + 6) / 2.0;
      DrawText(c, font, static_cast<int>(std::lround(ix + size / 2 + 6)),
               static_cast<int>(std::lround(c.h / 2.0 - CapitalMiddle(font))), caption.c_str(), ink);
    }
    const Rgb inside = Mix(Lighter(fill, 0.22), fill, 0.5);
    if (!Icon(c, icon, ix, c.h / 2.0, size, ink, inside, st.error)) return false;
  } else if (!caption.empty()) {
    CentredText(c, font, 0, 0, c.w, c.h, caption, ink);
  }
  return true;
}

// A handheld button: square-ish, strong colour, a bevel like a key on the
// device, caption in one or two lines. The handheld and the page editor
// write the button's name over its bottom 14 rows (font 1 from row 26), so
// the caption or symbol keeps above them and the name is the only writing
// there.
constexpr int kButtonNameRows = 14;

bool HandheldButton(Canvas& c, const Style& st) {
  Rgb fill, ink;
  if (!st.Colour("fill", "navy", &fill)) return false;
  if (!st.Colour("text", "white", &ink)) return false;
  int font;
  if (!st.Font(0, &font)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, {0xFF, 0xFF, 0xFF});
  const double w = c.w - 1, h = c.h - 1;
  Fill(c, RoundRect(0.5, 0.5, w, h, 8), Darker(fill, 0.45));
  FillGradient(c, RoundRect(1.5, 1.5, w - 2, h - 3, 7), Lighter(fill, 0.35), fill);
  FillGradient(c, RoundRect(4, 4, w - 7, h - 9, 5), Lighter(fill, 0.12), Darker(fill, 0.06));
  const int above = c.h - kButtonNameRows;
  const std::string icon = st.Option("icon", "");
  if (!icon.empty()) {
    const Rgb inside = Lighter(fill, 0.06);
    if (!Icon(c, icon, c.w / 2.0, above / 2.0, 20, ink, inside, st.error)) return false;
  } else {
    CentredText(c, font, 0, 0, c.w, above, st.Caption(), ink);
  }
  return true;
}

bool Panel(Canvas& c, const Style& st) {
  Rgb on;
  if (!st.Colour("on", "white", &on)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  Fill(c, RoundRect(0, 0, c.w, c.h, 8), P("panelline"));
  Fill(c, RoundRect(1, 1, c.w - 2, c.h - 2, 7), P("panel"));
  const std::string header = st.Caption();
  int bodyTop = 10;
  if (!header.empty()) {
    DrawText(c, 0, 12, 5, header.c_str(), P("navy"));
    FillRect(c, 10, 27, c.w - 20, 1, P("panelline"));
    bodyTop = 36;
  }
  // body text: lines separated by '|', font 1, left aligned
  const std::string body = st.Option("body", "");
  if (!body.empty()) {
    int y = bodyTop;
    for (const std::string& line : SplitLines(body)) {
      DrawText(c, 1, 12, y, line.c_str(), P("ink"));
      y += 16;
    }
  }
  return true;
}

// A list frame: blue header band with the caption, white inside, optional
// row numbers in a grey margin.
bool ListFrame(Canvas& c, const Style& st) {
  Rgb on;
  if (!st.Colour("on", "white", &on)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  constexpr int band = 28;
  Fill(c, RoundRect(0, 0, c.w, c.h, 7), P("panelline"));
  Fill(c, RoundRect(1, 1, c.w - 2, c.h - 2, 6), P("white"));
  Fill(c, Minus(RoundRect(0, 0, c.w, band + 8, 7), [](double, double y) { return y >= band; }),
       P("navy"));
  DrawText(c, 0, 12, band / 2 - CapitalMiddle(0), st.Caption().c_str(), P("white"));
  const int rows = std::atoi(st.Option("numbers", "0").c_str());
  if (rows > 0) {
    const int top = std::atoi(st.Option("top", "0").c_str());
    const int pitch = std::atoi(st.Option("pitch", "21").c_str());
    const int margin = std::atoi(st.Option("margin", "40").c_str());
    FillRect(c, 1, band, margin, c.h - band - 1, P("panel"));
    FillRect(c, margin + 1, band, 1, c.h - band - 1, P("panelline"));
    for (int i = 0; i < rows; ++i) {
      const std::string n = std::to_string(i + 1);
      const int y = top + i * pitch + pitch / 2 - CapitalMiddle(0);
      DrawText(c, 0, margin - 8 - TextWidth(0, n.c_str()), y, n.c_str(), P("muted"));
    }
    // round off the grey margin's lower left corner again
    Fill(c, Minus(RoundRect(0, 0, c.w, c.h, 7), RoundRect(1, 1, c.w - 2, c.h - 2, 6)),
         P("panelline"));
  }
  return true;
}

bool TitleBar(Canvas& c, const Style& st) {
  Rgb fill;
  if (!st.Colour("fill", "navy", &fill)) return false;
  // flat, so that a title text control filled with the same colour does
  // not show its box
  c = MakeCanvas(st.picture.w, st.picture.h, fill);
  FillRect(c, 0, c.h - 3, c.w, 3, P("accent"));
  return true;
}

bool StatusBar(Canvas& c, const Style&) {
  c = MakeCanvas(c.w, c.h, P("panel"));
  FillRect(c, 0, 0, c.w, 1, P("panelline"));
  return true;
}

bool Lamp(Canvas& c, const Style& st) {
  Rgb on, colour;
  if (!st.Colour("on", "white", &on)) return false;
  const std::string which = st.picture.words.empty() ? "grey" : st.picture.words[0];
  if (!ParseColour(which, &colour)) {
    *st.error = "unknown lamp colour '" + which + "'";
    return false;
  }
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  const double r = std::fmin(c.h / 2.0 - 2, 9);
  const double cx = r + 2, cy = c.h / 2.0;
  Fill(c, Circle(cx, cy, r), Darker(colour, 0.35));
  Fill(c, Circle(cx, cy, r - 1.3), colour);
  Fill(c, Circle(cx - r * 0.3, cy - r * 0.35, r * 0.35), Lighter(colour, 0.55));
  DrawText(c, 0, static_cast<int>(cx + r + 8), static_cast<int>(std::lround(cy - CapitalMiddle(0))),
           st.Caption().c_str(), P("ink"));
  return true;
}

bool CheckBox(Canvas& c, const Style& st, bool radio) {
  Rgb on;
  if (!st.Colour("on", "white", &on)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  const double s = std::fmin(std::fmin(c.w, c.h) - 2.0, 18.0);
  const double x = (c.w - s) / 2, y = (c.h - s) / 2;
  const bool set = st.Has("on");
  const double r = radio ? s / 2 : 3.5;
  Fill(c, RoundRect(x, y, s, s, r), set ? P("navydark") : P("navylight"));
  Fill(c, RoundRect(x + 1.5, y + 1.5, s - 3, s - 3, r - 1.5), set ? P("navy") : P("white"));
  if (set) {
    if (radio) {
      Fill(c, Circle(c.w / 2.0, c.h / 2.0, s * 0.22), P("white"));
    } else {
      Icon(c, "tick", c.w / 2.0, c.h / 2.0, s * 0.72, P("white"), P("navy"), st.error);
    }
  }
  return true;
}

// A round symbol on a coloured disc (remove mark, badges).
bool Badge(Canvas& c, const Style& st) {
  Rgb on, fill;
  if (!st.Colour("on", "white", &on)) return false;
  if (!st.Colour("fill", "navy", &fill)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  const std::string symbol = st.picture.words.empty() ? "info" : st.picture.words[0];
  const double s = std::fmin(c.w, c.h) - 2;
  if (symbol == "info" || symbol == "warning" || symbol == "question") {
    return Icon(c, symbol, c.w / 2.0, c.h / 2.0, s, fill, P("white"), st.error);
  }
  Fill(c, Circle(c.w / 2.0, c.h / 2.0, s / 2), fill);
  return Icon(c, symbol, c.w / 2.0, c.h / 2.0, s * 0.55, P("white"), fill, st.error);
}

// A plain symbol in the ink colour on a background.
bool PlainIcon(Canvas& c, const Style& st) {
  Rgb on, ink;
  if (!st.Colour("on", "white", &on)) return false;
  if (!st.Colour("text", "navy", &ink)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  const std::string symbol = st.picture.words.empty() ? "" : st.picture.words[0];
  const double s = std::fmin(c.w, c.h) - 4;
  return Icon(c, symbol, c.w / 2.0, c.h / 2.0, s, ink, on, st.error);
}

bool Label(Canvas& c, const Style& st) {
  Rgb on, ink;
  if (!st.Colour("on", "white", &on)) return false;
  if (!st.Colour("text", "ink", &ink)) return false;
  int font;
  if (!st.Font(0, &font)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  CentredText(c, font, 0, 0, c.w, c.h, st.Caption(), ink);
  return true;
}

// A field frame: white inside, thin blue-grey rim (behind entry lines).
bool Field(Canvas& c, const Style& st) {
  Rgb on;
  if (!st.Colour("on", "white", &on)) return false;
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  Fill(c, RoundRect(0, 0, c.w, c.h, 5), P("navylight"));
  Fill(c, RoundRect(1.5, 1.5, c.w - 3, c.h - 3, 3.5), P("white"));
  FillRect(c, 4, 3, c.w - 8, 1, P("panel"));
  return true;
}

// A chosen-file slot: a light label part of `split` pixels (dark text) and a
// navy part for the chosen name (white text), one rounded box.
bool Slot(Canvas& c, const Style& st) {
  Rgb on;
  if (!st.Colour("on", "white", &on)) return false;
  const int split = std::atoi(st.Option("split", "130").c_str());
  c = MakeCanvas(st.picture.w, st.picture.h, on);
  Fill(c, RoundRect(0, 0, c.w, c.h, 5), P("navydark"));
  Fill(c, RoundRect(1, 1, c.w - 2, c.h - 2, 4), P("navy"));
  Fill(c, Minus(RoundRect(1, 1, c.w - 2, c.h - 2, 4), [split](double x, double) { return x >= split; }),
       P("panel"));
  return true;
}

}  // namespace

bool PaintPicture(const PictureDefinition& picture, Canvas* out, std::string* error) {
  if (picture.w < 1 || picture.h < 1 || picture.w > 800 || picture.h > 600) {
    *error = "picture size must be 1x1 to 800x600";
    return false;
  }
  Style st{picture, error};
  Canvas& c = *out;
  c = MakeCanvas(picture.w, picture.h, P("white"));
  const std::string& s = picture.style;
  if (s == "fill") {
    Rgb colour;
    if (picture.words.empty() || !ParseColour(picture.words[0], &colour)) {
      *error = "fill needs a colour";
      return false;
    }
    c = MakeCanvas(picture.w, picture.h, colour);
    return true;
  }
  if (s == "button") return Button(c, st, false);
  if (s == "key") return Button(c, st, true);
  if (s == "handheld") return HandheldButton(c, st);
  if (s == "panel") return Panel(c, st);
  if (s == "frame") return ListFrame(c, st);
  if (s == "titlebar") return TitleBar(c, st);
  if (s == "statusbar") return StatusBar(c, st);
  if (s == "lamp") return Lamp(c, st);
  if (s == "checkbox") return CheckBox(c, st, false);
  if (s == "radio") return CheckBox(c, st, true);
  if (s == "badge") return Badge(c, st);
  if (s == "icon") return PlainIcon(c, st);
  if (s == "label") return Label(c, st);
  if (s == "field") return Field(c, st);
  if (s == "slot") return Slot(c, st);
  *error = "unknown picture style '" + s + "'";
  return false;
}

}  // namespace rsc
