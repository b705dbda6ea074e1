// The window service: the one window the program draws into, its message
// boxes and its message loop.
#pragma once

#include <cstdint>

namespace trelvan {

class Window {
 public:
  virtual ~Window() = default;

  // Copies a finished 800 x 600 frame (rows from the top, 4 bytes a pixel:
  // blue, green, red, 0) to the window.
  virtual void PresentFrame(const uint8_t* bgr0, int width, int height) = 0;
  // Marks a client rectangle (right and bottom exclusive) for repainting.
  virtual void InvalidateRect(int left, int top, int right, int bottom) = 0;
  // A modal message with the caption "Message".
  virtual void ShowMessageBox(const char* text) = 0;
  virtual void StopTimer() = 0;         // the 10 ms timer, id 1
  virtual void Sleep(uint32_t ms) = 0;
  virtual void PostQuit(int code) = 0;  // ends the message loop
  // Opens the user's guide installed with the program (its HTML page) in
  // the system's viewer, without waiting for it; false when the program has
  // no guide beside it or no viewer could be started.
  virtual bool OpenGuide() = 0;
};

}  // namespace trelvan
