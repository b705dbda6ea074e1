// Fuzz target: any text as a layout file of the resource compiler.
// Properties: it is refused with "FILE:LINE: message", or it builds a
// resource file that begins with a complete FileHeader, whose page data
// (behind it) the program's page reader takes back with the layout's counts,
// every picture and record inside the data.
#include <string>

#include "fuzz_common.h"
#include "page_bytes.h"
#include "layout.h"
#include "storage/file_system.h"
#include "ui/page_codec.h"

// The program's own layout files.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  std::error_code error;
  for (const auto& e : std::filesystem::directory_iterator(
           std::string(TRELVAN_TESTS_DIR) + "/../resources", error)) {
    if (e.path().extension() != ".layout") continue;
    std::ifstream in(e.path(), std::ios::binary);
    seeds.Add(e.path().filename().string(),
              Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  }
  if (error) seeds.ok = false;
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  rsc::Layout layout;
  std::string error;
  if (!rsc::ParseLayout(text, "fuzz.layout", &layout, &error)) {
    if (error.compare(0, 11, "fuzz.layout") != 0) fuzz::Fail("a refusal without its place", error.c_str());
    return 0;
  }
  const std::vector<uint8_t> file = rsc::BuildResourceFile(layout);
  if (!IsCompleteFileHeader(file.data(), static_cast<uint32_t>(file.size()))) {
    fuzz::Fail("the resource file has no complete header");
  }
  uint32_t header = 0;
  while (file[header] != 0x03) ++header;  // the end mark of the complete header
  if (layout.type != "Page") return 0;
  const fuzz::PageBytes page{file.data() + header + 1, static_cast<uint32_t>(file.size() - header - 1)};
  const PageReader reader = fuzz::MemoryPageReader(&page);
  uint16_t pictures = 0, images = 0, texts = 0;
  if (!fuzz::ReadPageCounts(reader, &pictures, &images, &texts) || pictures != layout.pictures.size() ||
      images != layout.images.size() || texts != layout.texts.size()) {
    fuzz::Fail("the page counts do not read back");
  }
  PictureLocation where;
  ImageControl image;
  TextControl textControl;
  for (uint16_t k = 0; k < pictures; ++k) {
    if (!FindPicture(reader, k, &where)) fuzz::Fail("a picture lies outside the data");
  }
  for (uint16_t k = 0; k < images; ++k) {
    if (!ReadImageRecord(reader, k, &image)) fuzz::Fail("an image record lies outside the data");
  }
  for (uint16_t k = 0; k < texts; ++k) {
    if (!ReadTextRecord(reader, k, &textControl)) fuzz::Fail("a text record lies outside the data");
  }
  return 0;
}
