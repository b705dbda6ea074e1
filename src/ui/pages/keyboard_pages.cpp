#include "ui/pages/keyboard_pages.h"

#include "shell/assistant.h"
#include "storage/text.h"
#include "ui/pages.h"

namespace trelvan {

namespace {

// ======== shared ========

// Redraws a text control on its own: a control without a background of its
// own is wiped first, so no glyph of the old text stays.
void ShowText(Assistant& a, const TextControl* control, const char* text) {
  if (!control) return;
  if (control->flags & kTextNoBackground) EraseControl(a.frame, control);
  DrawTextControl(a.frame, control, text);
}

// A caller's text drawn from a terminated copy, whatever the caller left.
void DrawBoundedText(Assistant& a, const TextControl* control, const char* text, uint16_t n) {
  char copy[kNumberPromptCapacity];
  CopyText(text, copy, n < kNumberPromptCapacity ? n : uint16_t{kNumberPromptCapacity});
  DrawTextControl(a.frame, control, copy);
}

// The queued PC keys, oldest first; the queue is empty afterwards.
template <typename Handle>
void DrainKeyQueue(Assistant& a, int32_t page, Handle handle) {
  KeyQueueRecord& q = a.shell.KeyQueue;
  int count = q.count;
  if (count > kKeyQueueCapacity) count = kKeyQueueCapacity;
  for (int i = 0; i < count; ++i) {
    handle(q.keys[i]);
    if (a.ui.pages.CurrentPage != page) break;  // confirmed or cancelled: the rest is dropped
  }
  q.count = 0;
}

// ======== alphanumeric keyboard ========

constexpr int kKeyRowLength = 10;
constexpr int kKeysLeft = 240;
constexpr int kKeysTop = 140;
constexpr int kKeyLabelDrop = 11;
constexpr uint16_t kKeyCapPicture = 2;
constexpr uint16_t kKeyLabelFlags = 0x52;

// image 4: the shift key's picture for each state
constexpr uint16_t kShiftSmallPicture = 4;
constexpr uint16_t kShiftCapitalsPicture = 5;
constexpr uint16_t kShiftFirstSetPicture = 6;
constexpr uint16_t kShiftSecondSetPicture = 7;
// image 5: the letters/symbols switch
constexpr uint16_t kSwitchInLettersPicture = 1;
constexpr uint16_t kSwitchInSymbolsPicture = 0;

constexpr const char* kCapitalsAlphabetic = "ABCDEFGHIJKLMNOPQRSTUVWXYZ.";
constexpr const char* kSmallAlphabetic = "abcdefghijklmnopqrstuvwxyz.";
constexpr const char* kCapitalsQwerty = "QWERTYUIOPASDFGHJKL:ZXCVBNM";
constexpr const char* kSmallQwerty = "qwertyuiopasdfghjkl;zxcvbnm";
constexpr const char* kFirstSymbolSet = "1234567890!@#$%^&*()_-+',.?";
// The second set's first 23 keys; keys 23 and 24 are a double quote and a
// backslash, 25 and 26 keep the first set's "." and "?".
constexpr const char* kSecondSymbolSet = "1234567890~:^={}|/<>`[]";

constexpr const char* kTooFewCharacters = "Error-To Few Characters";

// One character is always left for the zero.
constexpr int kEnteredTextMost = kEnteredTextCapacity - 1;

int TextIsFull(const AlphaKeyboard& k) {
  return k.state.length >= k.TextMaxLength || k.state.length >= kEnteredTextMost;
}

void DrawKeys(Assistant& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  if (!k.keyCap || !k.keyLabel) return;
  for (int i = 0; i < kKeyCount; ++i) {
    k.keyCap->x = static_cast<uint16_t>(KeyX(i));
    k.keyCap->y = static_cast<uint16_t>(KeyY(i));
    DrawImageControl(a.ui.controls, a.frame, a.storage, k.keyCap);
    const char label[2] = {k.state.keySet[i], 0};
    if (!label[0]) continue;
    k.keyLabel->x = static_cast<uint16_t>(KeyX(i));
    k.keyLabel->y = static_cast<uint16_t>(KeyY(i) + kKeyLabelDrop);
    DrawTextControl(a.frame, k.keyLabel, label);
  }
}

void ShowEnteredText(Assistant& a) {
  ShowText(a, a.ui.keyboards.alpha.text[1], a.ui.keyboards.alpha.EnteredText);
}

void SetPicture(Assistant& a, ImageControl* control, uint16_t picture) {
  if (!control) return;
  control->pictureIndex = picture;
  DrawImageControl(a.ui.controls, a.frame, a.storage, control);
}

// Letters mode: capitals (shift 1) or small letters, keys and shift key shown.
void ShowLetters(Assistant& a, uint8_t shift) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  k.state.shift = shift;
  BuildKeySet(k.state.keySet, a.setup.keyboardLayout, 0, shift);
  SetPicture(a, k.image[4], shift ? kShiftCapitalsPicture : kShiftSmallPicture);
  DrawKeys(a);
}

void Backspace(Assistant& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  if (k.state.length == 0) return;
  k.state.length -= 1;
  k.EnteredText[k.state.length] = 0;
  ShowEnteredText(a);
}

void ReturnText(Assistant& a, uint8_t result) {
  a.ui.keyboards.alpha.TextResult = result;
  a.ui.pages.CurrentPage = a.ui.keyboards.alpha.TextReturnPage;
}

// The key under the pointer, or -1.
int KeyAtPointer(const Assistant& a) {
  const int px = a.shell.PointerEvent.x;
  const int py = a.shell.PointerEvent.y;
  for (int i = 0; i < kKeyCount; ++i) {
    if (px >= KeyX(i) && px < KeyX(i) + kKeyWidth && py >= KeyY(i) && py < KeyY(i) + kKeyHeight) {
      return i;
    }
  }
  return -1;
}

// ======== numeric keyboard ========

constexpr int kNumberTextMost = kNumberTextCapacity - 1;
constexpr const char* kValueTooLow = "Error - Value too low";
constexpr const char* kValueTooHigh = "Error - Value too high";

void AppendNumberCharacter(Assistant& a, char c) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  const uint16_t length = TextLength(n.NumberText);
  if (length >= kNumberTextMost) return;
  n.NumberText[length] = c;
  n.NumberText[length + 1] = 0;
  ShowText(a, n.text[6], n.NumberText);
}

