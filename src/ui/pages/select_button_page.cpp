#include "ui/pages/select_button_page.h"

#include "ui/page_context.h"
#include "ui/pages.h"

namespace trelvan {

namespace {

constexpr uint16_t kButtonWidth = 60;
constexpr uint16_t kButtonHeight = 40;
constexpr uint16_t kGridLeft = 180;
constexpr uint16_t kGridTop = 20;
constexpr uint16_t kColumnStep = 65;
constexpr uint16_t kRowStep = 42;

}  // namespace

void RequestSelectButton(PageContext& a, int16_t returnPage) {
  a.ui.selectButton.SelectButtonReturnPage = returnPage;
  a.ui.selectButton.answer = kCallNone;
  a.ui.pages.CurrentPage = kSelectButtonPage;
}

CallResult TakeSelectedButton(PageContext& a, uint16_t* button) {
  SelectButtonPage& p = a.ui.selectButton;
  const CallResult result = TakeAnswer(p.answer);
  if (result == kCallConfirmed && button) *button = p.SelectedButton;
  return result;
}

static void SelectButtonInit(PageContext& a) {
  SelectButtonPage& p = a.ui.selectButton;
  PageLoader load(a.ui.controls, a.storage, kSelectButtonRecord.page);
  p.image[kSelectButtonSideBar] = load.Image();
  p.title = load.Text();
  p.image[kSelectButtonBack] = load.Image();
  load.Finish();
  for (int k = 0; k < kButtonGridCount; ++k) {
    p.button[k] = ImageControl{
        static_cast<uint16_t>(kGridLeft + kColumnStep * (k % kButtonGridColumns)),
        static_cast<uint16_t>(kGridTop + kRowStep * (k / kButtonGridColumns)),
        kButtonWidth, kButtonHeight, kSourceButtons, static_cast<uint16_t>(k)};
  }
}

static void SelectButtonDraw(PageContext& a) {
  SelectButtonPage& p = a.ui.selectButton;
  int drawn = 0;
  while (drawn < kButtonGridCount && DrawImageControl(a.ui.controls, a.frame, a.storage, &p.button[drawn])) ++drawn;
  p.ButtonCount = static_cast<uint8_t>(drawn);
}

static void SelectButtonPointer(PageContext& a) {
  SelectButtonPage& p = a.ui.selectButton;
  if (a.input.PointerEvent.state != kPointerPressed) return;
  if (HitTest(a.input.PointerEvent, p.image[kSelectButtonBack])) {
    ReturnToCaller(a.ui.pages, p.answer, kCallCancelled, p.SelectButtonReturnPage);
  }
  for (int k = 0; k < p.ButtonCount && k < kButtonGridCount; ++k) {
    if (HitTest(a.input.PointerEvent, &p.button[k])) {
      p.SelectedButton = static_cast<uint16_t>(k);
      ReturnToCaller(a.ui.pages, p.answer, kCallConfirmed, p.SelectButtonReturnPage);
    }
  }
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kSelectButtonFixedImages[] = {kSelectButtonBack, kEndOfRoles};

const PageUnit<PageContext> kSelectButtonRecord = {
    {
        "TA PageSelectButton",  // page file
        "Select Button",  // title
        kSelectButtonFixedImages,  // fixed images
    },
    SelectButtonInit,  // init
    nullptr,  // timer
    SelectButtonPointer,  // pointer
    SelectButtonDraw,  // draw
};

}  // namespace trelvan
