// Start-up loading (the storage file, the legacy file) and the import of
// resource files from the data folder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "storage/resource_files.h"
#include "storage/storage_fixture.h"

namespace trelvan {
namespace {

using testing::FileContent;
using testing::ImageIsConsistent;
using testing::MakeFormattedStorage;
using testing::Pattern;
using testing::StoredContent;
using testing::StoreNamedFile;

void WriteHostFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

// A storage started the way a new process starts it.
std::unique_ptr<Storage> StartStorage(Files& files) {
  std::unique_ptr<Storage> s(new Storage);
  StorageInit(*s, files);
  if (!s->imageLoaded) {
    FormatStorage(*s);
    RunStorageToIdle(*s);
  }
  return s;
}

class LoadTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  std::string StoragePath() { return platform.DataPath("Trelvan Assistant Storage 400"); }
  std::string LegacyPath() { return platform.DataPath("Trelvan Assistant Storage"); }
};

TEST_F(LoadTest, LegacyFileIsConvertedIntoTheOtherHeaderBlock) {
  const auto kept = FileContent("Old Picture~", Pattern(10000, 4));
  std::vector<uint8_t> legacy;
  int oldBlock = -1;
  uint16_t oldFree = 0;
  {
    auto s = MakeFormattedStorage(platform.files);
    ASSERT_EQ(testing::WriteWholeFile(*s, kept), kStorageAccepted);
    StorageHeader h;
    oldBlock = SelectHeader(*s, &h);
    oldFree = h.freeBlocks;
    legacy.assign(s->image, s->image + kLegacyImageSize);
  }
  WriteHostFile(LegacyPath(), legacy);
  auto s = StartStorage(platform.files);
  EXPECT_EQ(s->imageLoaded, 1);
  StorageHeader h;
  const int block = SelectHeader(*s, &h);
  ASSERT_GE(block, 0);
  EXPECT_EQ(block, 1 - oldBlock);
  EXPECT_EQ(h.freeBlocks, static_cast<uint16_t>(oldFree + 24573));
  RunStorageToIdle(*s);
  ASSERT_EQ(StorageFindFile(*s, "Old Picture~"), 0);
  EXPECT_EQ(StoredContent(*s, 0), kept);
  EXPECT_EQ(ReadHostFile(LegacyPath()), legacy);  // neither changed nor deleted
  EXPECT_FALSE(Exists(StoragePath()));            // written only by the exit save
}

TEST_F(LoadTest, LegacyFileWithoutAHeaderStartsEmptyAndTheStorageFileWins) {
  WriteHostFile(LegacyPath(), std::vector<uint8_t>(8192, 0x00));
  {
    auto s = StartStorage(platform.files);
    EXPECT_EQ(SelectHeader(*s, nullptr), -1);
    EXPECT_EQ(s->fs.header.fileCount, 0);
    EXPECT_EQ(s->fs.header.freeBlocks, 32764);
    StoreNamedFile(*s, "Fresh", Pattern(50, 1));
    ASSERT_TRUE(SaveStorage(*s, platform.files));
  }
  auto s = StartStorage(platform.files);  // both files present: the storage file is read
  EXPECT_EQ(StorageFindFile(*s, "Fresh"), 0);
  EXPECT_EQ(s->fs.header.fileCount, 1);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// A damaged storage file without a valid header counts as empty, and what is
// stored in it afterwards survives the next start.
TEST_F(LoadTest, StorageFileWithoutAHeaderStartsEmptyAndKeepsNewFiles) {
  WriteHostFile(StoragePath(), std::vector<uint8_t>(5 * 4096, 0x00));
  const auto made = FileContent("Made After", Pattern(9000, 6));
  {
    auto s = StartStorage(platform.files);
    EXPECT_EQ(s->fs.header.fileCount, 0);
    ASSERT_EQ(testing::WriteWholeFile(*s, made), kStorageAccepted);
    ASSERT_TRUE(SaveStorage(*s, platform.files));
  }
  auto s = StartStorage(platform.files);
  RunStorageToIdle(*s);
  ASSERT_EQ(StorageFindFile(*s, "Made After"), 0);
  EXPECT_EQ(StoredContent(*s, 0), made);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

class ImportTest : public LoadTest {
 protected:
  void SetUp() override { s = MakeFormattedStorage(platform.files); }
  void Drop(const std::string& name, const std::vector<uint8_t>& content) {
    WriteHostFile(platform.DataPath(name + ".rsc"), content);
  }
  std::unique_ptr<Storage> s;
};

TEST_F(ImportTest, FilesAreStoredWholeAndLeaveTheFolder) {
  const size_t header = FileContent("Six Hundred", {}).size();
  const auto a = FileContent("Six Hundred", Pattern(static_cast<uint32_t>(600 - header), 1));
  ASSERT_EQ(a.size(), 600u);
  const auto b = FileContent("Blocks", Pattern(3 * 4096 + 17, 2));
  Drop("Six Hundred", a);
  Drop("Blocks", b);
  WriteHostFile(platform.DataPath("notes.txt"), {1, 2, 3});
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_TRUE(platform.window.messages.empty());
  for (const auto* want : {&a, &b}) {
    const char* name = want == &a ? "Six Hundred" : "Blocks";
    const int i = StorageFindFile(*s, name);
    ASSERT_GE(i, 0) << name;
    EXPECT_EQ(StoredContent(*s, static_cast<uint16_t>(i)), *want) << name;
    EXPECT_FALSE(Exists(platform.DataPath(std::string(name) + ".rsc"))) << name;
  }
  EXPECT_TRUE(Exists(platform.DataPath("notes.txt")));
  EXPECT_TRUE(ImageIsConsistent(*s));
}

TEST_F(ImportTest, AnEmptyFileGivesAnEntryOfSizeZeroAndTheMachineGoesOn) {
  Drop("Empty", {});
  ImportResourceFiles(*s, platform.files, platform.window);
  ASSERT_EQ(s->fs.header.fileCount, 1);
  EXPECT_EQ(StorageFileSize(*s, 0), 0u);
  EXPECT_EQ(StorageFindFile(*s, "Empty"), -1);  // no header to find it by
  EXPECT_EQ(s->fs.header.freeBlocks, 32764);
  EXPECT_FALSE(Exists(platform.DataPath("Empty.rsc")));
  const auto after = FileContent("After", Pattern(10, 3));
  EXPECT_EQ(testing::WriteWholeFile(*s, after), kStorageAccepted);
  // The empty entry occupies no block: the next file starts where it does.
  EXPECT_EQ(StorageFileStartBlock(*s, 1), 4u);
  EXPECT_EQ(StoredContent(*s, 1), after);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

TEST_F(ImportTest, AReplacedFileMovesToTheEndOfTheTable) {
  StoreNamedFile(*s, "Page", Pattern(5000, 1));
  StoreNamedFile(*s, "Other", Pattern(300, 2));
  const auto other = StoredContent(*s, 1);
  const auto page = FileContent("Page", Pattern(7000, 3));
  Drop("Page", page);
  ImportResourceFiles(*s, platform.files, platform.window);
  ASSERT_EQ(s->fs.header.fileCount, 2);
  EXPECT_EQ(StorageFindFile(*s, "Other"), 0);
  EXPECT_EQ(StorageFindFile(*s, "Page"), 1);
  EXPECT_EQ(StoredContent(*s, 0), other);
  EXPECT_EQ(StoredContent(*s, 1), page);
  EXPECT_TRUE(ImageIsConsistent(*s));
}

// Nothing is lost: a file that does not fit stays in the folder for the next
// start, and the stored file of its name stays as it was.
TEST_F(ImportTest, AFileThatDoesNotFitStaysAndTheOldOneIsKept) {
  const auto old = FileContent("Big", Pattern(100, 1));
  ASSERT_EQ(testing::WriteWholeFile(*s, old), kStorageAccepted);
  const uint32_t free = s->fs.header.freeBlocks;
  // Filler takes all but 10 blocks.
  StoreNamedFile(*s, "Filler", Pattern((free - 10) * 4096 - 100, 2));
  const auto big = FileContent("Big", Pattern(20 * 4096, 3));
  Drop("Big", big);
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_EQ(StorageFindFile(*s, "Big"), 0);
  EXPECT_EQ(StoredContent(*s, 0), old);
  EXPECT_EQ(ReadHostFile(platform.DataPath("Big.rsc")), big);
  EXPECT_TRUE(platform.window.messages.empty());
  // Room made: the next start takes it in.
  StorageDeleteFile(*s, 1);
  RunStorageToIdle(*s);
  ImportResourceFiles(*s, platform.files, platform.window);
  const int i = StorageFindFile(*s, "Big");
  ASSERT_GE(i, 0);
  EXPECT_EQ(StoredContent(*s, static_cast<uint16_t>(i)), big);
  EXPECT_FALSE(Exists(platform.DataPath("Big.rsc")));
}

TEST_F(ImportTest, AHundredAndTwentyFilesTakeTwoStarts) {
  for (int k = 0; k < 120; ++k) {
    const std::string name = "File " + std::to_string(k);
    Drop(name, FileContent(name, Pattern(40, static_cast<uint32_t>(k))));
  }
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_EQ(s->fs.header.fileCount, 100);
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_EQ(s->fs.header.fileCount, 120);
  for (int k = 0; k < 120; ++k) {
    const std::string name = "File " + std::to_string(k);
    ASSERT_GE(StorageFindFile(*s, name.c_str()), 0) << name;
  }
  EXPECT_TRUE(ImageIsConsistent(*s));
}

}  // namespace
}  // namespace trelvan
