// Fuzz target: any bytes as a stored light-effect file, loaded as version 1
// and as version 2, and saved again. Loading reads only inside the bytes
// given and leaves a curve the editor can hold: at most 400 samples and one
// or two channels. The saved bytes are the golden folder's to check.
#include "fuzz_common.h"
#include "media/light_effect_format.h"

// The media golden folder's light-effect files.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "media/golden/light_effect", ".in",
                 [](const std::string&, const Bytes& b) { return b; });
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  for (const char* version : {"1.00", "2.00"}) {
    LightEffect e;
    NewLightEffect(e);
    if (!DecodeLightEffect(version, data, static_cast<uint32_t>(size), e)) continue;
    if (e.channelCount < 1 || e.channelCount > 2 || e.sampleCount > kLightSamples) {
      Fail("a curve the editor cannot hold");
    }
    Bytes saved(kLightFileCapacity);
    EncodeLightEffect(e, saved.data());
  }
  return 0;
}
