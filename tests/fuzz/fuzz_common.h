// What every fuzz target shares: failing with a message, the seed corpus
// (a target started with TRELVAN_FUZZ_SEEDS=FOLDER writes its seeds there
// and ends), and a storage whose image a run may change at will and have
// put back in microseconds.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/flash.h"
#include "storage/storage_check.h"

namespace trelvan::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* detail = nullptr) {
  std::fprintf(stderr, "fuzz: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  std::abort();
}

using Bytes = std::vector<uint8_t>;

// `bytes` as the file at `path`: a seed, or a file of a target's data folder.
inline void WriteHostFile(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    Fail("writing", path.c_str());
  }
}

// The seed files of a target, written into `folder`.
struct Seeds {
  std::string folder;
  void Add(const std::string& name, const Bytes& bytes) { WriteHostFile(folder + "/" + name, bytes); }
  // Each of `texts` as the seed PREFIX0, PREFIX1, ...
  void AddTexts(const std::string& prefix, std::initializer_list<std::string> texts) {
    int i = 0;
    for (const std::string& t : texts) Add(prefix + std::to_string(i++), Bytes(t.begin(), t.end()));
  }
};

// Each target writes its seeds here.
void WriteSeeds(Seeds& seeds);
// And runs one input here.
int TestOneInput(const uint8_t* data, size_t size);

