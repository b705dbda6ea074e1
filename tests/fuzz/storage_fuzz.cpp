// Fuzz target: an image whose bookkeeping blocks and first file blocks are
// arbitrary bytes. The start-up header load, the listing of every file, the
// reads, the checker and a bounded run of the state machine (with a
// creation and a deletion) must stay inside the image whatever the header
// and table say.
//
// Beyond memory safety it checks two properties:
//  - nothing is written past the image into the key that follows it;
//  - an image the checker calls consistent stays consistent through a
//    creation and a deletion (the file count and the content after each
//    are the model test's).
#include "fuzz_common.h"

namespace trelvan::fuzz {
namespace {

// One input: control bytes (flags, a table index of 16 bits, a size in
// 97-byte steps), then the plain bytes of the image from offset 0: blocks 0
// to 3 (header copies and tables), then file blocks. The rest is erased.
constexpr uint32_t kControlBytes = 4;
constexpr uint32_t kMaxInput = 65536;
enum ControlFlag : uint8_t {
  kRunSteps = 1,    // run the machine towards idle (bounded)
  kCreate = 2,      // then create and write a file
  kDelete = 4,      // then delete the given table index
};
constexpr uint32_t kMaxSteps = 1000;  // a damaged compaction may claim 65,535 moves

// Steps until idle or waiting for data, at most kMaxSteps. True when it
// stopped by itself.
bool StepBounded(Storage& s) {
  for (uint32_t i = 0; i < kMaxSteps; ++i) {
    if (StorageStep(s) == 0) return true;
  }
  return false;
}

// Everything a page does to list and read the stored files, for the first
// 64 files and the last ones a damaged count claims.
void ListFiles(const Storage& s) {
  const uint32_t count = s.fs.header.fileCount;
  uint8_t data[3 * kUnitSize];
  char field[128];
  for (uint32_t i = 0; i < count; i = i + 1 == 64 && count > 68 ? count - 4 : i + 1) {
    const uint16_t index = static_cast<uint16_t>(i);
    StorageFileStartBlock(s, index);
    for (uint8_t f = 0; f <= kFieldLast; ++f) StorageReadField(s, index, f, field);
    const uint16_t h = StorageHeaderLength(s, index);
    if (h > kFileHeaderScan) Fail("header length beyond 256");
    const uint32_t size = StorageFileSize(s, index), n = std::min(size, kUnitSize);
    if (StorageReadData(s, index, h, data, n) != n) Fail("StorageReadData count");
    // The file's last bytes, wherever a damaged size puts them.
    StorageReadData(s, index, size - kUnitSize, data, kUnitSize);
    StorageReadData(s, index, 0xFFFFFF00u, data + kUnitSize, 2 * kUnitSize);
  }
}

// A file of `size` bytes, written in pieces of 1 to 256 bytes; a
// consistent image must stay so.
void WriteFile(Storage& s, uint32_t size, bool consistent) {
  Bytes content(size);
  for (uint32_t i = 0; i < size; ++i) content[i] = uint8_t(i + i / 251);
  // A creation that does not wait for data refuses the first piece.
  if (StorageCreateFile(s, size) != kStorageAccepted || !StepBounded(s)) return;
  for (uint32_t at = 0, piece = 1 + size % 256; at < size; piece = piece % 256 + 1) {
    const uint32_t n = std::min(size - at, piece);
    if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) {
      Fail("StorageWriteData refused a piece");
    }
    at += n;
    if (!StepBounded(s)) return;
  }
  if (!StepBounded(s) || !consistent) return;
  CheckOrFail(s, "a creation broke the image");
}

}  // namespace

// Real images made by the file system's own operations, one after the
// other: empty, the program's records and a picture, files without a
// FileHeader, a compaction and a creation cut short.
void WriteSeeds(Seeds& seeds) {
  Storage& s = ErasedStorage();
  auto dump = [&](const char* name, uint8_t flags, uint16_t index, uint8_t size, uint32_t blocks) {
    const Bytes control = {flags, uint8_t(index), uint8_t(index >> 8), size};
    seeds.Add(name, ImageSeed(control, s, kFirstFileBlock + blocks));
  };
  const uint8_t all = kRunSteps | kCreate | kDelete;
  RunStorageToIdle(Remounted(s));
  dump("empty", all, 0, 3, 0);
  StorageWithRecords();
  dump("records", all, 2, 60, 5);
  StoreWhole(s, Bytes{0x01, 'a', 0, 0x03});
  Bytes noEnd(300, 'z');
  noEnd[0] = 0x02;  // a header begun and never ended
  StoreWhole(s, noEnd);
  dump("no-file-headers", kRunSteps | kDelete, 4, 0, 7);

  if (StorageDeleteFile(s, 0) != kStorageAccepted) Fail("the seeds' deletion was refused");
  for (int moves = 0; moves < 2;) {  // two block moves of the compaction
    if (s.fs.state == kStateMoveBlock) ++moves;
    StorageStep(s);
  }
  while (s.fs.state != kStateMoveNext) StorageStep(s);
  dump("compaction-cut", all, 0, 1, 8);

  RunStorageToIdle(s);
  StorageCreateFile(s, 5000);  // the new entry only in the inactive table
  RunStorageToIdle(s);
  StorageWriteData(s, Bytes(kUnitSize, 0x44).data(), kUnitSize);
  RunStorageToIdle(s);
  dump("creation-cut", kRunSteps | kCreate, 0, 9, 8);
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < kControlBytes || size > kMaxInput) return 0;
  const uint8_t flags = data[0];
  const uint16_t index = static_cast<uint16_t>(data[1] | (data[2] << 8));
  Storage& s = Remounted(ErasedStorage(), data + kControlBytes, size - kControlBytes);
  ListFiles(s);
  // A find walks every entry; ListFiles has read the last ones a larger
  // damaged count claims.
  if (s.fs.header.fileCount <= 2 * kTableEntries) StorageFindFile(s, "Setup400");
  char message[256];
  const bool consistent = CheckStorage(s, message, sizeof message) == 0;
  if ((flags & kRunSteps) && StepBounded(s) && s.fs.state == kStateIdle) {
    ListFiles(s);
    if (consistent) CheckOrFail(s, "the start-up steps broke a consistent image");
    if (flags & kCreate) WriteFile(s, 1 + data[3] * 97u, consistent);
    if ((flags & kDelete) && s.fs.state == kStateIdle) {
      const uint16_t before = s.fs.header.fileCount;
      const int r = StorageDeleteFile(s, index);
      if (r == kStorageAccepted && StepBounded(s) && consistent) CheckOrFail(s, "a deletion broke the image");
      if (r == kStorageNoSuchFile && index < before) Fail("a stored index was refused");
    }
    ListFiles(s);
  }
  if (flags & kRunSteps) CheckStorage(s, message, sizeof message);
  // Nothing written past the image.
  if (std::memcmp(s.key, kStorageKey, kKeySize) != 0) Fail("the key was overwritten");
  return 0;
}

}  // namespace trelvan::fuzz
