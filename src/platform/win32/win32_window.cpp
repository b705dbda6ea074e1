#include "platform/win32/win32_window.h"

#include "platform/win32/win32_text.h"

namespace trelvan {

namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

void Win32Window::PresentFrame(const uint8_t* bgr0, int width, int height) {
  if (!window_) return;
  HDC dc = paintDc_ ? paintDc_ : GetDC(window_);
  if (!dc) return;
  // A top-down 32-bit DIB: the rows of bgr0 are exactly its pixel layout.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), bgr0, &info, DIB_RGB_COLORS);
  if (!paintDc_) ReleaseDC(window_, dc);
}

void Win32Window::InvalidateRect(int left, int top, int right, int bottom) {
  if (!window_) return;
  const RECT r{left, top, right, bottom};
  ::InvalidateRect(window_, &r, FALSE);
}

void Win32Window::ShowMessageBox(const char* text) {
  // Owned by the window while it is on screen; during its destruction the
  // box stands alone.
  HWND owner = window_ && IsWindow(window_) && IsWindowVisible(window_) ? window_ : nullptr;
  MessageBoxW(owner, Widen(text).c_str(), L"Message", MB_OK);
}

void Win32Window::StopTimer() {
  if (window_) KillTimer(window_, kTimerId);
}

}  // namespace trelvan
