#include "ui/pages/select_text_page.h"

#include <initializer_list>

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
constexpr int kWheelLines = 3;  // lines a notch of the wheel moves

// Entry `first` on the top line, kept where the list still fills the page.
void ShowFrom(SelectTextPage& p, int first) {
  const int last = p.SelectTextCount > kSelectTextLines ? p.SelectTextCount - kSelectTextLines : 0;
  p.firstShown = static_cast<uint8_t>(first < 0 ? 0 : first > last ? last : first);
}

// The lines from firstShown, a name too wide for the large font in the
// small one, and the arrows where there is more to see.
void DrawLines(PageContext& a) {
  SelectTextPage& p = a.ui.selectText;
  for (int i = 0; i < kSelectTextLines; ++i) {
    TextControl* line = p.line[i];
    if (!line) continue;
    const char* text = p.SelectTextEntries[p.firstShown + i];
    line->font = TextWidth(2, reinterpret_cast<const uint8_t*>(text)) > line->w ? 0 : 2;
    DrawFittedText(a.frame, line, text);
  }
  for (int role : {kSelectTextUp, kSelectTextDown}) {
    if (p.image[role]) EraseControl(a.frame, p.image[role]);
  }
  if (p.firstShown > 0) DrawImage(a, p.image[kSelectTextUp]);
  if (p.firstShown + kSelectTextLines < p.SelectTextCount) DrawImage(a, p.image[kSelectTextDown]);
}

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

void RequestSelectText(PageContext& a, const char* title, int32_t returnPage, bool offerTyping) {
  SelectTextPage& p = a.ui.selectText;
  p.firstShown = 0;
  p.typingOffered = offerTyping ? 1 : 0;
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
  for (int i = 0; i < kSelectTextLines; ++i) {
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
  if (p.typingOffered) DrawImage(a, p.image[kSelectTextType]);
  DrawLines(a);
}

static void SelectTextPointer(PageContext& a) {
  SelectTextPage& p = a.ui.selectText;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  const int turned = WheelOver(pointer, kLineX, kLineTop, kLineWidth, kLineHeight * kSelectTextLines);
  if (turned) {
    ShowFrom(p, p.firstShown - turned * kWheelLines);
    DrawLines(a);
  }
  if (pointer.state != kPointerPressed) return;
  if (p.firstShown > 0 && HitTest(pointer, p.image[kSelectTextUp])) {
    ShowFrom(p, p.firstShown - kSelectTextLines);
    return DrawLines(a);
  }
  if (p.firstShown + kSelectTextLines < p.SelectTextCount && HitTest(pointer, p.image[kSelectTextDown])) {
    ShowFrom(p, p.firstShown + kSelectTextLines);
    return DrawLines(a);
  }
  if (p.typingOffered && HitTest(pointer, p.image[kSelectTextType])) {
    p.SelectTextResult = kSelectTextTyping;
    return ReturnToCaller(a.ui.pages, p.answer, kCallTyping, p.SelectTextReturnPage);
  }
  for (int line = 0; line < kSelectTextLines; ++line) {
    if (!HitTest(pointer, p.line[line])) continue;
    const int i = p.firstShown + line;
    if (i < p.SelectTextCount) {
      p.SelectTextResult = kSelectTextChosen;
      p.SelectedTextIndex = static_cast<uint8_t>(i);
      char* chosen = p.SelectTextEntries[i];
      if (i != 0) CopyText(chosen, p.SelectTextEntries[0], kSelectTextEntryCapacity);
      ReturnToCaller(a.ui.pages, p.answer, kCallConfirmed, p.SelectTextReturnPage);
    }
    break;
  }
  if (HitTest(pointer, p.image[kSelectTextCancel])) {
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
