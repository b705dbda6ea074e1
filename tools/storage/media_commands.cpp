#include "media_commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "media/conversions.h"
#include "media/sound_decode.h"
#include "png_file.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

std::vector<uint8_t> StoredData(const Storage& s, uint16_t index) {
  const uint32_t header = StorageHeaderLength(s, index);
  const uint32_t size = StorageFileSize(s, index);
  std::vector<uint8_t> data(size > header ? size - header : 0);
  if (!data.empty()) StorageReadData(s, index, header, data.data(), static_cast<uint32_t>(data.size()));
  return data;
}

int ExportPicture(const std::vector<uint8_t>& d, const char* out) {
  if (d.size() < 4) return 1;
  RgbImage image;
  image.width = ReadU16LE(&d[0]);
  image.height = ReadU16LE(&d[2]);
  const size_t pixels = size_t{static_cast<uint32_t>(image.width)} * static_cast<uint32_t>(image.height);
  if (d.size() < 4 + 2 * pixels) {
    fprintf(stderr, "the picture is shorter than its %d x %d pixels\n", image.width, image.height);
    return 1;
  }
  for (size_t i = 0; i < pixels; ++i) {
    // red bits 0-4, green 5-10, blue 11-15, each widened to 8 bits so that
    // the largest value gives 255
    const uint16_t c = ReadU16LE(&d[4 + 2 * i]);
    const uint32_t r5 = c & 0x1F, g6 = (c >> 5) & 0x3F, b5 = c >> 11;
    const uint8_t r = static_cast<uint8_t>(r5 << 3 | r5 >> 2), g = static_cast<uint8_t>(g6 << 2 | g6 >> 4),
                  b = static_cast<uint8_t>(b5 << 3 | b5 >> 2);
    image.rgb.insert(image.rgb.end(), {r, g, b});
  }
  if (!WritePng(out, image)) return 1;
  printf("%s: %d x %d picture\n", out, image.width, image.height);
  return 0;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
  std::vector<uint8_t> b(44 + samples.size() * 2);
  const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  const char* ids[] = {"RIFF", "WAVE", "fmt ", "data"};
  const int at[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i) CopyBytes(ids[i], &b[at[i]], 4);
  WriteU32LE(&b[4], 36 + data);
  WriteU32LE(&b[16], 16);
  WriteU16LE(&b[20], 1);
  WriteU16LE(&b[22], 1);
  WriteU32LE(&b[24], 22050);
  WriteU32LE(&b[28], 44100);
  WriteU16LE(&b[32], 2);
  WriteU16LE(&b[34], 16);
  WriteU32LE(&b[40], data);
  for (size_t i = 0; i < samples.size(); ++i) WriteU16LE(&b[44 + 2 * i], static_cast<uint16_t>(samples[i]));
  return WriteThroughNewFile(path, [&](FILE* f) { return fwrite(b.data(), 1, b.size(), f) == b.size(); });
}

// One WAV per segment: OUT for a single segment, OUT's stem with _start,
// _loop and _stop for three.
int ExportSound(const std::vector<uint8_t>& d, const char* out) {
  if (d.empty() || (d[0] != 1 && d[0] != 3) || d.size() < 1 + 8u * d[0]) {
    fprintf(stderr, "not a sound of 1 or 3 segments\n");
    return 1;
  }
  const uint8_t n = d[0];
  std::string stem = out;
  if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".wav") == 0) stem.resize(stem.size() - 4);
  static const char* const kSuffix[3] = {"_start", "_loop", "_stop"};
  for (uint8_t i = 0; i < n; ++i) {
    const uint32_t offset = ReadU32LE(&d[1 + 8 * i]), count = ReadU32LE(&d[5 + 8 * i]);
    if (offset + uint64_t{kSoundGroupBytes} * SoundGroupCount(count) > d.size()) {
      fprintf(stderr, "segment %u lies past the end of the file\n", i);
      return 1;
    }
    std::vector<int16_t> samples;
    for (uint32_t v = 0; v < count; ++v) {
      uint16_t values[4];
      UnpackSoundGroup(&d[offset + kSoundGroupBytes * (v / 4)], values);
      samples.push_back(SoundSample(values[v % 4]));
    }
    const std::string path = n == 1 ? std::string(out) : stem + kSuffix[i] + ".wav";
    if (!WriteWav(path, samples)) return 1;
    printf("%s: %u values at 22050 Hz\n", path.c_str(), count);
  }
  return 0;
}

