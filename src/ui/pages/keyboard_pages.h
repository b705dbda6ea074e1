// The two keyboard pages, called by other pages to enter data with the mouse
// or the PC keyboard: the alphanumeric keyboard (page 5) for names and texts,
// the numeric keyboard (page 9) for a whole number between two limits.
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/alpha_keyboard_page.h"
#include "ui/pages/numeric_keyboard_page.h"

namespace trelvan {

struct PageContext;

struct KeyboardPages {
  AlphaKeyboard alpha;
  NumericKeyboard numeric;
  char TextRequestTag[kRequestTagCapacity];  /**< names the field a caller asked for */
  uint8_t TextRequested;                     /**< 1: a caller waits for a keyboard's result */
};

// ---- the callers' side ----

// Opens the alphanumeric keyboard for the field named tag; returns to
// returnPage when the user confirms or cancels.
void RequestText(PageContext& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                 int32_t returnPage);
// The same with the entry starting as `start` (a path being changed).
void RequestTextFrom(PageContext& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                     int32_t returnPage, const char* start);
// The same for a name the storage keeps with a "~" at its end: the entry
// starts with `current` (its "~" left off; the caller adds it again) and
// the page says why names end so.
void RequestName(PageContext& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                 int32_t returnPage, const char* current);
// Opens the numeric keyboard for the field named tag. minText and maxText are
// the limits as shown; value is the preset NumberValue.
void RequestNumber(PageContext& a, const char* tag, const char* prompt, int32_t min,
                   const char* minText, int32_t max, const char* maxText, int32_t value,
                   int32_t returnPage);
// For the caller's timer handler: true, once, when the request it made came
// back confirmed (EnteredText or NumberValue holds the entry). Either
// way an outstanding request is cleared.
bool TakeConfirmedText(PageContext& a);
bool TakeConfirmedNumber(PageContext& a);
// Whether TextRequestTag names tag (compared over at most 25 characters).
bool RequestTagIs(const PageContext& a, const char* tag);

// ---- shared by the two keyboard pages ----

// Redraws a text control on its own: a control without a background of its
// own is wiped first, so no glyph of the old text stays.
void ShowText(PageContext& a, const TextControl* control, const char* text);

// The queued PC keys, oldest first, each to `handle` until the page is left;
// the queue is empty afterwards.
template <typename Handle>
void DrainKeyQueue(KeyQueueRecord& q, const Pages& pages, int32_t page, Handle handle) {
  int count = q.count;
  if (count > kKeyQueueCapacity) count = kKeyQueueCapacity;
  for (int i = 0; i < count; ++i) {
    handle(q.keys[i]);
    if (pages.CurrentPage != page) break;  // confirmed or cancelled: the rest is dropped
  }
  q.count = 0;
}

}  // namespace trelvan
