// The window service on Windows: the main window's device context, the GDI
// copy of the frame, message boxes, the window timer and the quit message.
#pragma once

#include "platform/win32/win32_windows.h"

#include <vector>

#include "platform/window.h"

namespace trelvan {

class Win32Window : public Window {
 public:
  Win32Window() = default;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;
  // Waits for the boxes still on screen: the last messages are read.
  ~Win32Window() override;

  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override;
  void StopTimer() override;
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  void PostQuit(int code) override { PostQuitMessage(code); }
  // guide\index.html in the program's folder, opened with ShellExecute.
  bool OpenGuide() override;

  void SetWindow(HWND window) { window_ = window; }
  // While WM_PAINT is handled the frame goes to its BeginPaint context;
  // otherwise (a key release) to the window's own context.
  void SetPaintContext(HDC dc) { paintDc_ = dc; }

 private:
  HWND window_ = nullptr;
  HDC paintDc_ = nullptr;
  std::vector<HANDLE> boxes_;  // each thread shows one box
};

}  // namespace trelvan