int ExportLightEffect(const std::vector<uint8_t>& d, const char* version, const char* out) {
  LightEffect e;
  NewLightEffect(e);
  if (!DecodeLightEffect(version, d.data(), static_cast<uint32_t>(d.size()), e)) {
    fprintf(stderr, "the light effect does not load\n");
    return 1;
  }
  const bool written = WriteThroughNewFile(out, [&](FILE* f) {
    fprintf(f, "sample,section,channel 1%s\n", e.channelCount == 2 ? ",channel 2" : "");
    const uint32_t loopStart = e.startSamples, stopStart = uint32_t{e.startSamples} + e.loopSamples;
    for (uint32_t k = 0; k < e.sampleCount; ++k) {
      const char* section = k < loopStart ? "start" : k < stopStart ? "loop" : "stop";
      fprintf(f, "%u,%s,%u", k, section, e.brightness[0][k]);
      if (e.channelCount == 2) fprintf(f, ",%u", e.brightness[1][k]);
      fprintf(f, "\n");
    }
    return ferror(f) == 0;
  });
  if (!written) return 1;
  printf("%s: %u samples, %u channel(s)\n", out, e.sampleCount, e.channelCount);
  return 0;
}

}  // namespace

int AddPictures(Storage& s, Files& p, Media& m, char** files, int count) {
  int status = 0;
  for (int i = 0; i < count; ++i) {
    char name[kMediaNameCapacity];
    PictureNameFromPath(files[i], p.PathSeparator(), name);
    char message[128] = "";
    PictureInfo info{};
    if (StorageFindFile(s, name) >= 0) {
      FormatText(message, "Select a different file name - Name already in use");
    } else {
      const int result = ConvertPicture(p, s, files[i], name, m.pictureWork, &info);
      if (IsStoreResult(result)) {
        FormatText(message, "%s", StoreResultText(result));
      } else if (result != kPictureDone) {
        DescribePictureRefusal(result, info, message, sizeof message);
      }
    }
    if (message[0]) {
      fprintf(stderr, "%s: %s\n", files[i], message);
      status = 1;
    } else {
      char fitted[96];
      DescribePictureFit(info, fitted, sizeof fitted);
      printf("stored %s (%u bytes of picture)%s%s\n", name, kPictureRecordSize, fitted[0] ? ": " : "", fitted);
    }
  }
  return status;
}

int AddSound(Storage& s, Files& p, Media& m, const char* name, char** files, int count) {
  char stored[kMediaNameCapacity];
  const uint16_t length = TextLength(name);
  if (length < 2 || length > 23) {
    fprintf(stderr, "a sound name has 2 to 23 characters\n");
    return 1;
  }
  FormatText(stored, "%s~", name);
  if (StorageFindFile(s, stored) >= 0) {
    fprintf(stderr, "Error - File Name Already Used!\n");
    return 1;
  }
  WavFormat formats[kMaxSoundSegments]{};
  const int result = ConvertSound(p, s, stored, files, static_cast<uint8_t>(count), m.soundBuffer,
                                  m.resampler, formats);
  if (result != kWavOk) {
    int refused = 0;
    while (refused + 1 < count && CheckWavFormat(formats[refused]) == kWavOk) ++refused;
    char text[128];
    DescribeWavRefusal(result, formats[refused], text, sizeof text);
    fprintf(stderr, "%s\n", result >= kStoreNoSpace ? StoreResultText(result) : text);
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    char done[64];
    DescribeWavConversion(formats[i], done, sizeof done);
    if (done[0]) printf("%s: %s\n", files[i], done);
  }
  printf("stored %s (%u bytes)\n", stored, StorageFileSize(s, static_cast<uint16_t>(StorageFindFile(s, stored))));
  return 0;
}

int ExportFile(const Storage& s, const char* name, const char* out) {
  const int index = StorageFindFile(s, name);
  if (index < 0) {
    fprintf(stderr, "no file named \"%s\"\n", name);
    return 1;
  }
  const uint16_t i = static_cast<uint16_t>(index);
  char type[kMediaNameCapacity] = "", version[8] = "";
  StorageReadField(s, i, kFieldType, type);
  StorageReadField(s, i, kFieldVersion, version);
  const std::vector<uint8_t> data = StoredData(s, i);
  const std::string t = type;
  if (t == "Picture") return ExportPicture(data, out);
  if (t == "Sound") return ExportSound(data, out);
  if (t == "Light Effect") return ExportLightEffect(data, version, out);
  fprintf(stderr, "\"%s\" is of type \"%s\": only pictures, sounds and light effects export\n", name, type);
  return 1;
}

}  // namespace trelvan
