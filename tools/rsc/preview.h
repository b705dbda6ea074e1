// Pictures of what a layout will look like, drawn with the program's own
// frame buffer and text routines.
#pragma once

#include "layout.h"
#include "png_file.h"

namespace rsc {

// The page as its full draw shows it: every record not marked hidden, the
// image records first, then the text records (filled with their back colour
// unless clear, and the sample caption), then the sample controls.
// `common` and `buttons` may be null; their pictures are then left out.
void RenderPage(const Layout& page, const Layout* common, const Layout* buttons,
                trelvan::RgbImage* out);
// All pictures of a file in a grid, each with its index below it.
void RenderSheet(const Layout& file, trelvan::RgbImage* out);

}  // namespace rsc
