// The controls of the page file "TA PageKeyboardNumeric" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/keyboard_numeric.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum NumericImage : int {
  kNumericTitleBar = 0,     // title bar
  kNumericDigit0 = 1,       // digit 0
  kNumericDigit1 = 2,       // digit 1
  kNumericDigit2 = 3,       // digit 2
  kNumericDigit3 = 4,       // digit 3
  kNumericDigit4 = 5,       // digit 4
  kNumericDigit5 = 6,       // digit 5
  kNumericDigit6 = 7,       // digit 6
  kNumericDigit7 = 8,       // digit 7
  kNumericDigit8 = 9,       // digit 8
  kNumericDigit9 = 10,      // digit 9
  kNumericCancel = 11,      // cancel
  kNumericPoint = 12,       // "."
  kNumericOk = 13,          // OK
  kNumericBackspace = 14,   // backspace
  kNumericMinus = 15,       // "-"
  kNumericValueFrame = 16,  // value field frame
  kNumericImageCount = 17,
};

enum NumericText : int {
  kNumericPrompt = 0,      // prompt
  kNumericMaximum = 1,     // maximum
  kNumericMinimum = 2,     // minimum
  kNumericMinLabel = 3,    // label "Min."
  kNumericEmptyLabel = 4,  // empty label
  kNumericMaxLabel = 5,    // label "Max."
  kNumericValue = 6,       // value field
  kNumericTextCount = 7,
};

}  // namespace trelvan
