#include "ui/pages.h"

#include "ui/controls.h"
#include "ui/page_context.h"

namespace trelvan {

const PageRecord* PageTable(const Pages& pages, int32_t page) {
  if (!pages.records || page < 1 || page > kPageCount) return nullptr;
  return pages.records[page - 1];
}

void ReturnToCaller(Pages& pages, uint8_t& answer, CallResult result, int32_t returnPage) {
  answer = result;
  pages.CurrentPage = returnPage;
}

CallResult TakeAnswer(uint8_t& answer) {
  const CallResult result = static_cast<CallResult>(answer);
  answer = kCallNone;
  return result;
}

void DrawImage(PageContext& a, const ImageControl* control) {
  DrawImageControl(a.ui.controls, a.frame, a.storage, control);
}

void DrawPageOpening(PageContext& a, const PageRecord& page) {
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, 0, 0, kFrameWidth, kFrameHeight);
  DrawImage(a, &a.ui.controls.ImageSlots[0]);
  for (const int8_t* role = page.fixedImages; role && *role != kEndOfRoles; ++role) {
    DrawImage(a, &a.ui.controls.ImageSlots[*role]);
  }
  if (page.title) DrawTextControl(a.frame, &a.ui.controls.TextSlots[0], page.title);
}

}  // namespace trelvan
