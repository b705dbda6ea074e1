// The alphanumeric keyboard (page 5): names and texts typed with the mouse
// on 27 on-screen keys or with the PC keyboard. Callers open it with
// RequestText (ui/pages/keyboard_pages.h).
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/keyboard_alphanumeric_roles.h"

namespace trelvan {

struct PageContext;

constexpr int kKeyWidth = 32;
constexpr int kKeyHeight = 41;

// Result codes of both keyboards.
enum KeyboardResult : uint8_t { kKeyboardNoResult = 0, kKeyboardConfirmed = 1, kKeyboardCancelled = 2 };

// Characters of the PC keyboard's queue with a meaning of their own.
constexpr uint8_t kKeyBackspace = 8;
constexpr uint8_t kKeyEnter = 13;
constexpr uint8_t kKeyCancel = 24;

struct KeyboardState {
  uint8_t symbolsMode;          /**< 0 letters, 1 symbols */
  uint8_t shift;                /**< letters: 1 capitals; symbols: 1 first set, 0 second set */
  uint8_t length;               /**< characters in EnteredText */
  char keySet[kKeySetCapacity]; /**< the characters now on the 27 keys */
};

struct AlphaKeyboard {
  ImageControl* image[kAlphaImageCount];
  TextControl* text[kAlphaTextCount];
  ImageControl* keyCap;    /**< run-time: moved to each key in turn */
  TextControl* keyLabel;   /**< run-time: the key's character, white, centred */

  uint8_t TextMaxLength;   /**< caller: most characters accepted */
  uint8_t TextMinLength;   /**< caller: fewest characters the OK control accepts */
  int32_t TextReturnPage;  /**< caller: page to return to */
  char EnteredText[kEnteredTextCapacity];  /**< the start text when the page starts */
  uint8_t TextResult;      /**< a KeyboardResult */
  char startText[kEnteredTextCapacity];  /**< caller: what the entry starts with (a name without its "~") */
  uint8_t nameHint;        /**< caller: 1 for a stored name, whose "~" the page explains */

  KeyboardState state;
};

// Appends c to EnteredText unless it is full; the first letter typed after
// capitals turns the keys to small letters, a space in letters mode back to
// capitals.
void AddCharacter(PageContext& a, char c);
// The 27 characters of a mode: symbolsMode 0 with shift 1 capitals, 0 small
// letters; symbolsMode 1 with shift 1 the first symbol set, 0 the second.
void BuildKeySet(char* keySet, uint8_t keyboardLayout, uint8_t symbolsMode, uint8_t shift);
// Top-left corner of key k (0..26): rows of 10, 10 and 7 keys.
int KeyX(int k);
int KeyY(int k);

// The page's handler record for the page table.
extern const PageUnit<PageContext> kAlphaKeyboardRecord;

}  // namespace trelvan
