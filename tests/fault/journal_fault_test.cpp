// The journal under the fault harness. A change runs once with the journal
// taking its blocks after every event (as the tick does after its work),
// committing at the idle points and, as a second's commit would, at every
// fifth event;
// then the journal is cut at every record boundary, inside every record and
// inside its header, and each cut is started from: the storage file with the
// cut journal replayed must be, block for block, the image of the last
// commit the cut kept, and pass the checker with the files before or after
// the change. Then the exit's save in place and the start-up's save of a
// replayed journal are cut after each of their writes. A journal its save
// already holds is dropped (the journal test).
#include <sys/stat.h>

#include "fault/fault_harness.h"
#include "storage/journal.h"
#include "storage/journal_save.h"
#include "storage/storage_check.h"
#include "storage/text.h"

namespace trelvan {
namespace testing {
namespace {

constexpr uint32_t kReach = 64;  // blocks the scenarios, restarts and probes touch

// The hash of the reach; `asMounted`, as a start mounts it: without a valid
// header copy (a storage formatted but never written to) the bookkeeping
// blocks read as erased.
size_t HashReach(const Storage& s, bool asMounted = false) {
  std::vector<char> reach(s.image, s.image + size_t{kReach} * kBlockSize);
  if (asMounted && SelectHeader(s, nullptr) < 0) {
    for (uint32_t b = kHeaderBlockA; b <= kTableBlock1; ++b) {
      std::memcpy(reach.data() + b * kBlockSize, s.erasedBlock, kBlockSize);
    }
  }
  return std::hash<std::string_view>()(std::string_view(reach.data(), reach.size()));
}

class JournalFault : public ::testing::TestWithParam<Scenario> {
 protected:
  FakePlatform fake;
  std::unique_ptr<Assistant> a = FormattedAssistant(fake);
  const std::string storagePath = fake.files.DataPath("Trelvan Assistant Storage 400");
  std::string journalPath;
  std::vector<uint8_t> base;        // the storage file's reach
  std::vector<size_t> commitHash;   // the reach after commit c (0: the base)
  std::vector<uint64_t> commitEnd;  // journal bytes up to and with commit c
  OldOrNew files;
  std::vector<uint8_t> journal;  // its bytes after the change

  void SetUp() override {
    journal = RunWithJournal(GetParam());
    ASSERT_FALSE(HasFailure()) << "the change with the journal on";
  }

  // The change with the journal on; the journal's bytes.
  std::vector<uint8_t> RunWithJournal(const Scenario& sc) {
    Storage& s = a->storage;
    Journal& j = a->journal;
    sc.setup(*a);
    RunStorageToIdle(s);
    files.Take(s, sc.change);
    EXPECT_TRUE(SaveStorage(s, fake.files));
    base.assign(s.image, s.image + size_t{kReach} * kBlockSize);
    TakeJournalBase(s, j, kJournalBaseFile);
    EXPECT_TRUE(StartJournal(s, j, fake.files, nullptr));
    journalPath = j.path;
    commitHash = {HashReach(s, true)};
    Cut whole(UINT64_MAX);
    uint32_t events = 0;
    whole.afterEvent = [&] {
      const uint32_t commits = j.commits;
      // Besides the idle points, a second's commit falls on every 5th event:
      // commits in the middle of the machine's work.
      if (++events % 5 == 0 && j.ticksWaiting > 0) j.ticksWaiting = kJournalCommitTicks - 1;
      EXPECT_EQ(JournalTick(s, j), JournalTickResult::kQuiet);
      DrainJournalWriter(j.writer);
      if (j.commits != commits) commitHash.push_back(HashReach(s, true));
    };
    EXPECT_TRUE(sc.change.drive(*a, whole));
    whole.afterEvent = nullptr;
    FinishJournal(s, j);
    for (uint32_t b = kReach; b < kBlockCount; ++b) {
      EXPECT_FALSE(s.changed.bits[b / 64] & (uint64_t{1} << (b % 64))) << "block " << b;
    }
    EXPECT_TRUE(StoredFilesAre(s, files.after, files.after.size()));
    EXPECT_EQ(HashReach(s, true), commitHash.back()) << "the change ends on a commit";
    return ReadHostFile(journalPath);
  }

