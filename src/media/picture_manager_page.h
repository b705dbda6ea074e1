// The Picture Manager page (page 13): the stored pictures in pages of 17
// rows with delete and show buttons, the shown picture, and a BMP from the
// PC converted into a new picture.
#pragma once

#include "media/media_model.h"
#include "ui/pages.h"
#include "ui/pages/roles/picture_manager_roles.h"

namespace trelvan {

struct PageContext;
struct Media;

struct PictureManagerPage {
  ImageControl* image[kPictureImageCount];
  TextControl* text[kPictureTextCount];
  MediaRow rows[kMediaListRows];
  uint8_t selectionExpected;  /**< 1: the page called Select File */
  uint8_t previewing;         /**< 1: a fitted picture is shown, waiting for Store or Cancel */
  char previewName[kMediaNameCapacity];  /**< the name it will be stored under */
  PictureInfo previewInfo;    /**< what the file was and what fitting did */
};

constexpr uint16_t kShownPictureX = 470;
constexpr uint16_t kShownPictureY = 160;

// The page's handler record for the page table.
extern const PageUnit<PageContext, Media> kPictureManagerRecord;

}  // namespace trelvan
