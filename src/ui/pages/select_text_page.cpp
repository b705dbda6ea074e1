#include "ui/pages/select_text_page.h"

#include "shell/assistant.h"
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

void AddSelectText(Assistant& a, int k, const char* text) {
  SelectTextPage& p = a.selectText;
  if (k < 0 || k >= kSelectTextEntryCount) return;
  if (k == 0) {
    for (auto& entry : p.SelectTextEntries) entry[0] = 0;
    p.SelectTextCount = 0;
  }
  p.SelectTextCount = static_cast<uint8_t>(p.SelectTextCount + 1);
  CopyText(text, p.SelectTextEntries[k], kSelectTextEntryCapacity);
}

void SelectTextInit(Assistant& a) {
  SelectTextPage& p = a.selectText;
  PageLoader load(a, "TA PageSelectText");
  p.image[0] = load.Image();
  p.title = load.Text();
  for (int i = 1; i < kSelectTextImageCount; ++i) p.image[i] = load.Image();
  load.Finish();
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    p.line[i] = NextTextSlot(a.controls);
    *p.line[i] = TextControl{kLineX, static_cast<uint16_t>(kLineTop + kLineHeight * i), kLineWidth,
                             kLineHeight, 2, 0, 0x0000,
                             static_cast<uint16_t>(i % 2 ? kLightGrey : 0xFFFF)};
  }
  p.SelectTextResult = kSelectTextOpen;
  a.pages.initialised[kSelectTextPage] = 1;
}

void SelectTextDraw(Assistant& a, int full) {
  if (!full) return;
  SelectTextPage& p = a.selectText;
  SelectTextInit(a);
  DrawPageFrame(a, p.image[0], p.title, "Select Text");
  for (int i = 1; i < kSelectTextImageCount; ++i) DrawImageControl(a, p.image[i]);
  DrawImageControl(a, p.image[0]);
  DrawTextControl(a, p.title, p.SelectTextTitle);
  EraseControl(a, p.image[1]);
  EraseControl(a, p.image[2]);
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    DrawTextControl(a, p.line[i], p.SelectTextEntries[i]);
  }
}

void SelectTextPointer(Assistant& a) {
  SelectTextPage& p = a.selectText;
  if (a.shell.PointerEvent.state != kPointerPressed) return;
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    if (!HitTest(a, p.line[i])) continue;
    if (i < p.SelectTextCount) {
      p.SelectTextResult = kSelectTextChosen;
      p.SelectedTextIndex = static_cast<uint8_t>(i);
      char* chosen = p.SelectTextEntries[i];
      if (i != 0) CopyText(chosen, p.SelectTextEntries[0], kSelectTextEntryCapacity);
      a.pages.CurrentPage = p.SelectTextReturnPage;
    }
    break;
  }
  if (HitTest(a, p.image[3])) {
    p.SelectTextResult = kSelectTextCancelled;
    p.SelectTextEntries[0][0] = 0;
    a.pages.CurrentPage = p.SelectTextReturnPage;
  }
}

}  // namespace trelvan
