// Light effects: a brightness curve of up to 400 samples for one or two
// channels, in three sections (start, loop, stop) one after another from
// sample 0. The file format (version 2 written, versions 1 and 2 read), the
// section limits and the generators that fill ranges of a curve.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr uint16_t kLightSamples = 400;   // the handheld plays at most 400 samples
constexpr uint8_t kLightChannels = 2;
constexpr uint32_t kLightBlockSize = 9;   // channel count, total and the three sections
constexpr uint32_t kLightFileCapacity = kLightBlockSize + kLightChannels * kLightSamples;
constexpr uint16_t kVersion1MaxSamples = 398;  // a version 1 loop framed by two zero samples

struct LightEffect {
  uint8_t channelCount;                              /**< 1 or 2 */
  uint8_t brightness[kLightChannels][kLightSamples]; /**< 0 to 100 per sample */
  uint16_t startSamples, loopSamples, stopSamples;
  uint16_t sampleCount;  /**< samples in use: the range the generators work on */
  uint16_t cursorIndex;  /**< the selected sample */
  uint8_t activeChannel; /**< 0 or 1: the row the pointer last edited */
};

// Both rows 0, one channel, sections 20, 50 and 20, 90 samples in use.
void NewLightEffect(LightEffect& e);

// The data of a version 2 file (after its FileHeader) into `out`
// (kLightFileCapacity bytes). Returns its size: 9 + channels x total.
uint32_t EncodeLightEffect(const LightEffect& e, uint8_t* out);

// Loads the data of a stored effect whose version field is `version`.
// True when loaded; false, leaving `e` as it was, for a version other than
// "1." or "2.", a total above 400 or data shorter than its counts.
bool DecodeLightEffect(const char* version, const uint8_t* data, uint32_t size, LightEffect& e);

// The section fields: 1 when start + loop + stop stays within 400 and the
// value was taken.
enum LightSection : uint8_t { kStartSection, kLoopSection, kStopSection };
int SetLightSection(LightEffect& e, LightSection section, uint16_t value);

// ---- generators, on the active channel from cursorIndex ----
void NaturalIncrease(LightEffect& e, uint16_t n);
void NaturalDecrease(LightEffect& e, uint16_t n);
void SineCurve(LightEffect& e, uint16_t n);
void LevelAdjust(LightEffect& e, uint16_t percent);
void ShiftCurve(LightEffect& e, int16_t distance);
void AverageCurve(LightEffect& e, uint16_t window);

// A pointer press at sample `sample` with brightness `value` on `channel`.
void DrawLightSample(LightEffect& e, uint8_t channel, uint16_t sample, uint8_t value);
// A held pointer moved from (fromSample, fromValue) to (toSample, toValue):
// every sample between them, both ends included, is set on the straight
// line joining them (rounded), in the hand's direction, so the cursor ends
// where the pointer is.
void DrawLightLine(LightEffect& e, uint8_t channel, uint16_t fromSample, uint8_t fromValue,
                   uint16_t toSample, uint8_t toValue);

}  // namespace trelvan
