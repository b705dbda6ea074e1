// The journal: its bytes (golden records and every way a record can be
// cut or spoilt), the writer's records of what the flash layer marked, and
// the replay's rules: whole commits only, never a journal of another
// storage, nothing applied twice.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/file_system.h"
#include "storage/journal.h"
#include "storage/storage_fixture.h"
#include "storage/storage_image.h"
#include "storage/whole_file.h"
#include "platform/fake/fake_services.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace testing;

// ---- the bytes ----------------------------------------------------------------------

// The records as they are on disk; a change here makes older journals
// unreadable.
TEST(JournalFormat, RecordsAreTheGoldenBytes) {
  Bytes header(kJournalHeaderSize);
  EncodeJournalHeader({kJournalBaseFile, 0x0123456789ABCDEFull}, header.data());
  EXPECT_EQ(header, HexBytes("54414a4f55524e310010000001000000efcdab896745230144ccbc5f"));
  Bytes commit(kJournalCommitSize);
  EncodeCommitRecord(7, 3, 0xFEDCBA9876543210ull, commit.data());
  EXPECT_EQ(commit, HexBytes("434d543107000000030000001032547698badcfe53c39b76"));
  Bytes data(kJournalBlockDataSize), block(kJournalBlockRecordSize);
  for (uint32_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 1);
  EncodeBlockRecord(4, data.data(), block.data());
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 12), HexBytes("424c4b3104000000b46f8ebe"));
  EXPECT_EQ(Bytes(block.begin() + 12, block.end()), data);

  // The header's and the commit's fields, read back wrong, fail the replays
  // below and the fault test's; a block record's number is read back here.
  JournalRecord r;
  ASSERT_EQ(DecodeJournalRecord(block.data(), block.size(), kBlockCount, &r), JournalDecode::kRecord);
  EXPECT_EQ(r.kind, JournalRecord::kBlock);
  EXPECT_EQ(r.size, kJournalBlockRecordSize);
  EXPECT_EQ(BlockRecordNumber(block.data()), 4u);
}

// Every record cut short reads as short, never as a record; every spoilt
// byte of a record, and a block beyond the image, as damaged.
TEST(JournalFormat, CutAndSpoiltRecordsAreNeverRead) {
  Bytes data = Pattern(kJournalBlockDataSize, 3);
  Bytes block(kJournalBlockRecordSize), commit(kJournalCommitSize), header(kJournalHeaderSize);
  EncodeBlockRecord(kBlockCount - 1, data.data(), block.data());
  EncodeCommitRecord(1, 1, 99, commit.data());
  EncodeJournalHeader({kJournalBaseErased, 0}, header.data());
  JournalRecord r;
  for (const Bytes* record : {&block, &commit}) {
    for (size_t n = 0; n < record->size(); n += (n < 40 ? 1 : 509)) {
      EXPECT_EQ(DecodeJournalRecord(record->data(), n, kBlockCount, &r), JournalDecode::kShort) << n;
    }
    for (size_t at = 0; at < record->size(); at += (at < 40 ? 1 : 127)) {
      Bytes spoilt = *record;
      spoilt[at] ^= 0x10;
      EXPECT_EQ(DecodeJournalRecord(spoilt.data(), spoilt.size(), kBlockCount, &r),
                JournalDecode::kDamaged)
          << at;
    }
  }
  EXPECT_EQ(DecodeJournalRecord(block.data(), block.size(), kBlockCount - 1, &r),
            JournalDecode::kDamaged);
  JournalHeader h;
  for (size_t at = 0; at < header.size(); ++at) {
    Bytes spoilt = header;
    spoilt[at] ^= 0x01;
    EXPECT_FALSE(DecodeJournalHeader(spoilt.data(), spoilt.size(), &h)) << at;
  }
  EXPECT_FALSE(DecodeJournalHeader(header.data(), header.size() - 1, &h));
}

// ---- writing and replaying ------------------------------------------------------------

class JournalTest : public ::testing::Test {
 protected:
  FakeFiles files;
  std::unique_ptr<Storage> s = MakeFormattedStorage(files);
  std::unique_ptr<Journal> j = std::make_unique<Journal>();

  std::string JournalPath() const { return files.DataPath("Trelvan Assistant Storage 400.journal"); }

  // The storage as it is now becomes the storage file, and a journal on it
  // begins; the writer runs on `threads`, or without them on this thread.
  void SaveAndBegin(FakeThreads* threads = nullptr) {
    ASSERT_TRUE(SaveStorage(*s, files));
    TakeJournalBase(*s, *j, kJournalBaseFile);
    ASSERT_TRUE(StartJournal(*s, *j, files, threads));
  }
  // One idle tick: the marked blocks handed over and written.
  void Commit() {
    ASSERT_EQ(JournalTick(*s, *j), JournalTickResult::kQuiet);
    DrainJournalWriter(j->writer);
  }
  // A new process: the storage file loaded, the journal replayed.
  JournalRecovery Restart() {
    FinishJournal(*s, *j);
    j = std::make_unique<Journal>();
    s = std::make_unique<Storage>();
    StorageInit(*s, files);
    return ReplayJournal(*s, *j, files);
  }
};

