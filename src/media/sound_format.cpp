#include "media/sound_format.h"

#include "storage/bytes.h"

namespace trelvan {

namespace {

bool SameId(const uint8_t* at, const char* id) {
  for (int i = 0; i < 4; ++i) {
    if (at[i] != static_cast<uint8_t>(id[i])) return false;
  }
  return true;
}

struct Chunks {
  int64_t fmt = -1;   /**< offset of the "fmt " chunk's body */
  uint32_t fmtSize = 0;
  int64_t data = -1;  /**< offset of the "data" chunk's body */
  uint32_t dataSize = 0;
};

// Walks the chunks from byte 12: id, 32-bit size, body padded to even.
Chunks FindChunks(const uint8_t* head, uint32_t size) {
  Chunks c;
  if (size > kWavHeaderWindow) size = kWavHeaderWindow;
  if (size < 12 || !SameId(head, "RIFF") || !SameId(head + 8, "WAVE")) return c;
  uint64_t at = 12;
  while (at + 8 <= size) {
    const uint32_t body = ReadU32LE(head + at + 4);
    if (SameId(head + at, "fmt ") && c.fmt < 0) {
      c.fmt = static_cast<int64_t>(at + 8);
      c.fmtSize = body;
    } else if (SameId(head + at, "data")) {
      c.data = static_cast<int64_t>(at + 8);
      c.dataSize = body;
      break;  // the samples follow; nothing after them is needed
    }
    at += 8 + uint64_t{body} + (body & 1);
  }
  return c;
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

int CheckWavHeader(const uint8_t* head, uint32_t size, WavData* out) {
  const Chunks c = FindChunks(head, size);
  if (c.fmt < 0 || c.data < 0 || c.fmtSize < 16) return kWavNotPcm;
  const uint8_t* fmt = head + c.fmt;
  if (static_cast<uint64_t>(c.fmt) + 16 > (size < kWavHeaderWindow ? size : kWavHeaderWindow)) {
    return kWavNotPcm;
  }
  if (ReadU16LE(fmt) != 1) return kWavNotPcm;
  if (ReadU16LE(fmt + 2) != 1) return kWavNotMono;
  if (ReadU32LE(fmt + 4) != 44100) return kWavBadRate;
  if (fmt[14] != 16) return kWavBadResolution;
  out->start = static_cast<uint32_t>(c.data);
  out->size = c.dataSize & ~1u;
  return kWavOk;
}

uint32_t ReadWavDataSize(const uint8_t* head, uint32_t size) {
  const Chunks c = FindChunks(head, size);
  return c.data < 0 ? 0 : c.dataSize / 2;
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
                   uint32_t capacity, uint32_t* size) {
  if (n == 0 || n > kMaxSoundSegments) return kWavOpenFailed;
  WavData data[kMaxSoundSegments];
  uint32_t counts[kMaxSoundSegments];
  for (uint8_t i = 0; i < n; ++i) {
    uint8_t head[kWavHeaderWindow];
    const uint32_t got = wavs.read(wavs.context, i, 0, head, kWavHeaderWindow);
    if (got == kWavReadFailed) return kWavOpenFailed;
    const int result = CheckWavHeader(head, got, &data[i]);
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
