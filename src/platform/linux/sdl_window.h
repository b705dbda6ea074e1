// The window service on Linux: an SDL2 window of 800 x 600 client pixels.
// Frames go to the window's own surface (no renderer, no OpenGL); the 10 ms
// timer posts one event at a time, as WM_TIMER does. A message box shows on
// a thread of its own, so the window's thread goes on ticking beneath it.
#pragma once

#include <SDL.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/window.h"

namespace trelvan {

class SdlWindow : public Window {
 public:
  // `scale`: the window is the 800 x 600 frame times this (1 to 4).
  explicit SdlWindow(SDL_Window* window, double scale = 1.0);
  ~SdlWindow() override;

  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override;
  void StopTimer() override;
  void Sleep(uint32_t ms) override { SDL_Delay(ms); }
  void PostQuit(int code) override;
  // The guide beside the installed program (share/doc/trelvan-assistant)
  // or in the build, opened with xdg-open.
  bool OpenGuide() override;

  void StartTimer();                        // the 10 ms timer
  bool TakeTimerEvent(const SDL_Event& e);  // true for our timer's event; re-arms it
  bool TakeRepaint();                       // true once after InvalidateRect
  bool QuitPosted(int* code) const;
  int Presents() const { return presents_; }  // frames shown so far
  // A window coordinate in the 800 x 600 frame.
  int FrameX(int x) const { return static_cast<int>(x / scale_); }
  int FrameY(int y) const { return static_cast<int>(y / scale_); }

 private:
  static Uint32 TimerCallback(Uint32 interval, void* self);

  SDL_Window* window_;
  std::vector<std::thread> boxes_;  // each shows one box; joined when the window goes
  SDL_TimerID timer_ = 0;
  Uint32 timerEvent_;
  std::atomic<bool> timerQueued_{false};  // like WM_TIMER: at most one waits
  Uint64 nextTick_ = 0;  // ms: when the timer is due next, on a fixed 10 ms grid
  bool repaint_ = false;
  bool quit_ = false;
  int quitCode_ = 0;
  int presents_ = 0;
  double scale_ = 1.0;
  SDL_Surface* frame_ = nullptr;  /**< the frame before it is scaled; only when scale_ is not 1 */
};

}  // namespace trelvan
