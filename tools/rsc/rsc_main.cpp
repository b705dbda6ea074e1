// trelvan-rsc: compiles a layout file into a resource file, or draws a
// preview of it.
//
//   trelvan-rsc -o "OUT/TA MainPage.rsc" [--version TEXT] main_page.layout
//                 (TEXT, the program's version, replaces the layout's version:
//                 start-up takes in a page file whose stored version differs)
//   trelvan-rsc --preview main.png [--common common.layout] [--buttons buttons.layout] FILE.layout
//   trelvan-rsc --sheet sheet.png FILE.layout      every picture of the file with its index
//   trelvan-rsc --header FILE.layout OUT.h         the page's control-role enums
//   trelvan-rsc --palette                          the named colours
//
// A preview of a page looks for common.layout and buttons.layout beside the
// page's layout unless told otherwise.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "layout.h"
#include "art.h"
#include "preview.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: trelvan-rsc -o OUT.rsc [--version TEXT] FILE.layout\n"
               "       trelvan-rsc --preview OUT.png [--common F] [--buttons F] FILE.layout\n"
               "       trelvan-rsc --sheet OUT.png FILE.layout\n"
               "       trelvan-rsc --header FILE.layout OUT.h\n"
               "       trelvan-rsc --palette\n");
  return 2;
}

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string BaseName(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool Load(const std::string& path, rsc::Layout* layout) {
  std::string error;
  if (rsc::ReadLayoutFile(path, layout, &error)) return true;
  std::fprintf(stderr, "%s\n", error.c_str());
  return false;
}

// The role header of `input`, written to `output` unless it holds that
// already (so what includes it is not rebuilt).
int WriteRoleHeader(const std::string& input, const std::string& output) {
  rsc::Layout layout;
  if (!Load(input, &layout)) return 1;
  std::string text, error;
  if (!rsc::BuildRoleHeader(layout, "resources/" + BaseName(input), &text, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::ifstream old(output, std::ios::binary);
  std::stringstream held;
  held << old.rdbuf();
  if (old && held.str() == text) return 0;
  old.close();
  if (!trelvan::WriteThroughNewFile(output, [&](FILE* f) {
        return std::fwrite(text.data(), 1, text.size(), f) == text.size();
      })) {
    std::fprintf(stderr, "%s: cannot be written\n", output.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output, version, preview, sheet, common, buttons, input;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&](std::string* to) {
      if (i + 1 >= argc) return false;
      *to = argv[++i];
      return true;
    };
    if (a == "-o") {
      if (!next(&output)) return Usage();
    } else if (a == "--version") {
      if (!next(&version) || version.size() > 6) return Usage();
    } else if (a == "--preview") {
      if (!next(&preview)) return Usage();
    } else if (a == "--sheet") {
      if (!next(&sheet)) return Usage();
    } else if (a == "--common") {
      if (!next(&common)) return Usage();
    } else if (a == "--buttons") {
      if (!next(&buttons)) return Usage();
    } else if (a == "--header") {
      if (i != 1 || argc != 4) return Usage();  // nothing else goes with it
      return WriteRoleHeader(argv[2], argv[3]);
    } else if (a == "--palette") {
      std::fputs(rsc::PaletteListing().c_str(), stdout);
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      input = a;
    }
  }
  if (input.empty() || (output.empty() && preview.empty() && sheet.empty())) return Usage();

  rsc::Layout layout;
  if (!Load(input, &layout)) return 1;
  if (!version.empty()) layout.version = version;

  if (!output.empty()) {
    // start-up stores a resource file under its file name without ".rsc"
    if (BaseName(output) != layout.name + ".rsc") {
      std::fprintf(stderr, "%s: the file names \"%s\", so it must be compiled to \"%s.rsc\"\n",
                   input.c_str(), layout.name.c_str(), layout.name.c_str());
      return 1;
    }
    const std::vector<uint8_t> bytes = rsc::BuildResourceFile(layout);
    if (!trelvan::WriteThroughNewFile(output, [&](FILE* f) {
          return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        })) {
      std::fprintf(stderr, "%s: cannot be written\n", output.c_str());
      return 1;
    }
  }
  if (!sheet.empty() || (!preview.empty() && layout.type != "Page")) {
    trelvan::RgbImage image;
    rsc::RenderSheet(layout, &image);
    if (!trelvan::WritePng(sheet.empty() ? preview : sheet, image)) return 1;
  }
  if (!preview.empty() && layout.type == "Page") {
    const std::string folder = FolderOf(input);
    if (common.empty()) common = folder + "/common.layout";
    if (buttons.empty()) buttons = folder + "/buttons.layout";
    rsc::Layout commonLayout, buttonsLayout;
    std::string ignored;
    const bool haveCommon = rsc::ReadLayoutFile(common, &commonLayout, &ignored);
    const bool haveButtons = rsc::ReadLayoutFile(buttons, &buttonsLayout, &ignored);
    trelvan::RgbImage image;
    rsc::RenderPage(layout, haveCommon ? &commonLayout : nullptr,
                    haveButtons ? &buttonsLayout : nullptr, &image);
    if (!trelvan::WritePng(preview, image)) {
      std::fprintf(stderr, "%s: cannot be written\n", preview.c_str());
      return 1;
    }
  }
  return 0;
}
