// fontgen: renders the three built-in bitmap fonts from DejaVu Sans into the
// table layout that DrawString reads, and writes them out as C++ source.
//
// Each glyph gets a fixed width (the widths below fix all text layout) and the
// font's height. Capitals and digits start capTop rows below the top of the
// cell; descenders use the rows under the baseline. A glyph whose ink is too
// wide for its width (less one blank column) is rendered again with a
// narrower horizontal pixel size, so hinting still snaps its stems.
//
//   fontgen --output src/ui/font_tables.cpp [--preview fonts.png]
//           [--regular FILE.ttf] [--bold FILE.ttf] [--dump FONT CHARACTERS]
//
// --preview draws every character of each font at 3x, cells tinted so the
// widths, the capital row and the baseline show; --dump prints glyphs as text.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_DRIVER_H
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "storage/bytes.h"

namespace {

constexpr int kFirstChar = 32;
constexpr int kGlyphCount = 95;
constexpr int kEntriesEnd = 2 + kGlyphCount * 3;

const char kDefaultRegular[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char kDefaultBold[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// How one font is made.
struct FontRecipe {
  const char* name;      // array name in the generated source
  int height;            // glyph height in rows
  int capTop;            // first row of capitals and digits
  double ppem;           // vertical pixel size handed to FreeType
  bool bold;             // DejaVu Sans Bold instead of the regular face
  bool mono;             // monochrome hinting instead of anti-aliasing + threshold
  int threshold;         // grey level (0..255) that counts as ink
  int tableSize;         // expected table size in bytes
  uint8_t widths[kGlyphCount];
};

const FontRecipe kFonts[3] = {
    {"kFont0", 19, 3, 16.0, false, true, 112, 2333,
     {4, 4, 8, 9, 9, 16, 12, 4, 5, 5, 6, 9, 4, 5, 4, 4,
      9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 6, 9, 9, 9, 10,
      16, 11, 12, 12, 12, 11, 10, 12, 12, 4, 9, 12, 10, 13, 12, 12,
      11, 12, 12, 11, 10, 12, 11, 15, 11, 10, 9, 5, 4, 5, 9, 9,
      5, 9, 10, 9, 10, 9, 5, 10, 10, 4, 4, 9, 4, 14, 10, 10,
      10, 10, 6, 9, 5, 10, 9, 13, 9, 9, 9, 6, 4, 6, 12}},
    {"kFont1", 14, 3, 11.0, false, true, 112, 1336,
     {3, 3, 5, 6, 6, 9, 8, 3, 4, 4, 4, 6, 3, 4, 3, 3,
      6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 7,
      11, 8, 7, 8, 7, 6, 6, 8, 7, 3, 6, 7, 7, 10, 7, 8,
      7, 8, 7, 7, 7, 7, 8, 10, 7, 7, 7, 4, 3, 4, 6, 6,
      4, 6, 7, 6, 7, 7, 4, 7, 7, 3, 3, 7, 3, 11, 7, 7,
      7, 7, 5, 7, 4, 7, 6, 10, 6, 6, 6, 4, 3, 4, 8}},
    {"kFont2", 26, 5, 22.0, true, false, 112, 4019,
     {6, 7, 10, 12, 12, 18, 16, 5, 7, 7, 9, 13, 6, 7, 6, 6,
      12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 7, 7, 13, 13, 13, 13,
      21, 15, 16, 16, 16, 15, 13, 17, 16, 5, 12, 16, 13, 17, 16, 17,
      15, 17, 16, 15, 15, 16, 15, 21, 15, 15, 12, 7, 6, 7, 13, 12,
      7, 12, 13, 12, 13, 12, 7, 13, 13, 5, 6, 12, 5, 19, 13, 13,
      13, 13, 8, 12, 7, 13, 13, 19, 12, 11, 11, 9, 6, 9, 16}},
};

// A glyph as a grid of ink, row-major, 1 = set.
struct Glyph {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> ink;
  bool At(int x, int y) const { return ink[y * w + x] != 0; }
};

// A rendered outline in baseline coordinates: ink(x, y) at column left + x,
// row (baseline - top + y) of the cell, where the baseline row is the first
// row below the baseline.
struct Raster {
  int left = 0;
  int top = 0;
  int w = 0;
  int h = 0;
  std::vector<uint8_t> ink;
};

// Renders one character, xppem wide. A squeeze below the font's size is done
// either by a narrower horizontal pixel size, so the hints snap the thinner
// stems to whole pixels (good for one-pixel stems), or by scaling the hinted
// outline, which keeps the heavier stems of a bold face in proportion.
bool RenderRaster(FT_Face face, const FontRecipe& recipe, int code, double xppem, Raster& out) {
  const bool scaleOutline = recipe.bold && xppem < recipe.ppem;
  const double charW = scaleOutline ? recipe.ppem : xppem;
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(charW * 64 + 0.5),
                   static_cast<FT_F26Dot6>(recipe.ppem * 64 + 0.5), 72, 72);
  FT_Matrix m = {static_cast<FT_Fixed>(0x10000 * (scaleOutline ? xppem / recipe.ppem : 1.0)), 0, 0,
                 0x10000};
  FT_Set_Transform(face, &m, nullptr);
  FT_Int32 flags = FT_LOAD_RENDER;
  if (scaleOutline) {
    flags |= FT_LOAD_TARGET_LIGHT;
  } else {
    flags |= recipe.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  }
  if (FT_Load_Char(face, static_cast<FT_ULong>(code), flags) != 0) return false;
  const FT_Bitmap& bm = face->glyph->bitmap;
  out.left = face->glyph->bitmap_left;
  out.top = face->glyph->bitmap_top;
  out.w = static_cast<int>(bm.width);
  out.h = static_cast<int>(bm.rows);
  out.ink.assign(static_cast<size_t>(out.w * out.h), 0);
  for (int y = 0; y < out.h; ++y) {
    const unsigned char* row = bm.buffer + y * bm.pitch;
    for (int x = 0; x < out.w; ++x) {
      bool set;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        set = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
      } else {
        set = row[x] >= recipe.threshold;
      }
      out.ink[y * out.w + x] = set ? 1 : 0;
    }
  }
  return true;
}

// Column extent of the ink; false when the raster is blank.
bool InkColumns(const Raster& r, int& c0, int& c1) {
  c0 = r.w;
  c1 = -1;
  for (int y = 0; y < r.h; ++y) {
    for (int x = 0; x < r.w; ++x) {
      if (r.ink[y * r.w + x]) {
        if (x < c0) c0 = x;
        if (x > c1) c1 = x;
      }
    }
  }
  return c1 >= 0;
}

bool InkRows(const Raster& r, int& r0, int& r1) {
  r0 = r.h;
  r1 = -1;
  for (int y = 0; y < r.h; ++y) {
    for (int x = 0; x < r.w; ++x) {
      if (r.ink[y * r.w + x]) {
        if (y < r0) r0 = y;
        r1 = y;
      }
    }
  }
  return r1 >= 0;
}

// Glyphs drawn by hand where the outline does not survive the pixel size:
// at 11 px the asterisk, the number sign and the diagonals of 'v' and 'y'
// blur into blobs. Rows start at firstRow; each string is the glyph's width.
struct HandGlyph {
  int font;
  char code;
  int firstRow;
  const char* rows[12];
};

const HandGlyph kHandGlyphs[] = {
    {1, '*', 3, {"#.#.", ".#..", "###.", ".#..", "#.#.", nullptr}},
    {1, '#', 3, {".#.#..", ".#.#..", "#####.", ".#.#..", ".#.#..", "#####.", ".#.#..", ".#.#..",
                 nullptr}},
    {1, 'v', 5, {"#...#.", "#...#.", ".#.#..", ".#.#..", "..#...", "..#...", nullptr}},
    {1, 'y', 5, {"#...#.", "#...#.", ".#.#..", ".#.#..", ".#.#..", "..#...", "..#...", "##....",
                 nullptr}},
};

// Replaces the rendered glyphs of font n by the hand-drawn ones.
bool ApplyHandGlyphs(int n, std::vector<Glyph>& glyphs) {
  for (const HandGlyph& hg : kHandGlyphs) {
    if (hg.font != n) continue;
    Glyph& g = glyphs[static_cast<size_t>(hg.code - kFirstChar)];
    std::fill(g.ink.begin(), g.ink.end(), 0);
    for (int r = 0; r < 12 && hg.rows[r]; ++r) {
      const int y = hg.firstRow + r;
      if (static_cast<int>(std::strlen(hg.rows[r])) != g.w || y >= g.h) {
        std::fprintf(stderr, "fontgen: hand glyph '%c' of font %d does not fit\n", hg.code, n);
        return false;
      }
      for (int x = 0; x < g.w; ++x) g.ink[static_cast<size_t>(y * g.w + x)] = hg.rows[r][x] == '#';
    }
  }
  return true;
}

// Renders a whole font; baselineRow is the first row below the baseline.
bool RenderFont(FT_Face face, const FontRecipe& recipe, std::vector<Glyph>& glyphs, int& baselineRow) {
  Raster h;
  int r0 = 0;
  int r1 = 0;
  if (!RenderRaster(face, recipe, 'H', recipe.ppem, h) || !InkRows(h, r0, r1)) return false;
  // Row of the cell = baselineRow - top + y; put the top of 'H' on capTop.
  baselineRow = recipe.capTop + h.top - r0;

  glyphs.assign(kGlyphCount, Glyph());
  for (int i = 0; i < kGlyphCount; ++i) {
    const int code = kFirstChar + i;
    Glyph& g = glyphs[static_cast<size_t>(i)];
    g.w = recipe.widths[i];
    g.h = recipe.height;
    g.ink.assign(static_cast<size_t>(g.w * g.h), 0);
    if (code == ' ') continue;

    // Room for the ink: the width less one blank column (the narrowest
    // glyphs, three columns wide, keep two for ink).
    const int room = g.w - 1 >= 2 ? g.w - 1 : g.w;
    Raster r;
    int c0 = 0;
    int c1 = -1;
    double xppem = recipe.ppem;
    for (;;) {
      if (!RenderRaster(face, recipe, code, xppem, r)) return false;
      if (!InkColumns(r, c0, c1)) break;
      if (c1 - c0 + 1 <= room || xppem < recipe.ppem * 0.5) break;
      xppem -= 0.25;
    }
    if (c1 < 0) continue;
    const int inkW = c1 - c0 + 1;
    // Centre, the odd column going to the right so that neighbours always
    // keep their blank column on the same side.
    int x0 = (g.w - inkW) / 2;
    if (x0 < 0) x0 = 0;
    InkRows(r, r0, r1);
    int y0 = baselineRow - r.top;  // cell row of raster row 0
    // Keep the whole glyph inside the cell (the underscore sits very low).
    if (y0 + r1 >= g.h) y0 = g.h - 1 - r1;
    if (y0 + r0 < 0) y0 = -r0;
    for (int y = 0; y < r.h; ++y) {
      for (int x = c0; x <= c1; ++x) {
        if (!r.ink[y * r.w + x]) continue;
        const int cx = x0 + x - c0;
        const int cy = y0 + y;
        if (cx >= 0 && cx < g.w && cy >= 0 && cy < g.h) g.ink[cy * g.w + cx] = 1;
      }
    }
  }
  return true;
}

// The table layout DrawString reads.
std::vector<uint8_t> BuildTable(const FontRecipe& recipe, const std::vector<Glyph>& glyphs) {
  std::vector<uint8_t> t(kEntriesEnd, 0);
  t[0] = 0;
  t[1] = static_cast<uint8_t>(recipe.height);
  for (int i = 0; i < kGlyphCount; ++i) {
    const Glyph& g = glyphs[static_cast<size_t>(i)];
    const size_t offset = t.size();
    t[2 + i * 3] = static_cast<uint8_t>(g.w);
    trelvan::WriteU16LE(&t[3 + i * 3], static_cast<uint16_t>(offset));
    const int bits = g.w * g.h;
    t.resize(offset + static_cast<size_t>((bits + 7) / 8), 0);
    for (int b = 0; b < bits; ++b) {
      if (g.ink[static_cast<size_t>(b)]) t[offset + (b >> 3)] |= static_cast<uint8_t>(1u << (b & 7));
    }
  }
  return t;
}

std::string GlyphComment(int code) {
  if (code == ' ') return "space";
  if (code == '\\') return "backslash";
  std::string s = "'";
  s += static_cast<char>(code);
  s += "'";
  return s;
}

bool WriteSource(const char* path, const std::string& command,
                 const std::vector<std::vector<uint8_t>>& tables) {
  FILE* f = std::fopen(path, "w");
  if (!f) return false;
  std::fprintf(f,
               "// The three built-in bitmap fonts, rendered from DejaVu Sans (fonts 0 and 1)\n"
               "// and DejaVu Sans Bold (font 2) by tools/fontgen. Generated: do not edit.\n"
               "// To make it again, from the repository root (tool built in build/):\n"
               "//   %s\n"
               "// or: cmake --build build --target regenerate-fonts\n"
               "//\n",
               command.c_str());
  for (int n = 0; n < 3; ++n) {
    std::fprintf(f, "// %s: %d rows, %.2f px%s, %s, capitals from row %d.\n", kFonts[n].name,
                 kFonts[n].height, kFonts[n].ppem, kFonts[n].bold ? " bold" : "",
                 kFonts[n].mono ? "monochrome hinting" : "grey levels cut at a threshold",
                 kFonts[n].capTop);
  }
  std::fprintf(f, "// A few glyphs of font 1 are drawn by hand in fontgen (kHandGlyphs).\n");
  std::fprintf(f, "\n#include \"ui/fonts.h\"\n\nnamespace trelvan {\n");
  for (int n = 0; n < 3; ++n) {
    const std::vector<uint8_t>& t = tables[static_cast<size_t>(n)];
    std::fprintf(f, "\nconst uint8_t %s[%zu] = {\n    // height\n    0, %d,\n    // width, offset\n",
                 kFonts[n].name, t.size(), t[1]);
    for (int i = 0; i < kGlyphCount; ++i) {
      std::fprintf(f, "    %d, 0x%02X, 0x%02X,  // %s\n", t[2 + i * 3], t[3 + i * 3], t[4 + i * 3],
                   GlyphComment(kFirstChar + i).c_str());
    }
    for (int i = 0; i < kGlyphCount; ++i) {
      const size_t begin = trelvan::ReadU16LE(&t[3 + i * 3]);
      const size_t end = i + 1 < kGlyphCount ? trelvan::ReadU16LE(&t[6 + i * 3]) : t.size();
      std::fprintf(f, "    // %s\n", GlyphComment(kFirstChar + i).c_str());
      for (size_t b = begin; b < end; b += 12) {
        std::fprintf(f, "   ");
        for (size_t k = b; k < end && k < b + 12; ++k) std::fprintf(f, " 0x%02X,", t[k]);
        std::fprintf(f, "\n");
      }
    }
    std::fprintf(f, "};\n");
  }
  std::fprintf(f, "\n}  // namespace trelvan\n");
  return std::fclose(f) == 0;
}

// ---- preview ---------------------------------------------------------------

struct Image {
  int w;
  int h;
  std::vector<uint8_t> rgb;
  void Fill(int x, int y, int fw, int fh, uint32_t c) {
    for (int j = y; j < y + fh; ++j) {
      for (int i = x; i < x + fw; ++i) {
        if (i < 0 || j < 0 || i >= w || j >= h) continue;
        uint8_t* p = &rgb[static_cast<size_t>((j * w + i) * 3)];
        p[0] = static_cast<uint8_t>(c >> 16);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c);
      }
    }
  }
};

