#include "platform/linux/sdl_window.h"

#include <SDL_syswm.h>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/message_lines.h"
#include "platform/linux/posix_files.h"
#include "platform/linux/window_scale.h"

namespace trelvan {

namespace {

[[noreturn]] void EndAfterDisplayLost(Display*, void*) { _exit(0); }

}  // namespace

SdlWindow::SdlWindow(SDL_Window* window, std::vector<std::string> boxCommand)
    : window_(window), boxCommand_(std::move(boxCommand)) {
  timerEvent_ = SDL_RegisterEvents(1);
}

// Box processes still running (those of the exit sequence) outlive the
// program; those that ended are reaped when it ends. Past the window's life
// the program's work is done, its exit save included: a display lost while
// SDL then takes the window down (a logout can pick that moment) ends the
// process at once with status 0, where Xlib would end it with status 1 or
// wait on the dead connection for ever.
SdlWindow::~SdlWindow() {
  if (display_) XSetIOErrorExitHandler(display_, EndAfterDisplayLost, nullptr);
  StopTimer();
  if (frame_) SDL_FreeSurface(frame_);
  if (timerWake_ >= 0) close(timerWake_);
}

void SdlWindow::PresentFrame(const uint8_t* bgr0, int width, int height) {
  SDL_Surface* window = SDL_GetWindowSurface(window_);
  if (!window) return;
  // Scaled, the frame goes to a surface of its own size first, of the
  // window's format, then is stretched onto the window.
  if (scale_ != 1.0 && (!frame_ || frame_->format->format != window->format->format)) {
    if (frame_) SDL_FreeSurface(frame_);
    frame_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, window->format->format);
    if (!frame_) return;
  }
  SDL_Surface* surface = scale_ != 1.0 ? frame_ : window;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
  const int w = width < surface->w ? width : surface->w;
  const int h = height < surface->h ? height : surface->h;
  // Bytes blue, green, red, 0 are a little-endian XRGB8888 word; on the
  // usual 24-bit display the surface has that format and this is a copy.
  SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGB888, bgr0, width * 4, surface->format->format,
                    surface->pixels, surface->pitch);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  if (surface != window) {
    SDL_Rect to{0, 0, window->w, window->h};
    if (WholeScale(scale_)) {
      SDL_BlitScaled(surface, nullptr, window, &to);  // pixel for pixel
    } else {
      SDL_SoftStretchLinear(surface, nullptr, window, &to);
    }
  }
  SDL_UpdateWindowSurface(window_);
  ++presents_;
  presentedAt_ = SDL_GetPerformanceCounter();
}

void SdlWindow::InvalidateRect(int, int, int, int) { repaint_ = true; }

// The box process gets no descriptor of this one beyond the standard three:
// an inherited instance socket or display connection would outlive the
// program in a box still open.
void SdlWindow::ShowMessageBox(const char* text) {
  fprintf(stderr, "Message: %s\n", text);
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  OpenBoxes();
  int place = 0;
  while (std::any_of(boxes_.begin(), boxes_.end(), [place](const Box& b) { return b.place == place; })) {
    ++place;
  }
  const int offset = place * kMessageBoxOffset;
  std::vector<std::string> words = boxCommand_;
  words.push_back(std::to_string(x + w / 2 + offset));
  words.push_back(std::to_string(y + h / 2 + offset));
  words.push_back(BreakMessageLines(text));
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t process = 0;
  const int error = posix_spawn(&process, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    fprintf(stderr, "The message could not be shown in a box: %s\n", strerror(error));
    return;
  }
  boxes_.push_back({process, place});
}

int SdlWindow::OpenBoxes() {
  boxes_.erase(std::remove_if(boxes_.begin(), boxes_.end(),
                              [](const Box& b) { return waitpid(b.process, nullptr, WNOHANG) != 0; }),
               boxes_.end());
  return static_cast<int>(boxes_.size());
}

// SDL counts the next interval from the millisecond its timer thread woke
// for this call, so each late wake-up would lengthen that period for good
// (1 to 3% fewer ticks, and as many fewer handheld requests). The interval
// returned reaches the next point of a fixed 10 ms grid instead; points
// missed while the thread was held up are skipped, not made up.
Uint32 SdlWindow::TimerCallback(Uint32, void* self) {
  SdlWindow* w = static_cast<SdlWindow*>(self);
  if (!w->timerQueued_.exchange(true)) {
    SDL_Event e{};
    e.type = w->timerEvent_;
    SDL_PushEvent(&e);
    if (w->timerWake_ >= 0) eventfd_write(w->timerWake_, 1);
  }
  const Uint64 now = SDL_GetTicks64();
  do {
    w->nextTick_ += kTickMilliseconds;
  } while (w->nextTick_ <= now);
  return static_cast<Uint32>(w->nextTick_ - now);
}

