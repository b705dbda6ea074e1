#include "platform/win32/win32_window.h"

#include "platform/win32/win32_text.h"

#include <shellapi.h>

namespace trelvan {

namespace {

constexpr UINT_PTR kTimerId = 1;

// A box's own message loop would run inside the tick that showed it: the
// timer's messages would reach the shell there, and no handheld request or
// server step would be served until someone clicked. Each box is shown by a
// thread of its own instead, standing alone beside the window.
DWORD WINAPI ShowBox(LPVOID text) {
  std::wstring* message = static_cast<std::wstring*>(text);
  MessageBoxW(nullptr, message->c_str(), L"Message", MB_OK | MB_SETFOREGROUND);
  delete message;
  return 0;
}

}  // namespace

Win32Window::~Win32Window() {
  for (HANDLE box : boxes_) {
    WaitForSingleObject(box, INFINITE);
    CloseHandle(box);
  }
}

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
  std::wstring* message = new std::wstring(Widen(text));
  HANDLE box = CreateThread(nullptr, 0, ShowBox, message, 0, nullptr);
  if (box) {
    boxes_.push_back(box);
    return;
  }
  // Without a thread the box is shown here, as a modal one.
  MessageBoxW(nullptr, message->c_str(), L"Message", MB_OK);
  delete message;
}

void Win32Window::StopTimer() {
  if (window_) KillTimer(window_, kTimerId);
}

bool Win32Window::OpenGuide() {
  wchar_t path[MAX_PATH + 32];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  DWORD at = n;
  while (at > 0 && path[at - 1] != L'\\' && path[at - 1] != L'/') --at;
  lstrcpyW(path + at, L"guide\\index.html");
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;
  const HINSTANCE r = ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(r) > 32;
}

}  // namespace trelvan
