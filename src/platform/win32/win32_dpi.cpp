#include "platform/win32/win32_dpi.h"

#include "platform/window.h"

namespace trelvan {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
// GetDpiForMonitor's type 0 is MDT_EFFECTIVE_DPI, the scale the user chose.
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

}  // namespace

UINT WindowDpi(HWND window) {
  static const auto forWindow =
      FindFunction<GetDpiForWindowFunction>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  if (forWindow) {
    if (const UINT dpi = forWindow(window)) return dpi;
  }
  // shcore.dll stays loaded for the program's life once it is found.
  static const auto forMonitor =
      FindFunction<GetDpiForMonitorFunction>(LoadLibraryW(L"shcore.dll"), "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (forMonitor && forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y) == S_OK &&
      x > 0) {
    return x;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

double ScaleOfDpi(UINT dpi) {
  const double scale = static_cast<double>(dpi) / kDefaultDpi;
  if (scale < 1.0) return 1.0;
  return scale > kLargestWindowScale ? kLargestWindowScale : scale;
}

}  // namespace trelvan
