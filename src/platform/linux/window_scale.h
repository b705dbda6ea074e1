// How large the Linux window is shown: the desktop's scale factor, so the
// 800 x 600 frame is not a quarter of what the user expects on a screen
// of high density. The program still draws 800 x 600; the window scales it.
#pragma once

namespace trelvan {

constexpr double kLargestWindowScale = 4.0;

// TRELVAN_SCALE when it is a number from 1 to 4 (1.5 allowed), else
// GDK_SCALE when it is a whole number from 1 to 4, else Xft.dpi / 96 when
// that is above 1 (xftDpi 0: unknown), else 1. Either text may be null.
double ChooseWindowScale(const char* trelvanScale, const char* gdkScale, int xftDpi);

// Whole factors scale pixel for pixel; others smoothly.
inline bool WholeScale(double scale) { return scale == static_cast<double>(static_cast<int>(scale)); }

}  // namespace trelvan
