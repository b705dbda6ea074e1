// The managers' work on the storage and the PC's files, shared by the pages
// and the storage inspector: converting a chosen BMP or WAV files into a
// stored picture or sound, and saving and loading light effects. Each takes
// only what it acts on; the pages show the messages.
#pragma once

#include <cstdint>

#include "media/media.h"
#include "platform/files.h"
#include "storage/storage.h"

namespace trelvan {

// Results beyond the formats' own codes: the storage took the file (0, as
// every format's own "done"), or refused it.
enum StoreResult : int {
  kStoreDone = 0,
  kStoreNoSpace = 20,   /**< not enough free blocks, or the file table is full */
  kStoreBusy = 21,      /**< the file system was still busy with earlier work */
};

// Whether a result is a StoreResult rather than a format's own code.
constexpr bool IsStoreResult(int result) { return result == kStoreNoSpace || result == kStoreBusy; }
// The message for a StoreResult.
const char* StoreResultText(int result);
// After a refused whole-file write: busy or full.
int StoreRefusal(Storage& s);

// The picture file (BMP, PNG or JPEG) at `path` read into `work` and
// fitted into `record` (kPictureRecordSize bytes). A PictureResult; `info`
// receives what the file is and what fitting did.
int ReadPicture(Files& p, const char* path, PictureWork& work, uint8_t* record, PictureInfo* info);
// The record stored as the picture `name`. kPictureDone or a StoreResult.
int StorePicture(Storage& s, const char* name, const uint8_t* record);
// Both at once, as the storage inspector and the sample catalogue take files.
int ConvertPicture(Files& p, Storage& s, const char* path, const char* name, PictureWork& work,
                   PictureInfo* info);

// The sound `name` from the WAV files of `count` (1 or 3) segments, each the
// path of one file. A WavResult or a StoreResult; `buffer` is the 2 MB
// sound buffer, `work` converts other rates; `formats` (may be null)
// receives the segments' formats up to a refused one.
int ConvertSound(Files& p, Storage& s, const char* name, const char* const* paths,
                 uint8_t count, uint8_t* buffer, Resampler& work, WavFormat* formats = nullptr);

// The stored sound at `index` as the handheld plays it: its data read into
// `buffer` (kSoundBufferSize bytes) and decoded into `out`. The samples at
// kStoredSoundRate; 0 for a damaged file or one larger than the buffer.
uint32_t DecodeStoredSound(const Storage& s, uint16_t index, uint8_t* buffer, int16_t* out,
                           uint32_t capacity);
// The samples of the WAV at `path` as 16-bit mono at 44.1 kHz into `out`
// (a longer file is cut at `capacity`). A WavResult; *count the samples;
// `format` receives what the file is.
int ReadWavSamples(Files& p, const char* path, Resampler& work, int16_t* out, uint32_t capacity,
                   uint32_t* count, WavFormat* format);

// The sound's paths: the source folder, the separator, each slot's file
// name and ".wav", for the slots in use from slot 0. Returns the number of
// slots in use with a file chosen.
uint8_t SoundSourcePaths(const SoundChoice& c, char separator,
                         char (*paths)[kSoundPathCapacity]);

// Stores the effect as a version 2 file named `name`; an older file of that
// name is replaced only when the new one fits. A StoreResult.
int SaveLightEffect(Storage& s, const char* name, const LightEffect& e);
// Loads the stored file at `index` when it is a light effect of version 1
// or 2 whose data holds its counts; false, leaving `e` as it was, if not.
bool LoadLightEffect(const Storage& s, uint16_t index, LightEffect& e);


}  // namespace trelvan
