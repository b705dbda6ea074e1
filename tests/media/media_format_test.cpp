// The three media formats against their golden folders: each folder holds
// input files beside the exact bytes they must become, written by the
// folder's make_golden.py from the format's rules. What reaches the storage
// through the three manager pages is the golden scripts picture_*.run,
// sound_*.run and light_effect_*.run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "media/conversions.h"
#include "media/light_effect_format.h"
#include "media/light_effect_play.h"
#include "media/picture_format.h"
#include "media/picture_stb.h"
#include "media/sound_decode.h"
#include "media/sound_format.h"
#include "media/resample.h"
#include "media/wav_convert.h"
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

// A PNG or JPEG file's bytes decoded in `work`, as the picture conversion does.
int Decode(PictureWork& work, const Bytes& file, const uint8_t** pixels, PictureInfo* info) {
  std::copy(file.begin(), file.end(), work.memory);
  return DecodePngOrJpeg(work.memory, kPictureMemory, static_cast<uint32_t>(file.size()), pixels, info);
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
  auto work = std::make_unique<Resampler>();
  std::map<std::string, std::string> described;
  for (const auto& c : Cases(folder)) {
    Segments wavs;
    for (size_t i = 2; i < c.size(); ++i) wavs.files.push_back(ReadHostFile(folder + c[i]));
    uint32_t size = 0;
    WavFormat formats[kMaxSoundSegments]{};
    const int result = BuildSoundData({Segments::Read, &wavs}, static_cast<uint8_t>(wavs.files.size()),
                                      20, buffer.data(), kSoundBufferSize, &size, *work, formats);
    ASSERT_EQ(result, std::stoi(c[1])) << c[0];
    if (result != kWavOk) {
      char what[100];
      DescribeWavRefusal(result, formats[0], what, sizeof what);
      described[c[0]] = what;
      continue;
    }
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + size), ReadHostFile(folder + c[0] + ".out")) << c[0];
    // played back as the handheld plays it: start, the loop twice, stop
    std::vector<int16_t> samples(2 * size);
    samples.resize(DecodeSound(buffer.data(), size, samples.data(), static_cast<uint32_t>(samples.size())));
    const Bytes pcm = ReadHostFile(folder + c[0] + ".pcm");
    EXPECT_EQ(Bytes(reinterpret_cast<uint8_t*>(samples.data()),
                    reinterpret_cast<uint8_t*>(samples.data() + samples.size())), pcm) << c[0];
    // damaged: the table points past the data
    EXPECT_EQ(DecodeSound(buffer.data(), size - 1, samples.data(), 1000), 0u) << c[0];
  }
  // each refusal says what the file is and what would be taken (a
  // compressed one's is sound_stored.run's and the media inspector's)
  const std::map<std::string, std::string> expected = {
      {"extensible_float", "This file: 16-bit floating point; 8, 16, 24, 32-bit PCM or 32, 64-bit float is taken."},
      {"forty_channels", "This file: 40 channels; 1 to 32 channels are taken."},
      {"no_channels", "This file: 0 channels; 1 to 32 channels are taken."},
      {"rate_zero", "This file: 0 Hz; rates of 1 to 768 kHz are taken."},
      {"twelve_bit", "This file: 12-bit PCM; 8, 16, 24, 32-bit PCM or 32, 64-bit float is taken."},
      {"no_data_chunk", "This file: no data chunk; a WAV with a format and a data chunk is taken."},
      {"no_fmt_chunk", "This file: no format chunk; a WAV with a format and a data chunk is taken."}};
  for (const auto& [name, text] : expected) EXPECT_EQ(described[name], text) << name;
}

