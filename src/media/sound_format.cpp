#include "media/sound_format.h"

#include "media/wav_convert.h"
#include "storage/bytes.h"
#include "storage/text.h"

namespace trelvan {

namespace {

bool SameId(const uint8_t* at, const char* id) {
  for (int i = 0; i < 4; ++i) {
    if (at[i] != static_cast<uint8_t>(id[i])) return false;
  }
  return true;
}

// The tail of the sub-format GUID that makes an extensible file's first two
// sub-format bytes a plain format tag.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint32_t kFmtRead = 40;  // the extensible "fmt " body; a plain one is 16 to 18 bytes

// Walks the chunks from byte 12: id, 32-bit size, body padded to even.
// kWavOpenFailed when the file does not open, else kWavOk with what was found.
int FindChunks(const WavReader& r, uint8_t segment, WavData* data, WavFormat* f) {
  *f = WavFormat{};
  uint8_t riff[12];
  const uint32_t got = r.read(r.context, segment, 0, riff, sizeof riff);
  if (got == kWavReadFailed) return kWavOpenFailed;
  if (got < sizeof riff || !SameId(riff, "RIFF") || !SameId(riff + 8, "WAVE")) return kWavOk;
  for (uint64_t at = 12; at + 8 <= 0xFFFFFFFFu;) {
    uint8_t chunk[8];
    const uint32_t head = r.read(r.context, segment, static_cast<uint32_t>(at), chunk, 8);
    if (head == kWavReadFailed) return kWavOpenFailed;
    if (head < 8) break;
    const uint32_t body = ReadU32LE(chunk + 4);
    if (SameId(chunk, "data")) {
      if (at + 8 > 0xFFFFFFFFu) break;
      f->found |= 2;
      data->start = static_cast<uint32_t>(at + 8);
      data->size = body & ~1u;
      data->bytes = body;
      break;  // the samples follow; nothing after them is needed
    }
    if (SameId(chunk, "fmt ") && !(f->found & 1) && body >= 16) {
      uint8_t fmt[kFmtRead] = {};
      const uint32_t n = r.read(r.context, segment, static_cast<uint32_t>(at + 8), fmt,
                                body < kFmtRead ? body : kFmtRead);
      if (n == kWavReadFailed) return kWavOpenFailed;
      if (n >= 16) {
        f->found |= 1;
        f->tag = ReadU16LE(fmt);
        f->channels = ReadU16LE(fmt + 2);
        f->rate = ReadU32LE(fmt + 4);
        f->bits = ReadU16LE(fmt + 14);
        bool same = n >= kFmtRead;
        for (uint32_t i = 0; same && i < sizeof kSubFormatTail; ++i) same = fmt[26 + i] == kSubFormatTail[i];
        if (f->tag == kWavFormatExtensible && same) f->tag = ReadU16LE(fmt + 24);
      }
    }
    at += 8 + uint64_t{body} + (body & 1);
  }
  return kWavOk;
}

}  // namespace

const char* WavResultText(int result) {
  switch (result) {
    case kWavOpenFailed: return "Error Opening File!";
    case kWavNotPcm: return "Error - Format not PCM!";
    case kWavBadRate: return "Error - Sample Rate not usable!";
    case kWavBadResolution: return "Error - Resolution not usable!";
    case kWavBadChannels: return "Error - Number of Channels not usable!";
    case kSoundTooLong: return "Error - Sound too long!";
    default: return "";
  }
}

namespace {

// The name of a WAV format tag.
void FormatName(uint16_t tag, char* out, uint32_t capacity) {
  struct Named { uint16_t tag; const char* name; };
  static const Named kNames[] = {{kWavFormatPcm, "PCM"}, {kWavFormatFloat, "floating point"},
                                 {2, "ADPCM"}, {6, "A-law"}, {7, "mu-law"}, {0x11, "IMA ADPCM"},
                                 {0x31, "GSM"}, {0x50, "MPEG"}, {0x55, "MP3"}};
  for (const Named& n : kNames) {
    if (n.tag == tag) {
      FormatText(out, capacity, "%s", n.name);
      return;
    }
  }
  FormatText(out, capacity, "format %u", static_cast<unsigned>(tag));
}

void ChannelWord(uint16_t channels, char* out, uint32_t capacity) {
  if (channels == 1) {
    FormatText(out, capacity, "mono");
  } else if (channels == 2) {
    FormatText(out, capacity, "stereo");
  } else {
    FormatText(out, capacity, "%u channels", static_cast<unsigned>(channels));
  }
}

// 48000 as "48", 22050 as "22.05", 11025 as "11.025".
void KiloHertz(uint32_t rate, char* out, uint32_t capacity) {
  uint32_t part = rate % 1000;
  int digits = 3;
  while (part && part % 10 == 0) {
    part /= 10;
    --digits;
  }
  if (part == 0) {
    FormatText(out, capacity, "%lu", static_cast<unsigned long>(rate / 1000));
    return;
  }
  FormatText(out, capacity, "%lu.%0*lu", static_cast<unsigned long>(rate / 1000), digits,
             static_cast<unsigned long>(part));
}

bool PcmBitsTaken(uint16_t bits) { return bits == 8 || bits == 16 || bits == 24 || bits == 32; }
bool FloatBitsTaken(uint16_t bits) { return bits == 32 || bits == 64; }

}  // namespace

void DescribeWavFormat(const WavFormat& f, char* out, uint32_t capacity) {
  if (!(f.found & 1)) {
    FormatText(out, capacity, "%s", f.found ? "no format chunk" : "not a WAV file");
    return;
  }
  if (!(f.found & 2)) {
    FormatText(out, capacity, "no data chunk");
    return;
  }
  char channels[16], format[24];
  ChannelWord(f.channels, channels, sizeof channels);
  FormatName(f.tag, format, sizeof format);
  FormatText(out, capacity, "%s, %lu Hz, %u-bit %s", channels, static_cast<unsigned long>(f.rate),
             static_cast<unsigned>(f.bits), format);
}

void DescribeWavRefusal(int result, const WavFormat& f, char* out, uint32_t capacity) {
  char what[48];
  const char* taken = "";
  if (result == kWavOpenFailed || result == kSoundTooLong) {
    FormatText(out, capacity, "%s", WavResultText(result));
    return;
  }
  if (f.found != 3) {
    DescribeWavFormat(f, what, sizeof what);
    taken = f.found ? "a WAV with a format and a data chunk is taken" : "WAV files are taken";
  } else if (result == kWavNotPcm) {
    FormatName(f.tag, what, sizeof what);
    taken = "PCM or float WAVs are taken";
  } else if (result == kWavBadResolution) {
    char format[24];
    FormatName(f.tag, format, sizeof format);
    FormatText(what, "%u-bit %s", static_cast<unsigned>(f.bits), format);
    taken = "8, 16, 24, 32-bit PCM or 32, 64-bit float is taken";
  } else if (result == kWavBadChannels) {
    ChannelWord(f.channels, what, sizeof what);
    taken = "1 to 32 channels are taken";
  } else if (result == kWavBadRate) {
    FormatText(what, "%lu Hz", static_cast<unsigned long>(f.rate));
    taken = "rates of 1 to 768 kHz are taken";
  } else {
    FormatText(out, capacity, "%s", WavResultText(result));
    return;
  }
  FormatText(out, capacity, "This file: %s; %s.", what, taken);
}

int IsPlainWav(const WavFormat& f) {
  return f.tag == kWavFormatPcm && f.bits == 16 && f.channels == 1 && f.rate == kWavTargetRate;
}

void DescribeWavConversion(const WavFormat& f, char* out, uint32_t capacity) {
  char from[64] = "", to[32] = "";
  int fromAt = 0, toAt = 0;
  if (f.channels != 1) {
    char word[16];
    ChannelWord(f.channels, word, sizeof word);
    fromAt += FormatText(from + fromAt, sizeof from - fromAt, " %s", word);
    toAt += FormatText(to + toAt, sizeof to - toAt, " mono");
  }
  if (f.rate != kWavTargetRate) {
    char khz[16];
    KiloHertz(f.rate, khz, sizeof khz);
    fromAt += FormatText(from + fromAt, sizeof from - fromAt, " %s kHz", khz);
    toAt += FormatText(to + toAt, sizeof to - toAt, " 44.1 kHz");
  }
  if (f.tag != kWavFormatPcm || f.bits != 16) {
    fromAt += FormatText(from + fromAt, sizeof from - fromAt,
                         f.tag == kWavFormatPcm ? " %u-bit" : " %u-bit float", static_cast<unsigned>(f.bits));
    toAt += FormatText(to + toAt, sizeof to - toAt, " 16-bit");
  }
  if (fromAt == 0) {
    out[0] = 0;
    return;
  }
  FormatText(out, capacity, "%s made%s", from + 1, to);
}

int ReadWavHeader(const WavReader& wavs, uint8_t segment, WavData* out, WavFormat* format) {
  WavFormat seen;
  const int found = FindChunks(wavs, segment, out, &seen);
  if (format) *format = seen;
  if (found != kWavOk) return found;
  return CheckWavFormat(seen);
}

int CheckWavFormat(const WavFormat& seen) {
  if (seen.found != 3 || (seen.tag != kWavFormatPcm && seen.tag != kWavFormatFloat)) return kWavNotPcm;
  if (seen.channels == 0 || seen.channels > kWavMostChannels) return kWavBadChannels;
  if (seen.rate < kResampleLowestRate || seen.rate > kResampleHighestRate) return kWavBadRate;
  if (seen.tag == kWavFormatPcm ? !PcmBitsTaken(seen.bits) : !FloatBitsTaken(seen.bits)) {
    return kWavBadResolution;
  }
  return kWavOk;
}

uint16_t SoundValue(int16_t s1, int16_t s2) {
  const int16_t sum = static_cast<int16_t>(s1 / 2 + s2 / 2);
  return static_cast<uint16_t>((sum >> 6) + kSoundSilence);
}

void PackSoundGroup(const uint16_t v[4], uint8_t out[kSoundGroupBytes]) {
  uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) bits = (bits << 10) | (v[i] & 0x3FF);
  for (int i = 0; i < 5; ++i) out[i] = static_cast<uint8_t>(bits >> (32 - 8 * i));
}

