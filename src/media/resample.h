// Sample-rate conversion for sounds: a mono stream of any rate becomes the
// 44.1 kHz the sound format starts from. Each output sample is the input
// weighed by a Kaiser-windowed sinc low-pass whose cut-off lies just below
// the lower of the two Nyquist frequencies, so nothing above it folds back.
// Samples in, samples out: where the input comes from is the caller's.
#pragma once

#include <cstdint>

namespace trelvan {

// The filter reaches kResampleZeroCrossings periods of the lower rate to
// each side; the table holds one side at kResamplePhases points per period.
constexpr int kResampleZeroCrossings = 64;
constexpr int kResamplePhases = 512;
constexpr uint32_t kResampleTableSize = kResampleZeroCrossings * kResamplePhases + 2;
// Input kept around the output's position: the filter's reach at the lowest
// ratio (768 kHz to 44.1 kHz reaches 1,115 input samples each way) and room to read ahead.
constexpr uint32_t kResampleWindow = 8192;
constexpr uint32_t kResampleLowestRate = 1000;
constexpr uint32_t kResampleHighestRate = 768000;

// Where the mono input comes from: up to `count` samples in order into
// `out`; returns how many, 0 at the end.
struct MonoSource {
  uint32_t (*read)(void* context, float* out, uint32_t count);
  void* context;
};

// The converter's memory, kept by its owner (no allocation while it runs).
struct Resampler {
  float table[kResampleTableSize];
  float window[kResampleWindow];
  uint32_t inRate, outRate;
  double scale;       /**< out / in, at most 1: the filter's width in input samples is 1 / scale */
  uint64_t base;      /**< input index of window[0] */
  uint32_t filled;    /**< input samples held from base */
  uint32_t reach;     /**< input samples the filter needs on each side */
  uint64_t produced;  /**< output samples given so far */
  uint8_t ended;      /**< 1: the source has nothing more */
  MonoSource source;
};

// Output samples for `frames` input samples: frames x out / in, rounded.
uint64_t ResampledLength(uint64_t frames, uint32_t inRate, uint32_t outRate);

// Makes the filter for converting `inRate` to `outRate` and starts at the
// source's first sample. Rates lie within the lowest and highest above.
void StartResampler(Resampler& r, uint32_t inRate, uint32_t outRate, MonoSource source);

// The next `count` output samples into `out`, as values of -1 to 1 (not
// clipped). Past the source's end the input counts as silence.
void Resample(Resampler& r, float* out, uint32_t count);

}  // namespace trelvan
