// Sounds for the handheld: 16-bit mono at 44.1 kHz becomes 10-bit values
// at 22,050 Hz, four values packed into five bytes. WAVs of other layouts
// (8 to 32-bit PCM, 32 or 64-bit float, any channel count and rate) are
// first mixed to mono and converted to 44.1 kHz, 16 bits. A sound file's
// data is a segment count, a table of (offset, value count) per segment and
// the segments' groups. Bytes in, bytes out: reading the WAV files and
// storing the sound are the page's work.
#pragma once

#include <cstdint>

#include "media/resample.h"

namespace trelvan {

constexpr uint32_t kSoundGroupBytes = 5;     // four 10-bit values
constexpr uint32_t kWavGroupBytes = 16;      // eight 16-bit samples make one group
constexpr uint16_t kSoundSilence = 512;
constexpr uint8_t kMaxSoundSegments = 3;
constexpr uint32_t kWavTargetRate = 44100;       // the rate the format starts from
constexpr uint16_t kWavMostChannels = 32;    // more is no sound file a PC tool writes

enum WavResult : int {
  kWavOk = 0,
  kWavOpenFailed = 1,
  kWavNotPcm = 2,         /**< neither PCM nor float, or a chunk is missing */
  kWavBadRate = 3,        /**< outside kResampleLowestRate to kResampleHighestRate */
  kWavBadResolution = 4,  /**< PCM other than 8, 16, 24 or 32 bits, float other than 32 or 64 */
  kWavBadChannels = 5,    /**< none, or more than kWavMostChannels */
  kSoundTooLong = 6,  /**< the sound would pass the 2 MB buffer */
};

// The page's message for a result other than kWavOk.
const char* WavResultText(int result);

// Where a WAV's samples lie.
struct WavData {
  uint32_t start;  /**< offset of the first data byte in the file */
  uint32_t size;   /**< data bytes, rounded down to an even number */
  uint32_t bytes;  /**< data bytes as the chunk declares them */
};

// What a WAV's "fmt " chunk says, for telling the user what a refused file is.
constexpr uint16_t kWavFormatPcm = 1;
constexpr uint16_t kWavFormatFloat = 3;
constexpr uint16_t kWavFormatExtensible = 0xFFFE;  // the real format is the sub-format's first two bytes
struct WavFormat {
  uint8_t found;      /**< bit 0: a "fmt " chunk, bit 1: a "data" chunk */
  uint16_t tag;       /**< an extensible file's PCM sub-format counts as kWavFormatPcm */
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
};

// "stereo, 48000 Hz, 16-bit PCM", or what is missing ("no data chunk").
void DescribeWavFormat(const WavFormat& f, char* out, uint32_t capacity);
// The refusal of a file whose header gave `result`: what the file is and
// what would be taken ("This file: ADPCM; PCM or float WAVs are taken.").
void DescribeWavRefusal(int result, const WavFormat& f, char* out, uint32_t capacity);
// What taking an accepted file changes ("stereo 48 kHz made mono 44.1
// kHz"); empty for 16-bit mono PCM at 44.1 kHz, which is taken as it is.
void DescribeWavConversion(const WavFormat& f, char* out, uint32_t capacity);
// 1 for 16-bit mono PCM at 44.1 kHz.
int IsPlainWav(const WavFormat& f);

// Value counts: one value per two samples; the table counts whole values.
inline uint32_t SoundValueCount(uint32_t dataBytes) { return dataBytes / 4; }
inline uint32_t SoundGroupCount(uint32_t values) { return (values + 3) / 4; }

// One 10-bit value from two samples: each halved toward zero, summed as a
// signed 16-bit number, shifted right arithmetically by 6, plus 512.
uint16_t SoundValue(int16_t s1, int16_t s2);
// Four values into five bytes, most significant bit first.
void PackSoundGroup(const uint16_t values[4], uint8_t out[kSoundGroupBytes]);
// The inverse, for exporting a stored sound.
void UnpackSoundGroup(const uint8_t in[kSoundGroupBytes], uint16_t values[4]);

// Appends the groups of `bytes` data bytes (whole 16-byte blocks, the last
// block completed with samples of value 2) to `out`; at most `groups`
// groups. Returns the groups written.
uint32_t EncodeWavSegment(const uint8_t* data, uint32_t bytes, uint32_t groups, uint8_t* out);

// The segment count and table for `n` segments of `counts` values each:
// 1 + 8n bytes into `out`; offsets count from the segment-count byte.
uint32_t WriteSoundTable(const uint32_t* counts, uint8_t n, uint8_t* out);
// Data bytes of a sound file with these segments (table and groups).
uint64_t SoundDataSize(const uint32_t* counts, uint8_t n);

// Where the WAV files of a sound come from: `read` fills `out` with up to
// `count` bytes of segment `segment` from `offset` and returns how many it
// gave; kWavReadFailed when the file does not open.
constexpr uint32_t kWavReadFailed = 0xFFFFFFFF;
struct WavReader {
  uint32_t (*read)(void* context, uint8_t segment, uint32_t offset, uint8_t* out, uint32_t count);
  void* context;
};

// Walks the RIFF chunk list of segment `segment` to its "data" chunk,
// wherever that lies, and checks the "fmt " chunk in this order: PCM or
// float (plain or extensible), the channel count, the rate, the bits per
// sample. kWavNotPcm when either chunk is missing. `format` (may be null)
// receives what the "fmt " chunk says.
int ReadWavHeader(const WavReader& wavs, uint8_t segment, WavData* out, WavFormat* format);
// The checks of ReadWavHeader on a format already read.
int CheckWavFormat(const WavFormat& f);

// The sound file's data for `n` segments (1 or 3) into `buffer`: the
// segments' headers are checked in order and the first refusal returned
// (nothing usable is left in the buffer then); kSoundTooLong when the data
// and a header of `headerLength` bytes would pass `capacity`. On kWavOk
// *size is the data's length. `formats` (may be null) receives each
// segment's format up to the first refused one; `work` converts the
// segments of other rates.
int BuildSoundData(const WavReader& wavs, uint8_t n, uint32_t headerLength, uint8_t* buffer,
                   uint32_t capacity, uint32_t* size, Resampler& work,
                   WavFormat* formats = nullptr);


}  // namespace trelvan
