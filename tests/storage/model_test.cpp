// The file system against a plain in-memory model: a long random sequence of
// creations, deletions, finds and reads, each checked against a list of
// {name, bytes}, with save/reload cycles. The exact fit and the full table
// are the unit tests' business, changes cut short the fault harness's.
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
const uint16_t kFieldLimit[5] = {31, 127, 31, 6, 31};

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  if (v == nullptr || *v == 0) return fallback;
  return std::strtoull(v, nullptr, 0);
}

struct ModelFile {
  std::string name;  // what the file was written under; raw files have none
  std::vector<uint8_t> content;
};

// What readers see of a file: its first 256 bytes, fewer when it is shorter.
std::vector<uint8_t> Head(const ModelFile& f) {
  return std::vector<uint8_t>(
      f.content.begin(), f.content.begin() + std::min<size_t>(f.content.size(), kFileHeaderScan));
}

// The reference field reader: returns the value StorageReadField gives, and
// in `text` the field when it ended inside the head.
uint16_t ModelField(const ModelFile& f, uint8_t field, std::string* text, bool* complete) {
  *complete = false;
  const std::vector<uint8_t> head = Head(f);
  if (head.empty() || head[0] != 0x02) return 0;
  uint32_t number = 0, begin = 1;
  for (uint32_t i = 1; i < head.size(); ++i) {
    if (head[i] != 0) continue;
    if (number == field) {
      const uint32_t length = i - begin;
      text->assign(head.begin() + begin, head.begin() + begin + std::min<uint32_t>(length, kFieldLimit[field]));
      *complete = true;
      return static_cast<uint16_t>(length + 1);
    }
    ++number;
    begin = i + 1;
  }
  return static_cast<uint16_t>(head.size() - begin);
}

