// The journal's costs beside the plain operation they compare with, in the
// same run:
//  - the tick's share of a commit (copying the marked blocks into the ring)
//    beside a memcpy of the same blocks, for 1, 16 and 256 changed blocks;
//  - a commit made durable by the writer thread on the real disk (write and
//    fsync), from the tick's hand-over to the writer's report;
//  - the replay of a 32 MiB journal at start-up beside `cat` of the same
//    file, with the journal's bytes per changed byte.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/fake/fake_platform.h"
#include "platform/linux/posix_files.h"
#include "platform/linux/posix_threads.h"
#include "storage/file_system.h"
#include "storage/journal.h"
#include "storage/storage_image.h"

namespace trelvan {
namespace {

// A formatted storage on a fake folder, its journal begun on an erased base.
struct Journalled {
  FakePlatform platform;
  std::unique_ptr<Storage> s{new Storage};
  std::unique_ptr<Journal> j = std::make_unique<Journal>();
  Journalled() {
    StorageInit(*s, platform.files);
    FormatStorage(*s);
    RunStorageToIdle(*s);
    for (uint32_t b = 0; b < kBlockCount; b += 7) s->image[b * kBlockSize] = static_cast<uint8_t>(b);
    TakeJournalBase(*s, *j, kJournalBaseErased);
    if (!StartJournal(*s, *j, platform.files, nullptr)) std::fprintf(stderr, "no journal\n");
  }
  // Blocks spread over the image, as changes of several files are.
  void Mark(uint32_t blocks) {
    for (uint32_t i = 0; i < blocks; ++i) MarkBlockChanged(s->changed, 4 + i * 61 % kFileBlocks);
  }
};

// Timed around the tick's call alone: the marks are the flash layer's work,
// and the writer's part is not the tick's (its slots are taken back unwritten).
void BM_TickShareOfCommit(benchmark::State& state) {
  Journalled f;
  const uint32_t blocks = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    f.Mark(blocks);
    const auto start = std::chrono::steady_clock::now();
    const JournalTickResult r = JournalTick(*f.s, *f.j);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (r != JournalTickResult::kQuiet || f.s->changed.count != 0) state.SkipWithError("not handed over");
    f.j->writer.tail.store(f.j->writer.head.load());
  }
  state.SetBytesProcessed(state.iterations() * blocks * static_cast<int64_t>(kBlockSize));
}
BENCHMARK(BM_TickShareOfCommit)->Arg(1)->Arg(16)->Arg(256)->UseManualTime();

// The same blocks copied into the same ring, timed the same way.
void BM_MemcpyChangedBlocks(benchmark::State& state) {
  Journalled f;
  const uint32_t blocks = static_cast<uint32_t>(state.range(0));
  uint32_t slot = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t i = 0; i < blocks; ++i, ++slot) {
      std::memcpy(f.j->writer.slots[slot % kJournalSlots].data,
                  f.s->image + static_cast<size_t>(4 + i * 61 % kFileBlocks) * kBlockSize, kBlockSize);
    }
    benchmark::ClobberMemory();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.SetBytesProcessed(state.iterations() * blocks * static_cast<int64_t>(kBlockSize));
}
BENCHMARK(BM_MemcpyChangedBlocks)->Arg(1)->Arg(16)->Arg(256)->UseManualTime();

// From the tick's hand-over of 16 blocks to the writer thread's report that
// they are written and flushed, on the real files service.
void BM_CommitDurableOnDisk(benchmark::State& state) {
  const std::string folder = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                             "/journal-bench-" + std::to_string(getpid());
  MakeFolders(folder);
  {
    PosixFiles files(folder);
    PosixThreads threads;
    std::unique_ptr<Storage> s(new Storage);
    auto j = std::make_unique<Journal>();
    StorageInit(*s, files);
    FormatStorage(*s);
    TakeJournalBase(*s, *j, kJournalBaseErased);
    if (!StartJournal(*s, *j, files, &threads)) state.SkipWithError("no journal");
    for (auto _ : state) {
      for (uint32_t i = 0; i < 16; ++i) MarkBlockChanged(s->changed, 4 + i);
      JournalTick(*s, *j);
      const uint32_t commit = j->commits;
      while (j->writer.durable.load() < commit) std::this_thread::yield();
    }
    FinishJournal(*s, *j);
    RemoveJournal(*j, files);
  }
  std::remove(folder.c_str());
}
BENCHMARK(BM_CommitDurableOnDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 32 MiB journal: 8,160 blocks in commits of 16, written once.
struct BigJournal {
  Journalled f;
  std::string path;
  uint64_t changedBytes = 0;
  BigJournal() {
    for (uint32_t c = 0; c < 510; ++c) {
      for (uint32_t i = 0; i < 16; ++i) MarkBlockChanged(f.s->changed, 4 + (c * 16 + i) * 61 % kFileBlocks);
      changedBytes += 16 * kBlockSize;
      JournalTick(*f.s, *f.j);
      DrainJournalWriter(f.j->writer);
    }
    path = f.j->path;
    FinishJournal(*f.s, *f.j);
  }
};
BigJournal& Big() {
  static BigJournal big;
  return big;
}

void BM_ReplayJournal32MiB(benchmark::State& state) {
  BigJournal& b = Big();
  std::unique_ptr<Storage> s(new Storage);
  auto j = std::make_unique<Journal>();
  StorageInit(*s, b.f.platform.files);  // no storage file: the erased base
  for (auto _ : state) {
    s->imageLoaded = 0;
    const JournalRecovery r = ReplayJournal(*s, *j, b.f.platform.files);
    if (r.found != JournalFound::kReplayed || r.commits != 510) state.SkipWithError("not replayed");
  }
  const uint64_t size = std::filesystem::file_size(b.path);
  state.counters["journal_per_changed_byte"] = static_cast<double>(size) / b.changedBytes;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}
BENCHMARK(BM_ReplayJournal32MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatJournal32MiB(benchmark::State& state) {
  BigJournal& b = Big();
  const std::string command = "cat '" + b.path + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("cat");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(b.path)));
}
BENCHMARK(BM_CatJournal32MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace trelvan

BENCHMARK_MAIN();