  // A new process on the storage file and the journal `bytes`: the replayed reach.
  JournalRecovery Restart(const std::vector<uint8_t>& bytes) {
    WriteHostFile(journalPath, bytes);
    a = std::make_unique<Assistant>(fake);
    Storage& s = a->storage;
    PrepareKey(s);
    std::memcpy(s.image, base.data(), base.size());  // the rest is as the change left it
    CopyText(storagePath.c_str(), s.path, kPathCapacity);
    s.imageLoaded = 1;
    s.loadResult = kLoadStorageFile;
    StorageMount(s);
    return ReplayJournal(s, a->journal, fake.files);
  }

  // A start after a save was cut `where`: its load and replay hold the last
  // commit, whole. Then the storage file's reach and the journal are put back.
  bool StartsWholeAfterCut(const std::string& where) {
    auto restarted = std::make_unique<Assistant>(fake);
    StorageInit(restarted->storage, fake.files);
    ReplayJournal(restarted->storage, restarted->journal, fake.files);
    EXPECT_EQ(HashReach(restarted->storage), commitHash.back()) << where;
    if (files.Check(restarted->storage, where) < 0) return false;
    restarted.reset();
    std::fstream file(storagePath, std::ios::in | std::ios::out | std::ios::binary);
    file.write(reinterpret_cast<const char*>(base.data()), static_cast<std::streamsize>(base.size()));
    file.close();
    WriteHostFile(journalPath, journal);
    return true;
  }

