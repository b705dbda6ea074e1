// How large the Linux window is shown: the desktop's scale factor, so the
// 800 x 600 frame is not a quarter of what the user expects on a screen
// of high density. The program still draws 800 x 600; the window scales it.
#pragma once

#include "platform/window.h"

namespace trelvan {

// TRELVAN_SCALE when it is a number from 1 to 4 (1.5 allowed), else
// GDK_SCALE when it is a whole number from 1 to 4, else Xft.dpi / 96 when
// that is above 1 (xftDpi 0: unknown), else 1. Either text may be null.
double ChooseWindowScale(const char* trelvanScale, const char* gdkScale, int xftDpi);

}  // namespace trelvan
