// The exit save cut off: a write that stops half-way, a failing open or
// rename, and a real process killed while it saves. The storage file must
// keep the previous image byte for byte.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fault/step_cut_fixture.h"

namespace trelvan {
namespace testing {
namespace {

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

int64_t FileBytes(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

// The whole file at `path`, or an empty vector.
std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  bytes.resize(kImageSize + 1);  // one more: a longer file shows
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  return bytes;
}

class SaveCutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = MakeFormattedStorage(p.files);
    oldFiles = StoreFiles({5000, 3 * kBlockSize}, 1);
    ASSERT_TRUE(SaveStorage(*s, p.files));
    oldImage.assign(s->image, s->image + kImageSize);
    // The session goes on: one file more, one less.
    ASSERT_EQ(StoreNamedFile(*s, "Later", Pattern(9000, 7)), kStorageAccepted);
    ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
    RunStorageToIdle(*s);
    ASSERT_NE(std::memcmp(s->image, oldImage.data(), kImageSize), 0);
  }

  Files StoreFiles(const std::vector<uint32_t>& sizes, uint32_t seed) {
    Files files;
    for (size_t i = 0; i < sizes.size(); ++i) {
      files.push_back(FileContent("Old" + std::to_string(i), Pattern(sizes[i], seed + uint32_t(i))));
      EXPECT_EQ(WriteWholeFile(*s, files.back()), kStorageAccepted);
    }
    return files;
  }

  std::string StoragePath() const { return s->path; }
  std::string TemporaryPath() const { return StoragePath() + ".new"; }

  // The storage file still holds the previous image, and a new start reads
  // the previous files from it.
  void ExpectPreviousStorage() {
    ASSERT_EQ(FileBytes(StoragePath()), int64_t(kImageSize));
    std::unique_ptr<Storage> restarted(new Storage);
    StorageInit(*restarted, p.files);
    EXPECT_EQ(restarted->imageLoaded, 1);
    EXPECT_EQ(std::memcmp(restarted->image, oldImage.data(), kImageSize), 0)
        << "the previous storage file was changed";
    RunStorageToIdle(*restarted);
    EXPECT_TRUE(ImageIsConsistent(*restarted));
    EXPECT_EQ(StoredFiles(*restarted), oldFiles);
  }

  // A later save that works replaces the file with the current image.
  void ExpectNextSaveWorks() {
    p.files.writeBudget = -1;
    p.files.failOpenWrite = p.files.failRename = false;
    ASSERT_TRUE(SaveStorage(*s, p.files));
    EXPECT_FALSE(FileExists(TemporaryPath()));
    const std::vector<uint8_t> onDisk = ReadWhole(StoragePath());
    ASSERT_EQ(onDisk.size(), size_t(kImageSize));
    EXPECT_EQ(std::memcmp(onDisk.data(), s->image, kImageSize), 0);
  }

  FakePlatform p;
  std::unique_ptr<Storage> s;
  Files oldFiles;
  std::vector<uint8_t> oldImage;
};

TEST_F(SaveCutTest, WriteThatStopsHalfWay) {
  p.files.writeBudget = kImageSize / 2 + 123;
  EXPECT_FALSE(SaveStorage(*s, p.files));
  EXPECT_FALSE(FileExists(TemporaryPath()));
  ExpectPreviousStorage();
  ExpectNextSaveWorks();
}

TEST_F(SaveCutTest, WriteThatStopsOneByteShort) {
  p.files.writeBudget = kImageSize - 1;
  EXPECT_FALSE(SaveStorage(*s, p.files));
  EXPECT_FALSE(FileExists(TemporaryPath()));
  ExpectPreviousStorage();
  ExpectNextSaveWorks();
}

TEST_F(SaveCutTest, RenameThatFails) {
  p.files.failRename = true;
  EXPECT_FALSE(SaveStorage(*s, p.files));
  EXPECT_FALSE(FileExists(TemporaryPath()));
  ExpectPreviousStorage();
  ExpectNextSaveWorks();
}

TEST_F(SaveCutTest, OpenThatFails) {
  p.files.failOpenWrite = true;
  EXPECT_FALSE(SaveStorage(*s, p.files));
  EXPECT_FALSE(FileExists(TemporaryPath()));
  ExpectPreviousStorage();
  ExpectNextSaveWorks();
}

// Files that report over a pipe when the save reaches a point and then wait
// there for its end.
class StallingFiles : public FakeFiles {
 public:
  StallingFiles(const std::string& folder, int pipe, bool beforeRename)
      : FakeFiles(folder), pipe_(pipe), beforeRename_(beforeRename) {}
  uint32_t WriteFile(int file, const void* data, uint32_t count) override {
    if (beforeRename_) return FakeFiles::WriteFile(file, data, count);
    const uint32_t half = count / 2;
    const uint32_t written = FakeFiles::WriteFile(file, data, half);
    Stall();
    return written + FakeFiles::WriteFile(file, static_cast<const uint8_t*>(data) + half,
                                          count - half);
  }
  bool RenameFile(const char* from, const char* to) override {
    if (beforeRename_) Stall();
    return FakeFiles::RenameFile(from, to);
  }