// Pictures of each layout ImageMagick writes (and the few BMP layouts it
// does not, written from its pixels), fitted to 480 x 180 and held against
// ImageMagick's own fitting: the exact size exactly; grown pictures every
// channel of every pixel within 2 levels of 255 (measured: 1 or 2, 0.16 to
// 0.77 on average); a shrunk one within 1 level on average (measured: 0.28;
// single pixels on sharp edges up to 53, where the two box filters cut a
// source pixel differently). A run-length packed BMP is refused. The BMPs
// of the picture folder become the exact records beside them; its damaged
// and unread files are refused. Whether a picture was scaled or cut is said
// by the picture manager (its golden scripts) and the media inspector.
TEST(MediaGolden, PicturesOfEveryLayoutFitted) {
  auto work = std::make_unique<PictureWork>();
  for (const char* name : {"picture", "picture_layouts"}) {
    const std::string folder = Folder(name);
    for (const auto& c : Cases(folder)) {
      Bytes in;  // the case's one input file, whichever its kind
      for (const char* ext : {".bmp", ".png", ".jpg"}) {
        if (in.empty()) in = ReadHostFile(folder + c[0] + ext);
      }
      ASSERT_FALSE(in.empty()) << c[0];
      std::copy(in.begin(), in.end(), work->memory);
      Bytes record(kPictureRecordSize);
      PictureInfo info;
      ASSERT_EQ(ConvertPictureFile(*work, static_cast<uint32_t>(in.size()), record.data(), &info),
                std::stoi(c[1])) << c[0];
      if (c[1] != "0") continue;
      if (folder == Folder("picture")) {
        EXPECT_EQ(record, ReadHostFile(folder + c[0] + ".out")) << c[0];
        continue;
      }
      const Bytes fitted(work->fitted, work->fitted + sizeof work->fitted);
      const uint8_t* pixels = nullptr;
      PictureInfo refInfo;
      ASSERT_EQ(Decode(*work, ReadHostFile(folder + c[0] + ".fit.png"), &pixels, &refInfo), kPictureDone) << c[0];
      ASSERT_EQ(refInfo.width, 480u);
      double sum = 0;
      int worst = 0;
      for (uint32_t i = 0; i < 480u * 180; ++i) {
        for (int ch = 0; ch < 3; ++ch) {
          const int d = std::abs(int(fitted[3 * i + ch]) - pixels[4 * i + ch]);
          sum += d;
          worst = std::max(worst, d);
        }
      }
      const double mean = sum / (480.0 * 180 * 3);
      if (c[0] == "bmp1_exact") {
        EXPECT_EQ(worst, 0) << c[0];
      } else {
        EXPECT_LE(mean, 1.0) << c[0];
        if (info.width < 480) {
          EXPECT_LE(worst, 2) << c[0];
        }
      }
      // the record is the fitted picture halved
      Bytes halved(kPictureRecordSize);
      PictureRecordFromRgb(fitted.data(), halved.data());
      EXPECT_EQ(record, halved) << c[0];
    }
  }
}

// The samples of a whole WAV as the Sound Manager takes them.
std::vector<int16_t> Converted(const Bytes& file, Resampler& work, WavFormat* format) {
  Segments wav{{file}};
  const WavReader reader{Segments::Read, &wav};
  WavData data;
  EXPECT_EQ(ReadWavHeader(reader, 0, &data, format), kWavOk);
  std::vector<int16_t> out(1 << 20);
  const uint32_t n = ConvertWavSamples(reader, 0, data, *format, work, out.data(), static_cast<uint32_t>(out.size()));
  EXPECT_NE(n, kWavReadFailed);
  out.resize(n == kWavReadFailed ? 0 : n);
  return out;
}

// Layouts made by sox, each converted to 16-bit mono at 44.1 kHz and held
// against sox's own conversion (high quality, no dither): the same length,
// every sample within 2 steps of 16 bits and 0.35 steps RMS (measured: 1
// step, 0.06 to 0.28 RMS); from 8 bits within 6 steps and 2 RMS (measured:
// 4, 1.5). Where no rate changes, mixing alone gives sox's samples exactly.
// The sound stored from a converted one is sound_stored.run's.
TEST(MediaGolden, WavLayoutsAgreeWithSox) {
  const std::string folder = Folder("layouts");
  auto work = std::make_unique<Resampler>();
  for (const auto& c : Cases(folder)) {
    WavFormat f{}, plain{};
    const std::vector<int16_t> ours = Converted(ReadHostFile(folder + c[0] + ".wav"), *work, &f);
    const std::vector<int16_t> sox = Converted(ReadHostFile(folder + c[0] + ".sox.wav"), *work, &plain);
    ASSERT_TRUE(IsPlainWav(plain)) << c[0];
    ASSERT_EQ(ours.size(), sox.size()) << c[0];
    ASSERT_GT(ours.size(), 2000u) << c[0];
    int worst = 0;
    size_t where = 0;
    double squares = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
      const int d = std::abs(ours[i] - sox[i]);
      if (d > worst) where = i;
      worst = std::max(worst, d);
      squares += double(d) * d;
    }
    const double rms = std::sqrt(squares / ours.size());
    // an 8-bit file's own rounding noise (some 74 steps) reaches the band
    // edge, where the two filters fall at slightly different places
    const bool eightBit = f.bits == 8;
    EXPECT_LE(worst, f.rate == 44100 ? 0 : eightBit ? 6 : 2) << c[0] << " at sample " << where;
    EXPECT_LE(rms, eightBit ? 2.0 : 0.35) << c[0];
  }
}

