// Fuzz target: any text as a layout file of the resource compiler.
// Properties: it is refused with "FILE:LINE: message", or it builds a
// resource file that begins with a complete FileHeader, whose page data
// (behind it) the program loads as a page. The tables' exact bytes are
// the compiler's own test's to check.
#include <string>

#include "fuzz_common.h"
#include "layout.h"
#include "ui/page_codec.h"

namespace trelvan::fuzz {
namespace {

// Page data held in memory, for the page codec's readers.
PageReader MemoryPageReader(const Bytes& bytes) {
  return {[](const void* source, uint64_t offset, void* out, uint32_t count) {
            const Bytes& b = *static_cast<const Bytes*>(source);
            if (offset + count > b.size()) return false;
            std::copy_n(b.data() + offset, count, static_cast<uint8_t*>(out));
            return true;
          },
          &bytes};
}

}  // namespace
}  // namespace trelvan::fuzz

// The program's own layout files.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "../resources", ".layout", [](const std::string&, const Bytes& b) { return b; });
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  rsc::Layout layout;
  std::string error;
  if (!rsc::ParseLayout(text, "fuzz.layout", &layout, &error)) {
    if (error.compare(0, 11, "fuzz.layout") != 0) Fail("a refusal without its place", error.c_str());
    return 0;
  }
  const Bytes file = rsc::BuildResourceFile(layout);
  if (!IsCompleteFileHeader(file.data(), static_cast<uint32_t>(file.size()))) {
    Fail("the resource file has no complete header");
  }
  if (layout.type != "Page") return 0;
  // The page data follows the end mark of the complete header.
  const Bytes page(std::find(file.begin(), file.end(), 0x03) + 1, file.end());
  // Any control or picture makes it a page the program loads.
  const bool empty = layout.pictures.empty() && layout.images.empty() && layout.texts.empty();
  if (!empty && !PageDataLoads(MemoryPageReader(page))) Fail("the page does not load");
  return 0;
}
