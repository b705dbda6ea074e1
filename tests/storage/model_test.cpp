// The file system against a plain in-memory model: a long random sequence of
// creations, deletions and reads, each checked against a list of {name,
// bytes} and followed by a find of every name (names alike but for their
// case, a name cut to 31 bytes), with save/reload cycles. The exact fit, the
// full table, a name's prefix and files without a header of their own (its
// fields cut or missing) are the unit tests' business, any bytes the storage
// fuzz target's, changes cut short the fault harness's.
//
// The run is reproducible from its seed. CI uses the fixed default; a longer
// local run takes TRELVAN_MODEL_SEED and TRELVAN_MODEL_OPS from the
// environment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "storage/text.h"
#include "storage_fixture.h"

namespace trelvan {
namespace {

using namespace testing;

constexpr uint64_t kDefaultSeed = 20261207;
constexpr uint32_t kDefaultOps = 3000;

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  if (v == nullptr || *v == 0) return fallback;
  return std::strtoull(v, nullptr, 0);
}

struct ModelFile {
  std::string name;  // what the file was written under, cut to 31 bytes in its header
  std::vector<uint8_t> content;
};

class ModelRun {
 public:
  ModelRun(uint64_t seed, uint32_t ops) : rng_(seed), ops_(ops) {
    s_ = MakeFormattedStorage(platform_.files);
    spare_.reset(new Storage);
    names_ = {"Setup400", "setup400", "Revision", "Picture one~", "Sound~", "A",
              std::string(31, 'x'), std::string(31, 'y') + "z", "Light Effect 7"};
  }

  void Run() {
    for (op_ = 0; op_ < ops_; ++op_) {
      SCOPED_TRACE("op " + std::to_string(op_));
      OneOperation();
      if (!::testing::Test::HasFailure()) VerifyTables();
      if (!::testing::Test::HasFailure() && op_ % 150 == 149) VerifyEverything();
      if (::testing::Test::HasFailure()) return;
    }
    VerifyEverything();
  }

 private:
  // ---- random helpers ----
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }
  uint32_t Between(uint32_t lo, uint32_t hi) { return lo + Below(hi - lo + 1); }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

  uint32_t RandomDataSize() {
    const uint32_t pick = Below(100);
    if (pick < 15) return Between(0, 300);
    if (pick < 88) return Between(300, 50000);
    if (pick < 98) return Between(50000, 1500000);
    return Between(1500000, 9000000);
  }

  uint32_t UsedBlocks() const {
    uint32_t used = 0;
    for (const ModelFile& f : model_) used += BlocksFor(static_cast<uint32_t>(f.content.size()));
    return used;
  }
  uint32_t FreeBytes() const { return (kFileBlocks - UsedBlocks()) * kBlockSize; }

  ModelFile NewFile(uint32_t dataSize) {
    ModelFile f;
    f.name = names_[Below(static_cast<uint32_t>(names_.size()))];
    f.content = FileContent(f.name, Pattern(dataSize, uint32_t(rng_())));
    return f;
  }

  int ModelFind(const std::string& query) const {
    for (size_t i = 0; i < model_.size(); ++i) {
      if (model_[i].name.substr(0, 31) == query.substr(0, 32)) return static_cast<int>(i);
    }
    return -1;
  }

  // ---- the operations ----

  void OneOperation() {
    if (op_ % 500 == 250) return Reload();
    const uint32_t pick = Below(100);
    if (pick < 46) return Create(Chance(50));
    if (pick < 64) return DeleteRandom();
    return ReadRandom();
  }

  // The writer's calling sequence, pieces of random size.
  void WriteContent(const std::vector<uint8_t>& content) {
    const uint32_t size = static_cast<uint32_t>(content.size());
    const uint32_t fixedPiece = Chance(50) ? Between(1, 256) : 0;
    uint32_t at = 0;
    while (at < size) {
      const uint32_t piece = std::min(size - at, fixedPiece ? fixedPiece : Between(1, 256));
      ASSERT_EQ(StorageWriteData(*s_, content.data() + at, piece), kStorageAccepted)
          << "at " << at << " of " << size;
      at += piece;
      RunStorageToIdle(*s_);
      if (Chance(1) && !model_.empty() && at < size) {
        // The stored files stay readable while a creation is under way.
        const uint16_t i = static_cast<uint16_t>(Below(static_cast<uint32_t>(model_.size())));
        ReadBack(i, 0, std::min<uint32_t>(static_cast<uint32_t>(model_[i].content.size()), 2000));
      }
    }
  }

  void Create(bool replaceByName) {
    ModelFile f = NewFile(RandomDataSize());
    RunStorageToIdle(*s_);
    if (replaceByName) {
      const int found = StorageFindFile(*s_, f.name.c_str());
      ASSERT_EQ(found, ModelFind(f.name)) << f.name;
      if (found >= 0) {
        ASSERT_EQ(StorageDeleteFile(*s_, static_cast<uint16_t>(found)), kStorageAccepted);
        RunStorageToIdle(*s_);
        model_.erase(model_.begin() + found);
      }
    }
    const uint32_t size = static_cast<uint32_t>(f.content.size());
    const bool fits = size <= FreeBytes();
    const bool tableFull = model_.size() >= kTableEntries;
    const int r = StorageCreateFile(*s_, size);
    if (!fits || tableFull) {
      ASSERT_EQ(r, fits ? kStorageTableFull : kStorageNoSpace) << "size " << size << ", free "
                                                               << FreeBytes();
      return;
    }
    ASSERT_EQ(r, kStorageAccepted);
    RunStorageToIdle(*s_);
    ASSERT_EQ(s_->fs.state, kStateWaitForData);
    WriteContent(f.content);
    if (::testing::Test::HasFailure()) return;
    RunStorageToIdle(*s_);
    ASSERT_EQ(s_->fs.state, kStateIdle);
    model_.push_back(std::move(f));
    const uint16_t index = static_cast<uint16_t>(model_.size() - 1);
    ASSERT_TRUE(StoredContent(*s_, index) == model_.back().content) << "file " << index;
  }

