// The audio service of the tests: keeps what it was asked to play. A test
// ends the playing with `finished` or takes the sound device away with
// `present`.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio.h"

namespace trelvan {

class FakeAudio : public Audio {
 public:
  bool Play(const int16_t* samples, uint32_t count, uint32_t rate) override {
    ++plays;
    if (!present) return false;
    played.assign(samples, samples + count);
    playedRate = rate;
    playing = true;
    return true;
  }
  void Stop() override {
    if (playing) ++stops;
    playing = false;
  }
  bool IsPlaying() override { return playing; }

  bool present = true;          /**< false: the PC has no sound output */
  bool playing = false;         /**< a test clears it to end the sound */
  std::vector<int16_t> played;  /**< the samples of the last Play */
  uint32_t playedRate = 0;
  int plays = 0, stops = 0;
};

}  // namespace trelvan