uint16_t ModelHeaderLength(const ModelFile& f) {
  const std::vector<uint8_t> head = Head(f);
  for (uint32_t i = 0; i < head.size(); ++i) {
    if (head[i] == 0x03) return static_cast<uint16_t>(i + 1);
  }
  return static_cast<uint16_t>(head.size());
}

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
      if (::testing::Test::HasFailure()) return;
      VerifyTables();
      if (::testing::Test::HasFailure()) return;
      if (op_ % 150 == 149) VerifyEverything();
      if (::testing::Test::HasFailure()) return;
    }
    VerifyEverything();
  }

 private:
  // ---- random helpers ----
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }
  uint32_t Between(uint32_t lo, uint32_t hi) { return lo + Below(hi - lo + 1); }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

  std::vector<uint8_t> RandomBytes(uint32_t n) { return Pattern(n, uint32_t(rng_())); }

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
    if (Chance(88)) {
      f.name = names_[Below(static_cast<uint32_t>(names_.size()))];
      f.content = FileContent(f.name, RandomBytes(dataSize));
      return f;
    }
    // A file without a proper FileHeader: plain bytes, or a start mark with
    // a name but no end mark, or a name running past the 256 bytes, or an
    // odd first byte.
    f.content = RandomBytes(std::max<uint32_t>(1, dataSize));
    const uint32_t kind = Below(4);
    if (kind == 3) {
      const uint8_t firsts[3] = {0x03, 0x02, 0x00};  // an end mark first, a bare start mark
      f.content[0] = firsts[Below(3)];
    } else if (kind >= 1 && f.content.size() >= 40) {
      f.content[0] = 0x02;
      const std::string& n = names_[Below(static_cast<uint32_t>(names_.size()))];
      if (kind == 1) {
        std::copy(n.begin(), n.end(), f.content.begin() + 1);
        f.content[1 + n.size()] = 0;
      } else {
        std::fill(f.content.begin() + 1,
                  f.content.begin() + std::min<size_t>(f.content.size(), 300), 'q');
      }
    }
    return f;
  }

  int ModelFind(const std::string& query) const {
    for (size_t i = 0; i < model_.size(); ++i) {
      std::string text;
      bool complete;
      ModelField(model_[i], kFieldName, &text, &complete);
      if (complete && text == query.substr(0, 32)) return static_cast<int>(i);
    }
    return -1;
  }

  // ---- the operations ----

  void OneOperation() {
    if (op_ % 500 == 250) return Reload();
    const uint32_t pick = Below(100);
    if (pick < 46) return Create(Chance(50));
    if (pick < 64) return DeleteRandom();
    if (pick < 78) return FindRandom();
    return ReadRandom();
  }

  // The writer's calling sequence, pieces of random size. Stops after
  // `stopAfter` bytes when that is below the size (an interrupted writer).
  void WriteContent(const std::vector<uint8_t>& content, uint32_t stopAfter) {
    const uint32_t size = static_cast<uint32_t>(content.size());
    const uint32_t fixedPiece = Chance(50) ? Between(1, 256) : 0;
    uint32_t at = 0;
    while (at < size && at < stopAfter) {
      const uint32_t piece = std::min(size - at, fixedPiece ? fixedPiece : Between(1, 256));
      ASSERT_EQ(StorageWriteData(*s_, content.data() + at, piece), kStorageAccepted)
          << "at " << at << " of " << size;
      at += piece;
      RunStorageToIdle(*s_);
      if (Chance(1) && !model_.empty() && at < size) {
        // The stored files stay readable while a creation is under way.
        const uint16_t i = static_cast<uint16_t>(Below(static_cast<uint32_t>(model_.size())));
        const std::vector<uint8_t>& c = model_[i].content;
        const uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(c.size()), 2000);
        std::vector<uint8_t> got(n);
        StorageReadData(*s_, i, 0, got.data(), n);
        ASSERT_TRUE(std::equal(got.begin(), got.end(), c.begin())) << "file " << i;
      }
    }
  }

  void Create(bool replaceByName) {
    ModelFile f = NewFile(RandomDataSize());
    RunStorageToIdle(*s_);
    if (replaceByName && !f.name.empty()) {
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
    if (!fits) {
      ASSERT_EQ(r, kStorageNoSpace) << "size " << size << ", free " << FreeBytes();
      return;
    }
    if (tableFull) {
      ASSERT_EQ(r, kStorageTableFull);
      return;
    }
    ASSERT_EQ(r, kStorageAccepted);
    RunStorageToIdle(*s_);
    ASSERT_EQ(s_->fs.state, kStateWaitForData);
    WriteContent(f.content, size);
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

  void FindRandom() {
    std::string q = names_[Below(static_cast<uint32_t>(names_.size()))];
    const uint32_t variant = Below(4);
    if (variant == 1) q[0] = static_cast<char>(q[0] ^ 0x20);  // another letter case
    if (variant == 2) q = q.substr(0, q.size() - 1);
    if (variant == 3) q += "~";
    if (q.empty()) q = "B";
    ASSERT_EQ(StorageFindFile(*s_, q.c_str()), ModelFind(q)) << "'" << q << "'";
  }

  void ReadRandom() {
    if (model_.empty()) return FindRandom();
    const uint16_t i = static_cast<uint16_t>(Below(static_cast<uint32_t>(model_.size())));
    const std::vector<uint8_t>& c = model_[i].content;
    const uint32_t size = static_cast<uint32_t>(c.size());
    const uint32_t offset = Below(size);
    const uint32_t count = std::min(size - offset, Between(1, 70000));
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
    ASSERT_EQ(s_->fs.state, kStateIdle);
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
      uint8_t entry[8];
      ASSERT_EQ(StorageReadEntry(*s_, index, entry), 1);
      ASSERT_EQ(ReadU32LE(entry), start) << "file " << i;
      ASSERT_EQ(ReadU32LE(entry + 4), size) << "file " << i;
      ASSERT_EQ(StorageFileStartBlock(*s_, index), start);
      ASSERT_EQ(StorageFileSize(*s_, index), size);
      ASSERT_EQ(StorageHeaderLength(*s_, index), ModelHeaderLength(f)) << "file " << i;
      CheckField(index, static_cast<uint8_t>(Below(5)));
      start += BlocksFor(size);
    }
    uint8_t entry[8] = {};
    ASSERT_EQ(StorageReadEntry(*s_, static_cast<uint16_t>(model_.size()), entry), 0);
    for (const std::string& n : names_) {
      ASSERT_EQ(StorageFindFile(*s_, n.c_str()), ModelFind(n)) << "'" << n << "'";
    }
  }

  void CheckField(uint16_t index, uint8_t field) {
    char out[160];
    std::memset(out, 0x5A, sizeof out);
    std::string text;
    bool complete;
    const uint16_t expected = ModelField(model_[index], field, &text, &complete);
    ASSERT_EQ(StorageReadField(*s_, index, field, out), expected)
        << "file " << index << " field " << int(field);
    const size_t untouchedFrom = complete ? text.size() + 1 : 0;
    if (complete) {
      ASSERT_EQ(std::string(out), text) << "file " << index << " field " << int(field);
    }
    for (size_t i = untouchedFrom; i < sizeof out; ++i) {
      ASSERT_EQ(out[i], 0x5A) << "file " << index << " field " << int(field) << " byte " << i;
    }
  }

  // Every byte of every file, every field, the invariants of the image and
  // the stored header.
  void VerifyEverything() {
    VerifyTables();
    if (::testing::Test::HasFailure()) return;
    for (size_t i = 0; i < model_.size(); ++i) {
      ASSERT_TRUE(StoredContent(*s_, static_cast<uint16_t>(i)) == model_[i].content) << "file " << i;
      for (uint8_t field = 0; field <= kFieldLast; ++field) CheckField(static_cast<uint16_t>(i), field);
    }
    ASSERT_TRUE(ImageIsConsistent(*s_));
    StorageHeader stored;
    if (SelectHeader(*s_, &stored) < 0) {
      ASSERT_TRUE(model_.empty());  // nothing written yet
      return;
    }
    ASSERT_EQ(stored.freeBlocks, kFileBlocks - UsedBlocks());
    ASSERT_EQ(stored.fileCount, model_.size());
    ASSERT_EQ(stored.movePending, 0);
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
