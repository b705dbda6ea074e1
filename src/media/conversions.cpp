#include "media/conversions.h"

#include "media/sound_decode.h"
#include "media/wav_convert.h"
#include "storage/bytes.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/type_list.h"
#include "storage/whole_file.h"

namespace trelvan {

const char* StoreResultText(int result) {
  return result == kStoreBusy ? "Error - Storage busy, try again!" : "Error - Not enough free storage!";
}

int StoreRefusal(Storage& s) {
  const FileSystem& fs = s.fs;
  const bool busy = fs.state != kStateIdle || fs.createRequested || fs.deleteRequested;
  return busy ? kStoreBusy : kStoreNoSpace;
}

int ReadPicture(Files& p, const char* path, PictureWork& work, uint8_t* record, PictureInfo* info) {
  *info = PictureInfo{};
  const int file = p.OpenRead(path);
  if (file == kNoFile) return kPictureOpenFailed;
  uint32_t size = 0;
  const bool sized = p.FileSize(file, &size);
  const uint32_t got = sized && size < kPictureMemory ? p.ReadFile(file, work.memory, size) : 0;
  p.CloseFile(file);
  if (!sized || size >= kPictureMemory) {
    // too large to read: what kind it is, from its name, is all there is to say
    FormatText(info->kind, "file");
    return kPictureTooLarge;
  }
  return ConvertPictureFile(work, got, record, info);
}

int StorePicture(Storage& s, const char* name, const uint8_t* record) {
  if (!StorageWriteRecord(s, name, "", kPictureFileType, "1.00", record, kPictureRecordSize)) {
    return StoreRefusal(s);
  }
  return kPictureDone;
}

int ConvertPicture(Files& p, Storage& s, const char* path, const char* name, PictureWork& work,
                   PictureInfo* info) {
  uint8_t record[kPictureRecordSize];
  const int result = ReadPicture(p, path, work, record, info);
  return result != kPictureDone ? result : StorePicture(s, name, record);
}

namespace {

// The WAV files of a sound, read forward; a read before the current
// position opens the file again (the file service has no seek).
struct WavFiles {
  Files& p;
  const char* const* paths;
  int file[kMaxSoundSegments];
  uint32_t at[kMaxSoundSegments];

  static uint32_t Read(void* context, uint8_t segment, uint32_t offset, uint8_t* out,
                       uint32_t count) {
    WavFiles& w = *static_cast<WavFiles*>(context);
    int& f = w.file[segment];
    if (f != kNoFile && offset < w.at[segment]) {
      w.p.CloseFile(f);
      f = kNoFile;
    }
    if (f == kNoFile) {
      f = w.p.OpenRead(w.paths[segment]);
      if (f == kNoFile) return kWavReadFailed;
      w.at[segment] = 0;
    }
    uint8_t scratch[kWavReadBlock];
    while (w.at[segment] < offset) {  // skip to the offset
      const uint32_t skip = offset - w.at[segment] < kWavReadBlock ? offset - w.at[segment] : kWavReadBlock;
      const uint32_t got = w.p.ReadFile(f, scratch, skip);
      if (got == 0) return 0;
      w.at[segment] += got;
    }
    const uint32_t got = w.p.ReadFile(f, out, count);
    w.at[segment] += got;
    return got;
  }
};

}  // namespace

int ConvertSound(Files& p, Storage& s, const char* name, const char* const* paths,
                 uint8_t count, uint8_t* buffer, Resampler& work, WavFormat* formats) {
  WavFiles files{p, paths, {kNoFile, kNoFile, kNoFile}, {0, 0, 0}};
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name, "", kSoundFileType, "2.00");
  uint32_t size = 0;
  int result = h < 0 ? kWavOpenFailed
                     : BuildSoundData({WavFiles::Read, &files}, count, static_cast<uint32_t>(h),
                                      buffer, kSoundBufferSize, &size, work, formats);
  for (int f : files.file) {
    if (f != kNoFile) p.CloseFile(f);
  }
  if (result != kWavOk) return result;
  if (!StorageWriteWholeFile(s, name, header, static_cast<uint32_t>(h), buffer, size)) {
    return StoreRefusal(s);
  }
  return kWavOk;
}

