// One fault-injection harness for the step machines.
//
// A scenario stores the files a change starts from, then drives the change
// through a Cut, the power supply of one run. The harness runs the change
// once whole, then once for every interruption point from the same starting
// image, "losing power" after that many events (a StorageStep, a changing
// call, one call of a download's store: each a Cut::Tick): a new process mounts the image bytes as they are, or
// (at two points) the image goes through the exit save and a start from the
// storage file. The restarted storage runs to idle and must pass
// CheckRestart: the checker, the old or the new file set and never the old
// again once the new was seen, then a further creation and deletion. A save
// that fails part-way (open, write, flush, rename) is the exit test's: it
// keeps the previous file.
//
// The 128 MB image is not copied per point: the blocks a scenario can reach
// are saved once and put back before each run, and at the end the rest of
// the image must still be as it was before the scenario.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/downloads.h"
#include "shell/assistant.h"
#include "storage/storage_fixture.h"
#include "storage/whole_file.h"

namespace trelvan {
namespace testing {

using Files = std::vector<std::vector<uint8_t>>;  // contents in table order

// The power supply of one run: it fails after `budget` events.
class Cut {
 public:
  explicit Cut(uint64_t budget) : budget_(budget) {}

  // One step of a machine or a changing call; false, and not made, once
  // the power is gone.
  template <class F>
  bool Tick(F&& step) {
    if (used_ >= budget_) cut_ = true;
    if (cut_) return false;
    ++used_;
    step();
    if (afterEvent) afterEvent();
    return true;
  }
  bool ToIdle(Storage& s) {
    do {
      if (!Tick([&] { last_ = StorageStep(s); })) return false;
    } while (last_ != 0);
    return true;
  }
  // A changing call between runs to idle; false when cut or refused (reported).
  template <class F>
  bool Call(Storage& s, const char* what, F&& call) {
    int r = -1;
    if (!ToIdle(s) || !Tick([&] { r = call(); })) return false;
    if (r != kStorageAccepted) return ADD_FAILURE() << what << " refused: " << r, false;
    return ToIdle(s);
  }
  uint64_t used() const { return used_; }
  bool cut() const { return cut_; }
  // Runs after every event: where a test lets the journal take its changes,
  // as the tick does after its work.
  std::function<void()> afterEvent;

 private:
  uint64_t budget_;
  uint64_t used_ = 0;
  int last_ = 0;
  bool cut_ = false;
};

struct Change {
  std::function<bool(Assistant&, Cut&)> drive;  // true when it ran to its end
  std::function<void(Files&)> apply;             // what it does to the stored files
};

struct Scenario {
  const char* name;
  std::function<void(Assistant&)> setup;  // on a formatted storage
  Change change;
  uint64_t minPoints;  // at least this many interruption points (the journal's: commits)
};
inline void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

// ---- files ----------------------------------------------------------------------

inline Files StoredFiles(const Storage& s) {
  Files files;
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) files.push_back(StoredContent(s, i));
  return files;
}

// Whether `count` files are stored and the first ones are `files`, read in
// pieces so a full storage costs no 128 MB copy per check.
inline bool StoredFilesAre(const Storage& s, const Files& files, size_t count) {
  if (s.fs.header.fileCount != count || files.size() > count) return false;
  uint8_t chunk[16 * kUnitSize];
  for (uint16_t i = 0; i < files.size(); ++i) {
    const uint32_t size = static_cast<uint32_t>(files[i].size());
    if (StorageFileSize(s, i) != size) return false;
    for (uint32_t at = 0; at < size; at += sizeof chunk) {
      const uint32_t n = std::min<uint32_t>(sizeof chunk, size - at);
      StorageReadData(s, i, at, chunk, n);
      if (std::memcmp(chunk, files[i].data() + at, n) != 0) return false;
    }
  }
  return true;
}

// One past the last block of the image that is not erased.
inline uint32_t BlocksWritten(const Storage& s) {
  uint32_t n = kBlockCount;
  while (n > 0 && std::memcmp(s.image + (n - 1) * kBlockSize, s.erasedBlock, kBlockSize) == 0) --n;
  return n;
}

inline uint32_t BlocksInUse(const Files& files) {
  uint32_t n = 0;
  for (const auto& f : files) n += BlocksFor(static_cast<uint32_t>(f.size()));
  return n;
}

// The files before and after a change, and whether a restart has shown
// those after it yet.
struct OldOrNew {
  Files before, after;
  bool seenAfter = false;