void UnpackSoundGroup(const uint8_t in[kSoundGroupBytes], uint16_t v[4]) {
  uint64_t bits = 0;
  for (int i = 0; i < 5; ++i) bits = (bits << 8) | in[i];
  for (int i = 0; i < 4; ++i) v[i] = static_cast<uint16_t>((bits >> (30 - 10 * i)) & 0x3FF);
}

uint32_t EncodeWavSegment(const uint8_t* data, uint32_t bytes, uint32_t groups, uint8_t* out) {
  uint32_t written = 0;
  for (uint32_t at = 0; at < bytes && written < groups; at += kWavGroupBytes, ++written) {
    uint8_t block[kWavGroupBytes];
    for (uint32_t i = 0; i < kWavGroupBytes; ++i) {
      block[i] = at + i < bytes ? data[at + i] : (i % 2 == 0 ? 2 : 0);
    }
    uint16_t values[4];
    for (int k = 0; k < 4; ++k) {
      values[k] = SoundValue(static_cast<int16_t>(ReadU16LE(block + 4 * k)),
                             static_cast<int16_t>(ReadU16LE(block + 4 * k + 2)));
    }
    PackSoundGroup(values, out + written * kSoundGroupBytes);
  }
  return written;
}

uint32_t WriteSoundTable(const uint32_t* counts, uint8_t n, uint8_t* out) {
  out[0] = n;
  uint32_t offset = 1 + 8u * n;
  for (uint8_t i = 0; i < n; ++i) {
    WriteU32LE(out + 1 + 8 * i, offset);
    WriteU32LE(out + 5 + 8 * i, counts[i]);
    offset += kSoundGroupBytes * SoundGroupCount(counts[i]);
  }
  return 1 + 8u * n;
}

