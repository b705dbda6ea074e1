// The three media formats against their golden folders: each folder holds
// input files beside the exact bytes they must become, written by the
// folder's make_golden.py from the format's rules. What reaches the storage
// through the three manager pages is the golden scripts picture_*.run,
// sound_*.run and light_effect_*.run.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "media/conversions.h"
#include "media/light_effect_format.h"
#include "media/picture_format.h"
#include "media/sound_format.h"
#include "media/media.h"
#include "storage/storage_fixture.h"
#include "storage/whole_file.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ReadHostFile;
using testing::StorageTest;

std::string Folder(const char* name) { return std::string(TRELVAN_MEDIA_GOLDEN) + "/" + name + "/"; }

std::vector<std::vector<std::string>> Cases(const std::string& folder) {
  std::ifstream in(folder + "cases.txt");
  std::vector<std::vector<std::string>> cases;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    cases.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
  }
  EXPECT_FALSE(cases.empty()) << folder;
  return cases;
}

TEST(MediaGolden, PicturesFromBmpFiles) {
  const std::string folder = Folder("picture");
  for (const auto& c : Cases(folder)) {
    const Bytes bmp = ReadHostFile(folder + c[0] + ".bmp");
    Bytes record(kPictureRecordSize);
    ASSERT_EQ(ConvertBmp(bmp.data(), static_cast<uint32_t>(bmp.size()), record.data()),
              std::stoi(c[1])) << c[0];
    if (c[1] == "0") {
      EXPECT_EQ(record, ReadHostFile(folder + c[0] + ".out")) << c[0];
    }
  }
}

struct Segments {
  std::vector<Bytes> files;
  static uint32_t Read(void* context, uint8_t segment, uint32_t offset, uint8_t* out,
                       uint32_t count) {
    const Bytes& f = static_cast<Segments*>(context)->files[segment];
    uint32_t n = 0;
    for (; n < count && offset + n < f.size(); ++n) out[n] = f[offset + n];
    return n;
  }
};

TEST(MediaGolden, SoundsFromWavFiles) {
  const std::string folder = Folder("sound");
  std::vector<uint8_t> buffer(kSoundBufferSize);
  for (const auto& c : Cases(folder)) {
    Segments wavs;
    for (size_t i = 2; i < c.size(); ++i) wavs.files.push_back(ReadHostFile(folder + c[i]));
    uint32_t size = 0;
    const int result = BuildSoundData({Segments::Read, &wavs}, static_cast<uint8_t>(wavs.files.size()),
                                      20, buffer.data(), kSoundBufferSize, &size);
    ASSERT_EQ(result, std::stoi(c[1])) << c[0];
    if (result != kWavOk) continue;
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + size), ReadHostFile(folder + c[0] + ".out")) << c[0];
  }
}

TEST(MediaGolden, LightEffectsLoadedEditedAndSaved) {
  const std::string folder = Folder("light_effect");
  for (const auto& c : Cases(folder)) {
    LightEffect e;
    NewLightEffect(e);
    const Bytes in = ReadHostFile(folder + c[0] + ".in");
    DecodeLightEffect(c[1].c_str(), in.data(), static_cast<uint32_t>(in.size()), e);
    e.cursorIndex = static_cast<uint16_t>(std::stoi(c[4]));
    e.activeChannel = static_cast<uint8_t>(std::stoi(c[5]));
    const int arg = std::stoi(c[3]);
    const std::string& op = c[2];
    if (op == "increase") NaturalIncrease(e, static_cast<uint16_t>(arg));
    if (op == "decrease") NaturalDecrease(e, static_cast<uint16_t>(arg));
    if (op == "sine") SineCurve(e, static_cast<uint16_t>(arg));
    if (op == "level") LevelAdjust(e, static_cast<uint16_t>(arg));
    if (op == "shift") ShiftCurve(e, static_cast<int16_t>(arg));
    if (op == "average") AverageCurve(e, static_cast<uint16_t>(arg));
    Bytes out(kLightFileCapacity);
    out.resize(EncodeLightEffect(e, out.data()));
    EXPECT_EQ(out, ReadHostFile(folder + c[0] + ".out")) << c[0];
  }
}

// A stored file of another type loads nothing and leaves the effect as it was.
TEST_F(StorageTest, AFileThatIsNoLightEffectLoadsNothing) {
  const uint8_t data[4] = {1, 2, 3, 4};
  ASSERT_TRUE(StorageWriteRecord(*s, "Lamp 2", "", "Picture", "1.00", data, sizeof data));
  LightEffect e;
  NewLightEffect(e);
  e.startSamples = 300;
  e.brightness[0][7] = 40;
  const LightEffect before = e;
  EXPECT_EQ(LoadLightEffect(*s, static_cast<uint16_t>(StorageFindFile(*s, "Lamp 2")), e), 0);
  EXPECT_EQ(0, memcmp(&before, &e, sizeof e));
}

}  // namespace
}  // namespace trelvan
