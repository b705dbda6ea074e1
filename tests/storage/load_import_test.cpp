// Start-up loading (the storage file, the legacy file) and the import of
// resource files from the data folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/resource_files.h"
#include "storage/storage_fixture.h"

namespace trelvan {
namespace {

using namespace testing;

class LoadTest : public StorageTest {
 protected:
  std::string LegacyPath() { return platform.DataPath("Trelvan Assistant Storage"); }
  void Drop(const std::string& name, const std::vector<uint8_t>& content) {
    WriteHostFile(platform.DataPath(name + ".rsc"), content);
  }
};
using ImportTest = LoadTest;

// A legacy file: the first 8,000 blocks of a storage whose header counts
// the 7,996 file blocks there were.
std::vector<uint8_t> LegacyImage(Storage& s, uint16_t* freeBlocks) {
  StorageHeader h;
  const int current = SelectHeader(s, &h);
  h.freeBlocks = static_cast<uint16_t>(kLegacyImageSize / kBlockSize - kFirstFileBlock -
                                       (kFileBlocks - h.freeBlocks));
  const uint16_t other = current == 0 ? kHeaderBlockB : kHeaderBlockA;
  EraseBlock(s, other);
  WriteHeaderRecord(s, other, h);
  ProgramPlainByte(s, static_cast<uint32_t>(current) * kBlockSize, 0x00);
  *freeBlocks = h.freeBlocks;
  return std::vector<uint8_t>(s.image, s.image + kLegacyImageSize);
}

TEST_F(LoadTest, LegacyFileIsConvertedIntoTheOtherHeaderBlock) {
  const auto kept = FileContent("Old Picture~", Pattern(10000, 4));
  ASSERT_EQ(WriteWholeFile(*s, kept), kStorageAccepted);
  uint16_t oldFree = 0;
  const std::vector<uint8_t> legacy = LegacyImage(*s, &oldFree);
  const int oldBlock = SelectHeader(*s, nullptr);
  WriteHostFile(LegacyPath(), legacy);
  s.reset(new Storage);  // a new process's, loaded from the files it finds
  StorageInit(*s, platform.files);
  ASSERT_EQ(s->imageLoaded, 1);
  EXPECT_EQ(s->loadResult, kLoadLegacyFile);
  StorageHeader h;
  ASSERT_EQ(SelectHeader(*s, &h), 1 - oldBlock);
  EXPECT_EQ(h.freeBlocks, static_cast<uint16_t>(oldFree + 24573));
  RunStorageToIdle(*s);
  ASSERT_EQ(StorageFindFile(*s, "Old Picture~"), 0);
  EXPECT_EQ(StoredContent(*s, 0), kept);
  EXPECT_TRUE(ImageIsConsistent(*s));  // 195 blocks short for good: the checks accept it
  EXPECT_EQ(ReadHostFile(LegacyPath()), legacy);  // neither changed nor deleted
  EXPECT_FALSE(Exists(platform.DataPath("Trelvan Assistant Storage 400")));  // written only by the exit save

  // Saved and started again it is an ordinary storage file.
  StoreNamedFile(*s, "New", Pattern(50, 1));
  ASSERT_TRUE(SaveStorage(*s, platform.files));
  s.reset(new Storage);
  StorageInit(*s, platform.files);
  ASSERT_EQ(s->imageLoaded, 1);
  EXPECT_EQ(s->loadResult, kLoadStorageFile);
  EXPECT_EQ(StorageFindFile(*s, "New"), 1);
}

// A file taken in stays in the folder until the exit save has written the
// storage; then it goes, unless it was replaced while the program ran. A
// stored file of the same name gives way, and its replacement goes to the
// end of the table.
TEST_F(ImportTest, FilesAreStoredWholeAndRemovedOnlyAfterwards) {
  StoreNamedFile(*s, "Blocks", Pattern(5000, 1));
  StoreNamedFile(*s, "Other", Pattern(300, 2));
  const auto other = StoredContent(*s, 1);
  const auto blocks = FileContent("Blocks", Pattern(3 * 4096 + 17, 2));
  Drop("Blocks", blocks);
  Drop("Replaced", FileContent("Replaced", {1}));
  WriteHostFile(platform.DataPath("notes.txt"), {1, 2, 3});
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_TRUE(platform.window.messages.empty());
  ASSERT_EQ(s->fs.header.fileCount, 3);
  EXPECT_EQ(StoredContent(*s, 0), other);
  const int i = StorageFindFile(*s, "Blocks");
  ASSERT_GE(i, 1);
  EXPECT_EQ(StoredContent(*s, static_cast<uint16_t>(i)), blocks);
  EXPECT_TRUE(Exists(platform.DataPath("Blocks.rsc")));
  EXPECT_TRUE(ImageIsConsistent(*s));

  const auto newer = FileContent("Replaced", {2});
  Drop("Replaced", newer);
  RemoveImportedResourceFiles(*s, platform.files);
  EXPECT_FALSE(Exists(platform.DataPath("Blocks.rsc")));
  EXPECT_EQ(ReadHostFile(platform.DataPath("Replaced.rsc")), newer);
  EXPECT_TRUE(Exists(platform.DataPath("notes.txt")));
}

// What cannot be taken in stays (or, without a header, becomes ".rsc.bad"),
// one message names it all, and the files behind it are still taken in.
TEST_F(ImportTest, TheImportGoesOnAndSaysWhatItLeft) {
  ASSERT_EQ(mkdir(platform.DataPath("A Folder.rsc").c_str(), 0755), 0);
  Drop("Broken", {0x02, 'B', 0, 0, 0, 0, 0});  // no end mark
  Drop("Empty", {});
  Drop("Nameless", {0x02, 0, 0, 0, 0, 0, 0x03, 1});
  Drop("Locked", FileContent("Locked", {1}));
  platform.files.unreadable.insert(platform.DataPath("Locked.rsc"));
  const std::string longName(250, 'L');
  Drop(longName, FileContent("Long", {1}));
  Drop("Huge", {});
  ASSERT_EQ(truncate(platform.DataPath("Huge.rsc").c_str(), off_t{kImageSize}), 0);
  Drop("Good", FileContent("Good", Pattern(100, 1)));

  ImportResourceFiles(*s, platform.files, platform.window);
  ASSERT_EQ(platform.window.messages.size(), 1u);
  const std::string& m = platform.window.messages[0];
  for (const char* said :
       {"\"A Folder.rsc\" is a folder", "\"Locked.rsc\" could not be read",
        "\"Huge.rsc\" is larger than the whole storage",
        "\"Broken.rsc\" is not a resource file; it was renamed to \"Broken.rsc.bad\"",
        "\"Empty.rsc\" is not", "\"Nameless.rsc\" is not"}) {
    EXPECT_NE(m.find(said), std::string::npos) << said << " in\n" << m;
  }
  EXPECT_EQ(m.find("Good"), std::string::npos) << m;
  EXPECT_EQ(m.find("Long"), std::string::npos) << m;  // the longest name the disk allows
  ASSERT_EQ(s->fs.header.fileCount, 2);
  EXPECT_GE(StorageFindFile(*s, "Good"), 0);
  EXPECT_GE(StorageFindFile(*s, "Long"), 0);
  for (const char* bad : {"Broken", "Empty", "Nameless"}) {
    EXPECT_FALSE(Exists(platform.DataPath(std::string(bad) + ".rsc"))) << bad;
    EXPECT_TRUE(Exists(platform.DataPath(std::string(bad) + ".rsc.bad"))) << bad;
  }
  RemoveImportedResourceFiles(*s, platform.files);
  EXPECT_FALSE(Exists(platform.DataPath("Good.rsc")));
  for (const std::string left : {"Locked", "Huge"}) {
    EXPECT_TRUE(Exists(platform.DataPath(left + ".rsc"))) << left;
  }
}

// Nothing is lost: a file that does not fit stays in the folder for the next
// start, and the stored file of its name stays as it was. The room the stored
// file of its name would leave counts.
TEST_F(ImportTest, AFileThatDoesNotFitStaysAndTheOldOneIsKept) {
  const auto old = FileContent("Big", Pattern(100, 1));
  ASSERT_EQ(WriteWholeFile(*s, old), kStorageAccepted);
  const uint32_t free = s->fs.header.freeBlocks;
  // A block of Small, and Filler takes all but 10 of the rest.
  StoreNamedFile(*s, "Small", Pattern(100, 4));
  StoreNamedFile(*s, "Filler", Pattern((free - 11) * 4096 - 100, 2));
  const auto big = FileContent("Big", Pattern(11 * 4096, 3));  // 12 blocks: one too many
  Drop("Big", big);
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_EQ(StorageFindFile(*s, "Big"), 0);
  EXPECT_EQ(StoredContent(*s, 0), old);
  EXPECT_EQ(ReadHostFile(platform.DataPath("Big.rsc")), big);
  EXPECT_EQ(platform.window.messages,
            std::vector<std::string>{"Some resource files in \"" +
                                     std::string(platform.files.DataFolder()) +
                                     "\" were not taken into the storage:\n"
                                     "1 file waits until the storage has room for it."});
  // Small gone, it fits in what the old one leaves: the next start takes it in.
  StorageDeleteFile(*s, 1);
  RunStorageToIdle(*s);
  RemoveImportedResourceFiles(*s, platform.files);
  ImportResourceFiles(*s, platform.files, platform.window);
  const int i = StorageFindFile(*s, "Big");
  ASSERT_GE(i, 0);
  EXPECT_EQ(StoredContent(*s, static_cast<uint16_t>(i)), big);
}

TEST_F(ImportTest, AHundredAndTwentyFilesTakeTwoStarts) {
  for (int k = 0; k < 120; ++k) {
    const std::string name = "File " + std::to_string(k);
    Drop(name, FileContent(name, Pattern(40, static_cast<uint32_t>(k))));
  }
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_EQ(s->fs.header.fileCount, 100);
  RemoveImportedResourceFiles(*s, platform.files);  // the exit save wrote them
  ImportResourceFiles(*s, platform.files, platform.window);
  EXPECT_EQ(s->fs.header.fileCount, 120);
  for (int k = 0; k < 120; ++k) {
    ASSERT_GE(StorageFindFile(*s, ("File " + std::to_string(k)).c_str()), 0) << k;
  }
  EXPECT_TRUE(ImageIsConsistent(*s));
}

}  // namespace
}  // namespace trelvan
