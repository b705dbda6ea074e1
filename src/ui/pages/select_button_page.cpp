#include "ui/pages/select_button_page.h"

#include "shell/assistant.h"
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

void SelectButtonInit(Assistant& a) {
  SelectButtonPage& p = a.selectButton;
  PageLoader load(a, "TA PageSelectButton");
  p.image[0] = load.Image();
  p.title = load.Text();
  p.image[1] = load.Image();
  load.Finish();
  for (int k = 0; k < kButtonGridCount; ++k) {
    p.button[k] = ImageControl{
        static_cast<uint16_t>(kGridLeft + kColumnStep * (k % kButtonGridColumns)),
        static_cast<uint16_t>(kGridTop + kRowStep * (k / kButtonGridColumns)),
        kButtonWidth, kButtonHeight, kSourceButtons, static_cast<uint16_t>(k)};
  }
  a.pages.initialised[kSelectButtonPage] = 1;
}

void SelectButtonDraw(Assistant& a, int full) {
  if (!full) return;
  SelectButtonPage& p = a.selectButton;
  SelectButtonInit(a);
  DrawPageFrame(a, p.image[0], p.title, "Select Button");
  DrawImageControl(a, p.image[1]);
  int drawn = 0;
  while (drawn < kButtonGridCount && DrawImageControl(a, &p.button[drawn])) ++drawn;
  p.ButtonCount = static_cast<uint8_t>(drawn);
}

void SelectButtonPointer(Assistant& a) {
  SelectButtonPage& p = a.selectButton;
  if (a.shell.PointerEvent.state != kPointerPressed) return;
  if (HitTest(a, p.image[1])) a.pages.CurrentPage = p.SelectButtonReturnPage;
  for (int k = 0; k < p.ButtonCount && k < kButtonGridCount; ++k) {
    if (HitTest(a, &p.button[k])) {
      p.SelectedButton = static_cast<uint16_t>(k);
      a.pages.CurrentPage = p.SelectButtonReturnPage;
    }
  }
}

}  // namespace trelvan