// Draws text at scale; cells alternate tint so the widths show, and the
// baseline row and capital top row are tinted.
int DrawPreviewLine(Image& img, int x, int y, int scale, const std::vector<Glyph>& glyphs,
                    int baselineRow, int capTop, const char* text, bool tint) {
  int n = 0;
  for (const char* p = text; *p; ++p, ++n) {
    const int i = static_cast<unsigned char>(*p) - kFirstChar;
    if (i < 0 || i >= kGlyphCount) continue;
    const Glyph& g = glyphs[static_cast<size_t>(i)];
    for (int r = 0; r < g.h; ++r) {
      for (int k = 0; k < g.w; ++k) {
        uint32_t c = 0xFFFFFF;
        if (tint) {
          c = (n & 1) ? 0xE8E8F4 : 0xFFFFFF;
          if (r == baselineRow - 1) c = (n & 1) ? 0xF4D0D0 : 0xFFE0E0;
          if (r == capTop) c = (n & 1) ? 0xD0F0D0 : 0xE0FFE0;
        }
        if (g.At(k, r)) c = 0x000000;
        img.Fill(x + k * scale, y + r * scale, scale, scale, c);
      }
    }
    x += g.w * scale;
  }
  return x;
}

bool WritePreview(const char* path, const std::vector<std::vector<Glyph>>& fonts,
                  const std::vector<int>& baselines) {
  static const char* const kSamples[] = {
      "Hg jpqy Hxgjpqy_ Qj 0123456789",
      "@#%&~|{}[]()<>$^*+-=/\\?!.,:;'\"`",
      "The quick brown fox jumps over the lazy dog.",
      "PACK MY BOX WITH FIVE DOZEN LIQUOR JUGS",
      "Il1| O0o rnm vvw 3.14 12:45 (x) {y} [z]",
  };
  constexpr int kScale = 3;
  constexpr int kPerLine = 32;
  // Layout: for each font, three lines of the character set, then samples.
  int totalH = 10;
  int maxW = 0;
  for (size_t n = 0; n < fonts.size(); ++n) {
    const int h = fonts[n][0].h * kScale;
    totalH += (3 + 5) * (h + 6) + 20;
    for (int line = 0; line < 3; ++line) {
      int w = 0;
      for (int i = line * kPerLine; i < (line + 1) * kPerLine && i < kGlyphCount; ++i) {
        w += (fonts[n][static_cast<size_t>(i)].w + 1) * kScale;
      }
      if (w > maxW) maxW = w;
    }
    for (const char* s : kSamples) {
      int w = 0;
      for (const char* p = s; *p; ++p) w += fonts[n][static_cast<size_t>(*p - kFirstChar)].w * kScale;
      if (w > maxW) maxW = w;
    }
  }
  Image img{maxW + 20, totalH, {}};
  img.rgb.assign(static_cast<size_t>(img.w * img.h * 3), 0xFF);
  int y = 10;
  for (size_t n = 0; n < fonts.size(); ++n) {
    const int h = fonts[n][0].h * kScale;
    for (int line = 0; line < 3; ++line) {
      int x = 10;
      for (int i = line * kPerLine; i < (line + 1) * kPerLine && i < kGlyphCount; ++i) {
        const char s[2] = {static_cast<char>(kFirstChar + i), 0};
        x = DrawPreviewLine(img, x, y, kScale, fonts[n], baselines[n], kFonts[n].capTop, s, true);
        x += kScale;
      }
      y += h + 6;
    }
    for (const char* s : kSamples) {
      DrawPreviewLine(img, 10, y, kScale, fonts[n], baselines[n], kFonts[n].capTop, s, false);
      y += h + 6;
    }
    img.Fill(0, y + 6, img.w, 2, 0x8080FF);
    y += 20;
  }

  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(img.w), static_cast<png_uint_32>(img.h), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int j = 0; j < img.h; ++j) {
    png_write_row(png, &img.rgb[static_cast<size_t>(j * img.w * 3)]);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

// Prints the glyphs of one font as text, '#' for ink, for close inspection.
void Dump(const std::vector<Glyph>& glyphs, int baselineRow, const char* chars) {
  for (const char* p = chars; *p; ++p) {
    const int i = static_cast<unsigned char>(*p) - kFirstChar;
    if (i < 0 || i >= kGlyphCount) continue;
    const Glyph& g = glyphs[static_cast<size_t>(i)];
    std::printf("'%c' width %d\n", *p, g.w);
    for (int r = 0; r < g.h; ++r) {
      std::printf("%2d ", r);
      for (int k = 0; k < g.w; ++k) std::putchar(g.At(k, r) ? '#' : '.');
      std::printf("%s\n", r == baselineRow - 1 ? "  <- baseline" : "");
    }
  }
}

void Usage() {
  std::fprintf(stderr,
               "usage: fontgen [--output FILE.cpp] [--preview FILE.png]\n"
               "               [--regular FONT.ttf] [--bold FONT.ttf]\n"
               "               [--dump FONT CHARACTERS]\n");
}

}  // namespace

