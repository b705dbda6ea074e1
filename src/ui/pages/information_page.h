// The information page (page 6): the program's message and question box.
// Up to three lines of text and the "Yes", "Exit" and "No" buttons; it
// returns to the calling page and leaves the button pressed in InfoButtons.
#pragma once

#include <cstdint>

#include "storage/text.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/information_roles.h"

namespace trelvan {

struct PageContext;


// InfoButtons: which buttons are shown (bits 0 to 2) and which was pressed
// (bits 4 to 6).
enum InfoButtonBits : uint16_t {
  kInfoYesShown = 1 << 0,
  kInfoExitShown = 1 << 1,
  kInfoNoShown = 1 << 2,
  kInfoYesPressed = 1 << 4,
  kInfoExitPressed = 1 << 5,
  kInfoNoPressed = 1 << 6,
};

struct InformationPage {
  ImageControl* image[kInfoImageCount];  /**< by InfoImage role */
  TextControl* text[kInfoTextCount];     /**< by InfoText role */
  TextControl* line[kMessageLineCount];  /**< run-time: the message lines */

  char MessageText[kMessageTextCapacity];  /**< the message, at most 99 characters */
  uint8_t MessagePending;                  /**< 1 until the message is laid out and drawn */
  uint16_t InfoButtons;                    /**< InfoButtonBits */
  int32_t InfoReturnPage;                  /**< caller: page to return to */
  char YesLabel[kButtonLabelCapacity];
  char ExitLabel[kButtonLabelCapacity];
  char NoLabel[kButtonLabelCapacity];
  uint8_t answer;                          /**< a CallResult for TakeInformationAnswer */
  // The laid-out lines. They belong to this page alone: no other page's
  // state lives in them.
  char MessageLines[kMessageLineCount][kMessageLineCapacity];
};

// ---- the callers' side ----

// Takes the message (at most 99 characters) for the next layout. Called
// while the page is not current, it also clears the buttons, so a caller
// adds its buttons after this.
void ShowMessage(PageContext& a, const char* text);
void AddYesButton(PageContext& a);
void AddNoButton(PageContext& a);
// Opens the page with `text` and the buttons of `shown` (kInfoYesShown,
// kInfoNoShown; none gives "Exit", which closes the message), returning to returnPage.
void RequestInformation(PageContext& a, const char* text, uint16_t shown, int32_t returnPage);
// For the caller's timer handler, once after the page went back: the
// pressed-button bit (kInfoYesPressed, kInfoExitPressed, kInfoNoPressed);
// 0 otherwise.
uint16_t TakeInformationAnswer(PageContext& a);

// Nothing is deleted by a single click: a delete control asks first.
constexpr int kDeleteNameCapacity = kFileNameCapacity;
// Asks "Delete <name>?" with Yes and No, returning to returnPage; `usedBy`
// (may be empty) names the projects that use the file. The name waits in
// `pending` for the answer.
void AskDelete(PageContext& a, char (&pending)[kDeleteNameCapacity], const char* name,
               const char* usedBy, int32_t returnPage);
// For the caller's timer: true once when the user answered Yes, with the
// name still in `pending` (the caller clears it after deleting); any other
// answer clears it.
bool TakeDeleteAnswer(PageContext& a, char (&pending)[kDeleteNameCapacity]);

// Lays text out into three lines of at most 35 characters, breaking before a
// space, so the second and third lines begin with it. False when a run of 36
// characters holds no space to break at: the lines laid out until then stay.
bool WrapMessage(const char* text, char lines[kMessageLineCount][kMessageLineCapacity]);

// ---- the page ----


// The page's handler record for the page table.
extern const PageUnit<PageContext> kInformationPageRecord;

}  // namespace trelvan
