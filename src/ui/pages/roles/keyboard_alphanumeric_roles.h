// The controls of the page file "TA PageKeyboardAlphaNumeric" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/keyboard_alphanumeric.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum AlphaImage : int {
  kAlphaTitleBar = 0,        // title bar
  kAlphaCancel = 1,          // cancel
  kAlphaOk = 2,              // OK
  kAlphaSpace = 3,           // space bar
  kAlphaShift = 4,           // shift (picture 4 to 7 by state)
  kAlphaLettersSymbols = 5,  // letters/symbols switch (picture 1 letters, 0 symbols)
  kAlphaEntryFrame = 6,      // entry field frame
  kAlphaBackspace = 7,       // backspace
  kAlphaTilde = 8,           // "~" key
  kAlphaImageCount = 9,
};

enum AlphaText : int {
  kAlphaTitle = 0,  // title
  kAlphaEntry = 1,  // entry field
  kAlphaTextCount = 2,
};

}  // namespace trelvan
