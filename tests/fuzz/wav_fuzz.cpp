// Fuzz target: any bytes as one or three WAV files, and as a stored sound's
// data for the player's decoder (which reads only inside the bytes given). The header check and
// the encoder read only inside the bytes given; an accepted sound's data
// ends exactly after the last segment's groups (5 bytes for every 4 values).
// Each segment's offset in the table is the golden folder's to check.
#include "fuzz_common.h"
#include "media/sound_decode.h"
#include "media/sound_format.h"

namespace trelvan::fuzz {
namespace {

uint32_t ReadInput(void* context, uint8_t, uint32_t offset, uint8_t* out, uint32_t count) {
  const Bytes& f = *static_cast<const Bytes*>(context);
  const uint32_t n = offset < f.size() ? std::min<uint32_t>(count, f.size() - offset) : 0;
  for (uint32_t i = 0; i < n; ++i) out[i] = f[offset + i];
  return n;
}

}  // namespace

// The media golden folder's WAV files, each as one file of every segment
// count and buffer size.
void WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "media/golden/sound", ".wav", [](const std::string&, Bytes b) {
    b.insert(b.begin(), 0xFE);
    return b;
  });
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t n = (data[0] & 1) ? 3 : 1;
  Bytes input(data + 1, data + size);
  static Bytes buffer(0x200000);
  uint32_t filled = 0;
  // Small buffers reach the length limit; at most 130 KB, so that a sound the
  // rate converter makes whole stays well inside the time limit of one input.
  const uint32_t capacity = 1 + (data[0] >> 1) * 1024u;
  static std::vector<int16_t> samples(1 << 16);
  DecodeSound(data, static_cast<uint32_t>(size), samples.data(), static_cast<uint32_t>(samples.size()));
  static Resampler* work = new Resampler;
  if (BuildSoundData({ReadInput, &input}, n, 20, buffer.data(), capacity, &filled, *work) != kWavOk) return 0;
  if (buffer[0] != n || filled + 20 > capacity) Fail("a sound beyond its buffer");
  uint32_t offset = 1 + 8u * n;
  for (uint8_t i = 0; i < n; ++i) offset += 5 * SoundGroupCount(ReadU32LE(&buffer[5 + 8 * i]));
  if (offset != filled) Fail("the data does not end after the last segment");
  return 0;
}

}  // namespace trelvan::fuzz
