// The audio service: plays 16-bit mono samples through the PC's sound
// output, so the user hears a sound before it goes to the handheld.
#pragma once

#include <cstdint>

namespace trelvan {

class Audio {
 public:
  virtual ~Audio() = default;

  // Starts playing `count` samples at `rate` Hz, stopping what played
  // before. The samples stay the caller's and must not change until Stop or
  // the end. False when the PC has no sound output.
  virtual bool Play(const int16_t* samples, uint32_t count, uint32_t rate) = 0;
  virtual void Stop() = 0;
  // True until the last sample was played or Stop was called.
  virtual bool IsPlaying() = 0;
};

}  // namespace trelvan