// A commit whose blocks do not all arrive, or that breaks the order of
// commits, ends what is read: the commits before it are kept.
TEST_F(JournalTest, ACommitMissingABlockEndsTheReplay) {
  SaveAndBegin();
  ASSERT_EQ(StoreNamedFile(*s, "One", Pattern(300, 1)), kStorageAccepted);
  Commit();
  const size_t firstEnd = ReadHostFile(JournalPath()).size();
  ASSERT_EQ(StoreNamedFile(*s, "Two", Pattern(300, 2)), kStorageAccepted);
  Commit();
  FinishJournal(*s, *j);
  Bytes journal = ReadHostFile(JournalPath());
  // Only the blocks the flash layer changed, each once a commit: the new
  // file's block and the bookkeeping blocks.
  EXPECT_LE(journal.size(), kJournalHeaderSize + 2 * (kJournalCommitSize + 4 * kJournalBlockRecordSize));
  journal.erase(journal.begin() + static_cast<long>(firstEnd),
                journal.begin() + static_cast<long>(firstEnd + kJournalBlockRecordSize));
  WriteHostFile(JournalPath(), journal);
  const JournalRecovery r = Restart();
  EXPECT_EQ(r.commits, 1u);
  EXPECT_EQ(r.tornTail, 1);
  EXPECT_EQ(StoredData(*s, "One"), Pattern(300, 1));
  EXPECT_EQ(StorageFindFile(*s, "Two"), -1);
}

// A journal begun on no storage file belongs to no storage file: once one
// is there, the journal is not applied to it. (A journal of an older copy
// put back is the start-up test's, which sees it set aside and said.)
TEST_F(JournalTest, AJournalBegunOnNoStorageFileIsRefusedOnceThereIsOne) {
  ASSERT_TRUE(SaveStorage(*s, files));
  TakeJournalBase(*s, *j, kJournalBaseErased);
  ASSERT_TRUE(StartJournal(*s, *j, files, nullptr));
  ASSERT_EQ(StoreNamedFile(*s, "Fresh", Pattern(50, 4)), kStorageAccepted);
  Commit();
  EXPECT_EQ(Restart().found, JournalFound::kForeign);
  EXPECT_EQ(StorageFindFile(*s, "Fresh"), -1);
}

// A save that took the journal in and was cut before it removed the
// journal: the journal is dropped, nothing is applied twice. A journal
// begun with no storage file, replayed onto an erased image, is the kill
// test's (it starts on an empty folder).
TEST_F(JournalTest, AJournalAlreadySavedIsDropped) {
  SaveAndBegin();
  ASSERT_EQ(StoreNamedFile(*s, "Saved", Pattern(2000, 5)), kStorageAccepted);
  Commit();
  FinishJournal(*s, *j);
  ASSERT_TRUE(SaveStorage(*s, files));
  EXPECT_EQ(Restart().found, JournalFound::kAlreadySaved);
  EXPECT_FALSE(Exists(JournalPath()));
  EXPECT_EQ(StoredData(*s, "Saved"), Pattern(2000, 5));
}

// While the machine is busy the blocks wait; a second of changes is
// committed even so, and a commit that no ring could hold asks for a fold.
TEST_F(JournalTest, CommitsWaitForIdleButNotLongerThanASecond) {
  SaveAndBegin();
  ASSERT_EQ(StorageCreateFile(*s, 20000), kStorageAccepted);
  RunStorageToIdle(*s);  // waits for data now
  const Bytes piece = Pattern(256, 8);
  for (uint32_t tick = 1; tick < kJournalCommitTicks; ++tick) {
    ASSERT_EQ(StorageWriteData(*s, piece.data(), 1), kStorageAccepted);
    RunStorageToIdle(*s);
    ASSERT_EQ(JournalTick(*s, *j), JournalTickResult::kQuiet);
    ASSERT_EQ(j->commits, 0u) << tick;
  }
  ASSERT_EQ(JournalTick(*s, *j), JournalTickResult::kQuiet);
  EXPECT_EQ(j->commits, 1u);
  DrainJournalWriter(j->writer);
  EXPECT_EQ(j->writer.durable.load(), 1u);

  // More blocks than one commit may hold.
  for (uint32_t b = 0; b <= kJournalMaxCommitBlocks; ++b) MarkBlockChanged(s->changed, 100 + b);
  EXPECT_EQ(JournalTick(*s, *j), JournalTickResult::kFoldDue);
}

// The writer on its own thread while the tick keeps handing over commits
// (the ring wraps many times); run under ThreadSanitizer by the tsan label.
TEST_F(JournalTest, JournalThreadKeepsUpWithTheTick) {
  FakeThreads threads;
  SaveAndBegin(&threads);
  EXPECT_EQ(threads.started, 1);
  // When the ring is full a commit goes on over the next ticks, taking their
  // changes in: fewer commits than ticks, none lost. So on a busy machine,
  // whose writer lags, the ticks go on until the ring has wrapped.
  uint32_t ticks = 0;
  for (; ticks < 300 || (j->writer.head.load() <= kJournalSlots && ticks < 20000); ++ticks) {
    const std::string name = "Piece " + std::to_string(ticks % 40);
    StorageDeleteNamedFile(*s, name.c_str());
    ASSERT_TRUE(StorageWriteRecord(*s, name.c_str(), "", "Test", "1.00", Pattern(5000, ticks).data(), 5000));
    ASSERT_EQ(JournalTick(*s, *j), JournalTickResult::kQuiet);
  }
  EXPECT_GT(j->commits, 0u);
  EXPECT_GT(j->writer.head.load(), kJournalSlots);
  FinishJournal(*s, *j);
  EXPECT_EQ(threads.joined, 1);
  Restart();
  for (uint32_t i = ticks - 40; i < ticks; ++i) {
    EXPECT_EQ(StoredData(*s, ("Piece " + std::to_string(i % 40)).c_str()), Pattern(5000, i)) << i;
  }
}

}  // namespace
}  // namespace trelvan
