#include "platform/win32/win32_window.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cwchar>
#include <string>

#include "platform/win32/win32_text.h"

namespace trelvan {

namespace {

constexpr UINT_PTR kTimerId = 1;

// A box's own message loop would run inside the tick that showed it: the
// timer's messages would reach the shell there, and no handheld request or
// server step would be served until someone clicked. Should no box process
// start, a thread of its own shows the box; it ends with the program.
DWORD WINAPI ShowBox(LPVOID text) {
  std::wstring* message = static_cast<std::wstring*>(text);
  MessageBoxW(nullptr, message->c_str(), L"Message", MB_OK | MB_SETFOREGROUND);
  delete message;
  return 0;
}

std::wstring Hex(const char* text) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring hex;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    hex += kDigits[*c >> 4];
    hex += kDigits[*c & 15];
  }
  return hex;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

std::string FromHex(const wchar_t* hex) {
  std::string text;
  for (; HexDigit(hex[0]) >= 0 && HexDigit(hex[1]) >= 0; hex += 2) {
    text += static_cast<char>(HexDigit(hex[0]) * 16 + HexDigit(hex[1]));
  }
  return text;
}

// The box process's box, centred on boxCentre as it is first activated.
POINT boxCentre;
HHOOK boxHook;

LRESULT CALLBACK PlaceBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && boxHook) {
    HWND box = reinterpret_cast<HWND>(wParam);
    RECT r;
    if (GetWindowRect(box, &r)) {
      SetWindowPos(box, nullptr, boxCentre.x - (r.right - r.left) / 2,
                   boxCentre.y - (r.bottom - r.top) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
    return 0;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int RunMessageBoxIfAsked() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return -1;
  int status = -1;
  if (argc == 5 && wcscmp(argv[1], kMessageBoxSwitch) == 0) {
    boxCentre = {_wtoi(argv[2]), _wtoi(argv[3])};
    const std::wstring text = Widen(FromHex(argv[4]).c_str());
    boxHook = SetWindowsHookExW(WH_CBT, PlaceBox, nullptr, GetCurrentThreadId());
    MessageBoxW(nullptr, text.c_str(), L"Message", MB_OK | MB_SETFOREGROUND);
    if (boxHook) UnhookWindowsHookEx(boxHook);
    status = 0;
  }
  LocalFree(argv);
  return status;
}

Win32Window::~Win32Window() {
  for (const Box& box : boxes_) CloseHandle(box.process);
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
  if (scale_ == 1.0) {
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), bgr0, &info, DIB_RGB_COLORS);
  } else {
    // Whole factors repeat each pixel; others are smoothed by GDI's
    // halftone stretch, whose brush origin must be set after the mode.
    SetStretchBltMode(dc, WholeScale(scale_) ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, 0, 0, Scaled(width), Scaled(height), 0, 0, width, height, bgr0, &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }
  if (!paintDc_) ReleaseDC(window_, dc);
}

void Win32Window::InvalidateRect(int left, int top, int right, int bottom) {
  if (!window_) return;
  // Smoothed, a window pixel on the edge blends the frame pixels beside it.
  const int margin = WholeScale(scale_) ? 0 : 1;
  const RECT r{static_cast<LONG>(std::floor(left * scale_)) - margin,
               static_cast<LONG>(std::floor(top * scale_)) - margin,
               static_cast<LONG>(std::ceil(right * scale_)) + margin,
               static_cast<LONG>(std::ceil(bottom * scale_)) + margin};
  ::InvalidateRect(window_, &r, FALSE);
}

// The box is the program started again with kMessageBoxSwitch: it holds no
// tick, inherits no handle and stays on the screen after the program ends.
void Win32Window::ShowMessageBox(const char* text) {
  POINT centre{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  RECT r;
  if (window_ && GetWindowRect(window_, &r)) centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  const int place = FreePlace();
  const int offset = place * kMessageBoxOffset;
  wchar_t program[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(program, length) + L"\" " + kMessageBoxSwitch + L" " +
                         std::to_wstring(centre.x + offset) + L" " +
                         std::to_wstring(centre.y + offset) + L" " + Hex(text);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION box{};
  if (length > 0 && length < MAX_PATH &&
      CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                     &box)) {
    CloseHandle(box.hThread);
    boxes_.push_back({box.hProcess, place});
    return;
  }
  std::wstring* message = new std::wstring(Widen(text));
  HANDLE thread = CreateThread(nullptr, 0, ShowBox, message, 0, nullptr);
  if (thread) {
    CloseHandle(thread);
  } else {
    delete message;
  }
}

int Win32Window::FreePlace() {
  for (size_t i = 0; i < boxes_.size();) {
    if (WaitForSingleObject(boxes_[i].process, 0) == WAIT_TIMEOUT) {
      ++i;
    } else {
      CloseHandle(boxes_[i].process);
      boxes_.erase(boxes_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  int place = 0;
  while (std::any_of(boxes_.begin(), boxes_.end(), [place](const Box& b) { return b.place == place; })) {
    ++place;
  }
  return place;
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