uint32_t DecodeStoredSound(const Storage& s, uint16_t index, uint8_t* buffer, int16_t* out,
                           uint32_t capacity) {
  const uint32_t start = StorageHeaderLength(s, index);
  const uint32_t size = StorageFileSize(s, index);
  if (size <= start || size - start > kSoundBufferSize) return 0;
  const uint32_t got = StorageReadData(s, index, start, buffer, size - start);
  return DecodeSound(buffer, got, out, capacity);
}

int ReadWavSamples(Files& p, const char* path, Resampler& work, int16_t* out, uint32_t capacity,
                   uint32_t* count, WavFormat* format) {
  *count = 0;
  const char* const paths[1] = {path};
  WavFiles file{p, paths, {kNoFile, kNoFile, kNoFile}, {0, 0, 0}};
  const WavReader reader{WavFiles::Read, &file};
  WavData data;
  int result = ReadWavHeader(reader, 0, &data, format);
  if (result == kWavOk) {
    const uint32_t got = ConvertWavSamples(reader, 0, data, *format, work, out, capacity);
    if (got == kWavReadFailed) {
      result = kWavOpenFailed;
    } else {
      *count = got;
    }
  }
  if (file.file[0] != kNoFile) p.CloseFile(file.file[0]);
  return result;
}

uint8_t SoundSourcePaths(const SoundChoice& c, char separator,
                         char (*paths)[kSoundPathCapacity]) {
  uint8_t n = 0;
  for (int i = 0; i < kSoundSlotCount && c.slots[i].inUse; ++i) {
    if (!c.slots[i].fileName[0]) continue;
    FormatText(paths[n], sizeof paths[n], "%s%c%s.wav", c.sourceFolder, separator,
               c.slots[i].fileName);
    ++n;
  }
  return n;
}

int SaveLightEffect(Storage& s, const char* name, const LightEffect& e) {
  uint8_t data[kLightFileCapacity];
  const uint32_t size = EncodeLightEffect(e, data);
  if (!StorageWriteRecord(s, name, "", kLightEffectFileType, "2.00", data, size)) return StoreRefusal(s);
  return kStoreDone;
}

bool LoadLightEffect(const Storage& s, uint16_t index, LightEffect& e) {
  char type[kMediaNameCapacity], version[8];
  if (!StorageReadField(s, index, kFieldType, type) ||
      CompareText(type, kLightEffectFileType, kMediaNameCapacity) != 0 ||
      !StorageReadField(s, index, kFieldVersion, version)) {
    return false;
  }
  const uint32_t header = StorageHeaderLength(s, index);
  const uint32_t fileSize = StorageFileSize(s, index);
  if (header > fileSize) return false;
  const uint32_t size = fileSize - header;
  uint8_t data[kLightFileCapacity];
  if (version[0] != '1') {
    if (size > kLightFileCapacity) return false;
    StorageReadData(s, index, header, data, size);
    return DecodeLightEffect(version, data, size, e);
  }
  // Version 1 keeps n bytes per channel; only the first 398 of each are
  // loaded, so they are gathered behind a count of at most 398.
  if (size < 3) return false;
  StorageReadData(s, index, header, data, 3);
  const uint16_t stored = ReadU16LE(data + 1);
  const uint16_t n = stored > kVersion1MaxSamples ? kVersion1MaxSamples : stored;
  const uint32_t channels = data[0] == 2 ? 2 : 1;
  if (size < 3 + (channels - 1) * stored + n) return false;
  WriteU16LE(data + 1, n);
  for (uint32_t c = 0; c < channels; ++c) {
    StorageReadData(s, index, header + 3 + c * stored, data + 3 + c * n, n);
  }
  return DecodeLightEffect(version, data, 3 + channels * n, e);
}

}  // namespace trelvan
