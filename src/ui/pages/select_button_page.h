// The select-button page (page 8): the pictures of the collection
// "TA Buttons" as a grid of up to 78 buttons; the index of the one clicked
// comes back in SelectedButton.
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/select_button_roles.h"

namespace trelvan {

struct PageContext;

constexpr int kButtonGridColumns = 6;

struct SelectButtonPage {
  ImageControl* image[kSelectButtonImageCount];  /**< by SelectButtonImage role */
  TextControl* title;      /**< text 0 */
  // The grid's buttons. The page's own controls and the 78 buttons need 80
  // image slots, two more than the pool holds, so the buttons are kept here.
  ImageControl button[kButtonGridCount];

  int16_t SelectButtonReturnPage;  /**< caller: page to return to */
  uint16_t SelectedButton;         /**< picture clicked; kept when the user goes back */
  uint8_t ButtonCount;             /**< pictures the last full draw could draw */
  uint8_t answer;                  /**< a CallResult for TakeSelectedButton */
};


// Opens the grid, returning to returnPage.
void RequestSelectButton(PageContext& a, int16_t returnPage);
// For the caller's timer handler, once after the page went back:
// kCallConfirmed with the picture clicked, or kCallCancelled (back).
CallResult TakeSelectedButton(PageContext& a, uint16_t* button);

// The page's handler record for the page table.
extern const PageUnit<PageContext> kSelectButtonRecord;

}  // namespace trelvan
