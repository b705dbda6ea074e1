// The window service on Windows: the main window's device context, the GDI
// copy of the frame, message boxes, the window timer and the quit message.
#pragma once

#include "platform/win32/win32_windows.h"

#include <string>
#include <vector>

#include "platform/window.h"

namespace trelvan {

// The first argument that makes the program a box: the program, the
// switch, the box's centre x and y on the screen, then its text as UTF-8 in
// hexadecimal, which no quoting of the command line can change.
constexpr wchar_t kMessageBoxSwitch[] = L"--message-box";

// When the program was started as a box (see Win32Window::ShowMessageBox):
// shows it centred where its command line says and returns 0 once it is
// closed; -1 when the command line asks for no box. wWinMain asks it first.
int RunMessageBoxIfAsked();

class Win32Window : public Window {
 public:
  Win32Window() = default;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;
  // Boxes still on the screen stay: they are processes of their own.
  ~Win32Window() override;

  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override;
  void StopTimer() override;
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  void PostQuit(int code) override {
    quitPosted_ = true;
    PostQuitMessage(code);
  }
  bool QuitPosted() const { return quitPosted_; }  // the exit sequence has run
  // guide\index.html in the program's folder, opened with ShellExecute.
  bool OpenGuide() override;

  void SetWindow(HWND window) { window_ = window; }
  // The client area is the 800 x 600 frame times `scale` (1 to
  // kLargestWindowScale, from the monitor's dots per inch); 1 unless set.
  void SetScale(double scale) { scale_ = scale; }
  // Window pixels of `n` frame pixels, rounded.
  int Scaled(int n) const { return static_cast<int>(n * scale_ + 0.5); }
  // The frame pixel under window pixel `n`.
  int FramePixel(int n) const { return static_cast<int>(n / scale_); }
  // While WM_PAINT is handled the frame goes to its BeginPaint context;
  // otherwise (a key release) to the window's own context.
  void SetPaintContext(HDC dc) { paintDc_ = dc; }

 private:
  int FreePlace();  // the first box place no open box holds

  HWND window_ = nullptr;
  HDC paintDc_ = nullptr;
  bool quitPosted_ = false;
  double scale_ = 1.0;
  struct Box {
    HANDLE process;
    int place;  // 0: centred on the window; k: k offsets right and down
  };
  std::vector<Box> boxes_;  // the box processes not yet seen ended
};

}  // namespace trelvan
