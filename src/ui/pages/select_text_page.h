// The select-text page (page 7): a list of texts that a caller fills with
// AddSelectText, 17 lines at a time (the arrows and the wheel show the
// rest); the text clicked comes back in entry 0.
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
  kSelectTextTyping = 3,  /**< "Type Name": the caller opens a keyboard instead */
};

struct SelectTextPage {
  ImageControl* image[kSelectTextImageCount];  /**< by SelectTextImage role */
  TextControl* title;                          /**< text 0 */
  TextControl* line[kSelectTextLines];         /**< run-time: one per line shown */

  char SelectTextTitle[kSelectTextTitleCapacity];  /**< caller: drawn over the title */
  char SelectTextEntries[kSelectTextEntryCount][kSelectTextEntryCapacity];
  uint8_t SelectTextCount;        /**< entries added */
  int32_t SelectTextReturnPage;   /**< caller: page to return to */
  uint8_t SelectTextResult;       /**< a SelectTextResults value */
  uint8_t SelectedTextIndex;      /**< the entry chosen */
  uint8_t answer;                 /**< a CallResult for TakeSelectedText */
  uint8_t firstShown;             /**< the entry on the top line */
  uint8_t typingOffered;          /**< caller: 1 shows "Type Name" */
};

// Entry k receives at most 31 characters of text, a whole stored name; k = 0
// first empties the list. Entries beyond the 100th are refused.
void AddSelectText(PageContext& a, int k, const char* text);
// Opens the page on the entries added, under `title`, returning to
// returnPage; with offerTyping the page offers "Type Name" as well.
void RequestSelectText(PageContext& a, const char* title, int32_t returnPage, bool offerTyping = false);
// For the caller's timer handler, once after the page went back:
// kCallConfirmed with the chosen entry's index, kCallCancelled, or
// kCallTyping when the user would rather type the text.
CallResult TakeSelectedText(PageContext& a, uint8_t* index);


// The page's handler record for the page table.
extern const PageUnit<PageContext> kSelectTextRecord;

}  // namespace trelvan
