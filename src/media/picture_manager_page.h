// The Picture Manager page (page 13): the stored pictures in pages of 17
// rows with delete and show buttons, the shown picture, and a BMP from the
// PC converted into a new picture.
#pragma once

#include "ui/pages.h"

namespace trelvan {

struct PageContext;
struct Media;

constexpr uint16_t kShownPictureX = 470;
constexpr uint16_t kShownPictureY = 160;

// The page's handler record for the page table.
extern const PageUnit<PageContext, Media> kPictureManagerRecord;

}  // namespace trelvan