void RemoveNumberCharacter(Assistant& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  const uint16_t length = TextLength(n.NumberText);
  if (length == 0) return;
  n.NumberText[length - 1] = 0;
  ShowText(a, n.text[6], n.NumberText);
}

void ConfirmNumber(Assistant& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  const int32_t v = ParseNumber(n.NumberText);
  n.NumberValue = v;
  if (v < n.NumberMin) ShowText(a, n.text[6], kValueTooLow);
  if (v > n.NumberMax) {
    ShowText(a, n.text[6], kValueTooHigh);
  } else if (v >= n.NumberMin) {
    n.NumberResult = kKeyboardConfirmed;
    a.ui.pages.CurrentPage = n.NumberReturnPage;
  }
}

void CancelNumber(Assistant& a) {
  a.ui.keyboards.numeric.NumberResult = kKeyboardCancelled;
  a.ui.pages.CurrentPage = a.ui.keyboards.numeric.NumberReturnPage;
}

int IsNumberCharacter(uint8_t c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }

}  // namespace

// ======== alphanumeric keyboard ========

int KeyX(int k) { return kKeysLeft + kKeyWidth * (k % kKeyRowLength); }
int KeyY(int k) { return kKeysTop + kKeyHeight * (k / kKeyRowLength); }

void BuildKeySet(char* keySet, uint8_t keyboardLayout, uint8_t symbolsMode, uint8_t shift) {
  if (symbolsMode) {
    CopyText(kFirstSymbolSet, keySet, kKeySetCapacity);
    if (!shift) {
      CopyText(kSecondSymbolSet, keySet, kKeySetCapacity);
      keySet[23] = '"';
      keySet[24] = '\\';
      keySet[25] = '.';
      keySet[26] = '?';
      keySet[27] = 0;
    }
    return;
  }
  const char* letters = keyboardLayout ? (shift ? kCapitalsQwerty : kSmallQwerty)
                                       : (shift ? kCapitalsAlphabetic : kSmallAlphabetic);
  CopyText(letters, keySet, kKeySetCapacity);
}

