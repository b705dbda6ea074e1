// Unsaved work: the work of the project editors or the Light Effect
// Manager, kept in "Trelvan Assistant Draft" in the data folder
// (draft_format.h) while it is unsaved, and offered back by the next start.
#pragma once

#include <cstdint>

#include "shell/draft_format.h"

namespace trelvan {

struct Assistant;

constexpr const char* kDraftFileName = "Trelvan Assistant Draft";
constexpr uint16_t kDraftTicks = 100;  // a changed draft reaches the disk within a second

struct Drafts {
  uint16_t ticks;        /**< ticks since the draft was last compared */
  uint8_t offerAsked;    /**< the start's question waits; the file is left alone till then */
  uint32_t writtenSize;  /**< bytes of the draft file as written; 0: there is none */
  uint8_t written[kDraftFileCapacity];
  uint8_t encoded[kDraftFileCapacity];
  Draft draft;           /**< the work being encoded, or the one offered */
};

// Once a second in the tick, and at once (`now`) when the program ends:
// writes the draft file when the editors' unsaved work changed, removes it
// once nothing is unsaved (saved, or dropped on the question's "No").
void KeepDraft(Assistant& a, bool now);
// At the start: a draft left by the last run is offered back with a
// question; a damaged one is set aside and said.
void OfferDraft(Assistant& a);
// In the tick, before the pages: "Yes" reopens the draft's editor with it,
// "No" removes it. Either way it is not offered again.
void TakeDraftAnswer(Assistant& a);
// Closing the window while an editor holds unsaved work asks first
// ("Project Not Saved! Save now?" or its like); true when it asked.
bool AskBeforeClosing(Assistant& a);

}  // namespace trelvan
