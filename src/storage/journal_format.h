// The journal's bytes: what the writer appends beside the storage file and
// the start-up reads back. Pure functions on byte buffers; no file, no image.
//
//   header  28 bytes  "TAJOURN1", block size (4096), base kind, base stamp,
//                     checksum of the 24 bytes before it
//   block   12 + 4096 tag "BLK1", block number, checksum of the tag, the
//                     number and the data, then the block as stored (scrambled)
//   commit  24 bytes  tag "CMT1", sequence (1, 2, ...), blocks since the last
//                     commit, stamp of blocks 0 to 3 after it, checksum of
//                     the 20 bytes before it
//   save    76 bytes  tag "SAV1", the last commit's sequence, the hash of each
//                     of blocks 0 to 3 in the storage file before the save,
//                     then of each after it, checksum of the 72 bytes before
//
// Numbers are little-endian. A commit makes the block records before it
// (back to the previous commit) one change: the start-up applies them all or,
// when no valid commit follows them, none. A save record, the last of a
// journal, says that a save writing the committed blocks into the storage
// file in place began: the file may hold any mix of their old and new
// contents, its blocks 0 to 3 each one of the two the record names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trelvan {

constexpr uint32_t kJournalHeaderSize = 28;
constexpr uint32_t kJournalBlockHeaderSize = 12;
constexpr uint32_t kJournalBlockDataSize = 4096;  // one storage block
constexpr uint32_t kJournalBlockRecordSize = kJournalBlockHeaderSize + kJournalBlockDataSize;
constexpr uint32_t kJournalCommitSize = 24;
constexpr uint32_t kJournalSaveSize = 76;
constexpr uint32_t kJournalStampBlocks = 4;
// The bookkeeping blocks 0 to 3, whose stamp names a storage.
constexpr uint32_t kJournalStampBytes = 4 * kJournalBlockDataSize;

// What the journal's changes apply to.
enum JournalBase : uint32_t {
  kJournalBaseErased = 0,  /**< an erased image: there was no storage file */
  kJournalBaseFile = 1,    /**< the storage file whose blocks 0 to 3 give the stamp */
};

struct JournalHeader {
  uint32_t base = kJournalBaseErased;  /**< JournalBase */
  uint64_t stamp = 0;                  /**< JournalStamp of the base file; 0 for an erased base */
};

// The checksum of every record: 64 bits of a multiply-and-rotate hash over
// eight bytes at a time, in four lanes.
uint64_t JournalHash(const uint8_t* bytes, size_t count, uint64_t seed = 0);
// What names a storage: the hash of its blocks 0 to 3 as stored.
inline uint64_t JournalStamp(const uint8_t* blocks0to3) {
  return JournalHash(blocks0to3, kJournalStampBytes, 0x5354414D50ull);
}
// One block's hash, as a save record keeps it.
inline uint64_t JournalBlockHash(const uint8_t* block) {
  return JournalHash(block, kJournalBlockDataSize, 0x424C4F434Bull);
}

// A save record's fields: blocks 0 to 3 of the storage file before and
// after the save under way.
struct JournalSaveMark {
  uint32_t sequence = 0;  /**< the last commit's */
  uint64_t before[kJournalStampBlocks] = {};
  uint64_t after[kJournalStampBlocks] = {};
};

void EncodeJournalHeader(const JournalHeader& h, uint8_t* out);  // kJournalHeaderSize bytes
bool DecodeJournalHeader(const uint8_t* in, size_t count, JournalHeader* out);

// A block record: kJournalBlockRecordSize bytes into `out`.
void EncodeBlockRecord(uint32_t block, const uint8_t* data, uint8_t* out);
// The block number of a block record already decoded (its check passed).
uint32_t BlockRecordNumber(const uint8_t* record);
// A commit record: kJournalCommitSize bytes into `out`.
void EncodeCommitRecord(uint32_t sequence, uint32_t blocks, uint64_t stamp, uint8_t* out);
// A save record: kJournalSaveSize bytes into `out`.
void EncodeSaveRecord(const JournalSaveMark& mark, uint8_t* out);

// One record decoded in place.
struct JournalRecord {
  enum Kind : uint8_t { kNone, kBlock, kCommit, kSave } kind = kNone;
  uint32_t size = 0;                /**< bytes the record takes */
  uint32_t sequence = 0, blocks = 0;  /**< kCommit */
  uint64_t stamp = 0;               /**< kCommit */
  JournalSaveMark save;             /**< kSave */
};

enum class JournalDecode : uint8_t {
  kRecord,   /**< `out` holds a whole, valid record */
  kShort,    /**< the bytes end inside a record: more may follow, or the tail is torn */
  kDamaged,  /**< an unknown tag, a wrong checksum or a block number out of range */
};
JournalDecode DecodeJournalRecord(const uint8_t* in, size_t count, uint32_t blockCount,
                                  JournalRecord* out);

}  // namespace trelvan
