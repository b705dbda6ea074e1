// The whole-file write: every piece stored, a file of the same name replaced
// only when the new one fits in what the old one leaves.
#include <gtest/gtest.h>

#include "storage/storage_fixture.h"
#include "storage/whole_file.h"

namespace trelvan {
namespace {

using namespace testing;

class WholeFileTest : public StorageTest {
 protected:
  bool Write(const char* name, const std::vector<uint8_t>& data) {
    return StorageWriteRecord(*s, name, "", "Test", "1.00", data.data(),
                              static_cast<uint32_t>(data.size()));
  }
};

// Replaced only when the new file fits in what the old one leaves: the old
// file's two blocks and the one free block take three, not four.
TEST_F(WholeFileTest, ANewFileThatDoesNotFitLeavesTheOldOne) {
  ASSERT_TRUE(Write("Horn~", Pattern(kBlockSize, 4)));  // two blocks with its header
  const uint32_t filler = (s->fs.header.freeBlocks - 1) * kBlockSize - 64;  // one block left
  ASSERT_TRUE(Write("Filler", std::vector<uint8_t>(filler, 0x5A)));
  ASSERT_EQ(s->fs.header.freeBlocks, 1);
  EXPECT_FALSE(Write("Horn~", Pattern(3 * kBlockSize, 5)));
  EXPECT_EQ(StoredData(*s, "Horn~"), Pattern(kBlockSize, 4));
  const std::vector<uint8_t> fits = Pattern(3 * kBlockSize - 100, 6);
  EXPECT_TRUE(Write("Horn~", fits));
  EXPECT_EQ(StoredData(*s, "Horn~"), fits);
  EXPECT_EQ(s->fs.header.fileCount, 2);
  EXPECT_EQ(s->fs.header.freeBlocks, 0);
  EXPECT_FALSE(Write("New", {1}));
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// The 513th file is refused with nothing changed; a replacement still fits.
TEST_F(WholeFileTest, AFullTableTakesOnlyAReplacement) {
  char name[16];
  for (int i = 0; i < kTableEntries; ++i) {
    snprintf(name, sizeof name, "F%d", i);
    ASSERT_TRUE(Write(name, {static_cast<uint8_t>(i)}));
  }
  EXPECT_FALSE(Write("One more", {1}));
  EXPECT_EQ(StorageCreateFile(*s, 0), kStorageTableFull);
  EXPECT_EQ(s->fs.header.freeBlocks, kFileBlocks - kTableEntries);
  EXPECT_EQ(s->fs.state, kStateIdle);
  EXPECT_TRUE(Write("F7", {9, 9}));  // the deletion makes room again
  EXPECT_EQ(StoredData(*s, "F7"), (std::vector<uint8_t>{9, 9}));
  EXPECT_EQ(StorageFileStartBlock(*s, kTableEntries - 1), kFirstFileBlock + kTableEntries - 1);
  EXPECT_EQ(s->fs.header.fileCount, kTableEntries);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

}  // namespace
}  // namespace trelvan
