#include "ui/pages/alpha_keyboard_page.h"

#include "ui/page_context.h"
#include "storage/text.h"
#include "ui/pages.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {

namespace {

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

void DrawKeys(PageContext& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  if (!k.keyCap || !k.keyLabel) return;
  for (int i = 0; i < kKeyCount; ++i) {
    k.keyCap->x = static_cast<uint16_t>(KeyX(i));
    k.keyCap->y = static_cast<uint16_t>(KeyY(i));
    DrawImage(a, k.keyCap);
    const char label[2] = {k.state.keySet[i], 0};
    if (!label[0]) continue;
    k.keyLabel->x = static_cast<uint16_t>(KeyX(i));
    k.keyLabel->y = static_cast<uint16_t>(KeyY(i) + kKeyLabelDrop);
    DrawTextControl(a.frame, k.keyLabel, label);
  }
}

// The entry's end where all of it does not fit its box (a long path): the
// end is where typing goes on.
const char* EntryShown(const AlphaKeyboard& k) {
  const TextControl* box = k.text[kAlphaEntry];
  const char* shown = k.EnteredText;
  while (box && *shown && TextWidth(box->font, reinterpret_cast<const uint8_t*>(shown)) > box->w) ++shown;
  return shown;
}

void ShowEnteredText(PageContext& a) {
  ShowText(a, a.ui.keyboards.alpha.text[kAlphaEntry], EntryShown(a.ui.keyboards.alpha));
}

void SetPicture(PageContext& a, ImageControl* control, uint16_t picture) {
  if (!control) return;
  control->pictureIndex = picture;
  DrawImage(a, control);
}

// Letters mode: capitals (shift 1) or small letters, keys and shift key shown.
void ShowLetters(PageContext& a, uint8_t shift) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  k.state.shift = shift;
  BuildKeySet(k.state.keySet, a.setup.keyboardLayout, 0, shift);
  SetPicture(a, k.image[kAlphaShift], shift ? kShiftCapitalsPicture : kShiftSmallPicture);
  DrawKeys(a);
}

void Backspace(PageContext& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  if (k.state.length == 0) return;
  k.state.length -= 1;
  k.EnteredText[k.state.length] = 0;
  ShowEnteredText(a);
}

void ReturnText(PageContext& a, uint8_t result) {
  a.ui.keyboards.alpha.TextResult = result;
  a.ui.pages.CurrentPage = a.ui.keyboards.alpha.TextReturnPage;
}

// The key under the pointer, or -1.
int KeyAtPointer(const PageContext& a) {
  const int px = a.input.PointerEvent.x;
  const int py = a.input.PointerEvent.y;
  for (int i = 0; i < kKeyCount; ++i) {
    if (px >= KeyX(i) && px < KeyX(i) + kKeyWidth && py >= KeyY(i) && py < KeyY(i) + kKeyHeight) {
      return i;
    }
  }
  return -1;
}

}  // namespace

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

constexpr const char* kNameHint =
    "Names you give end in \"~\", added for you: it keeps them apart from the update server's files.";

static void AlphaKeyboardInit(PageContext& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  PageLoader load(a.ui.controls, a.storage, kAlphaKeyboardRecord.page);
  k.image[kAlphaTitleBar] = load.Image();
  k.text[kAlphaTitle] = load.Text();
  for (int i = kAlphaCancel; i <= kAlphaEntryFrame; ++i) k.image[i] = load.Image();
  k.text[kAlphaEntry] = load.Text();
  k.image[kAlphaBackspace] = load.Image();
  k.image[kAlphaTilde] = load.Image();
  load.Finish();

  k.keyCap = NextImageSlot(a.ui.controls);
  *k.keyCap = ImageControl{static_cast<uint16_t>(KeyX(0)), static_cast<uint16_t>(KeyY(0)),
                           kKeyWidth, kKeyHeight, kSourcePageFile, kKeyCapPicture};
  k.keyLabel = NextTextSlot(a.ui.controls);
  *k.keyLabel = TextControl{static_cast<uint16_t>(KeyX(0)),
                            static_cast<uint16_t>(KeyY(0) + kKeyLabelDrop),
                            kKeyWidth, kKeyHeight, 0, kKeyLabelFlags, 0xFFFF, 0x0000};

  a.input.KeyQueue.count = 0;  // keys typed before the page opened are not for it
  k.state.symbolsMode = 0;
  k.state.shift = 1;
  k.state.length = 0;
  BuildKeySet(k.state.keySet, a.setup.keyboardLayout, 0, 1);
  for (char& c : k.EnteredText) c = 0;
  // a name being changed starts as it is; typing goes on behind it
  CopyText(k.startText, k.EnteredText, kEnteredTextCapacity);
  k.state.length = static_cast<uint8_t>(TextLength(k.EnteredText));
}

