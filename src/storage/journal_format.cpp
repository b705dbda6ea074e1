#include "storage/journal_format.h"

#include <cstring>

#include "storage/bytes.h"

namespace trelvan {

namespace {

const uint8_t kMagic[8] = {'T', 'A', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr uint32_t kBlockTag = 0x314B4C42;   // "BLK1"
constexpr uint32_t kCommitTag = 0x31544D43;  // "CMT1"
constexpr uint32_t kSaveTag = 0x31564153;    // "SAV1"

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ull;

inline uint64_t Rotate(uint64_t v, int bits) { return (v << bits) | (v >> (64 - bits)); }
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
inline uint64_t Mix(uint64_t lane, uint64_t word) { return Rotate(lane + word * kPrime2, 31) * kPrime1; }

void WriteU64LE(uint8_t* b, uint64_t v) {
  WriteU32LE(b, static_cast<uint32_t>(v));
  WriteU32LE(b + 4, static_cast<uint32_t>(v >> 32));
}
uint64_t ReadU64LE(const uint8_t* b) {
  return ReadU32LE(b) | (static_cast<uint64_t>(ReadU32LE(b + 4)) << 32);
}
// The 32 bits a record keeps of the hash.
uint32_t Check32(uint64_t hash) { return static_cast<uint32_t>(hash ^ (hash >> 32)); }

}  // namespace

uint64_t JournalHash(const uint8_t* p, size_t n, uint64_t seed) {
  uint64_t a = seed + kPrime1 + kPrime2, b = seed + kPrime2, c = seed, d = seed - kPrime1;
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    a = Mix(a, Load64(p + i));
    b = Mix(b, Load64(p + i + 8));
    c = Mix(c, Load64(p + i + 16));
    d = Mix(d, Load64(p + i + 24));
  }
  uint64_t h = Rotate(a, 1) + Rotate(b, 7) + Rotate(c, 12) + Rotate(d, 18) + n;
  for (; i + 8 <= n; i += 8) h = Rotate(h ^ Mix(0, Load64(p + i)), 27) * kPrime1 + kPrime3;
  for (; i < n; ++i) h = Rotate(h ^ (p[i] * kPrime3), 11) * kPrime1;
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  return h ^ (h >> 32);
}

void EncodeJournalHeader(const JournalHeader& h, uint8_t* out) {
  std::memcpy(out, kMagic, sizeof kMagic);
  WriteU32LE(out + 8, kJournalBlockDataSize);
  WriteU32LE(out + 12, h.base);
  WriteU64LE(out + 16, h.stamp);
  WriteU32LE(out + 24, Check32(JournalHash(out, 24)));
}

bool DecodeJournalHeader(const uint8_t* in, size_t count, JournalHeader* out) {
  if (count < kJournalHeaderSize || std::memcmp(in, kMagic, sizeof kMagic) != 0) return false;
  if (ReadU32LE(in + 24) != Check32(JournalHash(in, 24))) return false;
  if (ReadU32LE(in + 8) != kJournalBlockDataSize) return false;
  const uint32_t base = ReadU32LE(in + 12);
  if (base != kJournalBaseErased && base != kJournalBaseFile) return false;
  out->base = base;
  out->stamp = ReadU64LE(in + 16);
  return true;
}

void EncodeBlockRecord(uint32_t block, const uint8_t* data, uint8_t* out) {
  WriteU32LE(out, kBlockTag);
  WriteU32LE(out + 4, block);
  const uint64_t hash = JournalHash(data, kJournalBlockDataSize, JournalHash(out, 8));
  WriteU32LE(out + 8, Check32(hash));
  std::memcpy(out + kJournalBlockHeaderSize, data, kJournalBlockDataSize);
}

uint32_t BlockRecordNumber(const uint8_t* record) { return ReadU32LE(record + 4); }

void EncodeCommitRecord(uint32_t sequence, uint32_t blocks, uint64_t stamp, uint8_t* out) {
  WriteU32LE(out, kCommitTag);
  WriteU32LE(out + 4, sequence);
  WriteU32LE(out + 8, blocks);
  WriteU64LE(out + 12, stamp);
  WriteU32LE(out + 20, Check32(JournalHash(out, 20)));
}

void EncodeSaveRecord(const JournalSaveMark& mark, uint8_t* out) {
  WriteU32LE(out, kSaveTag);
  WriteU32LE(out + 4, mark.sequence);
  for (uint32_t b = 0; b < kJournalStampBlocks; ++b) {
    WriteU64LE(out + 8 + 8 * b, mark.before[b]);
    WriteU64LE(out + 40 + 8 * b, mark.after[b]);
  }
  WriteU32LE(out + 72, Check32(JournalHash(out, 72)));
}

JournalDecode DecodeJournalRecord(const uint8_t* in, size_t count, uint32_t blockCount,
                                  JournalRecord* out) {
  if (count < 4) return JournalDecode::kShort;
  const uint32_t tag = ReadU32LE(in);
  if (tag == kBlockTag) {
    if (count < kJournalBlockRecordSize) return JournalDecode::kShort;
    const uint8_t* data = in + kJournalBlockHeaderSize;
    const uint64_t hash = JournalHash(data, kJournalBlockDataSize, JournalHash(in, 8));
    if (ReadU32LE(in + 8) != Check32(hash)) return JournalDecode::kDamaged;
    if (BlockRecordNumber(in) >= blockCount) return JournalDecode::kDamaged;
    *out = JournalRecord{};
    out->kind = JournalRecord::kBlock;
    out->size = kJournalBlockRecordSize;
    return JournalDecode::kRecord;
  }
  if (tag == kCommitTag) {
    if (count < kJournalCommitSize) return JournalDecode::kShort;
    if (ReadU32LE(in + 20) != Check32(JournalHash(in, 20))) return JournalDecode::kDamaged;
    *out = JournalRecord{};
    out->kind = JournalRecord::kCommit;
    out->size = kJournalCommitSize;
    out->sequence = ReadU32LE(in + 4);
    out->blocks = ReadU32LE(in + 8);
    out->stamp = ReadU64LE(in + 12);
    return JournalDecode::kRecord;
  }
  if (tag == kSaveTag) {
    if (count < kJournalSaveSize) return JournalDecode::kShort;
    if (ReadU32LE(in + 72) != Check32(JournalHash(in, 72))) return JournalDecode::kDamaged;
    *out = JournalRecord{};
    out->kind = JournalRecord::kSave;
    out->size = kJournalSaveSize;
    out->save.sequence = ReadU32LE(in + 4);
    for (uint32_t b = 0; b < kJournalStampBlocks; ++b) {
      out->save.before[b] = ReadU64LE(in + 8 + 8 * b);
      out->save.after[b] = ReadU64LE(in + 40 + 8 * b);
    }
    return JournalDecode::kRecord;
  }
  return JournalDecode::kDamaged;
}

}  // namespace trelvan