 private:
  void Stall() {
    const char c = 'x';
    if (write(pipe_, &c, 1) != 1) _exit(3);
    for (;;) pause();
  }
  int pipe_;
  bool beforeRename_;
};

class SaveKilledTest : public SaveCutTest, public ::testing::WithParamInterface<bool> {};

// A real process saving to the real storage file is killed with SIGKILL
// half-way through its write, or with the temporary complete before the
// rename.
TEST_P(SaveKilledTest, LeavesThePreviousFile) {
  const bool beforeRename = GetParam();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string folder = p.files.DataFolder();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    StallingFiles stalling(folder, fds[1], beforeRename);
    SaveStorage(*s, stalling);
    _exit(2);  // the save ended without being stopped
  }
  close(fds[1]);
  char c = 0;
  const ssize_t got = read(fds[0], &c, 1);
  close(fds[0]);
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(got, 1) << "the child did not reach the point to be killed at";
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  // The killed save leaves its temporary behind, as far as it got.
  EXPECT_EQ(FileBytes(TemporaryPath()),
            beforeRename ? int64_t(kImageSize) : int64_t(kImageSize / 2));
  ExpectPreviousStorage();
  ExpectNextSaveWorks();
}

INSTANTIATE_TEST_SUITE_P(DuringWriteOrBeforeRename, SaveKilledTest, ::testing::Bool());

// Killed after a few different delays without any hook: the storage file is
// always one of the two whole images, never a mixture.
TEST_F(SaveCutTest, KilledAfterDelaysHoldsOneWholeImage) {
  const std::vector<uint8_t> newImage(s->image, s->image + kImageSize);
  int oldSeen = 0, newSeen = 0;
  for (useconds_t delay : {0u, 5000u, 30000u, 150000u}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SaveStorage(*s, p.files);
      for (;;) pause();  // wait to be killed
    }
    usleep(delay);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const std::vector<uint8_t> onDisk = ReadWhole(StoragePath());
    ASSERT_EQ(onDisk.size(), size_t(kImageSize)) << "after " << delay << " us";
    if (std::memcmp(onDisk.data(), oldImage.data(), kImageSize) == 0) {
      ++oldSeen;
    } else if (std::memcmp(onDisk.data(), newImage.data(), kImageSize) == 0) {
      ++newSeen;
      // Back to the previous file for the next delay.
      FILE* f = std::fopen(StoragePath().c_str(), "wb");
      ASSERT_NE(f, nullptr);
      ASSERT_EQ(std::fwrite(oldImage.data(), 1, kImageSize, f), size_t(kImageSize));
      std::fclose(f);
    } else {
      ADD_FAILURE() << "after " << delay << " us the storage file is neither image";
    }
  }
  EXPECT_EQ(oldSeen + newSeen, 4);
  ExpectPreviousStorage();
  ExpectNextSaveWorks();
}

}  // namespace
}  // namespace testing
}  // namespace trelvan