static void AlphaKeyboardDraw(PageContext& a) {
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  DrawTextControl(a.frame, k.text[kAlphaEntry], EntryShown(k));
  DrawKeys(a);
  if (k.nameHint) {
    static const TextControl kHint{0, 392, kFrameWidth, 20, 0, kTextCentred | kTextNoBackground, 0x8B8C, 0xFFFF};
    DrawTextControl(a.frame, &kHint, kNameHint);
  }
}

void AddCharacter(PageContext& a, char c) {
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

static void AlphaKeyboardTimer(PageContext& a) {
  DrainKeyQueue(a.input.KeyQueue, a.ui.pages, kAlphaKeyboardPage, [&a](uint8_t c) {
    switch (c) {
      case kKeyBackspace: Backspace(a); break;
      case kKeyEnter: ReturnText(a, kKeyboardConfirmed); break;  // no minimum-length test
      case kKeyCancel: ReturnText(a, kKeyboardCancelled); break;
      case 0: break;  // would end the text early while length counts on
      default: AddCharacter(a, static_cast<char>(c)); break;
    }
  });
}

static void AlphaKeyboardPointer(PageContext& a) {
  if (a.input.PointerEvent.state != kPointerPressed) return;
  AlphaKeyboard& k = a.ui.keyboards.alpha;
  KeyboardState& s = k.state;

  if (HitTest(a.input.PointerEvent, k.image[kAlphaOk])) {
    if (s.length < k.TextMinLength) {
      ShowText(a, k.text[kAlphaEntry], kTooFewCharacters);
    } else {
      ReturnText(a, kKeyboardConfirmed);
    }
  }
  if (HitTest(a.input.PointerEvent, k.image[kAlphaCancel])) ReturnText(a, kKeyboardCancelled);
  if (HitTest(a.input.PointerEvent, k.image[kAlphaShift])) {
    if (s.symbolsMode) {
      s.shift = s.shift ? 0 : 1;
      BuildKeySet(s.keySet, a.setup.keyboardLayout, 1, s.shift);
      SetPicture(a, k.image[kAlphaShift], s.shift ? kShiftFirstSetPicture : kShiftSecondSetPicture);
      DrawKeys(a);
    } else {
      ShowLetters(a, s.shift ? 0 : 1);
    }
  }
  if (HitTest(a.input.PointerEvent, k.image[kAlphaLettersSymbols])) {
    if (s.symbolsMode) {
      s.symbolsMode = 0;
      SetPicture(a, k.image[kAlphaLettersSymbols], kSwitchInLettersPicture);
      ShowLetters(a, 1);
    } else {
      s.symbolsMode = 1;
      s.shift = 1;
      BuildKeySet(s.keySet, a.setup.keyboardLayout, 1, 1);
      SetPicture(a, k.image[kAlphaLettersSymbols], kSwitchInSymbolsPicture);
      SetPicture(a, k.image[kAlphaShift], kShiftFirstSetPicture);
      DrawKeys(a);
    }
  }
  if (HitTest(a.input.PointerEvent, k.image[kAlphaSpace])) AddCharacter(a, ' ');
  if (HitTest(a.input.PointerEvent, k.image[kAlphaBackspace])) Backspace(a);
  const int key = KeyAtPointer(a);
  if (key >= 0 && s.keySet[key]) AddCharacter(a, s.keySet[key]);
  if (HitTest(a.input.PointerEvent, k.image[kAlphaTilde])) AddCharacter(a, '~');
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kAlphaKeyboardFixedImages[] = {kAlphaCancel, kAlphaOk, kAlphaSpace, kAlphaShift, kAlphaLettersSymbols, kAlphaEntryFrame, kAlphaBackspace, kAlphaTilde, kEndOfRoles};

const PageUnit<PageContext> kAlphaKeyboardRecord = {
    {
        "TA PageKeyboardAlphaNumeric",  // page file
        "Keyboard Entry",  // title
        kAlphaKeyboardFixedImages,  // fixed images
    },
    AlphaKeyboardInit,  // init
    AlphaKeyboardTimer,  // timer
    AlphaKeyboardPointer,  // pointer
    AlphaKeyboardDraw,  // draw
};

}  // namespace trelvan
