// The Windows front end: the main window's device context, GDI copy of the
// frame, message boxes, the window timer and the quit message; files come
// from Win32FilePlatform.
#pragma once

#include "platform/win32/win32_windows.h"

#include <string>

#include "platform/win32/win32_files.h"

namespace trelvan {

class Win32Platform : public Win32FilePlatform {
 public:
  explicit Win32Platform(std::string dataFolder) : Win32FilePlatform(std::move(dataFolder)) {}

  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override;
  void StopTimer() override;
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  void PostQuit(int code) override { PostQuitMessage(code); }
  // A named mutex, created owned and never released: it ends with the process.
  bool AcquireSingleInstance(const char* name) override;

  void SetWindow(HWND window) { window_ = window; }
  // While WM_PAINT is handled the frame goes to its BeginPaint context;
  // otherwise (a key release) to the window's own context.
  void SetPaintContext(HDC dc) { paintDc_ = dc; }

 private:
  HWND window_ = nullptr;
  HDC paintDc_ = nullptr;
};

}  // namespace trelvan
