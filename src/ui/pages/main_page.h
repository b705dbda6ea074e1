// The main page (page 1): list-type buttons, the twelve-row list, the
// selection list, exit, setup and open, the revision and the free storage.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/controls.h"

namespace trelvan {

struct Assistant;

constexpr int kMainImageCount = 26;
constexpr int kMainTextCount = 4;
constexpr int kListRows = 12;
constexpr int kSelectionRows = 8;
constexpr int kRowNameCapacity = 32;

// A row of one of the page's lists: a mark, a text, and the text shown.
// Rows belong to the page, not to the shared pools, so the selection list
// keeps its rows while other pages are shown.
struct ListRow {
  ImageControl mark;
  TextControl text;
  char name[kRowNameCapacity];
};

enum MainListTypes : uint8_t {
  kListNone = 0,
  kListStoragePictures = 3,
  kListStorageSounds = 6,
  kListStorageLightEffects = 8,
  kListStorageProjects = 10,
};

struct MainPage {
  ImageControl* image[kMainImageCount];
  TextControl* text[kMainTextCount];
  uint8_t MainListType;       /**< the list shown; kListNone at each initialisation */
  uint16_t listPage;          /**< page of twelve rows shown */
  int16_t chosenRow;          /**< -1: none */
  uint8_t lastServerStatus;   /**< 2 after initialisation: the status is drawn at once */
  uint8_t selectionLaidOut;   /**< 1 once the selection rows are laid out this run */
  ListRow listRows[kListRows];
  ListRow selectionRows[kSelectionRows];
};

void MainPageInit(Assistant& a);
void MainPagePointer(Assistant& a);
void MainPageDraw(Assistant& a, int full);

// "Free Storage = NN%": free blocks as a whole percentage of the image, cut
// to fit the `capacity` bytes of `out`.
void FreeStorageText(uint16_t freeBlocks, char* out, size_t capacity);

}  // namespace trelvan
