// Layout files: one readable text file per page file or picture collection,
// compiled into a resource file (a storage file header, then the page data).
//
//   page "TA MainPage" prefix=Main        or: collection "TA Common"
//   picture 0 170 40 button "Exit"        # meaning of picture 0
//   image 620 516 * * page 0 role=Exit    # what image record 0 is for
//   text 16 10 400 26 2 clear white navy "Title" role=Title
//   sample 12 1 0 21 text 46 284 256 21 0 clear black white "Row {n}"
//
// Pictures are numbered from 0 without gaps; image and text records are
// written in the order they appear. Every record of a page names its role,
// unique in the page; the page's prefix and the roles make the names of the
// generated role enums (kMainExit, kMainTitle). `sample` lines are drawn
// only by the preview: they stand for controls that the program builds at
// run time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "ui/controls.h"

namespace rsc {

struct ImageRecord {
  trelvan::ImageControl control{0, 0, 0, 0, trelvan::kSourcePageFile, 0};  /**< as stored */
  bool hidden = false;  /**< not drawn by the preview: the page draws it only at times */
  int line = 0;
  std::string role;     /**< its name in the role enum */
  std::string comment;  /**< the layout's words on it */
};

struct TextRecord {
  trelvan::TextControl control{0, 0, 0, 0, 0, 0, 0, 0xFFFF};  /**< as stored */
  std::string sample;   /**< caption the preview draws */
  bool each = false;    /**< sample copy k shows character k of `sample` */
  bool hidden = false;
  int line = 0;
  std::string role;
  std::string comment;
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
  std::string prefix;     /**< of the role names; pages only */
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

// The whole resource file: header, then the page data.
std::vector<uint8_t> BuildResourceFile(const Layout& layout);

// The C++ header of a page's role enums; `source` names the layout file in
// its first lines. False with a message for a collection.
bool BuildRoleHeader(const Layout& layout, const std::string& source, std::string* out,
                     std::string* error);

}  // namespace rsc