  void Take(const Storage& s, const Change& change) {
    before = StoredFiles(s);
    after = before;
    change.apply(after);
  }
  // A restarted storage: the checker, then 1 when it holds the files after
  // the change, 0 when those before it (never once after was seen), -1
  // (reported) otherwise.
  int Check(Storage& r, const std::string& where) {
    FinishCutReplacement(r);  // as the start-up does
    char message[256];
    if (CheckStorage(r, message, sizeof message) != 0) return ADD_FAILURE() << where << ": " << message, -1;
    const int outcome = StoredFilesAre(r, after, after.size())     ? 1
                        : StoredFilesAre(r, before, before.size()) ? 0
                                                                   : -1;
    if (outcome < 0) {
      return ADD_FAILURE() << where << ": " << r.fs.header.fileCount << " files, neither the "
                           << before.size() << " before nor the " << after.size() << " after",
             -1;
    }
    if (outcome == 0 && seenAfter) return ADD_FAILURE() << where << ": the change is undone after it was seen", -1;
    seenAfter = seenAfter || outcome == 1;
    return outcome;
  }
};

// ---- changes ------------------------------------------------------------------------

// The writer's calling sequence: create, then the content in pieces, the
// first of `firstPiece` bytes (a record writer sends its header alone), the
// rest of 256, each followed by a run to idle. An empty content is one
// empty piece.
inline Change Create(std::vector<uint8_t> content, uint32_t firstPiece = kUnitSize) {
  auto drive = [content, firstPiece](Assistant& a, Cut& c) {
    Storage& s = a.storage;
    const uint32_t size = static_cast<uint32_t>(content.size());
    if (!c.Call(s, "creation", [&] { return StorageCreateFile(s, size); })) return false;
    int r = -1;
    uint32_t at = 0, piece = firstPiece;
    do {
      const uint32_t n = std::min(piece, size - at);
      if (!c.Tick([&] { r = StorageWriteData(s, content.data() + at, n); })) return false;
      if (r != kStorageAccepted) return ADD_FAILURE() << "piece at " << at << ": " << r, false;
      if (!c.ToIdle(s)) return false;
      at += n;
      piece = kUnitSize;
    } while (at < size);
    return true;
  };
  return {drive, [content](Files& f) { f.push_back(content); }};
}

// A download's store replacing the stored file `older` of its name, one
// storage step or changing call a tick.
inline Change DownloadReplacing(std::vector<uint8_t> content, uint16_t older) {
  auto drive = [content](Assistant& a, Cut& c) {
    DownloadStore st{};
    DownloadStoreResult r = kDownloadStoring;
    const uint32_t size = static_cast<uint32_t>(content.size());
    const char* name = reinterpret_cast<const char*>(content.data() + 1);
    const auto step = [&] { r = StoreDownloadStep(a.storage, st, content.data(), size, name); };
    while (r == kDownloadStoring) {
      if (!c.Tick(step)) return false;
    }
    return r == kDownloadStored || (ADD_FAILURE() << "the store ended with " << int(r), false);
  };
  return {drive, [content, older](Files& f) {
            f.erase(f.begin() + older);
            f.push_back(content);
          }};
}

inline Change Delete(uint16_t index) {
  auto drive = [index](Assistant& a, Cut& c) {
    return c.Call(a.storage, "deletion", [&] { return StorageDeleteFile(a.storage, index); });
  };
  return {drive, [index](Files& f) { f.erase(f.begin() + index); }};
}

// Files "F0", "F1"... of the given data sizes; then the given indexes
// deleted again, one after the other.
inline std::function<void(Assistant&)> StoreFiles(std::vector<uint32_t> sizes, uint32_t seed,
                                                  std::vector<uint16_t> deleted = {}) {
  return [=](Assistant& a) {
    for (size_t i = 0; i < sizes.size(); ++i) {
      const auto data = Pattern(sizes[i], seed + static_cast<uint32_t>(i));
      ASSERT_EQ(StoreNamedFile(a.storage, "F" + std::to_string(i), data), kStorageAccepted);
    }
    for (uint16_t index : deleted) {
      ASSERT_EQ(StorageDeleteFile(a.storage, index), kStorageAccepted);
      RunStorageToIdle(a.storage);
    }
  };
}

// ---- the runner ---------------------------------------------------------------------

// An assistant on `fake` whose storage is formatted and idle, as a start-up
// without a storage file leaves it.
inline std::unique_ptr<Assistant> FormattedAssistant(FakePlatform& fake) {
  auto a = std::make_unique<Assistant>(fake);
  FormatFresh(a->storage, fake.files);
  return a;
}

// Parameterised tests are named by their scenario.
inline std::string ScenarioName(const ::testing::TestParamInfo<Scenario>& i) { return i.param.name; }

class FaultHarness {
 public:
  FaultHarness() : a_(FormattedAssistant(fake_)) {}

