// The resource compiler's output and refusals. The compiled files read back
// through the storage are every golden shot's (each page and collection is
// drawn in one), a page file that lies about its offsets the pages fuzz
// target's.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "layout.h"

namespace trelvan {
namespace {

// ---------------------------------------------------------------- the compiler

std::string CompileError(const std::string& text) {
  rsc::Layout layout;
  std::string error;
  EXPECT_FALSE(rsc::ParseLayout(text, "bad.layout", &layout, &error)) << text;
  return error;
}

// Each broken layout is refused with a message that begins as given.
TEST(Compiler, RefusesBrokenLayoutsNamingTheLine) {
  const std::string page = "page \"P\" prefix=P\n";
  const std::pair<std::string, std::string> cases[] = {
      {"image 0 0 1 1 page 0\n", "bad.layout:1: the file must begin"},
      {page + "\nwidget 1 2\n", "bad.layout:3: unknown keyword 'widget'"},
      {page + "picture 1 4 4 fill white\n", "bad.layout:2: picture 1 out of order: expected picture 0"},
      {page + "picture 0 4 4 fill white\nimage 0 0 4 4 page 1 role=A\n",
       "bad.layout:3: picture 1 is not in this file (it has 1)"},
      {page + "text 700 0 200 20 0 - black white role=A\n", "bad.layout:2: box reaches outside"},
      {page + "text 0 0 20 20 0 - pink white role=A\n", "bad.layout:2: unknown text colour 'pink'"},
      {page + "text 0 0 20 20 3 - black white role=A\n", "bad.layout:2: font must be a number from 0 to 2"},
      {page + "picture 0 10 10 button \"Open\n", "bad.layout:2: string without its closing quote"},
      {page + "picture 0 10 10 sparkle\n", "bad.layout:2: unknown picture style 'sparkle'"},
      {"collection \"C\"\nimage 0 0 1 1 common 0 role=A\n", "bad.layout:2: a collection holds pictures only"},
      {page + "picture 0 700 10 fill white\nimage 200 0 * * page 0 role=A\n",
       "bad.layout:3: picture 0 drawn here reaches outside the screen"},
      {"page \"An overly long page name of 32ch\" prefix=P\n", "bad.layout:1: a name has 1 to 31 characters"},
      {std::string("collection \"C\0\x03\"\n", 17), "bad.layout:1: a name has 1 to 31 characters, none of"},
      // roles and prefixes
      {page + "image 0 0 1 1 common 0   # exit\n", "bad.layout:2: the record needs role=NAME"},
      {page + "image 0 0 1 1 common 0 role=Exit\n\ntext 0 0 9 9 0 - black white role=Exit\n",
       "bad.layout:4: role Exit is taken already on line 2"},
      {page + "image 0 0 1 1 common 0 role=exit\n", "bad.layout:2: role 'exit' is no name"},
      {page + "text 0 0 9 9 0 - black white role=TextCount\n", "bad.layout:2: role 'TextCount' is no name"},
      {page + "sample 2 1 0 9 image 0 0 1 1 common 0 role=Row\n", "bad.layout:2: a sample is no record"},
      {"page \"P\"\n", "bad.layout:1: page needs its name and prefix=NAME"},
      {"page \"P\" prefix=my_page\n", "bad.layout:1: page needs its name and prefix=NAME"},
      {"collection \"C\" prefix=C\n", "bad.layout:1: a collection has no controls to name"},
  };
  for (const auto& c : cases) {
    const std::string error = CompileError(c.first);
    EXPECT_EQ(error.substr(0, c.second.size()), c.second) << error;
  }
}

// The role headers the compiler writes are checked against the committed
// ones by the rsc_*_current tests.
TEST(Compiler, WritesTheExactBytesOfASmallPage) {
  rsc::Layout layout;
  std::string error;
  ASSERT_TRUE(rsc::ParseLayout("page \"P\" prefix=Small  # a page\n"
                               "picture 0 1 1 fill rgb:FF0000\n"
                               "image 1 2 * * page 0 role=Dot   # 0 the dot\n"
                               "text 3 4 5 6 2 centre+clear 0x1234 white \"x\" role=Caption\n",
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
  EXPECT_EQ(rsc::BuildResourceFile(layout), expected);
}

// The handheld and the page editor write a button's name over the bottom
// 14 rows of its picture: there every row of each button's face is one
// colour (the bevel's), so no caption or symbol of the picture lies under
// the name.
TEST(Collections, ButtonsLeaveTheNameRowsToTheName) {
  rsc::Layout layout;
  std::string error;
  ASSERT_TRUE(rsc::ReadLayoutFile(TRELVAN_SOURCE_DIR "/resources/buttons.layout", &layout, &error)) << error;
  ASSERT_FALSE(layout.pictures.empty());
  for (size_t k = 0; k < layout.pictures.size(); ++k) {
    const rsc::Canvas& c = layout.pictures[k].canvas;
    ASSERT_EQ(c.h, 40) << k;
    for (int y = 26; y < 39; ++y) {
      const rsc::Rgb first = c.px[static_cast<size_t>(y * c.w + 10)];
      for (int x = 10; x < c.w - 10; ++x) {
        const rsc::Rgb p = c.px[static_cast<size_t>(y * c.w + x)];
        ASSERT_TRUE(p.r == first.r && p.g == first.g && p.b == first.b)
            << "button " << k << " writes at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace trelvan
