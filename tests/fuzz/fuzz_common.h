// What every fuzz target shares: failing with a message, the seed corpus
// (a target started with TRELVAN_FUZZ_SEEDS=FOLDER writes its seeds there
// and ends), and a storage whose image a run may change at will and have
// put back in microseconds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

#include "storage/file_system.h"
#include "storage/storage.h"
#include "storage/storage_check.h"
#include "storage/flash.h"

namespace trelvan {
namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* detail = nullptr) {
  std::fprintf(stderr, "fuzz: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  std::abort();
}

using Bytes = std::vector<uint8_t>;

// The seed files of a target, written into `folder`; ok while every write went well.
struct Seeds {
  std::string folder;
  bool ok = true;
  void Add(const std::string& name, const Bytes& bytes) {
    FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
    ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && ok;
    ok = f && std::fclose(f) == 0 && ok;
  }
};

// Each target writes its seeds here.
void WriteSeeds(Seeds& seeds);
// And runs one input here.
int TestOneInput(const uint8_t* data, size_t size);

// Every file of tests/FOLDER whose name ends in `extension`, as `seed` makes
// it from the file's stem and bytes.
template <class Seed>
void AddGoldenSeeds(Seeds& seeds, const char* folder, const char* extension, Seed seed) {
  std::error_code error;
  for (const auto& e : std::filesystem::directory_iterator(
           std::string(TRELVAN_TESTS_DIR) + "/" + folder, error)) {
    if (e.path().extension() != extension) continue;
    std::ifstream in(e.path(), std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    seeds.Add(e.path().filename().string(), seed(e.path().stem().string(), bytes));
  }
  if (error) seeds.ok = false;
}

// A folder of the run's own under /dev/shm, made once; Clear empties it.
inline const std::string& TempFolder() {
  static const std::string folder = [] {
    char pattern[] = "/dev/shm/trelvan-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) Fail("mkdtemp");
    return std::string(pattern);
  }();
  return folder;
}
inline void ClearTempFolder() {
  for (const auto& e : std::filesystem::directory_iterator(TempFolder())) {
    std::filesystem::remove_all(e.path());
  }
}

// ---- what the image's blocks hold ---------------------------------------------
// The fuzz build links the image's writers through the wrappers at the end
// of this file (ld --wrap). The one image a target watches keeps a note per
// block: erased, or changed since. EraseImage of the watched image erases
// only the changed blocks, so a run's image is put back in microseconds.
// EraseBlock counts as a change, as a block move copies into the block it
// erased; the bookkeeping blocks always count as changed, as the header
// invalidation programs a byte in place.
struct WatchedImage {
  uint8_t* image = nullptr;
  const uint8_t* erased = nullptr;  // the erased block pattern
  std::vector<bool> changed;
  uint32_t erasures = 0;
};
inline WatchedImage& Watched() {
  static WatchedImage w;
  return w;
}
inline bool AlwaysChanged(uint32_t block) {
  return block >= kHeaderBlockA && block <= kTableBlock1;
}
inline void NoteChanged(const Storage& s, uint32_t offset, uint32_t count) {
  WatchedImage& w = Watched();
  if (count == 0 || s.image != w.image) return;
  const uint32_t first = (offset & kImageMask) / kBlockSize;
  const uint32_t last = ((offset + count - 1) & kImageMask) / kBlockSize;
  for (uint32_t b = first;; b = (b + 1) % kBlockCount) {
    w.changed[b] = true;
    if (b == last) break;
  }
}
// From now on `s` (its key prepared) is the watched image; it is erased whole.
inline void WatchImage(Storage& s) {
  WatchedImage& w = Watched();
  w.image = s.image;
  w.erased = s.erasedBlock;
  w.changed.assign(kBlockCount, true);
  EraseImage(s);
}

// A Storage allocated once, erased and left erased between runs.
inline Storage& ErasedStorage() {
  static Storage* s = [] {
    Storage* made = new Storage;
    PrepareKey(*made);
    return made;
  }();
  return *s;
}
// Erases what the last run wrote and starts a new run.
inline void ResetImage(Storage& s) {
  if (Watched().image != s.image) WatchImage(s);
  EraseImage(s);
}

// `s` put back to an erased image and mounted afresh.
inline Storage& Remounted(Storage& s) {
  ResetImage(s);
  s.fs = FileSystem{};
  StorageMount(s);
  return s;
}

inline void CheckOrFail(const Storage& s, const char* after) {
  char message[256];
  if (CheckStorage(s, message, sizeof message) != 0) Fail(after, message);
}

// The writer's calling sequence; false when the storage refuses the file.
inline bool StoreWhole(Storage& s, const uint8_t* content, uint32_t size) {
  RunStorageToIdle(s);
  if (StorageCreateFile(s, size) != kStorageAccepted) return false;
  RunStorageToIdle(s);
  uint32_t at = 0;
  do {
    const uint32_t n = size - at < kUnitSize ? size - at : kUnitSize;
    if (StorageWriteData(s, content + at, n) != kStorageAccepted) return false;
    RunStorageToIdle(s);
    at += n;
  } while (at < size);
  return true;
}
inline bool StoreWhole(Storage& s, const Bytes& content) {
  return StoreWhole(s, content.data(), static_cast<uint32_t>(content.size()));
}

// An input of a flags byte and parts, each after a 16-bit length; the last
// part takes what is left.
inline Bytes EncodeParts(uint8_t flags, const std::vector<Bytes>& parts) {
  Bytes bytes = {flags};
  for (const Bytes& p : parts) {
    bytes.push_back(static_cast<uint8_t>(p.size()));
    bytes.push_back(static_cast<uint8_t>(p.size() >> 8));
    bytes.insert(bytes.end(), p.begin(), p.end());
  }
  return bytes;
}
inline std::vector<Bytes> DecodeParts(const uint8_t* data, size_t size, size_t count) {
  std::vector<Bytes> parts(count);
  for (size_t at = 1, i = 0; i < count && at + 2 <= size; ++i) {
    const size_t n = std::min<size_t>(data[at] | data[at + 1] << 8, size - at - 2);
    parts[i].assign(data + at + 2, data + at + 2 + n);
    at += 2 + n;
  }
  return parts;
}

// A FileHeader for `name` followed by `data`.
inline Bytes WithHeader(const char* name, const char* type, const Bytes& data) {
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name, "", type, "1.00");
  Bytes content(header, header + h);
  content.insert(content.end(), data.begin(), data.end());
  return content;
}

// The plain bytes of the image's first `blocks` blocks.
inline Bytes PlainFront(const Storage& s, uint32_t blocks) {
  Bytes bytes(blocks * kBlockSize);
  ReadPlain(s, 0, bytes.data(), static_cast<uint32_t>(bytes.size()));
  return bytes;
}

// A formatted storage holding the program's three records and a picture.
inline Storage& StorageWithRecords() {
  Storage& s = Remounted(ErasedStorage());
  StoreWhole(s, WithHeader("Setup400", "Setup", {1, 0}));
  StoreWhole(s, WithHeader("Revision", "Revision", {'4', '.', '0', '1', 0, 0, 0}));
  const char path[] = "/home/user/Pictures/";
  StoreWhole(s, WithHeader("SelectFileLastPath", "Path", Bytes(path, path + sizeof path)));
  StoreWhole(s, WithHeader("Platform~", "Picture", Bytes(5000, 0x5A)));
  return s;
}

}  // namespace fuzz
}  // namespace trelvan

