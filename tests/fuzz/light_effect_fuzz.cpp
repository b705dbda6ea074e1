// Fuzz target: any bytes as a stored light-effect file of version 1 or 2.
// Loading reads only inside the bytes given and leaves a curve the editor
// can save: at most 400 samples in its sections and one or two channels;
// saving and loading again gives the same bytes.
#include <map>

#include "fuzz_common.h"
#include "media/light_effect_format.h"

// The media golden folder's light-effect files, each flagged with the
// version its line in cases.txt gives.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  std::ifstream cases(std::string(TRELVAN_TESTS_DIR) + "/media/golden/light_effect/cases.txt");
  std::map<std::string, std::string> versions;
  for (std::string name, version, rest; cases >> name >> version && std::getline(cases, rest);) {
    versions[name] = version;
  }
  AddGoldenSeeds(seeds, "media/golden/light_effect", ".in", [&](const std::string& name, Bytes b) {
    b.insert(b.begin(), versions[name].rfind("2", 0) == 0 ? 1 : 0);
    return b;
  });
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const Bytes bytes(data + 1, data + size);
  LightEffect e, back;
  NewLightEffect(e);
  NewLightEffect(back);
  const char* version = (data[0] & 1) ? "2.00" : "1.00";
  if (!DecodeLightEffect(version, bytes.data(), static_cast<uint32_t>(bytes.size()), e)) return 0;
  if (e.channelCount < 1 || e.channelCount > 2 || e.sampleCount > kLightSamples) {
    Fail("a curve the editor cannot hold");
  }
  if (uint32_t{e.startSamples} + e.loopSamples + e.stopSamples > kLightSamples) return 0;
  Bytes saved(kLightFileCapacity), again(kLightFileCapacity);
  saved.resize(EncodeLightEffect(e, saved.data()));
  if (!DecodeLightEffect("2.00", saved.data(), static_cast<uint32_t>(saved.size()), back)) {
    Fail("its save refused");
  }
  again.resize(EncodeLightEffect(back, again.data()));
  if (again != saved) Fail("saving again gives other bytes");
  return 0;
}
