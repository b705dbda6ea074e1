// The file system's operations and state machine at their edges. Random
// sequences, what a deletion leaves and moves and a final flush into a
// block not yet erased are the model test's business; changes cut short
// the fault harness's; the full table the whole-file test's.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/text.h"
#include "storage_fixture.h"

namespace trelvan {
namespace {

using namespace testing;

class FileSystemTest : public StorageTest {};

// Where files start and how many blocks they take the model test checks
// after every operation, an empty file behind a full storage the fault
// harness.
TEST_F(FileSystemTest, TheExactFitIsTakenAndOneByteMoreRefused) {
  const uint32_t room = s->fs.header.freeBlocks * kBlockSize;
  EXPECT_EQ(StorageCreateFile(*s, room + 1), kStorageNoSpace);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks);
  EXPECT_EQ(s->fs.state, kStateIdle);
  const std::vector<uint8_t> big = Pattern(room, 9);
  ASSERT_EQ(WriteWholeFile(*s, big), kStorageAccepted);
  EXPECT_EQ(StoredContent(*s, 0), big);
  EXPECT_EQ(StorageCreateFile(*s, 1), kStorageNoSpace);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// Out of turn: data while nothing waits for it, a second request before the
// first was stepped, too many bytes, a missing index. None changes a thing.
TEST_F(FileSystemTest, RequestsOutOfTurnAreRefused) {
  uint8_t bytes[300] = {};
  StoreNamedFile(*s, "only", Pattern(100, 1));
  EXPECT_EQ(StorageWriteData(*s, bytes, 10), kStorageNotWaiting);
  EXPECT_EQ(StorageDeleteFile(*s, 1), kStorageNoSuchFile);
  EXPECT_EQ(s->fs.header.fileCount, 1);
  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  EXPECT_EQ(StorageDeleteFile(*s, 0), kStorageBusy);
  EXPECT_EQ(StorageCreateFile(*s, 10), kStorageBusy);
  RunStorageToIdle(*s);
  EXPECT_EQ(s->fs.header.fileCount, 0);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks);
  EXPECT_EQ(StorageDeleteFile(*s, 0), kStorageNoSuchFile);
  EXPECT_TRUE(ImageIsConsistent(*s));

  const int visible = SelectHeader(*s, nullptr);
  ASSERT_EQ(StorageCreateFile(*s, 600), kStorageAccepted);
  EXPECT_EQ(StorageCreateFile(*s, 10), kStorageBusy);
  RunStorageToIdle(*s);
  EXPECT_EQ(s->fs.state, kStateWaitForData);
  EXPECT_EQ(StorageCreateFile(*s, 10), kStorageBusy);
  EXPECT_EQ(StorageDeleteFile(*s, 0), kStorageBusy);
  EXPECT_EQ(StorageWriteData(*s, bytes, 257), kStorageCountTooLarge);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(StorageWriteData(*s, bytes, 256), kStorageAccepted);
    RunStorageToIdle(*s);
  }
  EXPECT_EQ(StorageWriteData(*s, bytes, 100), kStorageTooMuchData);  // 88 were still expected
  EXPECT_EQ(s->fs.state, kStateWaitForData);
  EXPECT_EQ(SelectHeader(*s, nullptr), visible);  // nothing visible yet
}

// Every header field cut to its limit; then files whose start is no header
// of their own: an empty file (it starts where the next one does), a header
// cut off by the file's end, a name running past the 256 bytes readers scan.
TEST_F(FileSystemTest, FileHeadersAtTheirLimits) {
  uint8_t header[kFileHeaderMaxLength];
  const std::string x(200, 'x');
  EXPECT_EQ(StorageBuildHeader(header, x.substr(0, 31).c_str(), "", "Picture", "1.00"), 49);
  EXPECT_EQ(StorageBuildHeader(header, x.substr(0, 100).c_str(), x.substr(0, 100).c_str(), "",
                               x.substr(0, 57).c_str()),
            -1);
  EXPECT_EQ(StorageBuildHeader(header, x.substr(0, 40).c_str(), x.c_str(), "t", "1.00000"),
            1 + 32 + 128 + 2 + 7 + 1 + 1);

  std::vector<uint8_t> noEnd(300, 'z');
  noEnd[0] = 0x02;
  WriteWholeFile(*s, {});
  StoreNamedFile(*s, "Page", Pattern(10, 1));
  WriteWholeFile(*s, {0x02, 'P', 'a'});
  WriteWholeFile(*s, noEnd);
  ASSERT_EQ(StorageFileStartBlock(*s, 0), StorageFileStartBlock(*s, 1));
  EXPECT_EQ(StorageFindFile(*s, "Page"), 1);
  EXPECT_EQ(StorageFindFile(*s, "Pa"), -1);
  EXPECT_EQ(StorageFindFile(*s, std::string(31, 'z').c_str()), -1);
  const struct { uint16_t index, field, length; } cases[] = {{0, 0, 0}, {2, 2, 3}, {3, 255, 256}};
  for (const auto& c : cases) {
    char field[32] = "untouched";
    EXPECT_EQ(StorageReadField(*s, c.index, kFieldName, field), c.field) << c.index;
    EXPECT_STREQ(field, "untouched");
    EXPECT_EQ(StorageHeaderLength(*s, c.index), c.length) << c.index;
  }
}

// The header copy not in use may hold bytes behind its old record when the
// image came from a file (another writer, an older program): the first
// header written there after a mount erases its block whole, and the next
// ones only their record's bytes, leaving the same image as whole erases.
TEST_F(FileSystemTest, AHeaderBlockIsErasedWholeOnceAfterAMount) {
  ASSERT_EQ(StoreNamedFile(*s, "A", Pattern(100, 1)), kStorageAccepted);
  const int current = SelectHeader(*s, nullptr);
  const uint16_t other = current == kHeaderBlockA ? kHeaderBlockB : kHeaderBlockA;
  const uint32_t behind = other * kBlockSize + 2000;
  ProgramPlainByte(*s, behind, 0x5A);  // left behind in the copy not in use
  StorageMount(*s);
  RunStorageToIdle(*s);
  for (int k = 0; k < 4; ++k) {  // headers go to both blocks in turn
    ASSERT_EQ(StoreNamedFile(*s, "B" + std::to_string(k), Pattern(100, 2)), kStorageAccepted);
    EXPECT_EQ(ReadPlainByte(*s, behind), 0xFF) << k;
    EXPECT_TRUE(ImageIsConsistent(*s)) << k;
  }
}

// A run to idle leaves out the erase before each moved block, which the copy
// overwrites at once: the model test sees the files such runs leave, the
// journal test the blocks they mark. A single step, after which a save or
// the journal may read the image, still erases it.
TEST_F(FileSystemTest, ADeletionOneStepAtATimeErasesEachBlockBeforeItsMove) {
  for (uint32_t k = 0; k < 3; ++k) {
    ASSERT_EQ(StoreNamedFile(*s, "F" + std::to_string(k), Pattern(5000, k)), kStorageAccepted);
  }
  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  int moves = 0;
  while (StorageStep(*s) != 0) {  // a save may come between any two
    if (s->fs.state != kStateMoveBlock) continue;
    const uint32_t to = s->fs.header.moveNextBlock;
    EXPECT_EQ(std::memcmp(s->image + to * kBlockSize, s->erasedBlock, kBlockSize), 0) << to;
    ++moves;
  }
  EXPECT_EQ(moves, 4);  // the two blocks of each file behind the first
}

}  // namespace
}  // namespace trelvan
