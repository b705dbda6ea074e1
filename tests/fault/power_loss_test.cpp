// Power loss during a change: the process ends after every possible number of
// state machine events, the image it had in memory is what the exit save
// writes, and the next start must find a consistent storage holding either
// the old or the new set of files, never a mixture, and able to take new
// changes.
//
// An event is one StorageStep call or one changing call (StorageCreateFile,
// StorageWriteData, StorageDeleteFile); the process may end after any of
// them. Each scenario is run once to the end to count its events, then once
// for every cut point 0..total, each time from the same starting image. Only
// the bookkeeping blocks and the blocks the scenario can reach are restored
// between runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "storage/storage_fixture.h"

namespace trelvan {
namespace {

using testing::FileContent;
using testing::ImageIsConsistent;
using testing::MakeFormattedStorage;
using testing::Pattern;
using testing::StoredContent;
using testing::StoreNamedFile;

using FileSet = std::vector<std::vector<uint8_t>>;  // contents in table order

// Ends the process after a fixed number of events.
class Cut {
 public:
  // `kinds`, when given, receives 's' for every step and 'c' for every call.
  explicit Cut(uint64_t budget, std::string* kinds = nullptr) : left_(budget), kinds_(kinds) {}

  // One StorageStep call; false when the process has already ended.
  bool Step(Storage& s, int* result = nullptr) {
    if (!Take()) return false;
    ++steps;
    if (kinds_) kinds_->push_back('s');
    const int r = StorageStep(s);
    if (result) *result = r;
    return true;
  }
  // RunStorageToIdle, one event per StorageStep call.
  bool ToIdle(Storage& s) {
    for (;;) {
      int r;
      if (!Step(s, &r)) return false;
      if (r == 0) return true;
    }
  }
  // A changing call; false (and not made) when the process has ended.
  bool Call(const std::function<void()>& f) {
    if (!Take()) return false;
    ++calls;
    if (kinds_) kinds_->push_back('c');
    f();
    return true;
  }

  uint64_t used = 0;
  uint64_t steps = 0;
  uint64_t calls = 0;

