#include "media/sound_decode.h"

#include "media/sound_format.h"
#include "storage/bytes.h"

namespace trelvan {

namespace {

// Appends `count` values of the groups at `groups`; returns the new fill.
uint32_t DecodeSegment(const uint8_t* groups, uint32_t count, int16_t* out, uint32_t fill,
                       uint32_t capacity) {
  for (uint32_t v = 0; v < count && fill < capacity; v += 4) {
    uint16_t values[4];
    UnpackSoundGroup(groups + v / 4 * kSoundGroupBytes, values);
    for (uint32_t k = 0; k < 4 && v + k < count && fill < capacity; ++k) {
      out[fill++] = SoundSample(values[k]);
    }
  }
  return fill;
}

}  // namespace

uint32_t DecodeSound(const uint8_t* data, uint32_t size, int16_t* out, uint32_t capacity) {
  if (size < 1) return 0;
  const uint8_t n = data[0];
  if ((n != 1 && n != 3) || size < 1 + 8u * n) return 0;
  uint32_t offsets[kMaxSoundSegments], counts[kMaxSoundSegments];
  for (uint8_t i = 0; i < n; ++i) {
    offsets[i] = ReadU32LE(data + 1 + 8 * i);
    counts[i] = ReadU32LE(data + 5 + 8 * i);
    if (offsets[i] + (uint64_t{counts[i]} + 3) / 4 * kSoundGroupBytes > size) {
      return 0;
    }
  }
  // start, the loop kPreviewLoops times, stop; or the one segment
  static_assert(kPreviewLoops == 2, "the order below plays the loop twice");
  const uint8_t order[2 + kPreviewLoops] = {0, 1, 1, 2};
  const int plays = n == 1 ? 1 : 2 + kPreviewLoops;
  uint32_t fill = 0;
  for (int p = 0; p < plays; ++p) {
    const uint8_t i = order[p];
    fill = DecodeSegment(data + offsets[i], counts[i], out, fill, capacity);
  }
  return fill;
}

}  // namespace trelvan
