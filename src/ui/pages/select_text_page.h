// The select-text page (page 7): a list of up to 17 texts that a caller
// fills with AddSelectText; the text clicked comes back in entry 0.
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/select_text_roles.h"

namespace trelvan {

struct PageContext;


enum SelectTextResults : uint8_t {
  kSelectTextOpen = 0,
  kSelectTextChosen = 1,
  kSelectTextCancelled = 2,
};

struct SelectTextPage {
  ImageControl* image[kSelectTextImageCount];  /**< by SelectTextImage role */
  TextControl* title;                          /**< text 0 */
  TextControl* line[kSelectTextEntryCount];    /**< run-time: one per entry */

  char SelectTextTitle[kSelectTextTitleCapacity];  /**< caller: drawn over the title */
  char SelectTextEntries[kSelectTextEntryCount][kSelectTextEntryCapacity];
  uint8_t SelectTextCount;        /**< entries added */
  int32_t SelectTextReturnPage;   /**< caller: page to return to */
  uint8_t SelectTextResult;       /**< a SelectTextResults value */
  uint8_t SelectedTextIndex;      /**< the entry chosen */
  uint8_t answer;                 /**< a CallResult for TakeSelectedText */
};

// Entry k receives at most 24 characters of text; k = 0 first empties the
// list. Entries beyond the 17th are refused.
void AddSelectText(PageContext& a, int k, const char* text);
// Opens the page on the entries added, under `title`, returning to returnPage.
void RequestSelectText(PageContext& a, const char* title, int32_t returnPage);
// For the caller's timer handler, once after the page went back:
// kCallConfirmed with the chosen entry's index, or kCallCancelled.
CallResult TakeSelectedText(PageContext& a, uint8_t* index);


// The page's handler record for the page table.
extern const PageUnit<PageContext> kSelectTextRecord;

}  // namespace trelvan
