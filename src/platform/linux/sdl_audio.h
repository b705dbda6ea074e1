// The audio service on Linux: an SDL audio device opened for each sound at
// its rate, the samples queued to it (SDL converts them to what the device
// takes). SDL's audio starts at the first sound played, so a PC without
// sound output costs nothing until then.
#pragma once

#include <SDL.h>

#include "platform/audio.h"

namespace trelvan {

class SdlAudio : public Audio {
 public:
  ~SdlAudio() override;

  bool Play(const int16_t* samples, uint32_t count, uint32_t rate) override;
  void Stop() override;
  bool IsPlaying() override;

 private:
  SDL_AudioDeviceID device_ = 0;
  bool started_ = false;  /**< SDL's audio subsystem is up */
};

}  // namespace trelvan
