// The window service on Linux: an SDL2 window of 800 x 600 client pixels.
// Frames go to the window's own surface (no renderer, no OpenGL); the 10 ms
// timer posts one event at a time, as WM_TIMER does. A message box is a
// process of its own (see Window::ShowMessageBox): SDL's boxes may be shown
// only from the thread that runs the window, which has to go on ticking.
#pragma once

#include <SDL.h>
#include <sys/types.h>

struct _XDisplay;

#include <atomic>
#include <string>
#include <vector>

#include "platform/window.h"

namespace trelvan {

// The first argument that makes the program a box: the program, the
// switch, the box's centre x and y on the screen, then its text.
constexpr char kMessageBoxSwitch[] = "--message-box";

class SdlWindow : public Window {
 public:
  // `boxCommand`: the program and arguments that show a box, before the
  // centre and the text.
  explicit SdlWindow(SDL_Window* window,
                     std::vector<std::string> boxCommand = {"/proc/self/exe", kMessageBoxSwitch});
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
  // Xlib ends the process (status 1, nothing saved) when the connection to
  // the X server breaks, as at logout, inside whatever call met it. Watched,
  // the loss is only noted: every later call on the dead connection returns
  // at once, and the event loop ends the program as the window's closing
  // does. Nothing to watch when the window is not on X: SDL's Wayland
  // backend turns a lost compositor into a quit event itself.
  void WatchDisplay();
  bool DisplayLost() const { return displayLost_; }
  // Blocks until an event may be waiting (SDL_PollEvent then takes it). On
  // a watched display it waits on the display's connection and the timer
  // itself: SDL_WaitEvent is woken from the timer's thread through a second
  // connection of SDL's own, which no handler watches, so its loss would
  // still end the process, in the middle of the exit save.
  void WaitForEvent();
  int Presents() const { return presents_; }  // frames shown so far
  Uint64 PresentedAt() const { return presentedAt_; }  // SDL's counter at the last frame shown
  int OpenBoxes();                            // boxes shown and not yet closed
  // The window is the 800 x 600 frame times `scale` (1 to 4); 1 unless set.
  void SetScale(double scale) { scale_ = scale; }
  // A window coordinate in the 800 x 600 frame.
  int FrameX(int x) const { return static_cast<int>(x / scale_); }
  int FrameY(int y) const { return static_cast<int>(y / scale_); }

 private:
  static Uint32 TimerCallback(Uint32 interval, void* self);

  SDL_Window* window_;
  std::vector<std::string> boxCommand_;
  struct Box {
    pid_t process;
    int place;  // 0: centred on the window; k: k offsets right and down
  };
  std::vector<Box> boxes_;  // the box processes not yet seen ended
  SDL_TimerID timer_ = 0;
  Uint32 timerEvent_;
  std::atomic<bool> timerQueued_{false};  // like WM_TIMER: at most one waits
  Uint64 nextTick_ = 0;  // ms: when the timer is due next, on a fixed 10 ms grid
  bool repaint_ = false;
  bool quit_ = false;
  bool displayLost_ = false;
  _XDisplay* display_ = nullptr;  /**< the watched X display (Xlib's Display); null when not on X */
  int timerWake_ = -1;            /**< eventfd the timer signals beside its event */
  int quitCode_ = 0;
  int presents_ = 0;
  Uint64 presentedAt_ = 0;
  double scale_ = 1.0;
  SDL_Surface* frame_ = nullptr;  /**< the frame before it is scaled; only when scale_ is not 1 */
};

// With no display to answer SDL falls back to drivers that show nothing
// ("offscreen", "dummy"): the program, or a message box, would run unseen
// and wait for ever. Unless SDL_VIDEODRIVER names drivers, only those that
// show a window are tried. Before SDL_Init.
void ChooseVideoDrivers();

// SDL_Init(flags) without the locale's Compose table: SDL opens the X input
// method as its video starts, and the input method reads the whole table
// (thousands of rules in a UTF-8 locale, a fifth of the program's start).
// The program reads keys, never composed text, so unless the user names a
// Compose file (XCOMPOSEFILE) the input method is given an empty one. The
// environment is as before once SDL has started: programs started later
// (a browser for the guide) compose as usual.
int InitSdlWithoutCompose(Uint32 flags);

// The X resource Xft.dpi of the window's display, which desktops set for
// their scale; 0 when it is not set or the window is not on X.
int DesktopXftDpi(SDL_Window* window);

}  // namespace trelvan