static void AlphaKeyboardInit(Assistant& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  PageLoader load(a.ui.controls, a.storage, kAlphaKeyboardRecord);
  k.image[0] = load.Image();
  k.text[0] = load.Text();
  for (int i = 1; i <= 6; ++i) k.image[i] = load.Image();
  k.text[1] = load.Text();
  k.image[7] = load.Image();
  k.image[8] = load.Image();
  load.Finish();

  k.keyCap = NextImageSlot(a.ui.controls);
  *k.keyCap = ImageControl{static_cast<uint16_t>(KeyX(0)), static_cast<uint16_t>(KeyY(0)),
                           kKeyWidth, kKeyHeight, kSourcePageFile, kKeyCapPicture};
  k.keyLabel = NextTextSlot(a.ui.controls);
  *k.keyLabel = TextControl{static_cast<uint16_t>(KeyX(0)),
                            static_cast<uint16_t>(KeyY(0) + kKeyLabelDrop),
                            kKeyWidth, kKeyHeight, 0, kKeyLabelFlags, 0xFFFF, 0x0000};

  a.shell.KeyQueue.count = 0;  // keys typed before the page opened are not for it
  k.state.symbolsMode = 0;
  k.state.shift = 1;
  k.state.length = 0;
  BuildKeySet(k.state.keySet, a.setup.keyboardLayout, 0, 1);
  for (char& c : k.EnteredText) c = 0;
  a.ui.pages.initialised[kAlphaKeyboardPage] = 1;
}

static void AlphaKeyboardDraw(Assistant& a, int full) {
  if (!full) return;
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  AlphaKeyboardInit(a);
  DrawPageFrame(a, kAlphaKeyboardRecord, k.image[0], k.text[0]);
  for (int i = 1; i <= 8; ++i) DrawImageControl(a.ui.controls, a.frame, a.storage, k.image[i]);
  DrawTextControl(a.frame, k.text[1], k.EnteredText);
  DrawKeys(a);
}

void AddCharacter(Assistant& a, char c) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  if (TextIsFull(k)) return;
  k.EnteredText[k.state.length] = c;
  k.state.length += 1;
  ShowEnteredText(a);
  if (k.state.symbolsMode) return;
  if (c == ' ') {
    ShowLetters(a, 1);  // each word starts with a capital
  } else if (k.state.shift) {
    ShowLetters(a, 0);  // one capital, then small letters
  }
}

static void AlphaKeyboardTimer(Assistant& a) {
  DrainKeyQueue(a, kAlphaKeyboardPage, [&a](uint8_t c) {
    switch (c) {
      case kKeyBackspace: Backspace(a); break;
      case kKeyEnter: ReturnText(a, kKeyboardConfirmed); break;  // no minimum-length test
      case kKeyCancel: ReturnText(a, kKeyboardCancelled); break;
      case 0: break;  // would end the text early while length counts on
      default: AddCharacter(a, static_cast<char>(c)); break;
    }
  });
}

static void AlphaKeyboardPointer(Assistant& a) {
  if (a.shell.PointerEvent.state != kPointerPressed) return;
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  KeyboardState& s = k.state;

  if (HitTest(a.shell.PointerEvent, k.image[2])) {  // OK
    if (s.length < k.TextMinLength) {
      ShowText(a, k.text[1], kTooFewCharacters);
    } else {
      ReturnText(a, kKeyboardConfirmed);
    }
  }
  if (HitTest(a.shell.PointerEvent, k.image[1])) ReturnText(a, kKeyboardCancelled);  // cancel
  if (HitTest(a.shell.PointerEvent, k.image[4])) {  // shift
    if (s.symbolsMode) {
      s.shift = s.shift ? 0 : 1;
      BuildKeySet(s.keySet, a.setup.keyboardLayout, 1, s.shift);
      SetPicture(a, k.image[4], s.shift ? kShiftFirstSetPicture : kShiftSecondSetPicture);
      DrawKeys(a);
    } else {
      ShowLetters(a, s.shift ? 0 : 1);
    }
  }
  if (HitTest(a.shell.PointerEvent, k.image[5])) {  // letters/symbols
    if (s.symbolsMode) {
      s.symbolsMode = 0;
      SetPicture(a, k.image[5], kSwitchInLettersPicture);
      ShowLetters(a, 1);
    } else {
      s.symbolsMode = 1;
      s.shift = 1;
      BuildKeySet(s.keySet, a.setup.keyboardLayout, 1, 1);
      SetPicture(a, k.image[5], kSwitchInSymbolsPicture);
      SetPicture(a, k.image[4], kShiftFirstSetPicture);
      DrawKeys(a);
    }
  }
  if (HitTest(a.shell.PointerEvent, k.image[3])) AddCharacter(a, ' ');  // space
  if (HitTest(a.shell.PointerEvent, k.image[7])) Backspace(a);
  const int key = KeyAtPointer(a);
  if (key >= 0 && s.keySet[key]) AddCharacter(a, s.keySet[key]);
  if (HitTest(a.shell.PointerEvent, k.image[8])) AddCharacter(a, '~');
}

// ======== numeric keyboard ========