uint64_t SoundDataSize(const uint32_t* counts, uint8_t n) {
  uint64_t size = 1 + 8u * n;
  for (uint8_t i = 0; i < n; ++i) size += uint64_t{kSoundGroupBytes} * SoundGroupCount(counts[i]);
  return size;
}

int BuildSoundData(const WavReader& wavs, uint8_t n, uint32_t headerLength, uint8_t* buffer,
                   uint32_t capacity, uint32_t* size, Resampler& work, WavFormat* formats) {
  if (n == 0 || n > kMaxSoundSegments) return kWavOpenFailed;
  WavData data[kMaxSoundSegments];
  WavFormat format[kMaxSoundSegments];
  uint32_t counts[kMaxSoundSegments];
  uint64_t samples = 0;
  for (uint8_t i = 0; i < n; ++i) {
    const int result = ReadWavHeader(wavs, i, &data[i], &format[i]);
    if (formats) formats[i] = format[i];
    if (result != kWavOk) return result;
    const uint64_t length = WavConvertedLength(data[i], format[i]);
    samples += length;
    counts[i] = length > 0xFFFFFFFFu ? 0xFFFFFFFFu : SoundValueCount(static_cast<uint32_t>(length) * 2);
    if (length >= 0x7FFFFFFFu) return kSoundTooLong;
  }
  if (samples >= 0x7FFFFFFFu || SoundDataSize(counts, n) + headerLength > capacity) return kSoundTooLong;
  uint32_t fill = WriteSoundTable(counts, n, buffer);
  for (uint8_t i = 0; i < n; ++i) {
    WavConverter c;
    StartWavConverter(c, wavs, i, data[i], format[i], work);
    uint32_t groupsLeft = SoundGroupCount(counts[i]);
    while (groupsLeft > 0) {
      int16_t block[kWavConvertBlock];  // a multiple of the 8 samples of a group
      const uint32_t got = ConvertWavBlock(c, block, kWavConvertBlock);
      if (got == kWavReadFailed) return kWavOpenFailed;
      if (got == 0) break;
      uint8_t bytes[2 * kWavConvertBlock];
      for (uint32_t k = 0; k < got; ++k) WriteU16LE(bytes + 2 * k, static_cast<uint16_t>(block[k]));
      const uint32_t groups = EncodeWavSegment(bytes, 2 * got, groupsLeft, buffer + fill);
      fill += groups * kSoundGroupBytes;
      groupsLeft -= groups;
    }
  }
  *size = fill;
  return kWavOk;
}

}  // namespace trelvan
