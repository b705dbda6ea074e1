// The floor under every X11 program's start on this display, SDL or not:
// Xlib alone opens the display, makes an 800 x 600 window, maps it, waits
// until it is shown, puts one frame of pixels into it and waits until the
// server has them; it writes "first frame" on standard error then and waits
// to be killed. The start bench sets it beside `cat` of the storage file:
// what any window program takes, before any of its own work.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdint>
#include <vector>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  const int screen = DefaultScreen(display);
  constexpr unsigned kWidth = 800, kHeight = 600;
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight,
                                            0, 0, 0);
  XSelectInput(display, window, ExposureMask);
  XMapWindow(display, window);
  XEvent event;
  do {
    XNextEvent(display, &event);
  } while (event.type != Expose);
  std::vector<uint32_t> pixels(kWidth * kHeight, 0x204060);
  XImage* image = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                               reinterpret_cast<char*>(pixels.data()), kWidth, kHeight, 32, 0);
  if (!image) return 1;
  XPutImage(display, window, DefaultGC(display, screen), image, 0, 0, 0, 0, kWidth, kHeight);
  XSync(display, False);
  std::fprintf(stderr, "first frame\n");
  for (;;) pause();
}
