// The monitor's scale on Windows. The program's manifest declares it aware
// of each monitor's scale, so Windows leaves the scaling of the 800 x 600
// frame to the window service instead of stretching it blurred.
#pragma once

#include "platform/win32/win32_windows.h"

namespace trelvan {

constexpr UINT kDefaultDpi = 96;  // a scale of 100 %

// The dots per inch of the monitor that shows `window`, asked of the newest
// interface the system has: GetDpiForWindow (Windows 10), else
// GetDpiForMonitor (8.1), else the screen's LOGPIXELSX (the system's scale).
// The newer two are looked up at run time, so the program still starts where
// they are missing.
UINT WindowDpi(HWND window);

// The frame's scale at `dpi`: dpi / 96, from 1 to kLargestWindowScale.
double ScaleOfDpi(UINT dpi);

}  // namespace trelvan