  // `save(cut)`, its writes cut after 0, 1, 2, ... until it goes through:
  // after each cut a start holds the last commit, whole, and the file is
  // written in place. The cuts it took; -1 when a start did not hold it.
  int64_t CutEveryWrite(const char* what, const std::function<bool(int64_t)>& save) {
    struct stat st;
    EXPECT_EQ(stat(storagePath.c_str(), &st), 0);
    const ino_t inode = st.st_ino;
    int64_t cut = 0;
    for (; cut < 100; ++cut) {
      const bool saved = save(cut);
      fake.files.writeCalls = -1;
      if (saved) break;
      const std::string where = std::string(what) + " cut after " + std::to_string(cut) + " writes";
      if (!StartsWholeAfterCut(where)) return -1;
    }
    EXPECT_GE(cut, 3) << what << ": the save record and two runs of blocks";
    EXPECT_EQ(stat(storagePath.c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, inode) << what << " written in place";
    return cut;
  }
};

TEST_P(JournalFault, EveryCutStartsIntoAWholeCommit) {
  const Scenario& sc = GetParam();
  ASSERT_GE(commitHash.size(), sc.minPoints + 1u);

  // The record boundaries, and where each commit ends.
  std::vector<uint64_t> cuts = {0, 10, kJournalHeaderSize};
  commitEnd = {kJournalHeaderSize};
  for (uint64_t at = kJournalHeaderSize; at < journal.size();) {
    JournalRecord r;
    ASSERT_EQ(DecodeJournalRecord(journal.data() + at, journal.size() - at, kBlockCount, &r),
              JournalDecode::kRecord);
    cuts.push_back(at + r.size / 2);  // inside the record
    at += r.size;
    cuts.push_back(at);
    if (r.kind == JournalRecord::kCommit) commitEnd.push_back(at);
  }
  ASSERT_EQ(commitEnd.size(), commitHash.size());

  for (const uint64_t cut : cuts) {
    const std::string where = "journal cut at " + std::to_string(cut) + " of " +
                              std::to_string(journal.size());
    const JournalRecovery r =
        Restart(std::vector<uint8_t>(journal.begin(), journal.begin() + static_cast<long>(cut)));
    const uint32_t kept = static_cast<uint32_t>(
        std::upper_bound(commitEnd.begin(), commitEnd.end(), std::max<uint64_t>(cut, kJournalHeaderSize)) -
        commitEnd.begin() - 1);
    if (cut >= kJournalHeaderSize) {
      EXPECT_EQ(r.commits, kept) << where;
      EXPECT_EQ(r.tornTail, cut > commitEnd[kept]) << where;
    } else {
      EXPECT_EQ(r.found, JournalFound::kNone) << where;  // a header cut short: nothing was committed
      EXPECT_FALSE(Exists(journalPath)) << where;
    }
    EXPECT_EQ(HashReach(a->storage), commitHash[kept])
        << where << ": not the image of commit " << kept << " (" << r.commits << " read)";
    if (files.Check(a->storage, where) < 0) return;
  }
  EXPECT_TRUE(files.seenAfter);
  std::printf("[ points   ] %s: %zu journal cuts, %zu commits\n", sc.name, cuts.size(),
              commitHash.size() - 1);
}

// The exit's save in place, cut after every write it makes (the journal's
// save record, each run of blocks): every start, the start-up's load and
// replay, holds the files before or after the change, whole. Uncut, the
// same file holds byte for byte the image a whole-file save writes.
TEST_P(JournalFault, EveryCutOfTheSaveInPlaceStartsIntoAWholeStorage) {
  const int64_t cuts = CutEveryWrite("save", [&](int64_t cut) {
    fake.files.writeCalls = cut;
    return SaveFinishedJournal(a->storage, a->journal, fake.files);
  });
  if (cuts < 0) return;
  std::printf("[ points   ] %s: %lld cuts of the save in place\n", GetParam().name,
              static_cast<long long>(cuts));
  EXPECT_FALSE(Exists(journalPath));
  const std::vector<uint8_t> onDisk = ReadHostFile(storagePath);
  ASSERT_EQ(onDisk.size(), kImageSize);
  EXPECT_EQ(std::memcmp(onDisk.data(), a->storage.image, kImageSize), 0)
      << "the file is not the image a whole-file save writes";
}

// The start-up's save of a killed run's journal: in place, the replayed
// journal its log, cut after every write as the exit's is.
TEST_P(JournalFault, EveryCutOfTheStartUpsSaveStartsIntoAWholeStorage) {
  const int64_t cuts = CutEveryWrite("start-up save", [&](int64_t cut) {
    const JournalRecovery r = Restart(journal);
    EXPECT_TRUE(r.inPlace);
    fake.files.writeCalls = cut;
    return SaveReplayedJournal(a->storage, a->journal, fake.files, r, nullptr);
  });
  if (cuts < 0) return;
  RemoveJournal(a->journal, fake.files);
  a = std::make_unique<Assistant>(fake);
  StorageInit(a->storage, fake.files);
  EXPECT_EQ(ReplayJournal(a->storage, a->journal, fake.files).found, JournalFound::kNone);
  EXPECT_EQ(HashReach(a->storage), commitHash.back());
  EXPECT_EQ(files.Check(a->storage, "after the start-up's save"), 1);
}

constexpr uint32_t kFirstPiece = 40;

const Scenario kJournalScenarios[] = {
    {"RecordIntoEmpty", StoreFiles({}, 0), Create(FileContent("New", Pattern(10000, 7)), kFirstPiece),
     30},
    {"DeleteMovingBlocks", StoreFiles({5000, 6 * kBlockSize, 3 * kBlockSize - 30}, 1), Delete(0), 5},
};

INSTANTIATE_TEST_SUITE_P(Storage, JournalFault, ::testing::ValuesIn(kJournalScenarios), ScenarioName);

}  // namespace
}  // namespace testing
}  // namespace trelvan