// Every file of tests/FOLDER whose name ends in `extension`, as `seed` makes
// it from the file's stem and bytes; one it makes empty is left out.
template <class Seed>
void AddGoldenSeeds(Seeds& seeds, const char* folder, const char* extension, Seed seed) {
  std::error_code error;
  for (const auto& e : std::filesystem::directory_iterator(
           std::string(TRELVAN_TESTS_DIR) + "/" + folder, error)) {
    if (e.path().extension() != extension) continue;
    std::ifstream in(e.path(), std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Bytes made = seed(e.path().stem().string(), bytes);
    if (!made.empty()) seeds.Add(e.path().filename().string(), made);
  }
  if (error) Fail("reading", folder);
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

// ---- an image put back by the kernel ------------------------------------------
// The one image a target runs on is a private mapping of a memory file of
// erased blocks: dropping the run's pages puts the whole image back,
// whichever writer changed it, at the cost of the pages it touched.
inline uint8_t* mappedImage = nullptr;
inline void ResetImage(Storage& s) {
  if (madvise(s.image, kImageSize, MADV_DONTNEED) != 0) Fail("madvise");
}
// `s` (its key prepared here) from now on has that image, erased.
inline Storage& MapErasedImage(Storage& s) {
  PrepareKey(s);
  const int fd = memfd_create("erased-image", 0);
  for (uint32_t b = 0; b < kBlockCount && fd >= 0; ++b) {
    if (write(fd, s.erasedBlock, kBlockSize) != ssize_t{kBlockSize}) Fail("writing the erased image");
  }
  const int flags = MAP_PRIVATE | MAP_FIXED;
  if (fd < 0 || mmap(s.image, kImageSize, PROT_READ | PROT_WRITE, flags, fd, 0) != s.image) {
    Fail("mapping the erased image");
  }
  close(fd);
  mappedImage = s.image;
  return s;
}

// A Storage allocated once on the mapped image.
inline Storage& ErasedStorage() {
  static Storage& s = MapErasedImage(*new Storage);
  return s;
}

// An Assistant made on the fake platform `f` with `files` in place of its
// own files service, in memory kept from run to run, its storage on the
// mapped image; whoever makes one each run destroys the last.
inline Assistant& MakeAssistant(FakePlatform& f, Files& files) {
  static void* memory = ::operator new(sizeof(Assistant), std::align_val_t{alignof(Assistant)});
  const Platform platform{f.window, files, f.instance, f.udp, f.threads,
                          f.processes, f.hid, f.libraries, f.settings, f.audio};
  Assistant& a = *new (memory) Assistant(platform);
  [[maybe_unused]] static const Storage& mapped = MapErasedImage(a.storage);
  return a;
}

// `s` put back to an erased image, `count` plain bytes programmed from
// offset 0, and mounted afresh.
inline Storage& Remounted(Storage& s, const uint8_t* plain = nullptr, size_t count = 0) {
  ResetImage(s);
  s.fs = FileSystem{};
  ProgramPlain(s, 0, plain, static_cast<uint32_t>(count));
  StorageMount(s);
  return s;
}

// Fails with `after` and the checker's message unless `check` (the checker,
// or the start-up's) passes `s`.
inline void CheckOrFail(const Storage& s, const char* after,
                        int (*check)(const Storage&, char*, uint32_t) = CheckStorage) {
  char message[1024];
  if (check(s, message, sizeof message) != 0) Fail(after, message);
}

// The stored file `index` from byte `from` to its end; fails on a short read.
inline Bytes ReadStored(const Storage& s, uint16_t index, uint32_t from = 0) {
  const uint32_t size = StorageFileSize(s, index);
  Bytes bytes(from < size ? size - from : 0);
  const uint32_t n = static_cast<uint32_t>(bytes.size());
  if (StorageReadData(s, index, from, bytes.data(), n) != n) Fail("a stored file reads short");
  return bytes;
}

// The writer's calling sequence (an empty file takes one write of no
// bytes); false when the storage refuses the file.
inline bool StoreWhole(Storage& s, const Bytes& content) {
  const uint32_t size = static_cast<uint32_t>(content.size());
  RunStorageToIdle(s);
  if (StorageCreateFile(s, size) != kStorageAccepted) return false;
  for (uint32_t at = 0; at == 0 || at < size; at += kUnitSize) {
    RunStorageToIdle(s);
    const uint32_t n = std::min(size - at, kUnitSize);
    if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) return false;
  }
  RunStorageToIdle(s);
  return true;
}

// An input of a flags byte and parts, each after a 16-bit length; the last
// part takes what is left.
inline Bytes EncodeParts(uint8_t flags, const std::vector<Bytes>& parts) {
  Bytes bytes = {flags};
  for (const Bytes& p : parts) {
    bytes.insert(bytes.end(), {uint8_t(p.size()), uint8_t(p.size() >> 8)});
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

// The input's lines, split at '\n'; after `most` of them, what follows is one
// more (empty when nothing follows the last '\n').
inline std::vector<std::string> SplitLines(const uint8_t* data, size_t size, size_t most = SIZE_MAX) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  for (size_t at = 0, end; at <= size; at = end + 1) {
    end = lines.size() < most ? std::min(input.find('\n', at), size) : size;
    lines.push_back(input.substr(at, end - at));
  }
  return lines;
}

// `text` in a field of `size` bytes, the rest zero.
inline Bytes Text(const char* text, size_t size) {
  Bytes bytes(size, 0);
  for (size_t i = 0; i < size && text[i]; ++i) bytes[i] = static_cast<uint8_t>(text[i]);
  return bytes;
}

// A FileHeader for `name` followed by `data`.
inline Bytes WithHeader(const char* name, const char* type, const Bytes& data) {
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name, "", type, "1.00");
  Bytes content(header, header + h);
  content.insert(content.end(), data.begin(), data.end());
  return content;
}

// An image seed: `prefix` (a target's control bytes), then the plain bytes
// of the image's first `blocks` blocks.
inline Bytes ImageSeed(Bytes prefix, const Storage& s, uint32_t blocks) {
  const size_t at = prefix.size();
  prefix.resize(at + blocks * kBlockSize);
  ReadPlain(s, 0, prefix.data() + at, blocks * kBlockSize);
  return prefix;
}

// A formatted storage holding the program's three records and a picture.
inline Storage& StorageWithRecords() {
  Storage& s = Remounted(ErasedStorage());
  StoreWhole(s, WithHeader("Setup400", "Setup", {1, 0}));
  StoreWhole(s, WithHeader("Revision", "Revision", Text("4.01", 7)));
  StoreWhole(s, WithHeader("SelectFileLastPath", "Path", Text("/home/user/Pictures/", 21)));
  StoreWhole(s, WithHeader("Platform~", "Picture", Bytes(5000, 0x5A)));
  return s;
}

}  // namespace trelvan::fuzz

// The fuzz build links trelvan::EraseImage through this wrapper (ld --wrap):
// the start-up erases the whole image for every file it cannot use, which
// on the mapped image is the same as dropping its pages. Every block still
// counts as changed, as the real erase marks them.
extern "C" void __real__ZN7trelvan10EraseImageERNS_7StorageE(trelvan::Storage& s);
extern "C" void __wrap__ZN7trelvan10EraseImageERNS_7StorageE(trelvan::Storage& s) {
  if (s.image != trelvan::fuzz::mappedImage) return __real__ZN7trelvan10EraseImageERNS_7StorageE(s);
  trelvan::fuzz::ResetImage(s);
  for (uint32_t b = 0; b < trelvan::kBlockCount; ++b) trelvan::MarkBlockChanged(s.changed, b);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("TRELVAN_FUZZ_SEEDS")) {
    trelvan::fuzz::Seeds seeds{folder};
    trelvan::fuzz::WriteSeeds(seeds);
    std::exit(0);
  }
  return 0;
}
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return trelvan::fuzz::TestOneInput(data, size);
}