// The first tick is queued at once: the start page is drawn without a
// tick's wait.
void SdlWindow::StartTimer() {
  timerQueued_ = true;
  SDL_Event first{};
  first.type = timerEvent_;
  SDL_PushEvent(&first);
  nextTick_ = SDL_GetTicks64() + kTickMilliseconds;
  timer_ = SDL_AddTimer(kTickMilliseconds, TimerCallback, this);
}

void SdlWindow::StopTimer() {
  if (timer_) SDL_RemoveTimer(timer_);
  timer_ = 0;
}

bool SdlWindow::TakeTimerEvent(const SDL_Event& e) {
  if (e.type != timerEvent_) return false;
  timerQueued_ = false;
  return timer_ != 0;
}

bool SdlWindow::TakeRepaint() {
  const bool due = repaint_;
  repaint_ = false;
  return due;
}

void SdlWindow::PostQuit(int code) {
  if (quit_) return;
  quit_ = true;
  quitCode_ = code;
}

bool SdlWindow::QuitPosted(int* code) const {
  *code = quitCode_;
  return quit_;
}

// ---- a lost display ----------------------------------------------------------

namespace {

// Xlib calls both when the connection breaks: first the error handler
// (its default says so and exits), then the display's exit handler (its
// default exits). Neither may end the process here: the exit save is still
// to run, from the event loop.
int SayDisplayLost(Display* display) {
  fprintf(stderr, "Trelvan Assistant: the connection to the display %s was lost; the program "
          "ends as when its window is closed.\n", DisplayString(display));
  return 0;
}

void NoteDisplayLost(Display*, void* lost) { *static_cast<bool*>(lost) = true; }

}  // namespace

void ChooseVideoDrivers() {
  if (const char* asked = SDL_getenv("SDL_VIDEODRIVER"); asked && *asked) return;
  std::string drivers;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    drivers += (drivers.empty() ? "" : ",") + name;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.empty() ? "none" : drivers.c_str());
}

int InitSdlWithoutCompose(Uint32 flags) {
  const bool ours = !getenv("XCOMPOSEFILE");
  if (ours) setenv("XCOMPOSEFILE", "/dev/null", 1);
  const int result = SDL_Init(flags);
  if (ours) unsetenv("XCOMPOSEFILE");
  return result;
}

int DesktopXftDpi(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  // The resources the desktop loaded into the display, one "name:\tvalue" a line.
  const char* resources = XResourceManagerString(info.info.x11.display);
  for (const char* line = resources; line && *line;) {
    int dpi = 0;
    if (std::sscanf(line, "Xft.dpi: %d", &dpi) == 1) return dpi;
    line = std::strchr(line, '\n');
    if (line) ++line;
  }
  return 0;
}

void SdlWindow::WatchDisplay() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return;
  timerWake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (timerWake_ < 0) return;
  display_ = info.info.x11.display;
  XSetIOErrorHandler(SayDisplayLost);
  XSetIOErrorExitHandler(display_, NoteDisplayLost, &displayLost_);
}

void SdlWindow::WaitForEvent() {
  if (!display_) {
    SDL_WaitEvent(nullptr);
    return;
  }
  // Events Xlib has read already wait in its queue, not on the connection.
  if (XPending(display_) > 0) return;
  pollfd wait[2] = {{ConnectionNumber(display_), POLLIN, 0}, {timerWake_, POLLIN, 0}};
  if (poll(wait, 2, -1) > 0 && (wait[1].revents & POLLIN)) {
    eventfd_t ticks;
    eventfd_read(timerWake_, &ticks);
  }
}

// ---- the user's guide --------------------------------------------------------

namespace {

// The guide beside the program: installed (bin/../share/doc/...) or in the
// build (src/main/linux/../../../guide); "" when neither is there.
std::string GuidePath() {
  const std::string folder = LinuxProgramFolder();
  if (folder.empty()) return "";
  for (const char* relative : {"/../share/doc/trelvan-assistant/guide/index.html", "/../../../guide/index.html"}) {
    const std::string path = folder + relative;
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return path;
  }
  return "";
}

}  // namespace

bool SdlWindow::OpenGuide() {
  const std::string path = GuidePath();
  if (path.empty()) return false;
  // The viewer runs on its own: a child that starts it and ends at once, so
  // no child is left to wait for.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (fork() == 0) {
      execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace trelvan
