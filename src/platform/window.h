// The window service: the one window the program draws into, its message
// boxes and its message loop.
#pragma once

#include <cstdint>

namespace trelvan {

// The window's timer: one tick, the program's unit of time, every 10 ms.
constexpr uint32_t kTickMilliseconds = 10;
constexpr int kMessageBoxOffset = 24;  // pixels right and down from one box's place to the next

// A backend may show the frame larger, at the desktop's or the monitor's
// scale, up to four times; the program still draws 800 x 600. Whole
// factors scale pixel for pixel; others smoothly.
constexpr double kLargestWindowScale = 4.0;
inline bool WholeScale(double scale) { return scale == static_cast<double>(static_cast<int>(scale)); }

class Window {
 public:
  virtual ~Window() = default;

  // Copies a finished 800 x 600 frame (rows from the top, 4 bytes a pixel:
  // blue, green, red, 0) to the window.
  virtual void PresentFrame(const uint8_t* bgr0, int width, int height) = 0;
  // Marks a client rectangle (right and bottom exclusive) for repainting.
  virtual void InvalidateRect(int left, int top, int right, int bottom) = 0;
  // Shows `text` in a box with the caption "Message" and an OK button and
  // returns at once. Every backend keeps this contract:
  // - the box never holds the tick: it is shown by a process of its own (the
  //   program started again with the backend's box switch), so no box runs
  //   a message loop inside a tick and no tick runs inside another;
  // - nothing waits for a box, not even the program's end: a box still open
  //   then stays on the screen until it is closed;
  // - boxes open at once never open exactly over one another: a box goes
  //   to the first place no open box of this program holds, the window's
  //   centre, then kMessageBoxOffset pixels right and down from there, then
  //   twice that, and so on.
  virtual void ShowMessageBox(const char* text) = 0;
  virtual void StopTimer() = 0;         // the tick timer, id 1
  virtual void Sleep(uint32_t ms) = 0;
  virtual void PostQuit(int code) = 0;  // ends the message loop
  // Opens the user's guide installed with the program (its HTML page) in
  // the system's viewer, without waiting for it; false when the program has
  // no guide beside it or no viewer could be started.
  virtual bool OpenGuide() = 0;
};

}  // namespace trelvan
