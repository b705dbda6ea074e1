// Layout files: one readable text file per page file or picture collection,
// compiled into a resource file (a storage file header, then the page data).
//
//   page "TA MainPage"                    or: collection "TA Common"
//   picture 0 170 40 button "Exit"        # meaning of picture 0
//   image 620 516 * * page 0              # role of image record 0
//   text 16 10 400 26 2 clear white navy "Title"   # role of text record 0
//   sample 12 1 0 21 text 46 284 256 21 0 clear black white "Row {n}"
//
// Pictures are numbered from 0 without gaps; image and text records are
// written in the order they appear. `sample` lines are drawn only by the
// preview: they stand for controls that the program builds at run time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace rsc {

enum : uint8_t { kSourcePage = 0, kSourceCommon = 1, kSourceButtons = 2 };
constexpr uint16_t kFlagCentre = 2;
constexpr uint16_t kFlagClear = 64;

struct ImageRecord {
  uint16_t x = 0, y = 0, w = 0, h = 0;
  uint8_t source = kSourcePage;
  uint16_t picture = 0;
  bool hidden = false;  /**< not drawn by the preview: the page draws it only at times */
  int line = 0;
  std::string role;
};

struct TextRecord {
  uint16_t x = 0, y = 0, w = 0, h = 0;
  uint8_t font = 0;
  uint16_t flags = 0;
  uint16_t textColour = 0, backColour = 0xFFFF;
  std::string sample;   /**< caption the preview draws */
  bool each = false;    /**< sample copy k shows character k of `sample` */
  bool hidden = false;
  int line = 0;
  std::string role;
};

struct Sample {
  int count = 1, columns = 1, dx = 0, dy = 0;
  bool isImage = true;
  ImageRecord image;
  TextRecord text;
};

struct Picture {
  Canvas canvas;
  std::string meaning;
  int line = 0;
};

struct Layout {
  std::string name;
  std::string type;       /**< "Page" or "Pictures" */
  std::string version = "1.00";
  std::vector<Picture> pictures;
  std::vector<ImageRecord> images;
  std::vector<TextRecord> texts;
  std::vector<Sample> samples;
};

// Parses and paints; false with "FILE:LINE: message" in `error`.
bool ParseLayout(const std::string& text, const std::string& fileName, Layout* out,
                 std::string* error);
bool ReadLayoutFile(const std::string& path, Layout* out, std::string* error);

// The whole resource file: header, then offsets, tables, pictures.
std::vector<uint8_t> BuildResourceFile(const Layout& layout);

}  // namespace rsc
