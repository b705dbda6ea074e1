// The page table: each of the program's pages with the handlers that hand it
// the state it acts on, and the dispatcher that routes the tick's pointer and
// timer events to the current page. Each page has an initialisation, a
// pointer handler, a full-draw handler and, for most, a timer handler.
#pragma once

#include <cstdint>

#include "ui/pages.h"

namespace trelvan {

struct Assistant;

enum PageEvent : int { kPageTimerEvent = 0, kPagePointerEvent = 1 };

struct PageHandlers {
  int32_t number;  /**< its PageNumber */
  const PageRecord* page;
  void (*init)(Assistant&);
  void (*timer)(Assistant&);
  void (*pointer)(Assistant&);
  void (*draw)(Assistant&, int full);
};

// The table's entry for `page`; null for a number outside 1..kPageCount.
const PageHandlers* PageHandlersOf(int32_t page);

void DispatchPageEvent(Assistant& a, int event);

}  // namespace trelvan
