// Power-loss runs: an operation is cut off after every possible number of
// StorageStep calls, the image it leaves is mounted as a new process would
// mount it, run to idle and checked.
//
// The 128 MB image is not copied per point: only blocks 0 to 3 and the file
// area the scenario can touch are saved once and put back before each run;
// at the end the rest of the image must still be erased, which shows that
// nothing wrote outside the saved range.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "storage/file_system.h"
#include "storage/storage.h"
#include "storage/storage_check.h"
#include "storage/storage_image.h"
#include "storage/storage_fixture.h"

namespace trelvan {
namespace testing {

using Files = std::vector<std::vector<uint8_t>>;

// Every stored file's content, header included, in table order.
inline Files StoredFiles(const Storage& s) {
  Files files;
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) files.push_back(StoredContent(s, i));
  return files;
}

// Whether `fileCount` files are stored and the first ones are exactly
// `files` (content and order), read piecewise so a large storage costs no
// allocation per check.
inline bool StoredFilesAre(const Storage& s, const Files& files, size_t fileCount) {
  if (s.fs.header.fileCount != fileCount || files.size() > fileCount) return false;
  uint8_t chunk[16 * kUnitSize];
  for (uint16_t i = 0; i < files.size(); ++i) {
    const std::vector<uint8_t>& f = files[i];
    if (StorageFileSize(s, i) != f.size()) return false;
    for (uint32_t at = 0; at < f.size(); at += sizeof chunk) {
      const uint32_t n = std::min<uint32_t>(sizeof chunk, static_cast<uint32_t>(f.size()) - at);
      StorageReadData(s, i, at, chunk, n);
      if (std::memcmp(chunk, f.data() + at, n) != 0) return false;
    }
  }
  return true;
}
inline bool StoredFilesAre(const Storage& s, const Files& files) {
  return StoredFilesAre(s, files, files.size());
}

inline uint32_t BlocksInUse(const Files& files) {
  uint32_t n = 0;
  for (const auto& f : files) n += BlocksFor(static_cast<uint32_t>(f.size()));
  return n;
}

// StorageStep calls with a power supply that fails after `limit` of them.
class Stepper {
 public:
  explicit Stepper(Storage& s, uint64_t limit = UINT64_MAX) : s_(s), limit_(limit) {}

  // False once the power is gone: the step was not made.
  bool Step() {
    if (steps_ >= limit_) {
      cut_ = true;
      return false;
    }
    ++steps_;
    last_ = StorageStep(s_);
    return true;
  }
  // RunStorageToIdle, cut off with the power.
  bool RunToIdle() {
    for (;;) {
      if (!Step()) return false;
      if (last_ == 0) return true;
    }
  }
  uint64_t steps() const { return steps_; }
  bool cut() const { return cut_; }

 private:
  Storage& s_;
  uint64_t limit_;
  uint64_t steps_ = 0;
  int last_ = 0;
  bool cut_ = false;
};

// An operation: it returns early once the stepper reports the power gone.
using Operation = std::function<void(Storage&, Stepper&)>;

// The writer's calling sequence (create, run to idle, pieces of 256 bytes
// each followed by a run to idle), cut off with the power.
inline Operation WriterCreate(std::vector<uint8_t> content) {
  return [content](Storage& s, Stepper& st) {
    if (StorageCreateFile(s, static_cast<uint32_t>(content.size())) != kStorageAccepted) {
      ADD_FAILURE() << "creation refused";
      return;
    }
    if (!st.RunToIdle()) return;
    for (size_t at = 0; at < content.size(); at += kUnitSize) {
      const uint32_t n = static_cast<uint32_t>(std::min<size_t>(kUnitSize, content.size() - at));
      if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) {
        ADD_FAILURE() << "piece at " << at << " refused";
        return;
      }
      if (!st.RunToIdle()) return;
    }
  };
}