 private:
  bool Take() {
    if (left_ == 0) return false;
    --left_;
    ++used;
    return true;
  }
  uint64_t left_;
  std::string* kinds_;
};

// An operation under a cut: true when it ran to its end.
using Operation = std::function<bool(Storage&, Cut&)>;

// The writer's calling sequence: header as the first piece, then the data
// in pieces of at most 256 bytes, each followed by a run to idle.
Operation CreateAsWriter(const std::string& name, const std::vector<uint8_t>& data) {
  return [name, data](Storage& s, Cut& c) {
    uint8_t header[kFileHeaderMaxLength];
    const int h = StorageBuildHeader(header, name.c_str(), "", "Test", "1.00");
    if (!c.ToIdle(s)) return false;
    int r = -1;
    if (!c.Call([&] { r = StorageCreateFile(s, static_cast<uint32_t>(h + data.size())); })) {
      return false;
    }
    EXPECT_EQ(r, kStorageAccepted);
    if (!c.ToIdle(s)) return false;
    if (!c.Call([&] { r = StorageWriteData(s, header, static_cast<uint32_t>(h)); })) return false;
    EXPECT_EQ(r, kStorageAccepted);
    if (!c.ToIdle(s)) return false;
    for (size_t at = 0; at < data.size(); at += 256) {
      const uint32_t n = static_cast<uint32_t>(std::min<size_t>(256, data.size() - at));
      if (!c.Call([&] { r = StorageWriteData(s, data.data() + at, n); })) return false;
      EXPECT_EQ(r, kStorageAccepted);
      if (!c.ToIdle(s)) return false;
    }
    return true;
  };
}

// A file arriving from the handheld: pieces of varying size, one
// StorageStep (one tick) after each; a piece that arrives while the machine
// is not waiting for data is offered again after the next tick.
Operation CreateAsHandheld(const std::vector<uint8_t>& content,
                           const std::vector<uint32_t>& pieces) {
  return [content, pieces](Storage& s, Cut& c) {
    if (!c.ToIdle(s)) return false;
    int r = -1;
    if (!c.Call([&] { r = StorageCreateFile(s, static_cast<uint32_t>(content.size())); })) {
      return false;
    }
    EXPECT_EQ(r, kStorageAccepted);
    if (!c.ToIdle(s)) return false;
    size_t at = 0;
    for (size_t piece = 0; at < content.size(); ++piece) {
      const uint32_t n = static_cast<uint32_t>(
          std::min<size_t>(pieces[piece % pieces.size()], content.size() - at));
      for (int tries = 0;; ++tries) {
        if (!c.Call([&] { r = StorageWriteData(s, content.data() + at, n); })) return false;
        if (r == kStorageAccepted) break;
        EXPECT_EQ(r, kStorageNotWaiting);
        EXPECT_LT(tries, 100) << "the machine never came back to waiting for data";
        if (tries >= 100) return false;
        if (!c.Step(s)) return false;
      }
      at += n;
      if (!c.Step(s)) return false;
    }
    return c.ToIdle(s);
  };
}

Operation DeleteNamed(const std::string& name) {
  return [name](Storage& s, Cut& c) {
    if (!c.ToIdle(s)) return false;
    const int index = StorageFindFile(s, name.c_str());
    EXPECT_GE(index, 0);
    int r = -1;
    if (!c.Call([&] { r = StorageDeleteFile(s, static_cast<uint16_t>(index)); })) return false;
    EXPECT_EQ(r, kStorageAccepted);
    return c.ToIdle(s);
  };
}

FileSet StoredFiles(const Storage& s) {
  FileSet files;
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) files.push_back(StoredContent(s, i));
  return files;
}

// Whether `s` holds exactly `files`, in order, compared without allocating
// a copy of every file (the big scenarios compare megabytes per cut point).
bool HoldsFiles(const Storage& s, const FileSet& files) {
  if (s.fs.header.fileCount != files.size()) return false;
  uint8_t unit[kBlockSize];
  for (uint16_t i = 0; i < files.size(); ++i) {
    const std::vector<uint8_t>& f = files[i];
    if (StorageFileSize(s, i) != f.size()) return false;
    for (uint32_t at = 0; at < f.size(); at += kBlockSize) {
      const uint32_t n = std::min<uint32_t>(kBlockSize, static_cast<uint32_t>(f.size()) - at);
      StorageReadData(s, i, at, unit, n);
      if (std::memcmp(unit, f.data() + at, n) != 0) return false;
    }
  }
  return true;
}

uint32_t EndOfData(const Storage& s) {
  const uint16_t n = s.fs.header.fileCount;
  if (n == 0) return kFirstFileBlock;
  return StorageFileStartBlock(s, n - 1u) + BlocksFor(StorageFileSize(s, n - 1u));
}

// The blocks a run can change, saved once and put back before every cut.
class Snapshot {
 public:
  Snapshot(const Storage& s, uint32_t endBlock)
      : end_(std::min(endBlock, kBlockCount)),
        bytes_(s.image, s.image + static_cast<size_t>(end_) * kBlockSize),
        fs_(s.fs) {}
  void Restore(Storage& s) const {
    std::memcpy(s.image, bytes_.data(), bytes_.size());
    s.fs = fs_;
  }
  uint32_t EndBlock() const { return end_; }

