#include "media/light_effect_play.h"

namespace trelvan {

namespace {

// Moves past sections the sample has left (or that are empty): the start
// into the loop (or, switched off or without a loop, into the stop), the
// loop's end back to its beginning or into the stop, the stop's end dark.
void Settle(LightPlay& p, const LightEffect& e) {
  const uint32_t loopStart = e.startSamples, loopEnd = loopStart + e.loopSamples;
  uint32_t stopEnd = loopEnd + e.stopSamples;
  if (stopEnd > kLightSamples) stopEnd = kLightSamples;
  if (p.phase == kLightStarting && p.sample >= loopStart) {
    const bool loop = e.loopSamples > 0 && !p.offAsked;
    p.phase = loop ? kLightLooping : kLightStopping;
    p.sample = static_cast<uint16_t>(loop ? loopStart : loopEnd);
  }
  if (p.phase == kLightLooping && p.sample >= loopEnd) {
    p.phase = p.offAsked ? kLightStopping : kLightLooping;
    p.sample = static_cast<uint16_t>(p.offAsked ? loopEnd : loopStart);
  }
  if (p.phase == kLightStopping && p.sample >= stopEnd) p = LightPlay{};
}

}  // namespace

void SwitchLightOn(LightPlay& p, const LightEffect& e) {
  p = LightPlay{kLightStarting, 0, 0, 0};
  Settle(p, e);
}

void SwitchLightOff(LightPlay& p) {
  if (p.phase != kLightDark) p.offAsked = 1;
}

bool AdvanceLightPlay(LightPlay& p, const LightEffect& e, uint16_t ms) {
  bool changed = false;
  p.waited = static_cast<uint16_t>(p.waited + ms);
  while (p.phase != kLightDark && p.waited >= kLightSampleMs) {
    p.waited = static_cast<uint16_t>(p.waited - kLightSampleMs);
    ++p.sample;
    Settle(p, e);
    changed = true;
  }
  if (p.phase == kLightDark) p.waited = 0;
  return changed;
}

uint8_t LightPlayLevel(const LightPlay& p, const LightEffect& e, uint8_t channel) {
  if (p.phase == kLightDark || channel >= e.channelCount || channel >= kLightChannels ||
      p.sample >= kLightSamples) {
    return 0;
  }
  const uint8_t v = e.brightness[channel][p.sample];
  return v > 100 ? 100 : v;
}

}  // namespace trelvan