// Float samples far past full scale clip at full scale through the rate
// converter (a run of 1e300 became infinity there, and then not a number).
TEST(MediaGolden, FloatSamplesFarPastFullScaleClip) {
  Bytes file = ReadHostFile(Folder("layouts") + "f64_mono_8000.wav");
  Segments wav{{file}};
  WavData data;
  WavFormat f;
  ASSERT_EQ(ReadWavHeader({Segments::Read, &wav}, 0, &data, &f), kWavOk);
  const double huge = 1e300;
  for (uint32_t at = data.start; at + 8 <= data.start + data.size; at += 8) std::memcpy(&file[at], &huge, 8);
  auto work = std::make_unique<Resampler>();
  const std::vector<int16_t> out = Converted(file, *work, &f);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(std::count(out.begin(), out.end(), 32767), static_cast<long>(out.size()));
}

// A PNG of one row of 8-bit palette indices, its palette chunk written
// `palettes` times; stored (uncompressed) deflate, every sum as the format has it.
Bytes PalettePng(const Bytes& palette, const Bytes& indices, int palettes = 1) {
  const auto be32 = [](Bytes& b, uint32_t v) { for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s)); };
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const auto chunk = [&](const char* type, const Bytes& data) {
    Bytes c(type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t byte : c) {
      crc ^= byte;
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    be32(png, uint32_t(data.size()));
    png.insert(png.end(), c.begin(), c.end());
    be32(png, ~crc);
  };
  Bytes header;
  be32(header, uint32_t(indices.size()));
  be32(header, 1);
  header.insert(header.end(), {8, 3, 0, 0, 0});
  chunk("IHDR", header);
  for (int i = 0; i < palettes; ++i) chunk("PLTE", palette);
  Bytes row = {0};  // filter: none
  row.insert(row.end(), indices.begin(), indices.end());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : row) b = (b + (a = (a + byte) % 65521)) % 65521;
  Bytes z = {0x78, 0x01, 1, uint8_t(row.size()), uint8_t(row.size() >> 8), uint8_t(~row.size()),
             uint8_t(~row.size() >> 8)};
  z.insert(z.end(), row.begin(), row.end());
  be32(z, b << 16 | a);
  chunk("IDAT", z);
  chunk("IEND", {});
  return png;
}

// Pixels that name entries past the end of their palette are black, not
// what an earlier picture's palette left in the decoder; a PNG with two
// palettes, or an empty one, is refused.
TEST(MediaFormats, PngPixelsPastThePaletteAreBlack) {
  auto work = std::make_unique<PictureWork>();
  const auto decoded = [&](const Bytes& png, Bytes* pixels) {
    const uint8_t* rgba = nullptr;
    PictureInfo info;
    const int result = Decode(*work, png, &rgba, &info);
    if (result == kPictureDone) pixels->assign(rgba, rgba + 4 * info.width);
    return result;
  };
  Bytes pixels;
  ASSERT_EQ(decoded(PalettePng(Bytes(768, 0xFF), {0, 200, 255}), &pixels), kPictureDone);
  EXPECT_EQ(pixels, Bytes(12, 0xFF));
  const Bytes red = {0xFF, 0, 0};
  ASSERT_EQ(decoded(PalettePng(red, {0, 1, 200, 255}), &pixels), kPictureDone);
  EXPECT_EQ(pixels, (Bytes{0xFF, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF}));
  EXPECT_EQ(decoded(PalettePng(red, {0}, 2), &pixels), kPictureDamaged);
  EXPECT_EQ(decoded(PalettePng({}, {0}), &pixels), kPictureDamaged);
}

// What the user is told was done to a file (a stereo 48 kHz one's is
// sound_stored.run's).
TEST(MediaFormats, ConversionsAreNamed) {
  const auto said = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    char text[64];
    DescribeWavConversion(WavFormat{3, tag, channels, rate, bits}, text, sizeof text);
    return std::string(text);
  };
  EXPECT_EQ(said(kWavFormatPcm, 1, 11025, 8), "11.025 kHz 8-bit made 44.1 kHz 16-bit");
  EXPECT_EQ(said(kWavFormatFloat, 6, 44100, 32), "6 channels 32-bit float made mono 16-bit");
  EXPECT_EQ(said(kWavFormatPcm, 1, 22050, 16), "22.05 kHz made 44.1 kHz");
  EXPECT_EQ(said(kWavFormatPcm, 1, 44100, 16), "");
}

