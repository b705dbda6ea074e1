#include "main/linux/sdl_program.h"

#include <SDL.h>
#include <signal.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/linux/dl_libraries.h"
#include "platform/linux/sdl_audio.h"
#include "platform/linux/env_settings.h"
#include "platform/linux/hidapi_hid.h"
#include "platform/linux/posix_files.h"
#include "platform/linux/posix_threads.h"
#include "platform/linux/posix_udp.h"
#include "platform/linux/proc_processes.h"
#include "platform/linux/sdl_keys.h"
#include "platform/linux/sdl_window.h"
#include "platform/linux/socket_instance.h"
#include "platform/linux/window_scale.h"
#include "main/linux/window_icon.h"
#include "shell/assistant.h"

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and fault on first touch
#endif

namespace trelvan {

namespace {

// The desktop entry's id (packaging/linux), the window's class.
constexpr char kWindowClass[] = "org.varnholt.TrelvanAssistant";

constexpr size_t kHugePage = size_t{2} << 20;

// Memory for the Assistant, whose 128 MiB storage image the files service
// maps the storage file over. Mapped on a huge-page boundary and asked for
// huge pages, so an image that is erased or read whole instead (a fresh
// storage, a file that cannot be mapped) costs a few dozen page faults
// rather than one per 4 KiB page; nothing is faulted in before use, so a
// start touches only what it reads. Null when the system has no memory to
// give.
class AssistantMemory {
 public:
  AssistantMemory() {
    length_ = (sizeof(Assistant) + kHugePage - 1) / kHugePage * kHugePage;
    const size_t total = length_ + kHugePage;
    void* mapped =
        mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return;
    // Keep the aligned part; give back the rest.
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
    const size_t head = aligned - start;
    const size_t tail = total - head - length_;
    if (head) munmap(mapped, head);
    if (tail) munmap(reinterpret_cast<void*>(aligned + length_), tail);
    memory_ = reinterpret_cast<void*>(aligned);
    madvise(memory_, length_, MADV_HUGEPAGE);
  }
  ~AssistantMemory() {
    if (memory_) munmap(memory_, length_);
  }
  void* get() const { return memory_; }

 private:
  void* memory_ = nullptr;
  size_t length_ = 0;
};

uint64_t Nanoseconds(uint64_t counter) {
  const uint64_t perSecond = SDL_GetPerformanceFrequency();
  return counter / perSecond * 1000000000u + counter % perSecond * 1000000000u / perSecond;
}

// True when the event was a tick of the 10 ms timer.
bool HandleEvent(Assistant& a, SdlWindow& window, const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      // As a window's lParam: the low 16 bits of each coordinate, unsigned.
      MainWindowMessage(a, Message::MouseMove, 0, static_cast<uint16_t>(window.FrameX(e.motion.x)),
                        static_cast<uint16_t>(window.FrameY(e.motion.y)));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      // Every press is a press, however quickly it follows the last one: the
      // window class asks for no double-clicks.
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      Message m;
      if (e.button.button == SDL_BUTTON_LEFT) {
        m = down ? Message::LeftButtonDown : Message::LeftButtonUp;
      } else if (e.button.button == SDL_BUTTON_RIGHT) {
        m = down ? Message::RightButtonDown : Message::RightButtonUp;
      } else {
        break;
      }
      MainWindowMessage(a, m, 0, static_cast<uint16_t>(window.FrameX(e.button.x)),
                        static_cast<uint16_t>(window.FrameY(e.button.y)));
      break;
    }
    case SDL_MOUSEWHEEL: {
      // The wheel event names no place: the pointer's own, as the window saw it.
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      MainWindowMessage(a, Message::MouseWheel, static_cast<uint32_t>(notches),
                        static_cast<uint16_t>(window.FrameX(x)), static_cast<uint16_t>(window.FrameY(y)));
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const uint32_t vk = VirtualKeyFromSdl(e.key.keysym.sym);
      if (vk == 0) break;
      MainWindowMessage(a, e.type == SDL_KEYDOWN ? Message::KeyDown : Message::KeyUp, vk, 0, 0);
      break;
    }
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
        MainWindowMessage(a, Message::Paint, 0, 0, 0);
      }
      break;
    case SDL_QUIT:  // the window's close button: the user is there to answer
      MainWindowMessage(a, Message::Close, 0, 0, 0);
      break;
    default:
      if (!window.TakeTimerEvent(e)) break;
      MainWindowMessage(a, Message::Timer, 0, 0, 0);
      return true;
  }
  return false;
}

// TRELVAN_TRACE_START: "first frame after N ms" on standard error once the
// first frame drawn by a tick (the start page, not the cleared window) is
// shown; N counts from the start of RunSdlProgram to that frame's showing.
class StartTrace {
 public:
  explicit StartTrace(uint64_t start) : start_(getenv("TRELVAN_TRACE_START") ? start : 0) {}
  // After each event: `shownBefore` frames had been shown before it.
  void Event(const SdlWindow& window, bool ticked, int shownBefore) {
    if (!start_) return;
    if (ticked && presentsBeforeTick_ < 0) presentsBeforeTick_ = shownBefore;
    if (presentsBeforeTick_ < 0 || window.Presents() == presentsBeforeTick_) return;
    const double ms = static_cast<double>(window.PresentedAt() - start_) * 1000.0 /
                      static_cast<double>(SDL_GetPerformanceFrequency());
    fprintf(stderr, "first frame after %.1f ms\n", ms);
    start_ = 0;
  }

 private:
  uint64_t start_;               // 0: no trace, or written
  int presentsBeforeTick_ = -1;  // frames shown before the first tick
};