static void NumericKeyboardInit(Assistant& a) {
  NumericKeyboard& n = a.ui.keyboards.numeric;
  PageLoader load(a.ui.controls, a.storage, kNumericKeyboardRecord);
  n.image[0] = load.Image();
  n.text[0] = load.Text();
  for (int i = 1; i <= 14; ++i) n.image[i] = load.Image();
  for (int i = 1; i <= 5; ++i) n.text[i] = load.Text();
  n.image[15] = load.Image();
  n.image[16] = load.Image();
  n.text[6] = load.Text();
  load.Finish();
  for (char& c : n.NumberText) c = 0;
  a.ui.pages.initialised[kNumericKeyboardPage] = 1;
}

static void NumericKeyboardDraw(Assistant& a, int full) {
  if (!full) return;
  NumericKeyboard& n = a.ui.keyboards.numeric;
  NumericKeyboardInit(a);
  DrawPageFrame(a, kNumericKeyboardRecord, n.image[0], n.text[0]);
  for (int i = 1; i <= 14; ++i) DrawImageControl(a.ui.controls, a.frame, a.storage, n.image[i]);
  DrawTextControl(a.frame, n.text[3], "Min.");
  DrawTextControl(a.frame, n.text[4], "");
  DrawTextControl(a.frame, n.text[5], "Max.");
  DrawImageControl(a.ui.controls, a.frame, a.storage, n.image[15]);
  DrawImageControl(a.ui.controls, a.frame, a.storage, n.image[16]);
  DrawTextControl(a.frame, n.text[6], "Value");
  DrawBoundedText(a, n.text[0], n.NumberPrompt, kNumberPromptCapacity);
  DrawBoundedText(a, n.text[2], n.NumberMinText, kNumberLimitCapacity);
  DrawBoundedText(a, n.text[1], n.NumberMaxText, kNumberLimitCapacity);
}

static void NumericKeyboardTimer(Assistant& a) {
  DrainKeyQueue(a, kNumericKeyboardPage, [&a](uint8_t c) {
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

static void NumericKeyboardPointer(Assistant& a) {
  if (a.shell.PointerEvent.state != kPointerPressed) return;
  NumericKeyboard& n = a.ui.keyboards.numeric;
  for (int d = 0; d <= 9; ++d) {
    if (HitTest(a.shell.PointerEvent, n.image[1 + d])) AppendNumberCharacter(a, static_cast<char>('0' + d));
  }
  if (HitTest(a.shell.PointerEvent, n.image[12])) AppendNumberCharacter(a, '.');
  if (HitTest(a.shell.PointerEvent, n.image[15])) AppendNumberCharacter(a, '-');
  if (HitTest(a.shell.PointerEvent, n.image[14])) RemoveNumberCharacter(a);
  if (HitTest(a.shell.PointerEvent, n.image[13])) ConfirmNumber(a);
  if (HitTest(a.shell.PointerEvent, n.image[11])) CancelNumber(a);
}

// ======== the callers' side ========

void RequestText(Assistant& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                 int32_t returnPage) {
  KeyboardPages& k = a.ui.keyboards;
  CopyText(tag, k.TextRequestTag, kRequestTagCapacity);
  k.TextRequested = 1;
  k.alpha.TextMaxLength = maxLength;
  k.alpha.TextMinLength = minLength;
  k.alpha.TextReturnPage = returnPage;
  a.ui.pages.CurrentPage = kAlphaKeyboardPage;
}

void RequestNumber(Assistant& a, const char* tag, const char* prompt, int32_t min,
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

int TakeConfirmedText(Assistant& a) { return TakeConfirmed(a.ui.keyboards, a.ui.keyboards.alpha.TextResult); }

int TakeConfirmedNumber(Assistant& a) {
  return TakeConfirmed(a.ui.keyboards, a.ui.keyboards.numeric.NumberResult);
}

int RequestTagIs(const Assistant& a, const char* tag) {
  return CompareText(a.ui.keyboards.TextRequestTag, tag, kRequestTagCapacity) == 0;
}

const PageHandlers kAlphaKeyboardRecord = {kAlphaKeyboardPage, "TA PageKeyboardAlphaNumeric", "Keyboard Entry", AlphaKeyboardInit, AlphaKeyboardTimer, AlphaKeyboardPointer, AlphaKeyboardDraw};

const PageHandlers kNumericKeyboardRecord = {kNumericKeyboardPage, "TA PageKeyboardNumeric", nullptr, NumericKeyboardInit, NumericKeyboardTimer, NumericKeyboardPointer, NumericKeyboardDraw};

}  // namespace trelvan
