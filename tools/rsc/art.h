// The program's look: the palette and the picture styles that the layout
// files name ("button", "panel", "lamp" ...), painted by the compiler.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "canvas.h"

namespace rsc {

// A palette colour by name ("navy", "accent", ...), or rgb:RRGGBB.
bool ParseColour(const std::string& word, Rgb* out);
// "name rgb:RRGGBB" lines for the palette listing of --palette.
std::string PaletteListing();

struct PictureDefinition {
  int w = 0;
  int h = 0;
  std::string style;
  std::vector<std::string> words;                // bare words after the style
  std::vector<std::string> captions;             // quoted strings, in order
  std::map<std::string, std::string> options;    // key=value
};

// Paints the picture; false with a message naming what was wrong.
bool PaintPicture(const PictureDefinition& picture, Canvas* out, std::string* error);

}  // namespace rsc
