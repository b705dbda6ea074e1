#include "media/light_effect_format.h"

#include <cmath>

#include "storage/bytes.h"

namespace trelvan {

namespace {

uint8_t* Row(LightEffect& e) { return e.brightness[e.activeChannel & 1]; }

// Writes `value` truncated toward zero at cursorIndex + i, if inside the row.
void Put(LightEffect& e, uint32_t i, float value) {
  const uint32_t at = uint32_t{e.cursorIndex} + i;
  if (at < kLightSamples) Row(e)[at] = static_cast<uint8_t>(static_cast<int>(value));
}

float Rise(uint16_t i, uint16_t n) {
  const float x = static_cast<float>(i * 5) / static_cast<float>(n);
  return (1.0f - std::exp(x * -1.0f)) * 100.0f;
}

}  // namespace

void NewLightEffect(LightEffect& e) {
  e = LightEffect{};
  e.channelCount = 1;
  e.startSamples = 20;
  e.loopSamples = 50;
  e.stopSamples = 20;
  e.sampleCount = 90;
}

uint32_t EncodeLightEffect(const LightEffect& e, uint8_t* out) {
  uint32_t total = uint32_t{e.startSamples} + e.loopSamples + e.stopSamples;
  if (total > kLightSamples) total = kLightSamples;
  const uint8_t channels = e.channelCount == 2 ? 2 : 1;
  out[0] = channels;
  WriteU16LE(out + 1, static_cast<uint16_t>(total));
  WriteU16LE(out + 3, e.startSamples);
  WriteU16LE(out + 5, e.loopSamples);
  WriteU16LE(out + 7, e.stopSamples);
  for (uint8_t c = 0; c < channels; ++c) {
    for (uint32_t k = 0; k < total; ++k) out[kLightBlockSize + c * total + k] = e.brightness[c][k];
  }
  return kLightBlockSize + channels * total;
}

bool DecodeLightEffect(const char* version, const uint8_t* data, uint32_t size, LightEffect& e) {
  if ((version[0] != '1' && version[0] != '2') || version[1] != '.' || size < 3) return false;
  const uint8_t fileChannels = data[0];
  const uint8_t channels = fileChannels == 2 ? 2 : 1;
  LightEffect next = e;
  next.activeChannel = 0;
  next.cursorIndex = 0;
  if (fileChannels == 1 || fileChannels == 2) next.channelCount = fileChannels;
  if (version[0] == '2') {
    if (size < kLightBlockSize) return false;
    const uint16_t total = ReadU16LE(data + 1);
    if (total > kLightSamples || size < kLightBlockSize + uint32_t{channels} * total) return false;
    next.startSamples = ReadU16LE(data + 3);
    next.loopSamples = ReadU16LE(data + 5);
    next.stopSamples = ReadU16LE(data + 7);
    next.sampleCount = total;
    for (uint8_t c = 0; c < kLightChannels; ++c) {
      for (uint16_t k = 0; k < kLightSamples; ++k) {
        next.brightness[c][k] = c < channels && k < total ? data[kLightBlockSize + c * total + k] : 0;
      }
    }
  } else {
    const uint16_t stored = ReadU16LE(data + 1);  // bytes per channel in the file
    const uint16_t n = stored > kVersion1MaxSamples ? kVersion1MaxSamples : stored;
    // channel 2's bytes follow channel 1's stored bytes
    if (size < 3 + uint32_t{channels - 1u} * stored + n) return false;
    next.sampleCount = static_cast<uint16_t>(n + 2);
    next.startSamples = 1;
    next.loopSamples = n;
    next.stopSamples = 1;
    for (uint8_t c = 0; c < kLightChannels; ++c) {
      for (uint16_t k = 0; k < kLightSamples; ++k) {
        next.brightness[c][k] = c < channels && k >= 1 && k <= n ? data[3 + c * stored + k - 1] : 0;
      }
    }
  }
  e = next;
  return true;
}

int SetLightSection(LightEffect& e, LightSection section, uint16_t value) {
  uint16_t* fields[3] = {&e.startSamples, &e.loopSamples, &e.stopSamples};
  uint32_t sum = value;
  for (int i = 0; i < 3; ++i) {
    if (i != section) sum += *fields[i];
  }
  if (sum > kLightSamples) return 0;
  *fields[section] = value;
  return 1;
}

void NaturalIncrease(LightEffect& e, uint16_t n) {
  for (uint16_t i = 0; i < n; ++i) Put(e, i, Rise(i, n));
}

void NaturalDecrease(LightEffect& e, uint16_t n) {
  for (uint16_t i = 0; i < n; ++i) Put(e, i, 100.0f - Rise(i, n));
}

void SineCurve(LightEffect& e, uint16_t n) {
  const float step = 180.0f / static_cast<float>(n);
  float angle = 0.0f;
  for (uint16_t i = 0; i < n; ++i) {
    Put(e, i, std::sin(angle * 3.1415927f / 180.0f) * 100.0f);
    angle += step;
  }
}

void LevelAdjust(LightEffect& e, uint16_t percent) {
  uint8_t* row = Row(e);
  for (uint32_t q = e.cursorIndex; q < e.sampleCount && q < kLightSamples; ++q) {
    const uint32_t v = uint32_t{row[q]} * percent / 100;
    row[q] = static_cast<uint8_t>(v > 100 ? 100 : v);
  }
}

void ShiftCurve(LightEffect& e, int16_t d) {
  uint8_t* row = Row(e);
  if (d > 0) {
    for (int32_t k = e.sampleCount; k >= int32_t{e.cursorIndex} + 1; --k) {
      if (k >= kLightSamples || k + d >= kLightSamples) continue;
      row[k + d] = row[k];
    }
  } else if (d < 0) {
    for (int32_t k = e.cursorIndex; k < int32_t{e.sampleCount}; ++k) {
      if (k < 1 || k >= kLightSamples || k + d < 1 || k + d >= kLightSamples) continue;
      row[k + d] = row[k];
    }
  }
}

void AverageCurve(LightEffect& e, uint16_t w) {
  if (w == 0) return;
  uint8_t* row = Row(e);
  for (int32_t q = e.cursorIndex; q <= int32_t{e.sampleCount} - 2 && q < kLightSamples; ++q) {
    uint32_t sum = 0;
    for (int32_t k = q + 1; k <= q + w; ++k) sum += k < kLightSamples ? row[k] : 0;  // past 399: 0
    const uint32_t v = sum / w;
    row[q] = static_cast<uint8_t>(v > 100 ? 100 : v);
  }
}

void DrawLightSample(LightEffect& e, uint8_t channel, uint16_t sample, uint8_t value) {
  if (sample >= kLightSamples) return;
  e.activeChannel = channel & 1;
  e.cursorIndex = sample;
  e.brightness[e.activeChannel][sample] = value > 100 ? 100 : value;
  if (e.sampleCount < sample) e.sampleCount = static_cast<uint16_t>(sample + 1);
}

void DrawLightLine(LightEffect& e, uint8_t channel, uint16_t fromSample, uint8_t fromValue,
                   uint16_t toSample, uint8_t toValue) {
  const int n = toSample > fromSample ? toSample - fromSample : fromSample - toSample;
  const int step = toSample >= fromSample ? 1 : -1;
  const int rise = int{toValue} - fromValue;
  for (int i = 0; i <= n; ++i) {
    // rounded to the nearest value, halves away from the start
    const int offset = n == 0 ? rise : (2 * rise * i + (rise < 0 ? -n : n)) / (2 * n);
    DrawLightSample(e, channel, static_cast<uint16_t>(fromSample + step * i),
                    static_cast<uint8_t>(fromValue + offset));
  }
}

}  // namespace trelvan
