#include "ui/pages/select_text_page.h"

#include "ui/page_context.h"
#include "storage/text.h"
#include "ui/pages.h"

namespace trelvan {

namespace {

constexpr uint16_t kLineX = 240;
constexpr uint16_t kLineTop = 34;
constexpr uint16_t kLineWidth = 320;
constexpr uint16_t kLineHeight = 28;
constexpr uint16_t kLightGrey = 0xC638;

}  // namespace

void AddSelectText(PageContext& a, int k, const char* text) {
  SelectTextPage& p = a.ui.selectText;
  if (k < 0 || k >= kSelectTextEntryCount) return;
  if (k == 0) {
    for (auto& entry : p.SelectTextEntries) entry[0] = 0;
    p.SelectTextCount = 0;
  }
  p.SelectTextCount = static_cast<uint8_t>(p.SelectTextCount + 1);
  CopyText(text, p.SelectTextEntries[k], kSelectTextEntryCapacity);
}

void RequestSelectText(PageContext& a, const char* title, int32_t returnPage) {
  SelectTextPage& p = a.ui.selectText;
  CopyText(title, p.SelectTextTitle, kSelectTextTitleCapacity);
  p.SelectTextReturnPage = returnPage;
  p.SelectTextResult = kSelectTextOpen;
  p.answer = kCallNone;
  a.ui.pages.CurrentPage = kSelectTextPage;
}

CallResult TakeSelectedText(PageContext& a, uint8_t* index) {
  SelectTextPage& p = a.ui.selectText;
  const CallResult result = TakeAnswer(p.answer);
  if (result == kCallConfirmed && index) *index = p.SelectedTextIndex;
  return result;
}

static void SelectTextInit(PageContext& a) {
  SelectTextPage& p = a.ui.selectText;
  PageLoader load(a.ui.controls, a.storage, kSelectTextRecord.page);
  p.image[kSelectTextTitleBar] = load.Image();
  p.title = load.Text();
  for (int i = kSelectTextSpare1; i < kSelectTextImageCount; ++i) p.image[i] = load.Image();
  load.Finish();
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    p.line[i] = NextTextSlot(a.ui.controls);
    *p.line[i] = TextControl{kLineX, static_cast<uint16_t>(kLineTop + kLineHeight * i), kLineWidth,
                             kLineHeight, 2, 0, 0x0000,
                             static_cast<uint16_t>(i % 2 ? kLightGrey : 0xFFFF)};
  }
  p.SelectTextResult = kSelectTextOpen;
}

static void SelectTextDraw(PageContext& a) {
  SelectTextPage& p = a.ui.selectText;
  DrawImage(a, p.image[kSelectTextTitleBar]);
  DrawTextControl(a.frame, p.title, p.SelectTextTitle);
  EraseControl(a.frame, p.image[kSelectTextSpare1]);
  EraseControl(a.frame, p.image[kSelectTextSpare2]);
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    DrawTextControl(a.frame, p.line[i], p.SelectTextEntries[i]);
  }
}

static void SelectTextPointer(PageContext& a) {
  SelectTextPage& p = a.ui.selectText;
  if (a.input.PointerEvent.state != kPointerPressed) return;
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    if (!HitTest(a.input.PointerEvent, p.line[i])) continue;
    if (i < p.SelectTextCount) {
      p.SelectTextResult = kSelectTextChosen;
      p.SelectedTextIndex = static_cast<uint8_t>(i);
      char* chosen = p.SelectTextEntries[i];
      if (i != 0) CopyText(chosen, p.SelectTextEntries[0], kSelectTextEntryCapacity);
      ReturnToCaller(a.ui.pages, p.answer, kCallConfirmed, p.SelectTextReturnPage);
    }
    break;
  }
  if (HitTest(a.input.PointerEvent, p.image[kSelectTextCancel])) {
    p.SelectTextResult = kSelectTextCancelled;
    p.SelectTextEntries[0][0] = 0;
    ReturnToCaller(a.ui.pages, p.answer, kCallCancelled, p.SelectTextReturnPage);
  }
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kSelectTextFixedImages[] = {kSelectTextSpare1, kSelectTextSpare2, kSelectTextCancel, kEndOfRoles};

const PageUnit<PageContext> kSelectTextRecord = {
    {
        "TA PageSelectText",  // page file
        "Select Text",  // title
        kSelectTextFixedImages,  // fixed images
    },
    SelectTextInit,  // init
    nullptr,  // timer
    SelectTextPointer,  // pointer
    SelectTextDraw,  // draw
};

}  // namespace trelvan
