// A stored sound as the handheld plays it: the sound file's data (segment
// count, table, groups) back to 16-bit samples at the stored rate. A single
// segment plays once; a start, loop and stop sound plays the start, the loop
// twice and the stop, so the user hears the joins. Bytes in, samples out.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr uint32_t kStoredSoundRate = 22050;  // one value per two samples of 44.1 kHz
constexpr int kPreviewLoops = 2;              // how often a preview plays the loop
constexpr char kNoSoundOutput[] = "This computer has no sound output - sounds can not be played here.";

// A 10-bit value as a 16-bit sample: 512 is silence, one step is 64.
inline int16_t SoundSample(uint16_t value) {
  return static_cast<int16_t>((static_cast<int>(value & 0x3FF) - 512) * 64);
}

// The samples of the data's segments into `out`, at most `capacity` (a
// longer sound is cut there). Returns the samples written; 0 when the
// segment count is not 1 or 3 or the table points past the data.
uint32_t DecodeSound(const uint8_t* data, uint32_t size, int16_t* out, uint32_t capacity);

}  // namespace trelvan
