#include "media/wav_convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "storage/bytes.h"

namespace trelvan {

namespace {

constexpr uint32_t kFrameChunk = 8192;  // file bytes read at a time
// Float samples are held within this many times full scale. The output clips
// at full scale anyway; a larger value would become infinity as a float, and
// infinity times the filter's zero taps is not a number.
constexpr double kFloatSampleLimit = 1e6;

// A float sample: a non-number counts as silence, a value far past full
// scale as the limit.
double FloatSample(double v) {
  return std::isfinite(v) ? std::clamp(v, -kFloatSampleLimit, kFloatSampleLimit) : 0.0;
}

// One sample of the frame at `p`, as -1 to 1.
double SampleValue(const uint8_t* p, const WavFormat& f) {
  if (f.tag == kWavFormatFloat) {
    if (f.bits == 32) {
      const uint32_t bits = ReadU32LE(p);
      float v;
      std::memcpy(&v, &bits, sizeof v);
      return FloatSample(v);
    }
    const uint64_t bits = ReadU32LE(p) | (uint64_t{ReadU32LE(p + 4)} << 32);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return FloatSample(v);
  }
  switch (f.bits) {
    case 8: return (p[0] - 128) / 128.0;  // 8-bit WAV samples are unsigned
    case 16: return static_cast<int16_t>(ReadU16LE(p)) / 32768.0;
    case 24: {
      const int32_t v = static_cast<int32_t>((uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) |
                                             (uint32_t{p[2]} << 24)) >> 8;
      return v / 8388608.0;
    }
    default: return static_cast<int32_t>(ReadU32LE(p)) / 2147483648.0;
  }
}

// Up to `count` frames mixed to mono into `out`; 0 at the end of the chunk.
uint32_t ReadFrames(void* context, float* out, uint32_t count) {
  WavConverter& c = *static_cast<WavConverter*>(context);
  if (c.failed || c.at >= c.frames) return 0;
  uint64_t want = c.frames - c.at;
  if (want > count) want = count;
  if (want > kFrameChunk / c.frameBytes) want = kFrameChunk / c.frameBytes;
  const uint32_t n = static_cast<uint32_t>(want);
  uint8_t bytes[kFrameChunk];
  const uint64_t offset = c.start + c.at * c.frameBytes;
  uint32_t got = offset > 0xFFFFFFFFu ? 0
      : c.wavs->read(c.wavs->context, c.segment, static_cast<uint32_t>(offset), bytes, n * c.frameBytes);
  if (got == kWavReadFailed) {
    c.failed = 1;
    return 0;
  }
  std::memset(bytes + got, 0, n * c.frameBytes - got);  // past the file's end: silence
  if (c.format.tag == kWavFormatPcm && c.format.bits == 8) {
    for (uint32_t i = got; i < n * c.frameBytes; ++i) bytes[i] = 128;
  }
  const uint32_t sampleBytes = c.format.bits / 8u;
  for (uint32_t i = 0; i < n; ++i) {
    double sum = 0;
    const uint8_t* frame = bytes + i * c.frameBytes;
    for (uint32_t ch = 0; ch < c.format.channels; ++ch) sum += SampleValue(frame + ch * sampleBytes, c.format);
    out[i] = static_cast<float>(sum / c.format.channels);
  }
  c.at += n;
  return n;
}

int16_t ToSample(float v) {
  const double x = std::floor(double(v) * 32768.0 + 0.5);
  return static_cast<int16_t>(x > 32767 ? 32767 : x < -32768 ? -32768 : x);
}

}  // namespace

uint64_t WavConvertedLength(const WavData& data, const WavFormat& f) {
  const uint64_t frames = data.bytes / (uint32_t{f.channels} * (f.bits / 8u));
  return ResampledLength(frames, f.rate, kWavTargetRate);
}

void StartWavConverter(WavConverter& c, const WavReader& wavs, uint8_t segment, const WavData& data,
                       const WavFormat& f, Resampler& work) {
  c.wavs = &wavs;
  c.segment = segment;
  c.start = data.start;
  c.frameBytes = uint32_t{f.channels} * (f.bits / 8u);
  c.frames = data.bytes / c.frameBytes;
  c.at = 0;
  c.length = WavConvertedLength(data, f);
  c.made = 0;
  c.format = f;
  c.failed = 0;
  c.resampler = nullptr;
  if (f.rate != kWavTargetRate) {
    c.resampler = &work;
    StartResampler(work, f.rate, kWavTargetRate, MonoSource{ReadFrames, &c});
  }
}

uint32_t ConvertWavBlock(WavConverter& c, int16_t* out, uint32_t count) {
  if (count > kWavConvertBlock) count = kWavConvertBlock;
  if (c.length - c.made < count) count = static_cast<uint32_t>(c.length - c.made);
  float values[kWavConvertBlock];
  if (c.resampler) {
    Resample(*c.resampler, values, count);
  } else {
    uint32_t got = 0;
    while (got < count) {
      const uint32_t n = ReadFrames(&c, values + got, count - got);
      if (n == 0) break;
      got += n;
    }
    count = got;
  }
  if (c.failed) return kWavReadFailed;
  for (uint32_t i = 0; i < count; ++i) out[i] = ToSample(values[i]);
  c.made += count;
  return count;
}

uint32_t ConvertWavSamples(const WavReader& wavs, uint8_t segment, const WavData& data,
                           const WavFormat& f, Resampler& work, int16_t* out, uint32_t capacity) {
  WavConverter c;
  StartWavConverter(c, wavs, segment, data, f, work);
  uint32_t fill = 0;
  while (fill < capacity) {
    const uint32_t n = ConvertWavBlock(c, out + fill, capacity - fill);
    if (n == kWavReadFailed) return kWavReadFailed;
    if (n == 0) break;
    fill += n;
  }
  return fill;
}

}  // namespace trelvan
