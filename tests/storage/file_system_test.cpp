// The file system's operations and state machine at their edges. Changes
// cut short are the fault harness's business.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/text.h"
#include "storage_fixture.h"

namespace trelvan {
namespace {

using testing::FileContent;
using testing::ImageIsConsistent;
using testing::MakeFormattedStorage;
using testing::Pattern;
using testing::StoredContent;
using testing::StoreNamedFile;
using testing::WriteWholeFile;

struct StepTrace {
  int headerWrites = 0;  // changes of the current header block
  int blockMoves = 0;    // steps taken in state 21
};

// Runs the machine to idle one step at a time, watching the image.
StepTrace TraceToIdle(Storage& s) {
  StepTrace t;
  int current = SelectHeader(s, nullptr);
  for (;;) {
    const uint8_t state = s.fs.state;
    const int more = StorageStep(s);
    if (state == 21) ++t.blockMoves;
    const int now = SelectHeader(s, nullptr);
    if (now != current) ++t.headerWrites;
    current = now;
    if (!more) return t;
  }
}

uint16_t StoredFreeBlocks(const Storage& s) {
  StorageHeader h;
  EXPECT_GE(SelectHeader(s, &h), 0);
  return h.freeBlocks;
}

class FileSystemTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  std::unique_ptr<Storage> s = MakeFormattedStorage(platform.files);
};

TEST_F(FileSystemTest, FirstFileStartsAtBlock4AndTakesWholeBlocks) {
  ASSERT_EQ(WriteWholeFile(*s, Pattern(4096, 1)), kStorageAccepted);
  EXPECT_EQ(StorageFileStartBlock(*s, 0), 4u);
  EXPECT_EQ(StorageFileSize(*s, 0), 4096u);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks - 1);
  ASSERT_EQ(WriteWholeFile(*s, Pattern(4097, 2)), kStorageAccepted);
  EXPECT_EQ(StorageFileStartBlock(*s, 1), 5u);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks - 3);
  ASSERT_EQ(WriteWholeFile(*s, Pattern(10, 3)), kStorageAccepted);
  EXPECT_EQ(StorageFileStartBlock(*s, 2), 7u);
  EXPECT_EQ(StoredFreeBlocks(*s), kFileBlocks - 4);
  EXPECT_EQ(StoredContent(*s, 1), Pattern(4097, 2));
  EXPECT_TRUE(ImageIsConsistent(*s));
}

TEST_F(FileSystemTest, ExactFitIsAcceptedAndOneByteMoreIsNot) {
  ASSERT_EQ(WriteWholeFile(*s, Pattern(5000, 1)), kStorageAccepted);
  const uint32_t room = s->fs.header.freeBlocks * kBlockSize;
  EXPECT_EQ(StorageCreateFile(*s, room + 1), kStorageNoSpace);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks - 2);
  EXPECT_EQ(s->fs.state, kStateIdle);

  const std::vector<uint8_t> big = Pattern(room, 9);
  ASSERT_EQ(WriteWholeFile(*s, big), kStorageAccepted);
  EXPECT_EQ(s->fs.header.freeBlocks, 0);
  EXPECT_EQ(StorageFileStartBlock(*s, 1), 6u);
  EXPECT_EQ(StoredContent(*s, 1), big);
  EXPECT_EQ(StorageCreateFile(*s, 1), kStorageNoSpace);
  EXPECT_EQ(WriteWholeFile(*s, {}), kStorageAccepted);  // an empty file still fits
  EXPECT_TRUE(ImageIsConsistent(*s));
}

TEST_F(FileSystemTest, The513thFileIsRefusedWithTableFull) {
  for (int i = 0; i < kTableEntries; ++i) ASSERT_EQ(WriteWholeFile(*s, {}), kStorageAccepted) << i;
  EXPECT_EQ(s->fs.header.fileCount, kTableEntries);
  EXPECT_EQ(StorageCreateFile(*s, 0), kStorageTableFull);
  EXPECT_EQ(StorageCreateFile(*s, 100), kStorageTableFull);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks);
  EXPECT_EQ(s->fs.state, kStateIdle);
  EXPECT_TRUE(ImageIsConsistent(*s));
  // Deleting one makes room again.
  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  RunStorageToIdle(*s);
  EXPECT_EQ(WriteWholeFile(*s, Pattern(300, 4)), kStorageAccepted);
  EXPECT_EQ(StorageFileStartBlock(*s, kTableEntries - 1), 4u);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

