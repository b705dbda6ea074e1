// Storage costs beside the plain operation they compare with, in the same run:
//  - loading and saving the whole 128 MB image file beside `cat FILE > /dev/null`
//    and `cp FILE FILE2` (and cp followed by sync, since the save syncs);
//  - creating a 2 MB file in 256-byte pieces, each followed by a run to idle;
//  - the worst deletion: the first, one-block file of a full storage, so
//    every other block moves, beside a memmove of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "storage/file_system.h"
#include "storage/storage.h"
#include "storage/storage_image.h"

namespace trelvan {
namespace {

std::unique_ptr<Storage> Formatted(Files& files) {
  std::unique_ptr<Storage> s(new Storage);
  StorageInit(*s, files);
  FormatStorage(*s);
  RunStorageToIdle(*s);
  return s;
}

bool StoreFile(Storage& s, const char* name, uint32_t dataSize) {
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name, "", "Bench", "1.00");
  std::vector<uint8_t> content(header, header + h);
  content.resize(static_cast<size_t>(h) + dataSize);
  for (uint32_t i = 0; i < dataSize; ++i) content[h + i] = static_cast<uint8_t>(i * 131 + 7);
  RunStorageToIdle(s);
  if (StorageCreateFile(s, static_cast<uint32_t>(content.size())) != kStorageAccepted) return false;
  RunStorageToIdle(s);
  for (size_t at = 0; at < content.size(); at += kUnitSize) {
    const uint32_t n = static_cast<uint32_t>(
        content.size() - at < kUnitSize ? content.size() - at : kUnitSize);
    if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) return false;
    RunStorageToIdle(s);
  }
  return true;
}

// One platform and one saved image file shared by the file benchmarks.
struct ImageFiles {
  FakePlatform platform;
  std::unique_ptr<Storage> storage = Formatted(platform.files);
  std::string path, copy;
  ImageFiles() {
    for (int i = 0; i < 20; ++i) StoreFile(*storage, ("file " + std::to_string(i)).c_str(), 300000);
    path = storage->path;
    copy = path + " copy";
    if (!SaveStorage(*storage, platform.files)) std::fprintf(stderr, "could not save the image\n");
  }
};

ImageFiles& Files() {
  static ImageFiles files;
  return files;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

void Run(benchmark::State& state, const std::string& command) {
  if (std::system(command.c_str()) != 0) state.SkipWithError(command.c_str());
}

void BM_LoadImageFile(benchmark::State& state) {
  ImageFiles& f = Files();
  for (auto _ : state) {
    if (!ReadImageFile(*f.storage, f.platform.files, f.path.c_str())) state.SkipWithError("read");
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_LoadImageFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatImageFile(benchmark::State& state) {
  ImageFiles& f = Files();
  const std::string command = "cat " + Quoted(f.path) + " > /dev/null";
  for (auto _ : state) Run(state, command);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_CatImageFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveImageFile(benchmark::State& state) {
  ImageFiles& f = Files();
  for (auto _ : state) {
    if (!SaveStorage(*f.storage, f.platform.files)) state.SkipWithError("save");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_SaveImageFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpImageFile(benchmark::State& state) {
  ImageFiles& f = Files();
  const std::string command = "cp " + Quoted(f.path) + " " + Quoted(f.copy);
  for (auto _ : state) Run(state, command);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_CpImageFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The save syncs its file before the rename; this is the same for cp.
void BM_CpAndSyncImageFile(benchmark::State& state) {
  ImageFiles& f = Files();
  const std::string command =
      "cp " + Quoted(f.path) + " " + Quoted(f.copy) + " && sync " + Quoted(f.copy);
  for (auto _ : state) Run(state, command);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_CpAndSyncImageFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 2 MB file (header included) in 256-byte pieces, as every writer does it.
void BM_Create2MBFile(benchmark::State& state) {
  FakePlatform platform;
  auto s = Formatted(platform.files);
  constexpr uint32_t kSize = 2 * 1024 * 1024;
  std::vector<uint8_t> content(kSize);
  const int h = StorageBuildHeader(content.data(), "Two megabytes", "", "Bench", "1.00");
  for (uint32_t i = static_cast<uint32_t>(h); i < kSize; ++i) content[i] = static_cast<uint8_t>(i);
  for (auto _ : state) {
    RunStorageToIdle(*s);
    if (StorageCreateFile(*s, kSize) != kStorageAccepted) state.SkipWithError("create");
    RunStorageToIdle(*s);
    for (uint32_t at = 0; at < kSize; at += kUnitSize) {
      StorageWriteData(*s, content.data() + at, kUnitSize);
      RunStorageToIdle(*s);
    }
    state.PauseTiming();
    if (s->fs.header.fileCount != 1) state.SkipWithError("not stored");
    StorageDeleteFile(*s, 0);  // the only file: nothing moves
    RunStorageToIdle(*s);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kSize));
}
BENCHMARK(BM_Create2MBFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// A full storage whose first file takes one block: deleting it moves all the
// others, one block and one header copy at a time.
struct FullStorage {
  FakePlatform platform;
  std::unique_ptr<Storage> pristine = Formatted(platform.files);
  std::unique_ptr<Storage> work{new Storage};
  uint32_t movedBlocks = 0;
  FullStorage() {
    StoreFile(*pristine, "first", 100);
    uint32_t n = 0;
    while (pristine->fs.header.freeBlocks > 0) {
      const uint32_t blocks = pristine->fs.header.freeBlocks < 1024 ? pristine->fs.header.freeBlocks : 1024;
      StoreFile(*pristine, ("filler " + std::to_string(n++)).c_str(), blocks * kBlockSize - 64);
    }
    movedBlocks = kFileBlocks - 1;
  }
  void Reset() {
    std::memcpy(work->image, pristine->image, kImageSize);
    std::memcpy(work->key, pristine->key, kKeySize);
    std::memcpy(work->erasedBlock, pristine->erasedBlock, kBlockSize);
    work->fs = pristine->fs;
  }
};

FullStorage& Full() {
  static FullStorage full;
  return full;
}

void BM_DeleteFirstOfFullStorage(benchmark::State& state) {
  FullStorage& f = Full();
  for (auto _ : state) {
    state.PauseTiming();
    f.Reset();
    state.ResumeTiming();
    if (StorageDeleteFile(*f.work, 0) != kStorageAccepted) state.SkipWithError("delete");
    RunStorageToIdle(*f.work);
    if (f.work->fs.header.movePending != 0 || f.work->fs.header.freeBlocks != 1) {
      state.SkipWithError("the deletion did not finish");
    }
  }
  state.counters["moved_blocks"] = f.movedBlocks;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.movedBlocks) * kBlockSize);
}
BENCHMARK(BM_DeleteFirstOfFullStorage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes moved down by one block with one memmove.
void BM_MemmoveSameBytes(benchmark::State& state) {
  FullStorage& f = Full();
  const size_t bytes = static_cast<size_t>(f.movedBlocks) * kBlockSize;
  uint8_t* image = f.work->image;
  for (auto _ : state) {
    std::memmove(image + kFirstFileBlock * kBlockSize,
                 image + (kFirstFileBlock + 1) * kBlockSize, bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_MemmoveSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace trelvan

BENCHMARK_MAIN();