 private:
  uint32_t end_;
  std::vector<uint8_t> bytes_;
  FileSystem fs_;
};

struct PowerLossResult {
  uint64_t points = 0;        // cut points run
  uint64_t afterStep = 0;     // of which right after a StorageStep call
  uint64_t afterCall = 0;     // of which right after a changing call
  uint64_t firstNew = 0;      // the first cut point that recovers the new file set
  uint64_t viaFiles = 0;      // cut points that went through a real save and load
};

constexpr uint32_t kProbeDataSize = 6000;

// After recovery the storage takes a new file and gives it up again, and the
// recovered files stay as they are.
void ProbeAfterRecovery(Storage& s, const FileSet& recovered, uint64_t point) {
  const std::vector<uint8_t> probe = FileContent("Probe", Pattern(kProbeDataSize, 99));
  ASSERT_EQ(testing::WriteWholeFile(s, probe), kStorageAccepted) << "cut " << point;
  const int index = StorageFindFile(s, "Probe");
  ASSERT_EQ(index, static_cast<int>(recovered.size())) << "cut " << point;
  ASSERT_EQ(StoredContent(s, static_cast<uint16_t>(index)), probe) << "cut " << point;
  ASSERT_TRUE(ImageIsConsistent(s)) << "cut " << point << ", after the probe's creation";
  ASSERT_EQ(StorageDeleteFile(s, static_cast<uint16_t>(index)), kStorageAccepted);
  RunStorageToIdle(s);
  ASSERT_TRUE(ImageIsConsistent(s)) << "cut " << point << ", after the probe's deletion";
  ASSERT_TRUE(HoldsFiles(s, recovered)) << "cut " << point << ": the probe changed other files";
}

// Runs `op` cut after every possible number of events on the storage `s`
// holds now. `before` and `after` are the file sets the next start may find.
// `savePoints` of the cut points go through WriteImageFile and StorageInit
// on the fake platform instead of a mount of the image in memory.
PowerLossResult RunPowerLoss(FakePlatform& p, Storage& s, const Operation& op,
                             const FileSet& before, const FileSet& after, int savePoints = 2,
                             bool probe = true) {
  PowerLossResult result;
  RunStorageToIdle(s);
  EXPECT_TRUE(StoredFiles(s) == before) << "the scenario's starting files";
  // Reach: everything stored now, the new file, the probe, and one block for
  // a unit that spills past a file's end.
  uint32_t newBlocks = 0;
  for (const auto& f : after) newBlocks += BlocksFor(static_cast<uint32_t>(f.size()));
  const Snapshot snapshot(
      s, std::max(EndOfData(s), newBlocks + kFirstFileBlock) +
             BlocksFor(kProbeDataSize + 64) + 2);

  std::string kinds;
  Cut whole(~0ull, &kinds);
  EXPECT_TRUE(op(s, whole)) << "the operation does not finish without a cut";
  EXPECT_TRUE(ImageIsConsistent(s)) << "after the whole operation";
  EXPECT_TRUE(StoredFiles(s) == after) << "the whole operation gives the wrong files";
  EXPECT_TRUE(EndOfData(s) < snapshot.EndBlock() || snapshot.EndBlock() == kBlockCount);
  const uint64_t total = whole.used;

  std::unique_ptr<Storage> loaded;
  const std::string path = p.DataPath("Trelvan Assistant Storage 400");
  bool sawNew = false;
  for (uint64_t n = 0; n <= total; ++n) {
    snapshot.Restore(s);
    Cut cut(n);
    const bool finished = op(s, cut);
    EXPECT_EQ(finished, n == total) << "cut " << n;
    ++result.points;
    if (n > 0) (kinds[n - 1] == 's' ? result.afterStep : result.afterCall) += 1;

    // The next start.
    Storage* next = &s;
    const bool viaFiles = savePoints > 0 && (n == total || n % (total / savePoints + 1) == 1);
    if (viaFiles) {
      ++result.viaFiles;
      EXPECT_TRUE(WriteImageFile(s, p.files, path.c_str())) << "cut " << n;
      if (!loaded) loaded.reset(new Storage);
      StorageInit(*loaded, p.files);
      EXPECT_EQ(loaded->imageLoaded, 1) << "cut " << n;
      // Without a valid header copy the start-up erases the bookkeeping
      // blocks; everything else must have come back from the file as it was.
      const size_t from = SelectHeader(s, nullptr) >= 0 ? 0 : kFirstFileBlock * kBlockSize;
      EXPECT_EQ(std::memcmp(loaded->image + from, s.image + from, kImageSize - from), 0)
          << "cut " << n << ": the storage file differs from the image";
      next = loaded.get();
    } else {
      EXPECT_TRUE(testing::UsableAtStartUp(s)) << "cut " << n << " of " << total;
      StorageMount(s);
    }
    RunStorageToIdle(*next);
    if (!ImageIsConsistent(*next)) {
      ADD_FAILURE() << "cut " << n << " of " << total << ": " << ImageIsConsistent(*next).message();
      return result;
    }
    const bool isOld = HoldsFiles(*next, before);
    const bool isNew = HoldsFiles(*next, after);
    const FileSet& recovered = isNew ? after : before;
    if (!isOld && !isNew) {
      ADD_FAILURE() << "cut " << n << " of " << total << ": " << next->fs.header.fileCount
                    << " files that are neither the old " << before.size() << " nor the new "
                    << after.size();
      return result;
    }
    if (isNew && !isOld && !sawNew) {
      sawNew = true;
      result.firstNew = n;
    }
    if (sawNew && isOld && !isNew) {
      ADD_FAILURE() << "cut " << n << ": the old files came back after the change had been made";
      return result;
    }
    if (probe) ProbeAfterRecovery(*next, recovered, n);
    if (::testing::Test::HasFatalFailure()) return result;
  }
  EXPECT_TRUE(sawNew || before == after);
  return result;
}

void Report(const char* scenario, const PowerLossResult& r) {
  ::testing::Test::RecordProperty("interruption_points", static_cast<int>(r.points));
  ::testing::Test::RecordProperty("points_after_step", static_cast<int>(r.afterStep));
  ::testing::Test::RecordProperty("points_after_call", static_cast<int>(r.afterCall));
  ::testing::Test::RecordProperty("first_point_with_new_files", static_cast<int>(r.firstNew));
  ::testing::Test::RecordProperty("points_through_files", static_cast<int>(r.viaFiles));
  std::printf("[ points   ] %s: %llu interruption points (%llu after a step, %llu after a call), "
              "new files from point %llu, %llu through the storage file\n",
              scenario, static_cast<unsigned long long>(r.points),
              static_cast<unsigned long long>(r.afterStep),
              static_cast<unsigned long long>(r.afterCall),
              static_cast<unsigned long long>(r.firstNew),
              static_cast<unsigned long long>(r.viaFiles));
}

class PowerLoss : public ::testing::Test {
 protected:
  FakePlatform platform;
  std::unique_ptr<Storage> s = MakeFormattedStorage(platform.files);

