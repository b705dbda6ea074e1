#include "platform/linux/sdl_audio.h"

#include <cstdio>

namespace trelvan {

SdlAudio::~SdlAudio() {
  Stop();
  if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::Play(const int16_t* samples, uint32_t count, uint32_t rate) {
  Stop();
  if (!started_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      fprintf(stderr, "No sound output: %s\n", SDL_GetError());
      return false;
    }
    started_ = true;
  }
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 2048;
  // No changes allowed: SDL converts to whatever the device takes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (device_ == 0) {
    fprintf(stderr, "No sound output: %s\n", SDL_GetError());
    return false;
  }
  if (SDL_QueueAudio(device_, samples, count * 2u) != 0) {
    Stop();
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudio::Stop() {
  if (device_) SDL_CloseAudioDevice(device_);
  device_ = 0;
}

bool SdlAudio::IsPlaying() { return device_ && SDL_GetQueuedAudioSize(device_) > 0; }

}  // namespace trelvan