// The handheld's calling sequence: pieces of the given sizes, a piece offered
// again after one StorageStep while the machine is not waiting for data, and
// one StorageStep after each accepted piece; no run to idle until the end.
inline Operation HandheldCreate(std::vector<uint8_t> content, std::vector<uint32_t> pieces) {
  return [content, pieces](Storage& s, Stepper& st) {
    if (StorageCreateFile(s, static_cast<uint32_t>(content.size())) != kStorageAccepted) {
      ADD_FAILURE() << "creation refused";
      return;
    }
    size_t at = 0;
    for (size_t i = 0; at < content.size(); ++i) {
      const uint32_t n =
          static_cast<uint32_t>(std::min<size_t>(pieces[i % pieces.size()], content.size() - at));
      uint32_t retries = 0;
      for (;;) {
        const int r = StorageWriteData(s, content.data() + at, n);
        if (r == kStorageAccepted) break;
        if (r != kStorageNotWaiting || ++retries > 100000) {
          ADD_FAILURE() << "piece at " << at << " gives " << r << " after " << retries
                        << " retries, state " << int(s.fs.state);
          return;
        }
        if (!st.Step()) return;
      }
      at += n;
      if (!st.Step()) return;
    }
    st.RunToIdle();
  };
}

inline Operation Delete(uint16_t index) {
  return [index](Storage& s, Stepper& st) {
    if (StorageDeleteFile(s, index) != kStorageAccepted) {
      ADD_FAILURE() << "deletion of " << index << " refused";
      return;
    }
    st.RunToIdle();
  };
}

class StepCutTest : public ::testing::Test {
 protected:
  void SetUp() override { s = MakeFormattedStorage(p.files); }

  // Runs `op` uncut (its result must be `after`), then cut after every
  // N = 0 .. (steps it needs) StorageStep calls. At the points in `realSaves`
  // the image goes through SaveStorage and a fresh StorageInit from the
  // storage file; elsewhere the in-memory image is mounted anew. Returns the
  // number of interruption points checked.
  uint64_t RunPowerLoss(const Operation& op, const Files& after,
                        const std::set<uint64_t>& realSaves = {}) {
    const Files before = StoredFiles(*s);
    EXPECT_TRUE(ImageIsConsistent(*s));
    const uint32_t range = kFirstFileBlock +
                           std::max(BlocksInUse(before), BlocksInUse(after)) +
                           BlocksFor(kRecoverySize + 64) + 2;
    const std::vector<uint8_t> saved(s->image, s->image + range * kBlockSize);
    const FileSystem savedFs = s->fs;

    Stepper whole(*s);
    op(*s, whole);
    const uint64_t total = whole.steps();
    EXPECT_EQ(s->fs.state, kStateIdle);
    EXPECT_EQ(StoredFiles(*s), after) << "the uncut operation";
    EXPECT_TRUE(ImageIsConsistent(*s));
    if (::testing::Test::HasFailure()) return 0;

    bool done = false;  // the change has become visible at an earlier point
    uint64_t points = 0;
    for (uint64_t n = 0; n <= total; ++n) {
      std::memcpy(s->image, saved.data(), saved.size());
      s->fs = savedFs;
      Stepper st(*s, n);
      op(*s, st);
      EXPECT_EQ(st.cut(), n < total) << "cut after " << n << " of " << total << " steps";

      Storage* restarted = s.get();
      if (realSaves.count(n)) {
        EXPECT_TRUE(SaveStorage(*s, p.files));
        if (!t) t.reset(new Storage);
        StorageInit(*t, p.files);
        EXPECT_EQ(t->imageLoaded, 1);
        restarted = t.get();
        ++realSavePoints;
      } else {
        EXPECT_TRUE(UsableAtStartUp(*s)) << "cut after " << n << " of " << total << " steps";
        StorageMount(*s);
      }
      RunStorageToIdle(*restarted);
      const int outcome = CheckRecovered(*restarted, before, after, n, total);
      if (outcome < 0) return points;
      if (outcome == 1) done = true;
      if (done && outcome == 0) {
        ADD_FAILURE() << "cut after " << n << " of " << total
                      << " steps: the change is undone again after it was visible";
        return points;
      }
      if (n == 0 && outcome != 0) {
        ADD_FAILURE() << "cut before the first step: the change is already visible";
      }
      if (!CheckNewChanges(*restarted, outcome == 1 ? after : before, n)) return points;
      ++points;
    }
    EXPECT_TRUE(done);
    // Nothing outside the saved range may have been written.
    for (uint32_t b = range; b < kBlockCount; ++b) {
      if (std::memcmp(s->image + b * kBlockSize, s->erasedBlock, kBlockSize) != 0) {
        ADD_FAILURE() << "block " << b << " beyond the saved range " << range << " was written";
        break;
      }
    }
    return points;
  }

