// The controls of the page file "TA PageSelectText" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/select_text.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum SelectTextImage : int {
  kSelectTextTitleBar = 0,  // title bar
  kSelectTextSpare1 = 1,    // not offered: under the title bar, no box
  kSelectTextSpare2 = 2,    // not offered: under the title bar, no box
  kSelectTextCancel = 3,    // cancel
  kSelectTextUp = 4,        // previous lines, while there are
  kSelectTextDown = 5,      // next lines, while there are
  kSelectTextType = 6,      // type instead, where offered
  kSelectTextImageCount = 7,
};

enum SelectTextText : int {
  kSelectTextTitle = 0,  // title
  kSelectTextTextCount = 1,
};

}  // namespace trelvan
