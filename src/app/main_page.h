// The main page (page 1): list-type buttons, the twelve-row list, the
// selection for the handheld, exit, setup and open, the revision and the
// free storage. The lists themselves are the model in net/server_lists.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/transfer_lists.h"
#include "link/transfer_monitor.h"
#include "net/server_lists.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/main_page_roles.h"

namespace trelvan {

struct App;

// A row of one of the page's lists: a mark and a text. Rows belong to the
// page, not to the shared pools, so the selection keeps its rows while other
// pages are shown.
struct ListRow {
  ImageControl mark;
  TextControl text;
};

struct MainPage {
  ImageControl* image[kMainImageCount];
  TextControl* text[kMainTextCount];
  uint8_t lastServerStatus;   /**< 2 after initialisation: the status is drawn at once */
  uint8_t selectionLaidOut;   /**< 1 once the selection rows are laid out this run */
  ListRow listRows[kListScreenRows];
  ListRow selectionRows[kSelectionCapacity];
  TransferMonitor monitor;      /**< the handheld transfer under way */
  int32_t lastConnectedShown;   /**< the handheld status last drawn; 2: none yet */
  uint8_t progressShown[kSelectionCapacity];  /**< the download percentage drawn beside each entry; 0: none */
  uint8_t picksClearedShown;    /**< 1: the How-to panel says the picks were taken off */
  // A look at a server picture or sound before it is chosen: each row of a
  // category's pictures or sounds has a Show or Play control.
  ImageControl lookControls[kListScreenRows];
  uint8_t lookShown;    /**< 1: the How-to panel shows a server picture */
  int8_t lookAsked;     /**< the row whose file is being fetched; -1 none */
  int8_t lookPlaying;   /**< the row whose sound plays; -1 none */
};

// "Free Storage = NN%": free blocks as a whole percentage of the image.
void FreeStorageText(uint16_t freeBlocks, char* out, size_t capacity);

// The page's handler record for the page table.
extern const PageUnit<App> kMainPageRecord;

}  // namespace trelvan
