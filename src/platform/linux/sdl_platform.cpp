#include "platform/linux/sdl_platform.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace trelvan {

SdlPlatform::SdlPlatform(std::string dataFolder, SDL_Window* window)
    : PosixFilePlatform(std::move(dataFolder)), window_(window) {
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_) {
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                 SDL_TEXTUREACCESS_STREAMING, 800, 600);
  }
  timerEvent_ = SDL_RegisterEvents(1);
}

SdlPlatform::~SdlPlatform() {
  StopTimer();
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
}

void SdlPlatform::PresentFrame(const uint8_t* bgr0, int width, int height) {
  if (!texture_) return;
  // Bytes blue, green, red, 0 are a little-endian ARGB8888 word.
  SDL_UpdateTexture(texture_, nullptr, bgr0, width * 4);
  SDL_Rect all{0, 0, width, height};
  SDL_RenderCopy(renderer_, texture_, &all, &all);
  SDL_RenderPresent(renderer_);
}

void SdlPlatform::InvalidateRect(int, int, int, int) { repaint_ = true; }

void SdlPlatform::ShowMessageBox(const char* text) {
  fprintf(stderr, "Message: %s\n", text);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Message", text, window_);
}

Uint32 SdlPlatform::TimerCallback(Uint32 interval, void* self) {
  SdlPlatform* p = static_cast<SdlPlatform*>(self);
  if (!p->timerQueued_.exchange(true)) {
    SDL_Event e{};
    e.type = p->timerEvent_;
    SDL_PushEvent(&e);
  }
  return interval;
}

void SdlPlatform::StartTimer() { timer_ = SDL_AddTimer(10, TimerCallback, this); }

void SdlPlatform::StopTimer() {
  if (timer_) SDL_RemoveTimer(timer_);
  timer_ = 0;
}

bool SdlPlatform::TakeTimerEvent(const SDL_Event& e) {
  if (e.type != timerEvent_) return false;
  timerQueued_ = false;
  return timer_ != 0;
}

bool SdlPlatform::TakeRepaint() {
  const bool due = repaint_;
  repaint_ = false;
  return due;
}

void SdlPlatform::PostQuit(int code) {
  if (quit_) return;
  quit_ = true;
  quitCode_ = code;
}

bool SdlPlatform::QuitPosted(int* code) const {
  *code = quitCode_;
  return quit_;
}

std::string LinuxDataFolder() {
  std::string folder;
  if (const char* dir = getenv("TRELVAN_DATA_DIR"); dir && *dir) {
    folder = dir;
  } else if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && *xdg) {
    folder = std::string(xdg) + "/Trelvan Assistant";
  } else {
    const char* home = getenv("HOME");
    folder = std::string(home ? home : ".") + "/.local/share/Trelvan Assistant";
  }
  // Make every missing folder on the way.
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0755);
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace trelvan