  void Run(const Scenario& sc) {
    Storage& s = a_->storage;
    sc.setup(*a_);
    if (::testing::Test::HasFatalFailure()) return;
    RunStorageToIdle(s);
    files_.Take(s, sc.change);
    ASSERT_TRUE(ImageIsConsistent(s)) << "the scenario's starting image";

    // The blocks the change, a restart and the probe can reach.
    const uint32_t reach = kFirstFileBlock + 2 + BlocksFor(kProbeSize + 64) +
                           std::max(BlocksInUse(files_.before), BlocksInUse(files_.after));
    range_ = std::min(kBlockCount, std::max(BlocksWritten(s), reach));
    const FileSystem savedFs = s.fs;
    snapshot_.assign(s.image, s.image + static_cast<size_t>(range_) * kBlockSize);
    Cut whole(UINT64_MAX);
    EXPECT_TRUE(sc.change.drive(*a_, whole)) << "the change does not finish uncut";
    EXPECT_EQ(s.fs.state, kStateIdle);
    EXPECT_TRUE(StoredFilesAre(s, files_.after, files_.after.size())) << "the uncut change";
    EXPECT_TRUE(ImageIsConsistent(s));
    if (::testing::Test::HasFailure()) return;

    const uint64_t points = RunPoints(sc, savedFs, whole.used());
    EXPECT_GE(points, sc.minPoints);
    EXPECT_LE(BlocksWritten(s), range_) << "a block beyond the reach was written";
    ::testing::Test::RecordProperty("interruption_points", static_cast<int>(points));
    std::printf("[ points   ] %s: %llu interruption points, %d through the storage file\n",
                sc.name, static_cast<unsigned long long>(points), viaFile_);
  }

  // Every restart, whatever was cut: 1 when the storage holds the files
  // after the change, 0 when those before it, -1 (reported) otherwise.
  int CheckRestart(Storage& r, const std::string& where) {
    const int outcome = files_.Check(r, where);
    if (outcome < 0) return -1;
    if (r.fs.state != kStateIdle) {
      return ADD_FAILURE() << where << ": state " << int(r.fs.state) << " after the run to idle", -1;
    }
    return Probe(r, outcome == 1 ? files_.after : files_.before, where) ? outcome : -1;
  }

 private:
  static constexpr uint32_t kProbeSize = 5000;

  // A further file is taken and given up again, the others left as they
  // are; on a full storage the further file is an empty one.
  static bool Probe(Storage& r, const Files& files, const std::string& where) {
    const uint16_t index = static_cast<uint16_t>(files.size());
    std::vector<uint8_t> probe;
    if (r.fs.header.freeBlocks >= BlocksFor(kProbeSize + 64)) {
      probe = FileContent("Probe", Pattern(kProbeSize, index));
    }
    if (WriteWholeFile(r, probe) != kStorageAccepted || !StoredFilesAre(r, files, index + 1u) ||
        StoredContent(r, index) != probe || !ImageIsConsistent(r)) {
      return ADD_FAILURE() << where << ": a further creation went wrong", false;
    }
    if (StorageDeleteFile(r, index) != kStorageAccepted) {
      return ADD_FAILURE() << where << ": a further deletion is refused", false;
    }
    RunStorageToIdle(r);
    if (!StoredFilesAre(r, files, files.size()) || !ImageIsConsistent(r)) {
      return ADD_FAILURE() << where << ": a further deletion went wrong", false;
    }
    return true;
  }

  void Restore(const FileSystem& fs) {
    std::memcpy(a_->storage.image, snapshot_.data(), snapshot_.size());
    a_->storage.fs = fs;
  }

  // The change cut after every n = 0 .. total events.
  uint64_t RunPoints(const Scenario& sc, const FileSystem& fs, uint64_t total) {
    Storage& s = a_->storage;
    for (uint64_t n = 0; n <= total; ++n) {
      const std::string where = "cut after " + std::to_string(n) + " of " + std::to_string(total);
      Restore(fs);
      Cut cut(n);
      const bool finished = sc.change.drive(*a_, cut);
      EXPECT_EQ(finished && !cut.cut(), n == total) << where;
      EXPECT_TRUE(UsableAtStartUp(s)) << where;  // a new start uses the image as it is
      if (n == total / 2 || n == total) {
        // The exit save and a new start from the file, which must give back
        // what the save was given (a start without a header copy erases
        // the bookkeeping blocks).
        const size_t from = SelectHeader(s, nullptr) >= 0 ? 0 : kFirstFileBlock * kBlockSize;
        const std::vector<uint8_t> image(s.image + from, s.image + range_ * kBlockSize);
        EXPECT_TRUE(SaveStorage(s, fake_.files)) << where;
        StorageInit(s, fake_.files);
        EXPECT_EQ(s.imageLoaded, 1) << where;
        EXPECT_EQ(std::memcmp(s.image + from, image.data(), image.size()), 0)
            << where << ": the storage file gives back another image";
        ++viaFile_;
      } else {
        StorageMount(s);
      }
      const int outcome = CheckRestart(s, where);
      if (outcome < 0) return n;
      if (n == 0 && outcome == 1) ADD_FAILURE() << where << ": the change shows before its start";
    }
    EXPECT_TRUE(files_.seenAfter);
    return total + 1;
  }

  FakePlatform fake_;
  std::unique_ptr<Assistant> a_;
  OldOrNew files_;
  uint32_t range_ = kBlockCount;
  std::vector<uint8_t> snapshot_;
  int viaFile_ = 0;
};

}  // namespace testing
}  // namespace trelvan