int NoWindow() {
  fprintf(stderr,
          "Trelvan Assistant cannot open its window (%s). It needs a graphical display; "
          "is DISPLAY or WAYLAND_DISPLAY set?\n",
          SDL_GetError());
  SDL_Quit();
  return 1;
}

// A terminal closed (SIGHUP), a stop asked (SIGTERM) or Ctrl-C (SIGINT):
// the handler only notes it; the loop then ends the program as the
// window's closing does, exit save included.
volatile sig_atomic_t gEndAsked = 0;
extern "C" void AskToEnd(int) { gEndAsked = 1; }

void CatchEndingSignals() {
  struct sigaction ask {};
  ask.sa_handler = AskToEnd;
  sigemptyset(&ask.sa_mask);
  for (int which : {SIGHUP, SIGTERM, SIGINT}) sigaction(which, &ask, nullptr);
}

}  // namespace

int RunSdlProgram(const SdlProgramHooks* hooks) {
  const uint64_t startTicks = SDL_GetPerformanceCounter();
  const std::string dataFolder = LinuxDataFolder();
  if (dataFolder.empty()) {
    fprintf(stderr,
            "Trelvan Assistant: no home folder (HOME is not set and the user has none in the "
            "password database), so there is no data folder. Set HOME or TRELVAN_DATA_DIR.\n");
    return 1;
  }
  // The window's class (X11's WM_CLASS, Wayland's application id) is the
  // desktop entry's id, which the entry names as StartupWMClass: docks then
  // show the running program under the entry's icon, not as a second one.
  setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The window surface as plain memory shared with the X server: without
  // this SDL would bring up an OpenGL renderer to hold it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  ChooseVideoDrivers();
  // SDL's own handlers would turn only SIGINT and SIGTERM into a quit.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  CatchEndingSignals();
  if (InitSdlWithoutCompose(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return NoWindow();
  // Made hidden, so its size can follow the desktop's scale (an X resource
  // of its display) before it is first shown.
  SDL_Window* sdlWindow = SDL_CreateWindow("Trelvan Assistant", SDL_WINDOWPOS_CENTERED,
                                           SDL_WINDOWPOS_CENTERED, 800, 600, SDL_WINDOW_HIDDEN);
  if (!sdlWindow) return NoWindow();
  const char* trelvanScale = getenv("TRELVAN_SCALE");
  const char* gdkScale = getenv("GDK_SCALE");
  const double scale = ChooseWindowScale(trelvanScale, gdkScale,
                                         trelvanScale || gdkScale ? 0 : DesktopXftDpi(sdlWindow));
  if (scale != 1.0) {
    SDL_SetWindowSize(sdlWindow, static_cast<int>(800 * scale + 0.5), static_cast<int>(600 * scale + 0.5));
    SDL_SetWindowPosition(sdlWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  SDL_ShowWindow(sdlWindow);
  // The same icon the desktop entry shows; SDL copies the pixels.
  if (SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
          const_cast<uint32_t*>(kWindowIcon), kWindowIconSize, kWindowIconSize, 32,
          kWindowIconSize * 4, SDL_PIXELFORMAT_ARGB8888)) {
    SDL_SetWindowIcon(sdlWindow, icon);
    SDL_FreeSurface(icon);
  }
  if (!SDL_GetWindowSurface(sdlWindow)) {
    SDL_DestroyWindow(sdlWindow);
    return NoWindow();
  }

  MakeFolders(dataFolder);
  int code = 0;
  {
    AssistantMemory memory;
    if (!memory.get()) {
      fprintf(stderr, "Trelvan Assistant: not enough memory to start.\n");
      SDL_DestroyWindow(sdlWindow);
      SDL_Quit();
      return 1;
    }
    SdlWindow window(sdlWindow);
    window.SetScale(scale);
    window.WatchDisplay();
    PosixFiles files(dataFolder, LinuxResourceFolder());
    SocketInstance instance(files.DataFolder());
    PosixUdp udp;
    PosixThreads threads;
    ProcProcesses processes;
    HidapiHid hid;
    DlLibraries libraries;
    EnvSettings settings;
    SdlAudio audio;
    Assistant& a = *new (memory.get()) Assistant(
        Platform{window, files, instance, udp, threads, processes, hid, libraries, settings, audio});
    MainWindowCreated(a);
    if (hooks && hooks->started) hooks->started(a);
    window.StartTimer();
    StartTrace trace(startTicks);
    SDL_Event e;
    while (!window.QuitPosted(&code)) {
      if (!SDL_PollEvent(&e)) {
        window.WaitForEvent();
        continue;
      }
      const int shown = window.Presents();
      const uint64_t before = SDL_GetPerformanceCounter();
      const bool ticked = HandleEvent(a, window, e);
      // The 10 ms timer wakes the loop, so a signal or a lost display is
      // taken within a tick.
      if ((gEndAsked || window.DisplayLost()) && !window.QuitPosted(&code)) {
        gEndAsked = 0;
        MainWindowMessage(a, Message::Destroy, 0, 0, 0);
      }
      if (ticked && hooks && hooks->ticked) {
        const uint64_t start = Nanoseconds(before);
        hooks->ticked(a, start, Nanoseconds(SDL_GetPerformanceCounter()) - start);
      }
      if (window.TakeRepaint()) MainWindowMessage(a, Message::Paint, 0, 0, 0);
      trace.Event(window, ticked, shown);
    }
    if (hooks && hooks->ended) hooks->ended(a);
    a.~Assistant();
    // On a lost display SDL would wait for the window's unmapping for ever.
    if (window.DisplayLost()) return code;
  }
  SDL_DestroyWindow(sdlWindow);
  SDL_Quit();
  return code;
}

}  // namespace trelvan
