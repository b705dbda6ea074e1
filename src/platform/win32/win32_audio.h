// The audio service on Windows: the system's wave output, one buffer per
// sound, opened at the sound's rate.
#pragma once

#include "platform/audio.h"
#include "platform/win32/win32_windows.h"

#include <mmsystem.h>

namespace trelvan {

class Win32Audio : public Audio {
 public:
  ~Win32Audio() override { Stop(); }

  bool Play(const int16_t* samples, uint32_t count, uint32_t rate) override;
  void Stop() override;
  bool IsPlaying() override;

 private:
  HWAVEOUT out_ = nullptr;
  WAVEHDR header_{};  /**< the one buffer: the caller's samples */
};

}  // namespace trelvan
