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
#include "storage/storage_image.h"

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

// ---- the blocks a run wrote ---------------------------------------------------
// The fuzz build links the image's writers through the wrappers at the end
// of this file (ld --wrap), which note every block they erase or program.
// A run's image is put back by erasing just those blocks.
struct Touched {
  std::vector<uint16_t> blocks;
  bool all = true;
  uint32_t resets = 0;
};
inline Touched& TouchedBlocks() {
  static Touched t;
  return t;
}
inline void Touch(uint32_t offset, uint32_t count) {
  Touched& t = TouchedBlocks();
  if (count == 0 || t.all) return;
  const uint32_t first = (offset & kImageMask) / kBlockSize;
  const uint32_t last = ((offset + count - 1) & kImageMask) / kBlockSize;
  for (uint32_t b = first;; b = (b + 1) % kBlockCount) {
    t.blocks.push_back(static_cast<uint16_t>(b));
    if (b == last) break;
  }
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
// Erases what the last run wrote (the bookkeeping blocks always, as the
// header invalidation programs a byte in place) and starts a new run. Now
// and then the whole image is compared, so a writer the wrappers miss shows.
inline void ResetImage(Storage& s) {
  Touched& t = TouchedBlocks();
  const bool all = t.all;
  t.all = true;  // the erasures below are not noted
  if (all) {
    EraseImage(s);
  } else {
    for (uint16_t b = kHeaderBlockA; b <= kTableBlock1; ++b) EraseBlock(s, b);
    for (uint16_t b : t.blocks) EraseBlock(s, b);
  }
  if (++t.resets % 1024 == 0) {
    for (uint32_t b = 0; b < kBlockCount; ++b) {
      if (std::memcmp(s.image + b * kBlockSize, s.erasedBlock, kBlockSize) != 0) {
        Fail("a block was written past the wrappers");
      }
    }
  }
  t.blocks.clear();
  t.all = false;
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
// EraseBlock, ProgramUnit and ProgramPlain).
#define TRELVAN_WRAP(name, params, args, touch)   \
  extern "C" void __real_##name params;           \
  extern "C" void __wrap_##name params {          \
    touch;                                        \
    __real_##name args;                           \
  }
TRELVAN_WRAP(_ZN7trelvan10EraseImageERNS_7StorageE, (trelvan::Storage & s), (s),
             trelvan::fuzz::TouchedBlocks().all = true)
TRELVAN_WRAP(_ZN7trelvan10EraseBlockERNS_7StorageEt, (trelvan::Storage & s, uint16_t b), (s, b),
             trelvan::fuzz::Touch(b % trelvan::kBlockCount * trelvan::kBlockSize, 1))
TRELVAN_WRAP(_ZN7trelvan11ProgramUnitERNS_7StorageEjPKh,
             (trelvan::Storage & s, uint32_t at, const uint8_t* data), (s, at, data),
             trelvan::fuzz::Touch(at, trelvan::kUnitSize))
TRELVAN_WRAP(_ZN7trelvan12ProgramPlainERNS_7StorageEjPKhj,
             (trelvan::Storage & s, uint32_t at, const uint8_t* data, uint32_t n),
             (s, at, data, n), trelvan::fuzz::Touch(at, n))
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