  // Stores files "F0".."Fn" of the given data sizes; returns their contents.
  FileSet StoreFiles(const std::vector<uint32_t>& dataSizes) {
    FileSet files;
    for (size_t i = 0; i < dataSizes.size(); ++i) {
      const std::string name = "F" + std::to_string(i);
      const std::vector<uint8_t> data = Pattern(dataSizes[i], static_cast<uint32_t>(i + 1));
      EXPECT_EQ(StoreNamedFile(*s, name, data), kStorageAccepted);
      files.push_back(FileContent(name, data));
    }
    return files;
  }
};

// Data sizes chosen so that contents end exactly at a block end, one byte
// into a block, and in the middle of a unit.
const std::vector<uint32_t> kFiveSizes = {100, 4096 - 21, 4097, 9000, 2 * 4096 - 21 + 256};

TEST_F(PowerLoss, CreateIntoEmptyStorage) {
  const std::vector<uint8_t> data = Pattern(10000, 7);
  const FileSet after = {FileContent("New", data)};
  const PowerLossResult r = RunPowerLoss(platform, *s, CreateAsWriter("New", data), {}, after);
  EXPECT_GT(r.firstNew, 0u);
  Report("create into an empty storage", r);
}

TEST_F(PowerLoss, CreateAfterDeletions) {
  // The new file lands on blocks that still hold moved and deleted data.
  FileSet files = StoreFiles({6000, 300, 12000, 5000});
  for (const char* name : {"F0", "F2"}) {
    ASSERT_EQ(StorageDeleteFile(*s, static_cast<uint16_t>(StorageFindFile(*s, name))),
              kStorageAccepted);
    RunStorageToIdle(*s);
  }
  const FileSet before = {files[1], files[3]};
  const std::vector<uint8_t> data = Pattern(15000, 8);
  FileSet after = before;
  after.push_back(FileContent("New", data));
  Report("create after deletions",
         RunPowerLoss(platform, *s, CreateAsWriter("New", data), before, after));
}

TEST_F(PowerLoss, DeleteFirstFile) {
  const FileSet files = StoreFiles(kFiveSizes);
  FileSet after(files.begin() + 1, files.end());
  Report("delete the first of five", RunPowerLoss(platform, *s, DeleteNamed("F0"), files, after));
}

TEST_F(PowerLoss, DeleteMiddleFile) {
  const FileSet files = StoreFiles(kFiveSizes);
  FileSet after = files;
  after.erase(after.begin() + 2);
  Report("delete the middle of five",
         RunPowerLoss(platform, *s, DeleteNamed("F2"), files, after));
}

TEST_F(PowerLoss, DeleteLastFile) {
  const FileSet files = StoreFiles(kFiveSizes);
  FileSet after(files.begin(), files.end() - 1);
  Report("delete the last of five", RunPowerLoss(platform, *s, DeleteNamed("F4"), files, after));
}

TEST_F(PowerLoss, DeleteThatMovesHundredsOfBlocks) {
  // A 2-block file in front of 320 blocks: every source block is only two
  // blocks above its destination, so a repeated move after a cut must not
  // read a block an earlier move already overwrote.
  const FileSet files = StoreFiles({5000, 100 * 4096, 120 * 4096 - 30, 100 * 4096 - 25});
  FileSet after(files.begin() + 1, files.end());
  const PowerLossResult r = RunPowerLoss(platform, *s, DeleteNamed("F0"), files, after);
  EXPECT_GT(r.points, 3u * 300u) << "each moved block is a move and a header write";
  Report("delete moving 321 blocks", r);
}

TEST_F(PowerLoss, HandheldCreateInPiecesOfVaryingSize) {
  const FileSet before = StoreFiles({3000, 4096 - 21});
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, "Handheld~", "", "Sound", "2.00");
  std::vector<uint8_t> content(header, header + h);
  const std::vector<uint8_t> data = Pattern(3 * 4096 + 777, 11);
  content.insert(content.end(), data.begin(), data.end());
  // Pieces that end on, before and across unit and block boundaries.
  const std::vector<uint32_t> pieces = {1, 255, 256, 37, 200, 3, 256, 128, 90, 255, 2, 256, 250};
  FileSet after = before;
  after.push_back(content);
  Report("handheld create in pieces",
         RunPowerLoss(platform, *s, CreateAsHandheld(content, pieces), before, after));
}

}  // namespace
}  // namespace trelvan