TEST_F(FileSystemTest, DeletingTheLastFileMovesNothing) {
  StoreNamedFile(*s, "a", Pattern(5000, 1));
  StoreNamedFile(*s, "b", Pattern(9000, 2));
  ASSERT_EQ(StorageDeleteFile(*s, 1), kStorageAccepted);
  EXPECT_EQ(s->fs.header.moveGap, 0);
  EXPECT_EQ(s->fs.header.moveBlocksLeft, 0);
  EXPECT_EQ(s->fs.header.movePending, 0);
  const StepTrace t = TraceToIdle(*s);
  EXPECT_EQ(t.headerWrites, 1);
  EXPECT_EQ(t.blockMoves, 0);
  EXPECT_EQ(s->fs.header.fileCount, 1);
  EXPECT_EQ(StoredFreeBlocks(*s), kFileBlocks - 2);
  EXPECT_TRUE(ImageIsConsistent(*s));
  // Deleting the only file empties the storage.
  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  RunStorageToIdle(*s);
  EXPECT_EQ(s->fs.header.fileCount, 0);
  EXPECT_EQ(StoredFreeBlocks(*s), kFileBlocks);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// Files of 2, 3 and 1 blocks; deleting the first moves 4 blocks one at a
// time and records each move in a header copy.
TEST_F(FileSystemTest, DeletingFile0Of2And3And1Blocks) {
  const auto b = FileContent("second", Pattern(3 * 4096 - 100, 2));
  const auto c = FileContent("third", Pattern(100, 3));
  StoreNamedFile(*s, "first", Pattern(2 * 4096 - 50, 1));
  WriteWholeFile(*s, b);
  WriteWholeFile(*s, c);
  ASSERT_EQ(StorageFileStartBlock(*s, 2), 9u);
  const uint16_t freeBefore = s->fs.header.freeBlocks;

  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  EXPECT_EQ(s->fs.header.moveGap, 2);
  EXPECT_EQ(s->fs.header.moveBlocksLeft, 4);
  const StepTrace t = TraceToIdle(*s);
  EXPECT_EQ(t.blockMoves, 4);
  EXPECT_EQ(t.headerWrites, 5);  // the table switch, then one per moved block
  EXPECT_EQ(s->fs.header.fileCount, 2);
  EXPECT_EQ(StorageFileStartBlock(*s, 0), 4u);
  EXPECT_EQ(StorageFileStartBlock(*s, 1), 7u);
  EXPECT_EQ(StoredFreeBlocks(*s), freeBefore + 2);
  EXPECT_EQ(StoredContent(*s, 0), b);
  EXPECT_EQ(StoredContent(*s, 1), c);
  EXPECT_EQ(StorageFindFile(*s, "third"), 1);
  EXPECT_EQ(StorageFindFile(*s, "first"), -1);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

TEST_F(FileSystemTest, HeaderCopiesAlternate) {
  EXPECT_EQ(SelectHeader(*s, nullptr), -1);  // formatted, nothing written yet
  StoreNamedFile(*s, "one", Pattern(10, 1));
  const int first = SelectHeader(*s, nullptr);
  EXPECT_EQ(first, 0);
  StoreNamedFile(*s, "two", Pattern(10, 2));
  EXPECT_EQ(SelectHeader(*s, nullptr), 1);
  StoreNamedFile(*s, "three", Pattern(10, 3));
  EXPECT_EQ(SelectHeader(*s, nullptr), first);
  const int valid = (ReadPlainByte(*s, 0) == 0xFF) + (ReadPlainByte(*s, kBlockSize) == 0xFF);
  EXPECT_EQ(valid, 1);
  // A new process reads the same header back.
  const StorageHeader before = s->fs.header;
  StorageMount(*s);
  EXPECT_EQ(std::memcmp(&before, &s->fs.header, sizeof before), 0);
}

TEST_F(FileSystemTest, FindIsCaseSensitiveAndPrefersTheLowerIndex) {
  StoreNamedFile(*s, "Setup400", {1, 2});
  StoreNamedFile(*s, "Twin", {3});
  StoreNamedFile(*s, "Twin", {4});
  const std::string longName(31, 'x');
  StoreNamedFile(*s, longName, {5});
  EXPECT_EQ(StorageFindFile(*s, "Setup400"), 0);
  EXPECT_EQ(StorageFindFile(*s, "setup400"), -1);
  EXPECT_EQ(StorageFindFile(*s, "Setup40"), -1);
  EXPECT_EQ(StorageFindFile(*s, "Setup4000"), -1);
  EXPECT_EQ(StorageFindFile(*s, "Twin"), 1);
  EXPECT_EQ(StorageFindFile(*s, longName.c_str()), 3);
  EXPECT_EQ(StorageFindFile(*s, (longName + "y").c_str()), -1);  // stored names stop at 31
}

TEST_F(FileSystemTest, BuildHeaderAndReadFields) {
  uint8_t header[kFileHeaderMaxLength];
  const std::string name31(31, 'n');
  EXPECT_EQ(StorageBuildHeader(header, name31.c_str(), "", "Picture", "1.00"), 49);
  const std::string f(100, 'f');
  EXPECT_EQ(StorageBuildHeader(header, f.c_str(), f.c_str(), "", f.substr(0, 57).c_str()), -1);
  // The longest header: every field cut to its limit.
  const std::string x(200, 'x');
  EXPECT_EQ(StorageBuildHeader(header, x.substr(0, 40).c_str(), x.c_str(), "t", "1.00000"),
            1 + 32 + 128 + 2 + 7 + 1 + 1);

  const int h = StorageBuildHeader(header, "Demo~", "User", "Sound", "2.00");
  std::vector<uint8_t> content(header, header + h);
  content.push_back(0x42);
  WriteWholeFile(*s, content);
  char field[128];
  EXPECT_EQ(StorageReadField(*s, 0, kFieldName, field), 6);
  EXPECT_STREQ(field, "Demo~");
  EXPECT_EQ(StorageReadField(*s, 0, kFieldExtra, field), 5);
  EXPECT_STREQ(field, "User");
  EXPECT_EQ(StorageReadField(*s, 0, kFieldType, field), 6);
  EXPECT_STREQ(field, "Sound");
  EXPECT_EQ(StorageReadField(*s, 0, kFieldVersion, field), 5);
  EXPECT_STREQ(field, "2.00");
  EXPECT_EQ(StorageReadField(*s, 0, kFieldLast, field), 1);
  EXPECT_STREQ(field, "");
  EXPECT_EQ(StorageHeaderLength(*s, 0), h);
  uint8_t data;
  StorageReadData(*s, 0, StorageHeaderLength(*s, 0), &data, 1);
  EXPECT_EQ(data, 0x42);
}

TEST_F(FileSystemTest, FilesWithoutAFileHeader) {
  WriteWholeFile(*s, {0x01, 'a', 0, 0x03});
  std::vector<uint8_t> noEnd(300, 'z');
  noEnd[0] = 0x02;
  WriteWholeFile(*s, noEnd);
  char field[128] = "untouched";
  EXPECT_EQ(StorageReadField(*s, 0, kFieldName, field), 0);
  EXPECT_STREQ(field, "untouched");
  EXPECT_EQ(StorageHeaderLength(*s, 0), 4);
  EXPECT_EQ(StorageHeaderLength(*s, 1), 256);
  // The name runs past the 256 bytes readers look at: not found, output untouched.
  EXPECT_EQ(StorageReadField(*s, 1, kFieldName, field), 255);
  EXPECT_STREQ(field, "untouched");
  EXPECT_EQ(StorageFindFile(*s, std::string(31, 'z').c_str()), -1);

  uint8_t entry[8];
  EXPECT_EQ(StorageReadEntry(*s, 1, entry), 1);
  EXPECT_EQ(ReadU32LE(entry), 5u);
  EXPECT_EQ(ReadU32LE(entry + 4), 300u);
  EXPECT_EQ(StorageReadEntry(*s, 2, entry), 0);
}

// A file of 0 bytes starts where the next file does: that header is not its
// own, so it has no name, and the next file is found at its own index.
TEST_F(FileSystemTest, AnEmptyFileHasNoHeaderAndNoName) {
  WriteWholeFile(*s, {});
  StoreNamedFile(*s, "Page", Pattern(10, 1));
  WriteWholeFile(*s, {0x02, 'P', 'a'});  // a header cut off by the file's end
  ASSERT_EQ(StorageFileStartBlock(*s, 0), StorageFileStartBlock(*s, 1));
  EXPECT_EQ(StorageFindFile(*s, "Page"), 1);
  char field[32] = "untouched";
  EXPECT_EQ(StorageReadField(*s, 0, kFieldName, field), 0);
  EXPECT_STREQ(field, "untouched");
  EXPECT_EQ(StorageHeaderLength(*s, 0), 0);
  EXPECT_EQ(StorageHeaderLength(*s, 2), 3);
  EXPECT_EQ(StorageFindFile(*s, "Pa"), -1);
}

TEST_F(FileSystemTest, OperationsInTheWrongStateAreRefused) {
  uint8_t bytes[300] = {};
  EXPECT_EQ(StorageWriteData(*s, bytes, 10), kStorageNotWaiting);
  ASSERT_EQ(StorageCreateFile(*s, 600), kStorageAccepted);
  EXPECT_EQ(StorageCreateFile(*s, 10), kStorageBusy);  // requested, not yet idle-stepped
  RunStorageToIdle(*s);
  EXPECT_EQ(s->fs.state, kStateWaitForData);
  EXPECT_EQ(StorageCreateFile(*s, 10), kStorageBusy);
  EXPECT_EQ(StorageDeleteFile(*s, 0), kStorageBusy);
  EXPECT_EQ(StorageWriteData(*s, bytes, 257), kStorageCountTooLarge);
  EXPECT_EQ(StorageWriteData(*s, bytes, 256), kStorageAccepted);
  RunStorageToIdle(*s);
  EXPECT_EQ(StorageWriteData(*s, bytes, 256), kStorageAccepted);
  RunStorageToIdle(*s);
  EXPECT_EQ(StorageWriteData(*s, bytes, 100), kStorageTooMuchData);  // 88 were still expected
  EXPECT_EQ(s->fs.state, kStateWaitForData);
  EXPECT_EQ(SelectHeader(*s, nullptr), -1);  // nothing visible yet
}

// A request accepted but not yet stepped blocks a second one, and a
// deletion of an index beyond the table changes nothing.
TEST_F(FileSystemTest, PendingRequestsAndMissingIndexesAreRefused) {
  StoreNamedFile(*s, "only", Pattern(100, 1));
  EXPECT_EQ(StorageDeleteFile(*s, 1), kStorageNoSuchFile);
  EXPECT_EQ(s->fs.header.fileCount, 1);
  const uint16_t freeBefore = s->fs.header.freeBlocks;
  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  EXPECT_EQ(StorageDeleteFile(*s, 0), kStorageBusy);
  EXPECT_EQ(StorageCreateFile(*s, 10), kStorageBusy);
  RunStorageToIdle(*s);
  EXPECT_EQ(s->fs.header.fileCount, 0);
  EXPECT_EQ(s->fs.header.freeBlocks, freeBefore + 1);
  EXPECT_EQ(StorageDeleteFile(*s, 0), kStorageNoSuchFile);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// The last piece completes the block's last unit and starts the next block,
// which holds a deleted file's old bytes: the flush must erase it first.
TEST_F(FileSystemTest, FinalFlushIntoAnUnerasedBlockErasesIt) {
  StoreNamedFile(*s, "old", Pattern(3 * 4096, 7));
  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  RunStorageToIdle(*s);
  const std::vector<uint8_t> content = Pattern(4096 + 10, 8);
  ASSERT_EQ(StorageCreateFile(*s, static_cast<uint32_t>(content.size())), kStorageAccepted);
  RunStorageToIdle(*s);
  uint32_t at = 0;
  while (at < 4000) {
    ASSERT_EQ(StorageWriteData(*s, content.data() + at, 250), kStorageAccepted);
    RunStorageToIdle(*s);
    at += 250;
  }
  ASSERT_EQ(StorageWriteData(*s, content.data() + at, 106), kStorageAccepted);
  RunStorageToIdle(*s);
  EXPECT_EQ(StoredContent(*s, 0), content);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// Data may arrive in any piece sizes, with pauses in the waiting state.
TEST_F(FileSystemTest, PiecesOfEverySizeGiveTheSameContent) {
  for (uint32_t piece : {1u, 7u, 100u, 255u, 256u}) {
    const auto content = FileContent("p" + std::to_string(piece), Pattern(3000 + piece, piece));
    ASSERT_EQ(WriteWholeFile(*s, content, piece), kStorageAccepted);
    const int index = StorageFindFile(*s, ("p" + std::to_string(piece)).c_str());
    ASSERT_GE(index, 0);
    EXPECT_EQ(StoredContent(*s, static_cast<uint16_t>(index)), content) << piece;
  }
  EXPECT_TRUE(ImageIsConsistent(*s));
}

}  // namespace
}  // namespace trelvan
