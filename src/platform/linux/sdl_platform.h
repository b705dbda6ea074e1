// The Linux front end: an SDL2 window of 800 x 600 client pixels, POSIX files.
#pragma once

#include <SDL.h>

#include <atomic>
#include <string>

#include "platform/linux/posix_files.h"

namespace trelvan {

class SdlPlatform : public PosixFilePlatform {
 public:
  SdlPlatform(std::string dataFolder, SDL_Window* window);
  ~SdlPlatform() override;

  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override;
  void StopTimer() override;
  void Sleep(uint32_t ms) override { SDL_Delay(ms); }
  void PostQuit(int code) override;

  void StartTimer();               // the 10 ms timer
  bool TakeTimerEvent(const SDL_Event& e);  // true for our timer's event; re-arms it
  bool TakeRepaint();              // true once after InvalidateRect
  bool QuitPosted(int* code) const;

 private:
  static Uint32 TimerCallback(Uint32 interval, void* self);

  SDL_Window* window_;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_TimerID timer_ = 0;
  Uint32 timerEvent_;
  std::atomic<bool> timerQueued_{false};  // like WM_TIMER: at most one waits
  bool repaint_ = false;
  bool quit_ = false;
  int quitCode_ = 0;
};

// The data folder: TRELVAN_DATA_DIR, else $XDG_DATA_HOME/Trelvan Assistant,
// else ~/.local/share/Trelvan Assistant. Created when missing.
std::string LinuxDataFolder();

}  // namespace trelvan