int main(int argc, char** argv) {
  const char* output = nullptr;
  const char* preview = nullptr;
  int dumpFont = -1;
  const char* dumpChars = nullptr;
  const char* regularPath = kDefaultRegular;
  const char* boldPath = kDefaultBold;
  // Recorded in the generated file; the tool is assumed built in build/.
  std::string command = "build/tools/fontgen/fontgen";
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--output") == 0 && hasValue) {
      output = argv[++i];
      command += std::string(" --output ") + output;
    } else if (std::strcmp(argv[i], "--preview") == 0 && hasValue) {
      preview = argv[++i];
    } else if (std::strcmp(argv[i], "--dump") == 0 && i + 2 < argc) {
      dumpFont = std::atoi(argv[++i]);
      dumpChars = argv[++i];
    } else if (std::strcmp(argv[i], "--regular") == 0 && hasValue) {
      regularPath = argv[++i];
      command += std::string(" --regular ") + regularPath;
    } else if (std::strcmp(argv[i], "--bold") == 0 && hasValue) {
      boldPath = argv[++i];
      command += std::string(" --bold ") + boldPath;
    } else {
      Usage();
      return 2;
    }
  }
  if (!output && !preview && !dumpChars) {
    Usage();
    return 2;
  }

  FT_Library lib;
  if (FT_Init_FreeType(&lib) != 0) {
    std::fprintf(stderr, "fontgen: cannot start FreeType\n");
    return 1;
  }
  // The classic TrueType interpreter applies the fonts' own hints in both
  // directions, which keeps stems one whole pixel wide at these sizes.
  FT_UInt interpreter = TT_INTERPRETER_VERSION_35;
  FT_Property_Set(lib, "truetype", "interpreter-version", &interpreter);
  FT_Face regular;
  FT_Face bold;
  if (FT_New_Face(lib, regularPath, 0, &regular) != 0) {
    std::fprintf(stderr, "fontgen: cannot open %s\n", regularPath);
    return 1;
  }
  if (FT_New_Face(lib, boldPath, 0, &bold) != 0) {
    std::fprintf(stderr, "fontgen: cannot open %s\n", boldPath);
    return 1;
  }

  std::vector<std::vector<Glyph>> fonts(3);
  std::vector<int> baselines(3, 0);
  std::vector<std::vector<uint8_t>> tables(3);
  for (int n = 0; n < 3; ++n) {
    const FontRecipe& recipe = kFonts[n];
    if (!RenderFont(recipe.bold ? bold : regular, recipe, fonts[static_cast<size_t>(n)],
                    baselines[static_cast<size_t>(n)]) ||
        !ApplyHandGlyphs(n, fonts[static_cast<size_t>(n)])) {
      std::fprintf(stderr, "fontgen: cannot render font %d\n", n);
      return 1;
    }
    tables[static_cast<size_t>(n)] = BuildTable(recipe, fonts[static_cast<size_t>(n)]);
    if (static_cast<int>(tables[static_cast<size_t>(n)].size()) != recipe.tableSize) {
      std::fprintf(stderr, "fontgen: font %d came out at %zu bytes, not %d\n", n,
                   tables[static_cast<size_t>(n)].size(), recipe.tableSize);
      return 1;
    }
  }

  if (output && !WriteSource(output, command, tables)) {
    std::fprintf(stderr, "fontgen: cannot write %s\n", output);
    return 1;
  }
  if (preview && !WritePreview(preview, fonts, baselines)) {
    std::fprintf(stderr, "fontgen: cannot write %s\n", preview);
    return 1;
  }
  if (dumpChars && dumpFont >= 0 && dumpFont < 3) {
    Dump(fonts[static_cast<size_t>(dumpFont)], baselines[static_cast<size_t>(dumpFont)], dumpChars);
  }
  FT_Done_Face(bold);
  FT_Done_Face(regular);
  FT_Done_FreeType(lib);
  return 0;
}
