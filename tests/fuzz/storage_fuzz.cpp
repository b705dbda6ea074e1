// Fuzz target: an image whose bookkeeping blocks and first file blocks are
// arbitrary bytes. The start-up header load, the listing of every file, the
// reads, the checker and a bounded run of the state machine (with a
// creation and a deletion) must stay inside the image whatever the header
// and table say. Built with -fsanitize=fuzzer,address,undefined.
//
// Beyond memory safety it checks two properties:
//  - nothing is written past the image into the key or the erased pattern;
//  - an image the checker calls consistent stays consistent through a
//    creation (whose content reads back) and a deletion.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "storage/file_system.h"
#include "storage/storage.h"
#include "storage/storage_check.h"
#include "storage/storage_image.h"
#include "storage_fuzz_input.h"

namespace trelvan {
namespace {

constexpr uint32_t kMaxSteps = 40000;
constexpr uint32_t kMaxListed = 700;

[[noreturn]] void Fail(const char* what, const char* detail) {
  std::fprintf(stderr, "storage fuzz: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  std::abort();
}

Storage& TheStorage() {
  static Storage* s = [] {
    Storage* made = new Storage;
    PrepareKey(*made);
    return made;
  }();
  return *s;
}

// Steps until idle or waiting for data, at most `limit` steps. True when it
// stopped by itself.
bool StepBounded(Storage& s, uint32_t limit) {
  for (uint32_t i = 0; i < limit; ++i) {
    if (StorageStep(s) == 0) return true;
  }
  return false;
}

uint32_t Sink(const uint8_t* p, uint32_t n) {
  uint32_t x = 0;
  for (uint32_t i = 0; i < n; ++i) x = x * 31 + p[i];
  return x;
}

// Everything a page does to list and read the stored files.
uint32_t ListFiles(const Storage& s) {
  uint32_t seen = 0;
  const uint32_t count = s.fs.header.fileCount;
  std::vector<uint8_t> data(16384);
  for (uint32_t i = 0; i < count && i < kMaxListed; ++i) {
    const uint16_t index = static_cast<uint16_t>(i);
    uint8_t entry[8];
    if (StorageReadEntry(s, index, entry) != 1) Fail("StorageReadEntry refused a listed index", nullptr);
    char field[128];
    for (uint8_t f = 0; f <= kFieldLast; ++f) {
      const uint16_t n = StorageReadField(s, index, f, field);
      seen += n;
    }
    const uint16_t h = StorageHeaderLength(s, index);
    if (h > kFileHeaderScan) Fail("header length beyond 256", nullptr);
    const uint32_t size = StorageFileSize(s, index);
    const uint32_t start = StorageFileStartBlock(s, index);
    seen += start;
    const uint32_t n = size < data.size() ? size : static_cast<uint32_t>(data.size());
    if (StorageReadData(s, index, h, data.data(), n) != n) Fail("StorageReadData count", nullptr);
    seen += Sink(data.data(), n);
    // The file's last bytes, wherever a damaged size puts them.
    StorageReadData(s, index, size - 256, data.data(), 256);
    StorageReadData(s, index, 0xFFFFFF00u, data.data() + 256, 512);
    seen += Sink(data.data(), 768);
  }
  uint8_t entry[8];
  if (StorageReadEntry(s, static_cast<uint16_t>(count), entry) != 0 && count < 0x10000) {
    Fail("StorageReadEntry accepted the index behind the last file", nullptr);
  }
  StorageReadEntry(s, 0xFFFF, entry);
  // Finds walk the whole table.
  seen += static_cast<uint32_t>(StorageFindFile(s, "Setup400"));
  seen += static_cast<uint32_t>(StorageFindFile(s, "Revision"));
  return seen;
}

void CheckCanaries(const Storage& s) {
  if (std::memcmp(s.key, kStorageKey, kKeySize) != 0) Fail("the key was overwritten", nullptr);
  for (uint32_t i = 0; i < kBlockSize; ++i) {
    if (s.erasedBlock[i] != static_cast<uint8_t>(s.key[i % kKeySize] - 1)) {
      Fail("the erased pattern was overwritten", nullptr);
    }
  }
}

void WriteFile(Storage& s, uint32_t size, bool singleSteps, const uint8_t* pattern,
               uint32_t patternSize, bool wasConsistent) {
  std::vector<uint8_t> content(size);
  for (uint32_t i = 0; i < size; ++i) {
    content[i] = patternSize ? static_cast<uint8_t>(pattern[i % patternSize] + i / patternSize)
                             : static_cast<uint8_t>(i);
  }
  const uint16_t before = s.fs.header.fileCount;
  if (StorageCreateFile(s, size) != kStorageAccepted) return;
  if (!StepBounded(s, kMaxSteps)) return;
  if (s.fs.state != kStateWaitForData) Fail("a creation does not wait for data", nullptr);
  uint32_t at = 0;
  uint32_t piece = 1 + (size % 256);
  while (at < size) {
    const uint32_t n = size - at < piece ? size - at : piece;
    if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) {
      Fail("StorageWriteData refused a piece", nullptr);
    }
    at += n;
    if (singleSteps) {
      for (uint32_t k = 0; k < kMaxSteps && StorageStep(s) != 0; ++k) {
        if (s.fs.state != kStateWaitForData && at < size &&
            StorageWriteData(s, content.data(), 1) != kStorageNotWaiting) {
          Fail("StorageWriteData accepted data outside the waiting state", nullptr);
        }
      }
    } else if (!StepBounded(s, kMaxSteps)) {
      return;
    }
    piece = piece % 256 + 1;
  }
  if (!StepBounded(s, kMaxSteps)) return;
  if (!wasConsistent) return;
  char message[256];
  if (CheckStorage(s, message, sizeof message) != 0) Fail("a creation broke the image", message);
  if (s.fs.header.fileCount != before + 1) Fail("the created file is not counted", nullptr);
  std::vector<uint8_t> back(size);
  StorageReadData(s, before, 0, back.data(), size);
  if (back != content) Fail("the created file does not read back", nullptr);
}

}  // namespace
}  // namespace trelvan

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trelvan;
  using namespace trelvan::fuzz;
  if (size < kControlBytes || size > kMaxInput) return 0;
  Storage& s = TheStorage();
  // Only the machine writes beyond the input's own blocks (the reads take a
  // const Storage), so after a run without steps erasing those is enough.
  static bool everything = true;
  if (everything) {
    EraseImage(s);
  } else {
    for (uint16_t b = 0; b < kMaxInput / kBlockSize + 1; ++b) EraseBlock(s, b);
  }
  everything = (data[0] & kRunSteps) != 0;
  s.fs = FileSystem{};

  const uint8_t flags = data[0];
  const uint16_t index = static_cast<uint16_t>(data[1] | (data[2] << 8));
  const uint32_t createSize = 1 + data[3] * 97u;
  ProgramPlain(s, 0, data + kControlBytes, static_cast<uint32_t>(size - kControlBytes));

  StorageMount(s);
  ListFiles(s);
  char message[256];
  bool consistent = CheckStorage(s, message, sizeof message) == 0;

  if (flags & kRunSteps) {
    if (StepBounded(s, kMaxSteps) && s.fs.state == kStateIdle) {
      ListFiles(s);
      if (consistent && CheckStorage(s, message, sizeof message) != 0) {
        Fail("the start-up steps broke a consistent image", message);
      }
      if (flags & kCreate) {
        WriteFile(s, createSize, (flags & kStepPieces) != 0, data + kControlBytes,
                  static_cast<uint32_t>(size - kControlBytes) % 509, consistent);
      }
      if ((flags & kDelete) && s.fs.state == kStateIdle) {
        const uint16_t before = s.fs.header.fileCount;
        const int r = StorageDeleteFile(s, index);
        if (r == kStorageAccepted && StepBounded(s, kMaxSteps) && consistent) {
          if (CheckStorage(s, message, sizeof message) != 0) Fail("a deletion broke the image", message);
          if (s.fs.header.fileCount != before - 1) Fail("the deletion is not counted", nullptr);
        }
        if (r == kStorageNoSuchFile && index < before) Fail("a stored index was refused", nullptr);
      }
      ListFiles(s);
    }
    CheckStorage(s, message, sizeof message);
  }
  CheckCanaries(s);
  return 0;
}