// The wrapped writers of the image (mangled names of trelvan::EraseImage,
// EraseBlock, EraseBlockFront, CopyBlock, ProgramUnit and ProgramPlain). Now and then EraseImage
// compares the whole watched image, so a writer the wrappers miss shows.
extern "C" void __real__ZN7trelvan10EraseBlockERNS_7StorageEt(trelvan::Storage& s, uint16_t b);
extern "C" void __real__ZN7trelvan10EraseImageERNS_7StorageE(trelvan::Storage& s);
extern "C" void __wrap__ZN7trelvan10EraseImageERNS_7StorageE(trelvan::Storage& s) {
  using namespace trelvan;
  fuzz::WatchedImage& w = fuzz::Watched();
  if (s.image != w.image) return __real__ZN7trelvan10EraseImageERNS_7StorageE(s);
  for (uint32_t b = 0; b < kBlockCount; ++b) {
    if (!w.changed[b] && !fuzz::AlwaysChanged(b)) continue;
    __real__ZN7trelvan10EraseBlockERNS_7StorageEt(s, static_cast<uint16_t>(b));
    w.changed[b] = false;
  }
  if (++w.erasures % 1024 != 0) return;
  for (uint32_t b = 0; b < kBlockCount; ++b) {
    if (std::memcmp(s.image + b * kBlockSize, s.erasedBlock, kBlockSize) != 0) {
      fuzz::Fail("a block was written past the wrappers");
    }
  }
}
#define TRELVAN_WRAP(name, params, args, note)   \
  extern "C" void __real_##name params;          \
  extern "C" void __wrap_##name params {         \
    __real_##name args;                          \
    note;                                        \
  }
TRELVAN_WRAP(_ZN7trelvan10EraseBlockERNS_7StorageEt, (trelvan::Storage & s, uint16_t b), (s, b),
             trelvan::fuzz::NoteChanged(s, b % trelvan::kBlockCount * trelvan::kBlockSize, 1))
TRELVAN_WRAP(_ZN7trelvan15EraseBlockFrontERNS_7StorageEtj,
             (trelvan::Storage & s, uint16_t b, uint32_t n), (s, b, n),
             trelvan::fuzz::NoteChanged(s, b % trelvan::kBlockCount * trelvan::kBlockSize, 1))
TRELVAN_WRAP(_ZN7trelvan9CopyBlockERNS_7StorageEtt,
             (trelvan::Storage & s, uint16_t to, uint16_t from), (s, to, from),
             trelvan::fuzz::NoteChanged(s, to % trelvan::kBlockCount * trelvan::kBlockSize, 1))
TRELVAN_WRAP(_ZN7trelvan11ProgramUnitERNS_7StorageEjPKh,
             (trelvan::Storage & s, uint32_t at, const uint8_t* data), (s, at, data),
             trelvan::fuzz::NoteChanged(s, at, trelvan::kUnitSize))
TRELVAN_WRAP(_ZN7trelvan12ProgramPlainERNS_7StorageEjPKhj,
             (trelvan::Storage & s, uint32_t at, const uint8_t* data, uint32_t n),
             (s, at, data, n), trelvan::fuzz::NoteChanged(s, at, n))
#undef TRELVAN_WRAP

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("TRELVAN_FUZZ_SEEDS")) {
    trelvan::fuzz::Seeds seeds{folder};
    trelvan::fuzz::WriteSeeds(seeds);
    std::exit(seeds.ok ? 0 : 1);
  }
  return 0;
}
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return trelvan::fuzz::TestOneInput(data, size);
}