  void DeleteRandom() {
    if (model_.empty()) return Create(false);
    const uint32_t index = Below(static_cast<uint32_t>(model_.size()));
    RunStorageToIdle(*s_);
    ASSERT_EQ(StorageDeleteFile(*s_, static_cast<uint16_t>(index)), kStorageAccepted);
    RunStorageToIdle(*s_);
    model_.erase(model_.begin() + index);
    // The file that took its place, if any, reads back whole.
    if (index < model_.size()) {
      ASSERT_TRUE(StoredContent(*s_, static_cast<uint16_t>(index)) == model_[index].content);
    }
  }

  void ReadRandom() {
    if (model_.empty()) return;
    const uint16_t i = static_cast<uint16_t>(Below(static_cast<uint32_t>(model_.size())));
    const uint32_t size = static_cast<uint32_t>(model_[i].content.size());
    const uint32_t offset = Below(size);
    ReadBack(i, offset, std::min(size - offset, Between(1, 70000)));
  }

  // `count` bytes of file `i` from `offset` read as the model has them, and
  // nothing past them.
  void ReadBack(uint16_t i, uint32_t offset, uint32_t count) {
    const std::vector<uint8_t>& c = model_[i].content;
    std::vector<uint8_t> got(count + 1, 0xA5);
    ASSERT_EQ(StorageReadData(*s_, i, offset, got.data(), count), count);
    ASSERT_TRUE(std::equal(got.begin(), got.begin() + count, c.begin() + offset))
        << "file " << i << " offset " << offset << " count " << count;
    ASSERT_EQ(got[count], 0xA5);  // nothing past the count
  }

  // Exit save and a new process's start-up from the storage file.
  void Reload() {
    RunStorageToIdle(*s_);
    const StorageHeader before = s_->fs.header;
    ASSERT_TRUE(SaveStorage(*s_, platform_.files));
    StorageInit(*spare_, platform_.files);
    ASSERT_EQ(spare_->imageLoaded, 1);
    std::swap(s_, spare_);
    RunStorageToIdle(*s_);
    EXPECT_EQ(std::memcmp(&before, &s_->fs.header, sizeof before), 0);
    VerifyEverything();
  }

  // ---- checks ----

  // The table, names, fields and header lengths against the model.
  void VerifyTables() {
    const FileSystem& fs = s_->fs;
    ASSERT_EQ(fs.state, kStateIdle);
    ASSERT_EQ(fs.header.fileCount, model_.size());
    ASSERT_EQ(fs.header.freeBlocks, kFileBlocks - UsedBlocks());
    uint32_t start = kFirstFileBlock;
    for (size_t i = 0; i < model_.size(); ++i) {
      const uint16_t index = static_cast<uint16_t>(i);
      const ModelFile& f = model_[i];
      const uint32_t size = static_cast<uint32_t>(f.content.size());
      ASSERT_EQ(StorageFileStartBlock(*s_, index), start) << "file " << i;
      ASSERT_EQ(StorageFileSize(*s_, index), size) << "file " << i;
      ASSERT_EQ(StorageHeaderLength(*s_, index), FileContent(f.name, {}).size()) << "file " << i;
      char name[32];
      ASSERT_EQ(StorageReadField(*s_, index, kFieldName, name), std::min<size_t>(f.name.size(), 31) + 1);
      ASSERT_EQ(name, f.name.substr(0, 31)) << "file " << i;
      start += BlocksFor(size);
    }
    for (const std::string& n : names_) {
      ASSERT_EQ(StorageFindFile(*s_, n.c_str()), ModelFind(n)) << "'" << n << "'";
    }
  }

  // Every byte of every file, the invariants of the image and
  // the stored header.
  void VerifyEverything() {
    VerifyTables();
    if (::testing::Test::HasFailure()) return;
    for (size_t i = 0; i < model_.size(); ++i) {
      ASSERT_TRUE(StoredContent(*s_, static_cast<uint16_t>(i)) == model_[i].content) << "file " << i;
    }
    ASSERT_TRUE(ImageIsConsistent(*s_));
    StorageHeader stored;
    if (SelectHeader(*s_, &stored) < 0) {
      ASSERT_TRUE(model_.empty());  // nothing written yet
      return;
    }
    ASSERT_EQ(stored.movePending, 0);  // the rest as VerifyTables found the header in memory
    ASSERT_EQ(std::memcmp(&stored, &s_->fs.header, sizeof stored), 0);
  }

  FakePlatform platform_;
  std::unique_ptr<Storage> s_, spare_;
  std::mt19937_64 rng_;
  uint32_t ops_;
  uint32_t op_ = 0;
  std::vector<std::string> names_;
  std::vector<ModelFile> model_;
};

TEST(StorageModel, RandomOperationsMatchAPlainModel) {
  const uint64_t seed = EnvNumber("TRELVAN_MODEL_SEED", kDefaultSeed);
  const uint32_t ops = static_cast<uint32_t>(EnvNumber("TRELVAN_MODEL_OPS", kDefaultOps));
  SCOPED_TRACE("TRELVAN_MODEL_SEED=" + std::to_string(seed) +
               " TRELVAN_MODEL_OPS=" + std::to_string(ops));
  ModelRun run(seed, ops);
  run.Run();
}

}  // namespace
}  // namespace trelvan
