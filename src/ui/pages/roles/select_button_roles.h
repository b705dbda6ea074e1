// The controls of the page file "TA PageSelectButton" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/select_button.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum SelectButtonImage : int {
  kSelectButtonSideBar = 0,  // side bar
  kSelectButtonBack = 1,     // back
  kSelectButtonImageCount = 2,
};

enum SelectButtonText : int {
  kSelectButtonTitle = 0,  // title
  kSelectButtonTextCount = 1,
};

}  // namespace trelvan