namespace trelvan {
namespace {

// A file of 0 bytes created when the stored files reach the image's last
// block begins at block 32,768: one past the end, which the offset wrap
// turns into block 0, the header. Its creation must not touch any block.
TEST(StorageFull, ZeroByteFileBehindTheLastBlockLeavesTheHeaderAlone) {
  FakePlatform platform;
  std::unique_ptr<Storage> s = MakeFormattedStorage(platform.files);
  const std::vector<uint8_t> big = FileContent("Big", Pattern(kFileBlocks * kBlockSize - 60, 5));
  ASSERT_EQ(testing::WriteWholeFile(*s, big), kStorageAccepted);
  ASSERT_EQ(s->fs.header.freeBlocks, 0);
  ASSERT_TRUE(ImageIsConsistent(*s));
  // Power loss at every point of the creation, the one right after the
  // StorageWriteData call included: the big file must survive each.
  const Operation createEmpty = [](Storage& st, Cut& c) {
    int r = -1;
    if (!c.Call([&] { r = StorageCreateFile(st, 0); })) return false;
    EXPECT_EQ(r, kStorageAccepted);
    if (!c.ToIdle(st)) return false;
    if (!c.Call([&] { r = StorageWriteData(st, nullptr, 0); })) return false;
    EXPECT_EQ(r, kStorageAccepted);
    return c.ToIdle(st);
  };
  const PowerLossResult r =
      RunPowerLoss(platform, *s, createEmpty, {big}, {big, {}}, 0, /*probe=*/false);
  Report("empty file behind the last block", r);
  ASSERT_FALSE(::testing::Test::HasFailure());
  ASSERT_EQ(s->fs.header.fileCount, 2);
  EXPECT_EQ(StorageFileStartBlock(*s, 1), kBlockCount);
  EXPECT_EQ(StorageFileSize(*s, 1), 0u);

  // It gives up the empty file again.
  ASSERT_EQ(StorageDeleteFile(*s, 1), kStorageAccepted);
  RunStorageToIdle(*s);
  ASSERT_TRUE(ImageIsConsistent(*s));
  EXPECT_TRUE(HoldsFiles(*s, {big}));
}

}  // namespace
}  // namespace trelvan
