#include "media/resample.h"

#include <cmath>
#include <cstring>

namespace trelvan {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The cut-off as a share of the lower Nyquist frequency, and the window's
// shape: with 128 taps at the lower rate the response falls from 0.91 to
// 1.0 of that frequency and stays some 90 dB down beyond it.
constexpr double kCutoff = 0.955;
constexpr double kKaiserBeta = 9.0;

// The modified Bessel function of the first kind, order 0, by its series.
double BesselI0(double x) {
  double sum = 1, term = 1;
  const double q = x * x / 4;
  for (int k = 1; k < 60 && term > sum * 1e-17; ++k) {
    term *= q / (double(k) * k);
    sum += term;
  }
  return sum;
}

// The filter at distance u, in periods of the lower rate (0 <= u).
float Tap(const Resampler& r, double u) {
  const double at = u * kResamplePhases;
  const uint32_t i = static_cast<uint32_t>(at);
  if (i >= kResampleZeroCrossings * kResamplePhases) return 0;
  const double f = at - i;
  return static_cast<float>(r.table[i] + (r.table[i + 1] - r.table[i]) * f);
}

// Makes the window hold input up to (not including) index `end`, dropping
// what lies before `keep`.
void Fill(Resampler& r, uint64_t keep, uint64_t end) {
  while (!r.ended && r.base + r.filled < end) {
    if (r.filled == kResampleWindow) {
      const uint64_t drop = keep > r.base ? keep - r.base : 0;
      if (drop == 0) return;  // cannot happen: the window holds twice the reach
      const uint32_t d = drop < r.filled ? static_cast<uint32_t>(drop) : r.filled;
      std::memmove(r.window, r.window + d, (r.filled - d) * sizeof(float));
      r.filled -= d;
      r.base += d;
    }
    const uint32_t got = r.source.read(r.source.context, r.window + r.filled, kResampleWindow - r.filled);
    if (got == 0) r.ended = 1;
    r.filled += got;
  }
}

}  // namespace

uint64_t ResampledLength(uint64_t frames, uint32_t inRate, uint32_t outRate) {
  if (inRate == outRate) return frames;
  return (frames * outRate + inRate / 2) / inRate;
}

void StartResampler(Resampler& r, uint32_t inRate, uint32_t outRate, MonoSource source) {
  r.inRate = inRate;
  r.outRate = outRate;
  r.scale = outRate < inRate ? double(outRate) / inRate : 1.0;
  r.base = 0;
  r.filled = 0;
  r.reach = static_cast<uint32_t>(std::ceil(kResampleZeroCrossings / r.scale)) + 1;
  r.produced = 0;
  r.ended = 0;
  r.source = source;
  const double norm = BesselI0(kKaiserBeta);
  for (uint32_t i = 0; i < kResampleTableSize; ++i) {
    const double u = double(i) / kResamplePhases;  // periods of the lower rate
    const double edge = u / kResampleZeroCrossings;
    if (edge >= 1) {
      r.table[i] = 0;
      continue;
    }
    const double x = kPi * kCutoff * u;
    const double sinc = u == 0 ? 1 : std::sin(x) / x;
    r.table[i] = static_cast<float>(kCutoff * sinc * BesselI0(kKaiserBeta * std::sqrt(1 - edge * edge)) / norm);
  }
}

void Resample(Resampler& r, float* out, uint32_t count) {
  for (uint32_t n = 0; n < count; ++n, ++r.produced) {
    // the output's position in input samples: whole part and fraction
    const uint64_t num = r.produced * r.inRate;
    const int64_t whole = static_cast<int64_t>(num / r.outRate);
    const double frac = double(num % r.outRate) / r.outRate;
    const int64_t first = whole - r.reach + 1, last = whole + r.reach;
    Fill(r, first > 0 ? static_cast<uint64_t>(first) : 0, static_cast<uint64_t>(last + 1));
    double sum = 0;
    const int64_t held = static_cast<int64_t>(r.base + r.filled);
    for (int64_t k = first < 0 ? 0 : first; k <= last && k < held; ++k) {
      if (k < static_cast<int64_t>(r.base)) continue;
      const double u = std::fabs(double(whole - k) + frac) * r.scale;
      sum += r.window[k - static_cast<int64_t>(r.base)] * Tap(r, u);
    }
    out[n] = static_cast<float>(sum * r.scale);
  }
}

}  // namespace trelvan
