// The start-up and the exit save on the real POSIX files service: data
// folders at the system's path limit, and the storage file mapped. Links
// planted in the data folder are the files contract's (each rule on this
// backend) and the exit and start-up tests' (the save's temporary and the
// set-aside names, on the fake that keeps the same contract).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/linux/posix_files.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/storage_fixture.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;

class RealDisk : public ::testing::Test {
 protected:
  // A run of the program on `folder`: start-up, `during`, exit. Returns the status.
  int Run(const std::string& folder, const std::function<void(Assistant&)>& during = nullptr) {
    PosixFiles files(folder);
    const Platform platform{fake.window, files, fake.instance, fake.udp, fake.threads, fake.processes,
                            fake.hid, fake.libraries, fake.settings, fake.audio};
    return testing::RunProgram(platform, fake.window, during);
  }
  FakePlatform fake;  // its temporary folder holds all the folders below
  const std::string data = fake.DataPath("data");
  const std::string storage = data + "/Trelvan Assistant Storage 400";
};

// A 3,000-byte path of non-ASCII folder names keeps its storage; a path that
// leaves no room for the file names is refused by name, and nothing is
// written anywhere.
TEST_F(RealDisk, LongDataFolderPathsWorkOrAreRefusedNeverCut) {
  std::string letters;
  for (int i = 0; i < 100; ++i) letters += "\xC3\xA9";  // "é", 200 bytes
  std::string folder = data;
  while (folder.size() < 3000) folder += "/" + letters;
  fs::create_directories(folder);
  EXPECT_EQ(Run(folder, [](Assistant& a) {
              EXPECT_EQ(testing::StoreNamedFile(a.storage, "Kept", {7}), kStorageAccepted);
            }), 0);
  EXPECT_EQ(Run(folder, [](Assistant& a) { EXPECT_GE(StorageFindFile(a.storage, "Kept"), 0); }), 0);

  std::string tooLong = folder;
  while (tooLong.size() < kPathCapacity - 30) {
    tooLong += "/" + std::string(std::min<size_t>(200, kPathCapacity - 30 - tooLong.size()), 'x');
  }
  fs::create_directories(tooLong);
  EXPECT_EQ(Run(tooLong), 1);
  ASSERT_EQ(fake.window.messages.size(), 1u);
  EXPECT_NE(fake.window.messages[0].find("\"" + tooLong + "\""), std::string::npos);
  EXPECT_TRUE(fs::is_empty(tooLong));
  const fs::path parent = fs::path(tooLong).parent_path();
  EXPECT_EQ(std::distance(fs::directory_iterator(parent), fs::directory_iterator()), 1);
}

// The storage file is mapped, not read: the image holds the file's bytes,
// the image's changes never reach the file, and a file of another size is
// not mapped and leaves the memory as it was.
TEST_F(RealDisk, TheStorageFileIsMappedCopyOnWrite) {
  fs::create_directory(data);
  const std::vector<uint8_t> bytes = testing::Pattern(4 * kImageAlignment, 3);
  testing::WriteHostFile(storage, bytes);
  PosixFiles files(data);
  std::unique_ptr<Storage> s(new Storage);
  std::memset(s->image, 0x5A, 4 * kImageAlignment);
  EXPECT_FALSE(files.MapFileCopy(storage.c_str(), s->image, 8 * kImageAlignment));
  EXPECT_EQ(s->image[0], 0x5A);
  ASSERT_TRUE(files.MapFileCopy(storage.c_str(), s->image, 4 * kImageAlignment));
  EXPECT_EQ(std::memcmp(s->image, bytes.data(), bytes.size()), 0);
  s->image[5] = static_cast<uint8_t>(bytes[5] + 1);
  EXPECT_EQ(testing::ReadHostFile(storage), bytes);
  EXPECT_FALSE(files.MappedFileLost());
}

// Another program shortens the storage file while the program runs: the
// pages it took away read as zero bytes, and the run ends with its message
// and status 1, never a crash, and never saves over the file; whether a
// tick touches a lost page first or the exit save does. In a child
// process each: the loss stays the process's.
TEST_F(RealDisk, AStorageFileShortenedUnderneathEndsTheRunWithItsMessage) {
  constexpr uint32_t kLeft = 16 * kBlockSize;
  for (const bool touchedByTick : {true, false}) {
    SCOPED_TRACE(touchedByTick);
    fs::remove_all(data);
    fs::create_directory(data);
    ASSERT_EQ(Run(data), 0);
    ASSERT_EQ(fs::file_size(storage), kImageSize);
    EXPECT_EXIT(
        {
          const int status = Run(data, [&](Assistant& a) {
            fs::resize_file(storage, kLeft);  // the other program
            if (!touchedByTick) return;
            const volatile uint8_t* image = a.storage.image;
            if (image[kImageSize - 1] != 0) std::exit(2);  // lost pages read as zero bytes
            MainWindowMessage(a, Message::Timer, 0, 0, 0);
          });
          bool said = false;
          for (const std::string& m : fake.window.messages) said |= m.find("shortened") != std::string::npos;
          std::fprintf(stderr, "status %d, said %d, %ju bytes\n", status, said,
                       static_cast<uintmax_t>(fs::file_size(storage)));
          std::exit(status == 1 && said && fs::file_size(storage) == kLeft ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "status 1, said 1");
  }
}

}  // namespace
}  // namespace trelvan
