// A light effect played on screen as the handheld shows it: switched on,
// the start section runs once and the loop over and over; switched off,
// the loop's pass runs out, then the stop section, then the light is dark.
// The handheld's sample period is not written in the effect; the assistant
// shows one sample every 20 ms. Pure: the page advances it each tick.
#pragma once

#include <cstdint>

#include "media/light_effect_format.h"

namespace trelvan {

constexpr uint16_t kLightSampleMs = 20;

enum LightPlayPhase : uint8_t { kLightDark = 0, kLightStarting, kLightLooping, kLightStopping };

struct LightPlay {
  uint8_t phase;     /**< a LightPlayPhase value */
  uint8_t offAsked;  /**< 1: switched off while on; the stop section follows the loop's pass */
  uint16_t sample;   /**< the sample shown */
  uint16_t waited;   /**< ms the sample has been shown */
};

void SwitchLightOn(LightPlay& p, const LightEffect& e);
void SwitchLightOff(LightPlay& p);
// `ms` later; true when the sample shown changed or the light went dark.
bool AdvanceLightPlay(LightPlay& p, const LightEffect& e, uint16_t ms);
// The brightness (0 to 100) `channel` shows now: 0 while dark and on a
// channel the effect does not have.
uint8_t LightPlayLevel(const LightPlay& p, const LightEffect& e, uint8_t channel);

}  // namespace trelvan
