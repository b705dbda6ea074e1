#include "ui/pages/keyboard_pages.h"

#include "ui/page_context.h"
#include "storage/text.h"
#include "ui/pages.h"

namespace trelvan {

// Redraws a text control on its own: a control without a background of its
// own is wiped first, so no glyph of the old text stays.
void ShowText(PageContext& a, const TextControl* control, const char* text) {
  if (!control) return;
  if (control->flags & kTextNoBackground) EraseControl(a.frame, control);
  DrawTextControl(a.frame, control, text);
}

void RequestText(PageContext& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                 int32_t returnPage) {
  KeyboardPages& k = a.ui.keyboards;
  CopyText(tag, k.TextRequestTag, kRequestTagCapacity);
  k.TextRequested = 1;
  k.alpha.TextMaxLength = maxLength;
  k.alpha.TextMinLength = minLength;
  k.alpha.TextReturnPage = returnPage;
  k.alpha.startText[0] = 0;
  k.alpha.nameHint = 0;
  a.ui.pages.CurrentPage = kAlphaKeyboardPage;
}

void RequestTextFrom(PageContext& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                     int32_t returnPage, const char* start) {
  RequestText(a, tag, maxLength, minLength, returnPage);
  const uint16_t most = maxLength + 1 < kEnteredTextCapacity ? maxLength + 1 : kEnteredTextCapacity;
  CopyText(start, a.ui.keyboards.alpha.startText, most);
}

void RequestName(PageContext& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                 int32_t returnPage, const char* current) {
  RequestText(a, tag, maxLength, minLength, returnPage);
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  uint16_t n = TextLength(current);
  while (n > 0 && current[n - 1] == '~') --n;
  if (n > maxLength) n = maxLength;
  if (n > kEnteredTextCapacity - 1) n = kEnteredTextCapacity - 1;
  CopyBytes(current, k.startText, n);
  k.startText[n] = 0;
  k.nameHint = 1;
}

void RequestNumber(PageContext& a, const char* tag, const char* prompt, int32_t min,
                   const char* minText, int32_t max, const char* maxText, int32_t value,
                   int32_t returnPage) {
  KeyboardPages& k = a.ui.keyboards;
  CopyText(tag, k.TextRequestTag, kRequestTagCapacity);
  k.TextRequested = 1;
  NumericKeyboard& n = k.numeric;
  CopyText(prompt, n.NumberPrompt, kNumberPromptCapacity);
  CopyText(minText, n.NumberMinText, kNumberLimitCapacity);
  CopyText(maxText, n.NumberMaxText, kNumberLimitCapacity);
  n.NumberMin = min;
  n.NumberMax = max;
  n.NumberValue = value;
  n.NumberReturnPage = returnPage;
  a.ui.pages.CurrentPage = kNumericKeyboardPage;
}

namespace {

int TakeConfirmed(KeyboardPages& k, uint8_t& result) {
  if (!k.TextRequested) return 0;
  k.TextRequested = 0;
  if (result != kKeyboardConfirmed) return 0;
  result = kKeyboardNoResult;
  return 1;
}

}  // namespace

bool TakeConfirmedText(PageContext& a) { return TakeConfirmed(a.ui.keyboards, a.ui.keyboards.alpha.TextResult); }

bool TakeConfirmedNumber(PageContext& a) {
  return TakeConfirmed(a.ui.keyboards, a.ui.keyboards.numeric.NumberResult);
}

bool RequestTagIs(const PageContext& a, const char* tag) {
  return CompareText(a.ui.keyboards.TextRequestTag, tag, kRequestTagCapacity) == 0;
}

}  // namespace trelvan
