#include "ui/pages/numeric_keyboard_page.h"

#include "ui/page_context.h"
#include "storage/text.h"
#include "ui/pages.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {

namespace {

// A caller's text drawn from a terminated copy, whatever the caller left.
void DrawBoundedText(PageContext& a, const TextControl* control, const char* text, uint16_t n) {
  char copy[kNumberPromptCapacity];
  CopyText(text, copy, n < kNumberPromptCapacity ? n : uint16_t{kNumberPromptCapacity});
  DrawTextControl(a.frame, control, copy);
}

constexpr int kNumberTextMost = kNumberTextCapacity - 1;
constexpr const char* kValueTooLow = "Error - Value too low";
constexpr const char* kValueTooHigh = "Error - Value too high";

void AppendNumberCharacter(PageContext& a, char c) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  const uint16_t length = TextLength(n.NumberText);
  if (length >= kNumberTextMost) return;
  n.NumberText[length] = c;
  n.NumberText[length + 1] = 0;
  ShowText(a, n.text[kNumericValue], n.NumberText);
}

void RemoveNumberCharacter(PageContext& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  const uint16_t length = TextLength(n.NumberText);
  if (length == 0) return;
  n.NumberText[length - 1] = 0;
  ShowText(a, n.text[kNumericValue], n.NumberText);
}

void ConfirmNumber(PageContext& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  const int32_t v = ParseNumber(n.NumberText);
  n.NumberValue = v;
  if (v < n.NumberMin) ShowText(a, n.text[kNumericValue], kValueTooLow);
  if (v > n.NumberMax) {
    ShowText(a, n.text[kNumericValue], kValueTooHigh);
  } else if (v >= n.NumberMin) {
    n.NumberResult = kKeyboardConfirmed;
    a.ui.pages.CurrentPage = n.NumberReturnPage;
  }
}

void CancelNumber(PageContext& a) {
  a.ui.keyboards.numeric.NumberResult = kKeyboardCancelled;
  a.ui.pages.CurrentPage = a.ui.keyboards.numeric.NumberReturnPage;
}

int IsNumberCharacter(uint8_t c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }

}  // namespace

static void NumericKeyboardInit(PageContext& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  PageLoader load(a.ui.controls, a.storage, kNumericKeyboardRecord.page);
  n.image[kNumericTitleBar] = load.Image();
  n.text[kNumericPrompt] = load.Text();
  for (int i = kNumericDigit0; i <= kNumericBackspace; ++i) n.image[i] = load.Image();
  for (int i = 1; i <= 5; ++i) n.text[i] = load.Text();
  n.image[kNumericMinus] = load.Image();
  n.image[kNumericValueFrame] = load.Image();
  n.text[kNumericValue] = load.Text();
  load.Finish();
  for (char& c : n.NumberText) c = 0;
}

static void NumericKeyboardDraw(PageContext& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  DrawTextControl(a.frame, n.text[kNumericMinLabel], "Min.");
  DrawTextControl(a.frame, n.text[kNumericEmptyLabel], "");
  DrawTextControl(a.frame, n.text[kNumericMaxLabel], "Max.");
  DrawTextControl(a.frame, n.text[kNumericValue], "Value");
  DrawBoundedText(a, n.text[kNumericPrompt], n.NumberPrompt, kNumberPromptCapacity);
  DrawBoundedText(a, n.text[kNumericMinimum], n.NumberMinText, kNumberLimitCapacity);
  DrawBoundedText(a, n.text[kNumericMaximum], n.NumberMaxText, kNumberLimitCapacity);
}

static void NumericKeyboardTimer(PageContext& a) {
  DrainKeyQueue(a.input.KeyQueue, a.ui.pages, kNumericKeyboardPage, [&a](uint8_t c) {
    if (c == kKeyBackspace) {
      RemoveNumberCharacter(a);
    } else if (c == kKeyEnter) {
      ConfirmNumber(a);
    } else if (c == kKeyCancel) {
      CancelNumber(a);
    } else if (IsNumberCharacter(c)) {
      AppendNumberCharacter(a, static_cast<char>(c));
    }
  });
}

static void NumericKeyboardPointer(PageContext& a) {
  if (a.input.PointerEvent.state != kPointerPressed) return;
  NumericKeyboard& n = a.ui.keyboards.numeric;
  for (int d = 0; d <= 9; ++d) {
    if (HitTest(a.input.PointerEvent, n.image[kNumericDigit0 + d])) AppendNumberCharacter(a, static_cast<char>('0' + d));
  }
  if (HitTest(a.input.PointerEvent, n.image[kNumericPoint])) AppendNumberCharacter(a, '.');
  if (HitTest(a.input.PointerEvent, n.image[kNumericMinus])) AppendNumberCharacter(a, '-');
  if (HitTest(a.input.PointerEvent, n.image[kNumericBackspace])) RemoveNumberCharacter(a);
  if (HitTest(a.input.PointerEvent, n.image[kNumericOk])) ConfirmNumber(a);
  if (HitTest(a.input.PointerEvent, n.image[kNumericCancel])) CancelNumber(a);
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kNumericKeyboardFixedImages[] = {kNumericDigit0, kNumericDigit1, kNumericDigit2, kNumericDigit3, kNumericDigit4, kNumericDigit5, kNumericDigit6, kNumericDigit7, kNumericDigit8, kNumericDigit9, kNumericCancel, kNumericPoint, kNumericOk, kNumericBackspace, kNumericMinus, kNumericValueFrame, kEndOfRoles};

const PageUnit<PageContext> kNumericKeyboardRecord = {
    {
        "TA PageKeyboardNumeric",  // page file
        nullptr,  // title
        kNumericKeyboardFixedImages,  // fixed images
    },
    NumericKeyboardInit,  // init
    NumericKeyboardTimer,  // timer
    NumericKeyboardPointer,  // pointer
    NumericKeyboardDraw,  // draw
};

}  // namespace trelvan
