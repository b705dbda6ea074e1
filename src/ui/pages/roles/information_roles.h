// The controls of the page file "TA PageInformation" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/information.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum InfoImage : int {
  kInfoTitleBar = 0,  // title bar
  kInfoBadge = 1,     // badge
  kInfoYes = 2,       // Yes
  kInfoExit = 3,      // Exit (shown when there is no Yes or No)
  kInfoNo = 4,        // No
  kInfoImageCount = 5,
};

enum InfoText : int {
  kInfoTitle = 0,        // title
  kInfoYesCaption = 1,   // Yes caption
  kInfoExitCaption = 2,  // OK caption: closes the message
  kInfoNoCaption = 3,    // No caption
  kInfoTextCount = 4,
};

}  // namespace trelvan
