// The compiled resource files, read back with a reader of their own, and
// the compiler's refusal of broken layouts.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "layout.h"

namespace {

// ---------------------------------------------------------------- reader

struct Image {
  uint16_t x, y, w, h;
  uint8_t source;
  uint16_t picture;
};

struct Text {
  uint16_t x, y, w, h;
  uint8_t font;
  uint16_t flags, colour, back;
};

struct PictureSize {
  uint16_t w, h;
};

struct Resource {
  std::string fields[5];
  std::vector<PictureSize> pictures;
  std::vector<Image> images;
  std::vector<Text> texts;
};

struct Bytes {
  const std::vector<uint8_t>& b;
  size_t base;
  bool In(uint64_t offset, uint64_t count) const { return base + offset + count <= b.size(); }
  uint16_t U16(uint64_t o) const { return static_cast<uint16_t>(b[base + o] | (b[base + o + 1] << 8)); }
  uint32_t U32(uint64_t o) const { return U16(o) | (static_cast<uint32_t>(U16(o + 2)) << 16); }
};

// Reads a resource file: header fields, then the page data with every
// table and picture checked to lie inside the file. Image and text counts
// come from the 2 bytes before each table.
::testing::AssertionResult ReadResource(const std::vector<uint8_t>& file, Resource* r) {
  if (file.empty() || file[0] != 0x02) return ::testing::AssertionFailure() << "no start mark";
  size_t at = 1;
  for (std::string& field : r->fields) {
    while (at < file.size() && at < 256 && file[at] != 0) field += static_cast<char>(file[at++]);
    if (at >= file.size() || at >= 256) return ::testing::AssertionFailure() << "header unterminated";
    ++at;
  }
  if (at >= file.size() || file[at] != 0x03) return ::testing::AssertionFailure() << "no end mark after five fields";
  const Bytes d{file, at + 1};
  if (!d.In(0, 12)) return ::testing::AssertionFailure() << "no table offsets";
  const uint32_t P = d.U32(0), I = d.U32(4), T = d.U32(8);
  if (!d.In(P, 2)) return ::testing::AssertionFailure() << "picture table outside the file";
  const uint16_t n = d.U16(P);
  if (!d.In(P, 2 + 4ull * n)) return ::testing::AssertionFailure() << "picture offsets outside";
  for (uint16_t k = 0; k < n; ++k) {
    const uint32_t o = d.U32(P + 2 + 4ull * k);
    if (!d.In(o, 4)) return ::testing::AssertionFailure() << "picture " << k << " outside";
    const PictureSize s{d.U16(o), d.U16(o + 2)};
    if (s.w == 0 || s.h == 0 || s.w > 800 || s.h > 600) {
      return ::testing::AssertionFailure() << "picture " << k << " is " << s.w << "x" << s.h;
    }
    if (!d.In(o, 4ull + 2ull * s.w * s.h)) {
      return ::testing::AssertionFailure() << "pixels of picture " << k << " run past the end";
    }
    r->pictures.push_back(s);
  }
  if (!d.In(I, 2) || !d.In(T, 2)) return ::testing::AssertionFailure() << "control table outside";
  const uint16_t ni = d.U16(I), nt = d.U16(T);
  if (!d.In(I, 2 + 11ull * ni) || !d.In(T, 2 + 16ull * nt)) {
    return ::testing::AssertionFailure() << "control records outside";
  }
  for (uint16_t k = 0; k < ni; ++k) {
    const uint64_t o = I + 2 + 11ull * k;
    r->images.push_back({d.U16(o), d.U16(o + 2), d.U16(o + 4), d.U16(o + 6), file[d.base + o + 8],
                         d.U16(o + 9)});
  }
  for (uint16_t k = 0; k < nt; ++k) {
    const uint64_t o = T + 2 + 16ull * k;
    r->texts.push_back({d.U16(o), d.U16(o + 2), d.U16(o + 4), d.U16(o + 6), file[d.base + o + 8],
                        d.U16(o + 10), d.U16(o + 12), d.U16(o + 14)});
  }
  return ::testing::AssertionSuccess();
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// ---------------------------------------------------------------- the files

struct PageFile {
  const char* layout;
  const char* name;
  const char* type;
  size_t images, texts;  // the records the page's code loads
};

const PageFile kFiles[] = {
    {"common.layout", "TA Common", "Pictures", 0, 0},
    {"buttons.layout", "TA Buttons", "Pictures", 0, 0},
    {"main_page.layout", "TA MainPage", "Page", 26, 4},
    {"keyboard_alphanumeric.layout", "TA PageKeyboardAlphaNumeric", "Page", 9, 2},
    {"keyboard_numeric.layout", "TA PageKeyboardNumeric", "Page", 17, 7},
    {"information.layout", "TA PageInformation", "Page", 5, 4},
    {"select_text.layout", "TA PageSelectText", "Page", 4, 1},
    {"select_button.layout", "TA PageSelectButton", "Page", 2, 1},
    {"select_file.layout", "TA SelectFile", "Page", 10, 7},
};

Resource Load(const char* name) {
  Resource r;
  const std::vector<uint8_t> bytes =
      ReadFile(std::string(TRELVAN_RESOURCE_DIR) + "/" + name + ".rsc");
  EXPECT_TRUE(ReadResource(bytes, &r)) << name;
  return r;
}

TEST(CompiledResources, HeadersTablesAndRecordsMatchTheirLayouts) {
  for (const PageFile& f : kFiles) {
    SCOPED_TRACE(f.name);
    const std::vector<uint8_t> bytes =
        ReadFile(std::string(TRELVAN_RESOURCE_DIR) + "/" + f.name + ".rsc");
    ASSERT_FALSE(bytes.empty());
    Resource r;
    ASSERT_TRUE(ReadResource(bytes, &r));
    EXPECT_EQ(r.fields[0], f.name);
    EXPECT_EQ(r.fields[1], "");
    EXPECT_EQ(r.fields[2], f.type);
    EXPECT_EQ(r.fields[3], "1.00");
    EXPECT_EQ(r.fields[4], "");

    rsc::Layout layout;
    std::string error;
    ASSERT_TRUE(rsc::ReadLayoutFile(std::string(TRELVAN_LAYOUT_DIR) + "/" + f.layout, &layout, &error))
        << error;
    EXPECT_EQ(r.images.size(), f.images);
    EXPECT_EQ(r.texts.size(), f.texts);
    ASSERT_EQ(r.images.size(), layout.images.size());
    ASSERT_EQ(r.texts.size(), layout.texts.size());
    ASSERT_EQ(r.pictures.size(), layout.pictures.size());
    for (size_t k = 0; k < r.images.size(); ++k) {
      const Image& i = r.images[k];
      const rsc::ImageRecord& l = layout.images[k];
      EXPECT_EQ(i.x, l.x) << "image " << k;
      EXPECT_EQ(i.y, l.y) << "image " << k;
      EXPECT_EQ(i.source, l.source) << "image " << k;
      EXPECT_EQ(i.picture, l.picture) << "image " << k;
      EXPECT_LE(i.x + i.w, 800) << "image " << k;
      EXPECT_LE(i.y + i.h, 600) << "image " << k;
      if (i.source == 0) {
        ASSERT_LT(i.picture, r.pictures.size()) << "image " << k;
        EXPECT_LE(i.x + r.pictures[i.picture].w, 800) << "image " << k;
        EXPECT_LE(i.y + r.pictures[i.picture].h, 600) << "image " << k;
      }
    }
    for (size_t k = 0; k < r.texts.size(); ++k) {
      const Text& t = r.texts[k];
      EXPECT_LE(t.font, 2) << "text " << k;
      EXPECT_EQ(t.colour, layout.texts[k].textColour) << "text " << k;
      EXPECT_EQ(t.back, layout.texts[k].backColour) << "text " << k;
      EXPECT_EQ(t.flags, layout.texts[k].flags) << "text " << k;
      EXPECT_LE(t.x + t.w, 800) << "text " << k;
    }
  }
}

TEST(CompiledResources, CommonPicturesHaveTheSizesTheListsUse) {
  const Resource r = Load("TA Common");
  ASSERT_GE(r.pictures.size(), 36u);
  for (int k : {32, 33, 34}) {
    EXPECT_EQ(r.pictures[k].w, 40) << k;
    EXPECT_EQ(r.pictures[k].h, 21) << k;
  }
  EXPECT_EQ(r.pictures[30].w, 40);  // delete buttons are 40 x 20 and 40 x 21
  EXPECT_EQ(r.pictures[30].h, 20);
  EXPECT_LE(r.pictures[31].w, 50);  // edit: 50 x 20
  EXPECT_LE(r.pictures[31].h, 20);
  EXPECT_LE(r.pictures[35].w, 50);  // show: 50 x 21
  EXPECT_LE(r.pictures[35].h, 21);
  const Resource b = Load("TA Buttons");
  ASSERT_GE(b.pictures.size(), 20u);
  ASSERT_LE(b.pictures.size(), 78u);
  for (const PictureSize& s : b.pictures) {
    EXPECT_EQ(s.w, 60);
    EXPECT_EQ(s.h, 40);
  }
}

bool Inside(const Image& frame, int x, int y, int w, int h) {
  return x >= frame.x && y >= frame.y && x + w <= frame.x + frame.w && y + h <= frame.y + frame.h;
}

TEST(CompiledResources, MainPageFramesHoldTheRowsAndButtonsHaveBothPictures) {
  const Resource r = Load("TA MainPage");
  ASSERT_EQ(r.images.size(), 26u);
  // the list frame holds the twelve rows: names from x 46, marks at x 306
  const Image& list = r.images[8];
  EXPECT_TRUE(Inside(list, 46, 284, 300, 12 * 21));
  // next and previous page: inside the frame's white inside, clear of the rows
  for (int k : {18, 19}) {
    EXPECT_TRUE(Inside(list, r.images[k].x, r.images[k].y, r.images[k].w, r.images[k].h)) << k;
    EXPECT_GE(r.images[k].x, 346) << k;
  }
  // a frame that holds the selection rows: x 520 to the marks' end at 780
  bool held = false;
  for (const Image& i : r.images) held = held || (i.w < 800 && Inside(i, 520, 214, 260, 8 * 21));
  EXPECT_TRUE(held);
  // each list-type button's normal picture has its current one next to it, of the same size
  for (int k = 9; k <= 17; ++k) {
    const uint16_t normal = r.images[k].picture;
    ASSERT_LT(normal + 1u, r.pictures.size()) << k;
    EXPECT_EQ(r.pictures[normal].w, r.pictures[normal + 1].w) << k;
    EXPECT_EQ(r.pictures[normal].h, r.pictures[normal + 1].h) << k;
  }
  EXPECT_EQ(r.images[9].picture, 6);
  EXPECT_EQ(r.images[11].picture, 12);
  EXPECT_EQ(r.images[13].picture, 2);
  EXPECT_EQ(r.images[15].picture, 8);
  EXPECT_EQ(r.images[16].picture, 10);
  // the status pictures 17/19 and 20/21 swap in one place: same sizes
  ASSERT_GT(r.pictures.size(), 21u);
  EXPECT_EQ(r.pictures[17].w, r.pictures[19].w);
  EXPECT_EQ(r.pictures[20].w, r.pictures[21].w);
}

TEST(CompiledResources, KeyboardPicturesFitTheirControls) {
  const Resource r = Load("TA PageKeyboardAlphaNumeric");
  ASSERT_GE(r.pictures.size(), 8u);
  EXPECT_EQ(r.pictures[2].w, 32);  // key cap
  EXPECT_EQ(r.pictures[2].h, 41);
  for (int p : {4, 5, 6, 7}) {  // shift states all fit image 4
    EXPECT_EQ(r.pictures[p].w, r.images[4].w) << p;
    EXPECT_EQ(r.pictures[p].h, r.images[4].h) << p;
  }
  for (int p : {0, 1}) {
    EXPECT_EQ(r.pictures[p].w, r.images[5].w) << p;
  }
  // no control covers the 27 keys (x 240 to 560, y 140 to 263)
  for (size_t k = 1; k < r.images.size(); ++k) {
    const Image& i = r.images[k];
    const bool overlaps = i.x < 560 && i.x + i.w > 240 && i.y < 263 && i.y + i.h > 140 &&
                          !(i.x >= 464 && i.y >= 222);  // backspace beside the last row
    EXPECT_FALSE(overlaps) << "image " << k;
  }
}

// ---------------------------------------------------------------- the compiler

std::string CompileError(const std::string& text) {
  rsc::Layout layout;
  std::string error;
  EXPECT_FALSE(rsc::ParseLayout(text, "bad.layout", &layout, &error)) << text;
  return error;
}

TEST(Compiler, RefusesBrokenLayoutsNamingTheLine) {
  EXPECT_EQ(CompileError("page \"P\"\n\nwidget 1 2\n"), "bad.layout:3: unknown keyword 'widget'");
  EXPECT_EQ(CompileError("image 0 0 1 1 page 0\n").rfind("bad.layout:1: the file must begin", 0), 0u);
  EXPECT_EQ(CompileError("page \"P\"\npicture 1 4 4 fill white\n"),
            "bad.layout:2: picture 1 out of order: expected picture 0");
  EXPECT_EQ(CompileError("page \"P\"\npicture 0 4 4 fill white\nimage 0 0 4 4 page 1\n"),
            "bad.layout:3: picture 1 is not in this file (it has 1)");
  EXPECT_EQ(CompileError("page \"P\"\ntext 700 0 200 20 0 - black white\n"),
            "bad.layout:2: box reaches outside the 800 x 600 screen");
  EXPECT_EQ(CompileError("page \"P\"\ntext 0 0 20 20 0 - pink white\n"),
            "bad.layout:2: unknown text colour 'pink'");
  EXPECT_EQ(CompileError("page \"P\"\ntext 0 0 20 20 3 - black white\n"),
            "bad.layout:2: font must be a number from 0 to 2, not '3'");
  EXPECT_EQ(CompileError("page \"P\"\npicture 0 10 10 button \"Open\n"),
            "bad.layout:2: string without its closing quote");
  EXPECT_EQ(CompileError("page \"P\"\npicture 0 10 10 sparkle\n"),
            "bad.layout:2: unknown picture style 'sparkle'");
  EXPECT_EQ(CompileError("collection \"C\"\nimage 0 0 1 1 common 0\n"),
            "bad.layout:2: a collection holds pictures only");
  EXPECT_EQ(CompileError("page \"P\"\npicture 0 700 10 fill white\nimage 200 0 * * page 0\n"),
            "bad.layout:3: picture 0 drawn here reaches outside the screen");
  EXPECT_EQ(CompileError("page \"An overly long page name of 32ch\"\n"),
            "bad.layout:1: a name has 1 to 31 characters");
}

TEST(Compiler, WritesTheExactBytesOfASmallPage) {
  rsc::Layout layout;
  std::string error;
  ASSERT_TRUE(rsc::ParseLayout("page \"P\"  # a page\n"
                               "picture 0 1 1 fill rgb:FF0000\n"
                               "image 1 2 * * page 0   # the dot\n"
                               "text 3 4 5 6 2 centre+clear 0x1234 white \"x\"\n",
                               "small.layout", &layout, &error))
      << error;
  const std::vector<uint8_t> expected = {
      0x02, 'P', 0, 0, 'P', 'a', 'g', 'e', 0, '1', '.', '0', '0', 0, 0, 0x03,
      12, 0, 0, 0,  18, 0, 0, 0,  31, 0, 0, 0,              // P, I, T
      1, 0,  49, 0, 0, 0,                                    // one picture at 49
      1, 0,  1, 0, 2, 0, 1, 0, 1, 0, 0, 0, 0,                // image: 1 2 1 1 page 0
      1, 0,  3, 0, 4, 0, 5, 0, 6, 0, 2, 0, 66, 0, 0x34, 0x12, 0xFF, 0xFF,
      1, 0, 1, 0,  0x1F, 0x00,                               // 1 x 1, pure red
  };
  const std::vector<uint8_t> bytes = rsc::BuildResourceFile(layout);
  EXPECT_EQ(bytes, expected);
  Resource r;
  EXPECT_TRUE(ReadResource(bytes, &r));
}

}  // namespace
