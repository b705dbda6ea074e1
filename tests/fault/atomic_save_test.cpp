// The exit save under failure: a save that stops half-way, cannot rename or
// cannot open its temporary, and a process killed while saving, all leave the
// previous storage file byte for byte as it was and the next start reads it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "storage/storage_fixture.h"

namespace trelvan {
namespace {

using testing::FileContent;
using testing::MakeFormattedStorage;
using testing::Pattern;
using testing::StoredContent;
using testing::StoreNamedFile;

const char kStorageName[] = "Trelvan Assistant Storage 400";

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  return names;
}

// Whether the file at `path` holds exactly `image`.
::testing::AssertionResult FileHolds(const std::string& path, const std::vector<uint8_t>& image) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return ::testing::AssertionFailure() << path << " does not open";
  std::vector<uint8_t> chunk(1 << 20);
  size_t at = 0;
  for (;;) {
    const size_t n = std::fread(chunk.data(), 1, chunk.size(), f);
    if (n == 0) break;
    if (at + n > image.size() || std::memcmp(chunk.data(), image.data() + at, n) != 0) {
      std::fclose(f);
      return ::testing::AssertionFailure() << "the file differs within bytes " << at << " to "
                                           << at + n;
    }
    at += n;
  }
  std::fclose(f);
  if (at != image.size()) {
    return ::testing::AssertionFailure() << "the file has " << at << " bytes, expected "
                                         << image.size();
  }
  return ::testing::AssertionSuccess();
}

class AtomicSave : public ::testing::Test {
 protected:
  void SetUp() override {
    s = MakeFormattedStorage(p.files);
    path = p.DataPath(kStorageName);
    ASSERT_EQ(std::string(s->path), path);
    ASSERT_EQ(StoreNamedFile(*s, "Kept", Pattern(9000, 1)), kStorageAccepted);
    ASSERT_TRUE(SaveStorage(*s, p.files));
    previous.assign(s->image, s->image + kImageSize);
    kept = StoredContent(*s, 0);
    // The run after that save changes the image: this is what a failed save
    // must not leave half-written over the previous file.
    ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
    RunStorageToIdle(*s);
    ASSERT_EQ(StoreNamedFile(*s, "Changed", Pattern(20000, 2)), kStorageAccepted);
  }

  // The previous file is intact, alone in the folder, and a new start reads
  // its file back.
  void ExpectPreviousFileIntact() {
    EXPECT_TRUE(FileHolds(path, previous));
    EXPECT_EQ(FolderNames(p.files.DataFolder()), std::vector<std::string>{kStorageName})
        << "a temporary file was left behind";
    std::unique_ptr<Storage> next(new Storage);
    StorageInit(*next, p.files);
    RunStorageToIdle(*next);
    ASSERT_EQ(next->fs.header.fileCount, 1);
    EXPECT_EQ(StoredContent(*next, 0), kept);
  }

  // Once the failure is gone the save replaces the file.
  void ExpectNextSaveWorks() {
    ASSERT_TRUE(SaveStorage(*s, p.files));
    EXPECT_TRUE(FileHolds(path, std::vector<uint8_t>(s->image, s->image + kImageSize)));
    EXPECT_EQ(FolderNames(p.files.DataFolder()), std::vector<std::string>{kStorageName});
  }

  FakePlatform p;
  std::unique_ptr<Storage> s;
  std::string path;
  std::vector<uint8_t> previous;
  std::vector<uint8_t> kept;
};

TEST_F(AtomicSave, WriteStoppingHalfWayLeavesThePreviousFile) {
  for (int64_t budget : {int64_t{0}, int64_t{kImageSize / 2}, int64_t{kImageSize - 1}}) {
    SCOPED_TRACE(budget);
    p.files.writeBudget = budget;
    EXPECT_FALSE(SaveStorage(*s, p.files));
    p.files.writeBudget = -1;
    ExpectPreviousFileIntact();
  }
  ExpectNextSaveWorks();
}

TEST_F(AtomicSave, FailedRenameLeavesThePreviousFile) {
  p.files.failRename = true;
  EXPECT_FALSE(SaveStorage(*s, p.files));
  p.files.failRename = false;
  ExpectPreviousFileIntact();
  ExpectNextSaveWorks();
}

TEST_F(AtomicSave, FailedOpenLeavesThePreviousFile) {
  p.files.failOpenWrite = true;
  EXPECT_FALSE(SaveStorage(*s, p.files));
  p.files.failOpenWrite = false;
  ExpectPreviousFileIntact();
  ExpectNextSaveWorks();
}

// Writes in 1 MB pieces with a pause after each, so that a save lasts long
// enough to be killed in the middle.
class SlowDisk : public FakeFiles {
 public:
  explicit SlowDisk(const std::string& folder) : FakeFiles(folder) {}
  uint32_t WriteFile(int file, const void* data, uint32_t count) override {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t written = 0;
    while (written < count) {
      const uint32_t n = count - written < (1u << 20) ? count - written : (1u << 20);
      const uint32_t w = FakeFiles::WriteFile(file, bytes + written, n);
      written += w;
      if (w != n) break;
      usleep(3000);
    }
    return written;
  }
};

TEST_F(AtomicSave, ProcessKilledDuringTheSaveLeavesThePreviousFile) {
  const std::string temporary = path + ".new";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SlowDisk disk(p.files.DataFolder());
    SaveStorage(*s, disk);
    _exit(0);
  }
  // Kill it once the temporary holds a few megabytes, well before its end.
  bool started = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    struct stat st;
    if (stat(temporary.c_str(), &st) == 0 && st.st_size >= (8 << 20)) {
      started = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(started) << "the save never got under way";
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "the save finished before it could be killed";
  struct stat st;
  ASSERT_EQ(stat(temporary.c_str(), &st), 0) << "no half-written temporary: not killed mid-save";
  EXPECT_LT(st.st_size, static_cast<off_t>(kImageSize));

  EXPECT_TRUE(FileHolds(path, previous));
  std::unique_ptr<Storage> next(new Storage);
  StorageInit(*next, p.files);
  RunStorageToIdle(*next);
  ASSERT_EQ(next->fs.header.fileCount, 1);
  EXPECT_EQ(StoredContent(*next, 0), kept);
  // The leftover temporary does not stand in the way of the next save.
  ExpectNextSaveWorks();
}

}  // namespace
}  // namespace trelvan