// A tone above the new Nyquist frequency is taken out instead of folding
// back into the band (the layouts compared with sox hold nothing there; the
// band's level and edge are that comparison's).
TEST(MediaFormats, ResamplingStopsAliases) {
  auto r = std::make_unique<Resampler>();
  struct Tone {
    double hz, rate;
    uint32_t at = 0;
    static uint32_t Read(void* context, float* out, uint32_t count) {
      Tone& t = *static_cast<Tone*>(context);
      if (t.at >= 96000) return 0;
      const uint32_t n = std::min<uint32_t>(count, 96000 - t.at);
      for (uint32_t i = 0; i < n; ++i) out[i] = float(0.5 * std::sin(2 * M_PI * t.hz * (t.at + i) / t.rate));
      t.at += n;
      return n;
    }
  };
  const auto level = [&](double hz) {
    Tone t{hz, 96000};
    StartResampler(*r, 96000, 44100, MonoSource{Tone::Read, &t});
    std::vector<float> out(44100);
    Resample(*r, out.data(), static_cast<uint32_t>(out.size()));
    double sum = 0;
    for (size_t i = 4410; i < 39690; ++i) sum += double(out[i]) * out[i];  // away from the ends
    return std::sqrt(sum / (39690 - 4410)) * std::sqrt(2.0) / 0.5;
  };
  EXPECT_LT(level(25000), 1e-4);  // would fold back to 19.1 kHz
  EXPECT_LT(level(40000), 1e-4);
  EXPECT_EQ(ResampledLength(1001, 48000, 44100), 920u);  // 919.67, rounded as sox does
  EXPECT_EQ(ResampledLength(1003, 48000, 44100), 922u);  // 921.51
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

// A stored file of another type loads nothing and leaves the effect as it
// was, even when its data would read as a light effect (one channel, one
// sample each for start, loop and stop).
TEST_F(StorageTest, AFileThatIsNoLightEffectLoadsNothing) {
  const uint8_t data[] = {1, 3, 0, 1, 0, 1, 0, 1, 0, 50, 60, 70};
  ASSERT_TRUE(StorageWriteRecord(*s, "Lamp 2", "", "Picture", "2.00", data, sizeof data));
  LightEffect e;
  NewLightEffect(e);
  e.startSamples = 300;
  e.brightness[0][7] = 40;
  const LightEffect before = e;
  EXPECT_FALSE(LoadLightEffect(*s, static_cast<uint16_t>(StorageFindFile(*s, "Lamp 2")), e));
  EXPECT_EQ(0, memcmp(&before, &e, sizeof e));
}

// The lamps show the start once and the loop until switched off; the
// loop's pass then runs out, the stop plays and the light goes dark. An
// effect without a loop plays its start and stop; channel 2 stays dark on
// a one-channel effect. Sample k has brightness 10 + k, so the levels name
// the samples shown, one each 20 ms.
TEST(MediaFormats, LightEffectPlaysStartLoopAndStop) {
  LightEffect e{};
  NewLightEffect(e);
  for (uint16_t k = 0; k < kLightSamples; ++k) e.brightness[0][k] = e.brightness[1][k] = static_cast<uint8_t>(10 + k % 90);
  e.startSamples = 2;
  e.loopSamples = 3;
  e.stopSamples = 2;
  const auto play = [&](int offAfter) {
    LightPlay p{};
    SwitchLightOn(p, e);
    std::vector<int> shown = {LightPlayLevel(p, e, 0) - 10};
    for (int step = 1; step < 30 && p.phase != kLightDark; ++step) {
      if (step == offAfter) SwitchLightOff(p);
      AdvanceLightPlay(p, e, kLightSampleMs / 2);
      if (AdvanceLightPlay(p, e, kLightSampleMs / 2)) shown.push_back(LightPlayLevel(p, e, 0) - 10);
      EXPECT_EQ(LightPlayLevel(p, e, 1), 0);
    }
    return shown;
  };
  EXPECT_EQ(play(6), (std::vector<int>{0, 1, 2, 3, 4, 2, 3, 4, 5, 6, -10}));
  e.loopSamples = 0;
  EXPECT_EQ(play(99), (std::vector<int>{0, 1, 2, 3, -10}));
}

}  // namespace
}  // namespace trelvan
