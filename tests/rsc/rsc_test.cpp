// The page codec both ways, the compiled resource files read back through
// the storage as the program reads them, and the compiler's output and
// refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "layout.h"
#include "storage/bytes.h"
#include "storage/storage_fixture.h"
#include "ui/page_codec.h"
#include "ui/page_file.h"

namespace trelvan {
namespace {

auto Fields(const ImageControl& c) { return std::make_tuple(c.x, c.y, c.w, c.h, c.source, c.pictureIndex); }
auto Fields(const TextControl& c) {
  return std::make_tuple(c.x, c.y, c.w, c.h, c.font, c.flags, c.textColour, c.backColour);
}

// ---------------------------------------------------------------- the codec

const ImageControl kImages[] = {
    {0, 0, 0, 0, kSourcePageFile, 0},
    {799, 599, 1, 1, kSourceButtons, 77},
    {0xFFFF, 0x8001, 0x1234, 0xFEDC, 0xFF, 0xFFFF},
};
const TextControl kTexts[] = {
    {0, 0, 0, 0, 0, 0, 0, 0},
    {16, 9, 500, 28, 2, kTextCentred | kTextNoBackground, 0xF800, 0x07E0},
    {0xFFFF, 0x0102, 0x0304, 0x0506, 0xFF, 0xFFFF, 0x8000, 0xFFFF},
};
const uint16_t kPixels[] = {0x001F, 0x07E0, 0xF800, 0xFFFF, 0x0000, 0x1234};

// Every field survives a record at its extremes; whole pages, written by the
// compiler through the same codec, are read back below.
TEST(PageCodec, RecordsKeepEveryFieldAndTheLastPictureEndsTheData) {
  for (const ImageControl& c : kImages) {
    uint8_t b[kImageRecordSize];
    ImageControl back{};
    EncodeImageRecord(c, b);
    DecodeImageRecord(b, &back);
    EXPECT_EQ(Fields(back), Fields(c));
  }
  for (const TextControl& c : kTexts) {
    uint8_t b[kTextRecordSize];
    TextControl back{};
    EncodeTextRecord(c, b);
    EXPECT_EQ(b[9], 0);  // reserved
    DecodeTextRecord(b, &back);
    EXPECT_EQ(Fields(back), Fields(c));
  }

  const PagePicture pictures[] = {{3, 2, kPixels}, {0, 7, nullptr}, {1, 1, kPixels + 5}};
  const PageContent content{pictures, 3, kImages, 3, kTexts, 3};
  std::vector<uint8_t> data(PageDataSize(content));
  const uint32_t size = static_cast<uint32_t>(data.size());
  EXPECT_EQ(EncodePageData(content, data.data(), size - 1), 0u);  // does not fit
  ASSERT_EQ(EncodePageData(content, data.data(), size), size);
  const PageBytes bytes{data.data(), size}, cut{data.data(), size - 1};
  const PageReader whole = MemoryPageReader(&bytes), shorter = MemoryPageReader(&cut);
  PictureLocation p{};
  EXPECT_FALSE(FindPicture(whole, 3, &p));
  EXPECT_TRUE(FindPicture(shorter, 1, &p));
  EXPECT_FALSE(FindPicture(shorter, 2, &p));  // one byte less: its row is outside
  ASSERT_TRUE(FindPicture(whole, 2, &p));
  EXPECT_EQ(std::make_tuple(p.width, p.height, ReadU16LE(&data[p.pixels])),
            std::make_tuple(uint16_t{1}, uint16_t{1}, kPixels[5]));
}

// ---------------------------------------------------------------- the files

// Every layout's resource file, stored as start-up stores it, reads back
// through the program's reader as the layout says: header fields, every
// record, every picture pixel for pixel.
TEST(CompiledResources, ReadBackThroughTheStorageAsTheirLayoutsSay) {
  FakePlatform platform;
  std::unique_ptr<Storage> s = testing::MakeFormattedStorage(platform.files);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TRELVAN_LAYOUT_DIR)) {
    if (entry.path().extension() != ".layout") continue;
    rsc::Layout layout;
    std::string error;
    ASSERT_TRUE(rsc::ReadLayoutFile(entry.path().string(), &layout, &error)) << error;
    SCOPED_TRACE(layout.name);
    const std::vector<uint8_t> bytes =
        testing::ReadHostFile(std::string(TRELVAN_RESOURCE_DIR) + "/" + layout.name + ".rsc");
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(testing::WriteWholeFile(*s, bytes), kStorageAccepted);
    ++files;

    PageFile f;
    ASSERT_TRUE(OpenPageFile(*s, layout.name.c_str(), &f));
    char field[256];
    StorageReadField(*s, f.index, kFieldType, field);
    EXPECT_EQ(std::string(field), layout.type);
    StorageReadField(*s, f.index, kFieldVersion, field);
    EXPECT_EQ(std::string(field), TRELVAN_PROGRAM_VERSION);  // the build stamps its own

    const PageReader r = PageFileReader(f);
    uint16_t pictures = 0, images = 0, texts = 0;
    ASSERT_TRUE(ReadPageCounts(r, &pictures, &images, &texts));
    ASSERT_EQ(pictures, layout.pictures.size());
    ASSERT_EQ(images, layout.images.size());
    ASSERT_EQ(texts, layout.texts.size());
    for (uint32_t k = 0; k < images; ++k) {
      ImageControl c{};
      ASSERT_TRUE(ReadImageRecord(r, k, &c));
      EXPECT_EQ(Fields(c), Fields(layout.images[k].control)) << "image " << k;
    }
    for (uint32_t k = 0; k < texts; ++k) {
      TextControl c{};
      ASSERT_TRUE(ReadTextRecord(r, k, &c));
      EXPECT_EQ(Fields(c), Fields(layout.texts[k].control)) << "text " << k;
    }
    for (uint32_t k = 0; k < pictures; ++k) {
      const rsc::Canvas& canvas = layout.pictures[k].canvas;
      PictureLocation p{};
      ASSERT_TRUE(FindPicture(r, k, &p));
      ASSERT_EQ(std::make_tuple(int{p.width}, int{p.height}), std::make_tuple(canvas.w, canvas.h));
      std::vector<uint8_t> pixels(size_t{p.width} * p.height * 2);
      ASSERT_TRUE(r.read(r.source, p.pixels, pixels.data(), static_cast<uint32_t>(pixels.size())));
      std::vector<uint16_t> got, want;
      for (size_t i = 0; i < canvas.px.size(); ++i) {
        got.push_back(ReadU16LE(&pixels[2 * i]));
        want.push_back(rsc::ToColour16(canvas.px[i]));
      }
      EXPECT_TRUE(got == want) << "picture " << k;
    }
  }
  EXPECT_GE(files, 9);
}

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

}  // namespace
}  // namespace trelvan
