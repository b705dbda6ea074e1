// Fuzz target: any bytes as a stored light-effect file, loaded as version 1
// and as version 2. Loading reads only inside the bytes given and leaves a
// curve the editor can save: at most 400 samples in its sections and one
// or two channels; saving and loading again gives the same bytes.
#include "fuzz_common.h"
#include "media/light_effect_format.h"

// The media golden folder's light-effect files.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "media/golden/light_effect", ".in",
                 [](const std::string&, const Bytes& b) { return b; });
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  for (const char* version : {"1.00", "2.00"}) {
    LightEffect e, back;
    NewLightEffect(e);
    NewLightEffect(back);
    if (!DecodeLightEffect(version, data, static_cast<uint32_t>(size), e)) continue;
    if (e.channelCount < 1 || e.channelCount > 2 || e.sampleCount > kLightSamples) {
      Fail("a curve the editor cannot hold");
    }
    if (uint32_t{e.startSamples} + e.loopSamples + e.stopSamples > kLightSamples) continue;
    Bytes saved(kLightFileCapacity), again(kLightFileCapacity);
    saved.resize(EncodeLightEffect(e, saved.data()));
    if (!DecodeLightEffect("2.00", saved.data(), static_cast<uint32_t>(saved.size()), back)) {
      Fail("its save refused");
    }
    again.resize(EncodeLightEffect(back, again.data()));
    if (again != saved) Fail("saving again gives other bytes");
  }
  return 0;
}
