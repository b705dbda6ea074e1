// WAVs of any layout the Sound Manager takes, as the 16-bit mono samples at
// 44.1 kHz the sound format starts from: each frame's channels averaged,
// integers and floats scaled to -1 to 1, other rates converted, then
// rounded to 16 bits and clipped. Bytes in (through a WavReader), samples out.
#pragma once

#include <cstdint>

#include "media/resample.h"
#include "media/sound_format.h"

namespace trelvan {

constexpr uint32_t kWavConvertBlock = 2048;  // samples made per call

// One segment's conversion under way.
struct WavConverter {
  const WavReader* wavs;
  uint8_t segment;
  uint32_t start;       /**< the data chunk's first byte in the file */
  uint32_t frameBytes;  /**< bytes of one frame: channels x bits / 8 */
  uint64_t frames;      /**< frames the data chunk declares */
  uint64_t at;          /**< the next frame to read */
  uint64_t length;      /**< samples the conversion gives */
  uint64_t made;        /**< samples given so far */
  WavFormat format;
  Resampler* resampler; /**< null when the rate is already 44.1 kHz */
  uint8_t failed;       /**< 1: the file stopped opening */
};

// Samples a segment of this format and data chunk becomes.
uint64_t WavConvertedLength(const WavData& data, const WavFormat& f);

// Starts converting segment `segment` (its header accepted by ReadWavHeader).
void StartWavConverter(WavConverter& c, const WavReader& wavs, uint8_t segment, const WavData& data,
                       const WavFormat& f, Resampler& work);

// The next samples, at most `count` (kWavConvertBlock at most), into `out`;
// the number given (0 at the end), or kWavReadFailed. A file shorter than
// its data chunk ends in silence.
uint32_t ConvertWavBlock(WavConverter& c, int16_t* out, uint32_t count);

// The whole of one WAV converted into `out` (at most `capacity`); the
// samples written, or kWavReadFailed.
uint32_t ConvertWavSamples(const WavReader& wavs, uint8_t segment, const WavData& data,
                           const WavFormat& f, Resampler& work, int16_t* out, uint32_t capacity);

}  // namespace trelvan
