// The numeric keyboard (page 9): a whole number between two limits, typed
// with the mouse or the PC keyboard. Callers open it with RequestNumber
// (ui/pages/keyboard_pages.h).
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/alpha_keyboard_page.h"
#include "ui/pages/roles/keyboard_numeric_roles.h"

namespace trelvan {

struct PageContext;

struct NumericKeyboard {
  ImageControl* image[kNumericImageCount];
  TextControl* text[kNumericTextCount];

  char NumberPrompt[kNumberPromptCapacity];   /**< caller: shown in text 0 */
  char NumberMinText[kNumberLimitCapacity];   /**< caller: shown in text 2 */
  char NumberMaxText[kNumberLimitCapacity];   /**< caller: shown in text 1 */
  int32_t NumberMin, NumberMax;               /**< caller: accepted range, ends included */
  int32_t NumberReturnPage;                   /**< caller: page to return to */
  int32_t NumberValue;                        /**< the value accepted (the caller may preset) */
  uint8_t NumberResult;                       /**< a KeyboardResult */
  char NumberText[kNumberTextCapacity];       /**< typed so far; emptied when the page starts */
};

// The page's handler record for the page table.
extern const PageUnit<PageContext> kNumericKeyboardRecord;

}  // namespace trelvan
