// The two keyboard pages, called by other pages to enter data with the mouse
// or the PC keyboard: the alphanumeric keyboard (page 5) for names and texts,
// the numeric keyboard (page 9) for a whole number between two limits.
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"

namespace trelvan {

struct Assistant;

constexpr int kKeyWidth = 32;
constexpr int kKeyHeight = 41;
constexpr int kAlphaImageCount = 9;
constexpr int kAlphaTextCount = 2;

constexpr int kNumericImageCount = 17;
constexpr int kNumericTextCount = 7;


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
  char EnteredText[kEnteredTextCapacity];  /**< emptied when the page starts */
  uint8_t TextResult;      /**< a KeyboardResult */

  KeyboardState state;
};

struct NumericKeyboard {
  ImageControl* image[kNumericImageCount];
  TextControl* text[kNumericTextCount];

  char NumberPrompt[kNumberPromptCapacity];   /**< caller: shown in text 0 */
  char NumberMinText[kNumberLimitCapacity];   /**< caller: shown in text 2 */
  char NumberMaxText[kNumberLimitCapacity];   /**< caller: shown in text 1 */
  int32_t NumberMin, NumberMax;               /**< caller: accepted range, ends included */
  int32_t NumberReturnPage;                   /**< caller: page to return to */
  int32_t NumberValue;                        /**< the value accepted (the caller may preset) */
  uint8_t NumberResult;                       /**< a KeyboardResult */
  char NumberText[kNumberTextCapacity];       /**< typed so far; emptied when the page starts */
};

struct KeyboardPages {
  AlphaKeyboard alpha;
  NumericKeyboard numeric;
  char TextRequestTag[kRequestTagCapacity];  /**< names the field a caller asked for */
  uint8_t TextRequested;                     /**< 1: a caller waits for a keyboard's result */
};

// ---- the alphanumeric keyboard (page 5) ----

// Appends c to EnteredText unless it is full; the first letter typed after
// capitals turns the keys to small letters, a space in letters mode back to
// capitals.
void AddCharacter(Assistant& a, char c);
// The 27 characters of a mode: symbolsMode 0 with shift 1 capitals, 0 small
// letters; symbolsMode 1 with shift 1 the first symbol set, 0 the second.
void BuildKeySet(char* keySet, uint8_t keyboardLayout, uint8_t symbolsMode, uint8_t shift);
// Top-left corner of key k (0..26): rows of 10, 10 and 7 keys.
int KeyX(int k);
int KeyY(int k);

// ---- the numeric keyboard (page 9) ----


// ---- the callers' side ----

// Opens the alphanumeric keyboard for the field named tag; returns to
// returnPage when the user confirms or cancels.
void RequestText(Assistant& a, const char* tag, uint8_t maxLength, uint8_t minLength,
                 int32_t returnPage);
// Opens the numeric keyboard for the field named tag. minText and maxText are
// the limits as shown; value is the preset NumberValue.
void RequestNumber(Assistant& a, const char* tag, const char* prompt, int32_t min,
                   const char* minText, int32_t max, const char* maxText, int32_t value,
                   int32_t returnPage);
// For the caller's timer handler: 1, once, when the request it made came back
// confirmed (EnteredText or NumberValue holds the entry); 0 otherwise. Either
// way an outstanding request is cleared.
int TakeConfirmedText(Assistant& a);
int TakeConfirmedNumber(Assistant& a);
// 1 when TextRequestTag names tag (compared over at most 25 characters).
int RequestTagIs(const Assistant& a, const char* tag);

// The page's handler record for the page table.
extern const PageHandlers kAlphaKeyboardRecord;

// The page's handler record for the page table.
extern const PageHandlers kNumericKeyboardRecord;

}  // namespace trelvan
