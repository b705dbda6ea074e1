#include "media/sound_format.h"

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
    case kWavBadRate: return "Error - Sample Rate not 44.1kHz!";
    case kWavBadResolution: return "Error - Resolution not 16 Bits per Sample!";
    case kWavNotMono: return "Error - Number of Channels not one(mono)!";
    case kSoundTooLong: return "Error - Sound too long!";
    default: return "";
  }
}

void DescribeWavFormat(const WavFormat& f, char* out, uint32_t capacity) {
  if (!(f.found & 1)) {
    FormatText(out, capacity, "%s", f.found ? "no format chunk" : "not a WAV file");
    return;
  }
  if (!(f.found & 2)) {
    FormatText(out, capacity, "no data chunk");
    return;
  }
  char channels[16];
  if (f.channels == 1) {
    FormatText(channels, "mono");
  } else if (f.channels == 2) {
    FormatText(channels, "stereo");
  } else {
    FormatText(channels, "%u channels", static_cast<unsigned>(f.channels));
  }
  char format[24];
  if (f.tag == kWavFormatPcm) {
    FormatText(format, "PCM");
  } else if (f.tag == 3) {
    FormatText(format, "floating point");
  } else {
    FormatText(format, "format %u", static_cast<unsigned>(f.tag));
  }
  FormatText(out, capacity, "%s, %lu Hz, %u-bit %s", channels, static_cast<unsigned long>(f.rate),
             static_cast<unsigned>(f.bits), format);
}

int ReadWavHeader(const WavReader& wavs, uint8_t segment, WavData* out, WavFormat* format) {
  WavFormat seen;
  const int found = FindChunks(wavs, segment, out, &seen);
  if (format) *format = seen;
  if (found != kWavOk) return found;
  if (seen.found != 3 || seen.tag != kWavFormatPcm) return kWavNotPcm;
  if (seen.channels != 1) return kWavNotMono;
  if (seen.rate != 44100) return kWavBadRate;
  if (seen.bits != 16) return kWavBadResolution;
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
                   uint32_t capacity, uint32_t* size, WavFormat* refused) {
  if (n == 0 || n > kMaxSoundSegments) return kWavOpenFailed;
  WavData data[kMaxSoundSegments];
  uint32_t counts[kMaxSoundSegments];
  for (uint8_t i = 0; i < n; ++i) {
    const int result = ReadWavHeader(wavs, i, &data[i], refused);
    if (result != kWavOk) return result;
    counts[i] = SoundValueCount(data[i].size);
  }
  const uint64_t total = SoundDataSize(counts, n);
  if (total + headerLength > capacity) return kSoundTooLong;
  uint32_t fill = WriteSoundTable(counts, n, buffer);
  constexpr uint32_t kBlock = 4096;  // a multiple of the 16 bytes of a group
  uint8_t block[kBlock];
  for (uint8_t i = 0; i < n; ++i) {
    uint32_t groupsLeft = SoundGroupCount(counts[i]);
    for (uint32_t at = 0; groupsLeft > 0; at += kBlock) {
      uint32_t want = data[i].size - at < kBlock ? data[i].size - at : kBlock;
      uint32_t got = wavs.read(wavs.context, i, data[i].start + at, block, want);
      if (got == kWavReadFailed) return kWavOpenFailed;
      // a file shorter than its data chunk: the missing samples are silence
      for (; got < want; ++got) block[got] = got % 2 == 0 ? 2 : 0;
      const uint32_t groups = EncodeWavSegment(block, want, groupsLeft, buffer + fill);
      if (groups == 0) break;
      fill += groups * kSoundGroupBytes;
      groupsLeft -= groups;
    }
  }
  *size = fill;
  return kWavOk;
}

}  // namespace trelvan