  // 0: the storage is as before the operation; 1: as after it; -1: neither
  // (reported).
  static int CheckRecovered(const Storage& r, const Files& before, const Files& after,
                            uint64_t n, uint64_t total) {
    char message[256];
    if (CheckStorage(r, message, sizeof message) != 0) {
      ADD_FAILURE() << "cut after " << n << " of " << total << " steps: " << message;
      return -1;
    }
    if (r.fs.state != kStateIdle) {
      ADD_FAILURE() << "cut after " << n << " of " << total << " steps: state "
                    << int(r.fs.state) << " after the run to idle";
      return -1;
    }
    int outcome = -1;
    if (StoredFilesAre(r, before)) outcome = 0;
    else if (StoredFilesAre(r, after)) outcome = 1;
    if (outcome < 0) {
      const Files files = StoredFiles(r);
      ADD_FAILURE() << "cut after " << n << " of " << total << " steps: " << files.size()
                    << " files that are neither the " << before.size()
                    << " before nor the " << after.size() << " after the operation"
                    << Difference(files, before.size() <= after.size() ? after : before);
      return -1;
    }
    const Files& expected = outcome == 1 ? after : before;
    if (r.fs.header.freeBlocks != kFileBlocks - BlocksInUse(expected)) {
      ADD_FAILURE() << "cut after " << n << ": freeBlocks " << r.fs.header.freeBlocks
                    << ", expected " << kFileBlocks - BlocksInUse(expected);
      return -1;
    }
    return outcome;
  }

  static std::string Difference(const Files& got, const Files& want) {
    char line[160];
    std::string text;
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
      if (i < got.size() && i < want.size() && got[i] == want[i]) continue;
      std::snprintf(line, sizeof line, "; file %zu: %zu bytes, expected %zu", i,
                    i < got.size() ? got[i].size() : size_t(0),
                    i < want.size() ? want[i].size() : size_t(0));
      text += line;
    }
    return text;
  }

  // After the recovery the storage takes a new file and gives it up again,
  // leaving the others as they were.
  static bool CheckNewChanges(Storage& r, const Files& files, uint64_t n) {
    const auto added = FileContent("Recovery", Pattern(kRecoverySize, static_cast<uint32_t>(n)));
    if (WriteWholeFile(r, added) != kStorageAccepted) {
      ADD_FAILURE() << "cut after " << n << ": a new creation is refused";
      return false;
    }
    if (!StoredFilesAre(r, files, files.size() + 1) ||
        StoredContent(r, static_cast<uint16_t>(files.size())) != added || !ImageIsConsistent(r)) {
      ADD_FAILURE() << "cut after " << n << ": the creation after the recovery went wrong";
      return false;
    }
    const int index = StorageFindFile(r, "Recovery");
    if (index != static_cast<int>(files.size()) ||
        StorageDeleteFile(r, static_cast<uint16_t>(index)) != kStorageAccepted) {
      ADD_FAILURE() << "cut after " << n << ": the new file is at " << index;
      return false;
    }
    RunStorageToIdle(r);
    char message[256];
    if (!StoredFilesAre(r, files) || CheckStorage(r, message, sizeof message) != 0) {
      ADD_FAILURE() << "cut after " << n << ": the deletion after the recovery went wrong";
      return false;
    }
    return true;
  }

  // Stores `count` files of the given sizes, named File0, File1...
  Files StoreFiles(const std::vector<uint32_t>& sizes, uint32_t seed) {
    Files files;
    for (size_t i = 0; i < sizes.size(); ++i) {
      files.push_back(
          FileContent("File" + std::to_string(i), Pattern(sizes[i], seed + static_cast<uint32_t>(i))));
      EXPECT_EQ(WriteWholeFile(*s, files.back()), kStorageAccepted);
    }
    return files;
  }

  static constexpr uint32_t kRecoverySize = 5000;

  FakePlatform p;
  std::unique_ptr<Storage> s;
  std::unique_ptr<Storage> t;  // the storage a real restart reads from the file
  uint64_t realSavePoints = 0;
};

}  // namespace testing
}  // namespace trelvan
