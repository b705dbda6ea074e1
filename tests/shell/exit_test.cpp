// The exit sequence: disk-space messages, the ways it is reached, and the
// save that fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/file_system.h"
#include "storage/journal_writer.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

const char kLow[] = "Disk Memory is very low!";
const char kTooLow[] = "Disk Memory too low to save error!";

// A quit request runs the exit sequence at the next tick; the status is 1
// when the storage was not saved. The low-disk warning shows once a process.
TEST(ExitSequence, DiskSpaceThresholds) {
  const struct { uint32_t freeMegabytes; int status; std::vector<std::string> messages; } cases[] = {
      {0, 1, {kLow, kTooLow}}, {2068, 1, {kLow, kTooLow}}, {2069, 0, {kLow}}, {2087, 0, {kLow}},
      {2088, 0, {}}};
  for (const auto& c : cases) {
    FakePlatform platform;
    auto a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
    platform.files.freeMegabytes = c.freeMegabytes;
    a->input.QuitRequested = 1;
    MainWindowMessage(*a, Message::Timer, 0, 0, 0);
    EXPECT_TRUE(platform.window.quitPosted);
    EXPECT_EQ(platform.window.quitCode, c.status) << c.freeMegabytes;
    EXPECT_TRUE(platform.window.timerStopped);
    EXPECT_EQ(a->input.QuitRequested, 0);
    EXPECT_EQ(platform.window.messages, c.messages) << c.freeMegabytes;
    a->input.QuitRequested = 1;
    MainWindowMessage(*a, Message::Paint, 0, 0, 0);
    const auto& m = platform.window.messages;
    EXPECT_EQ(std::count(m.begin(), m.end(), kLow), c.messages.empty() ? 0 : 1) << c.freeMegabytes;
  }
}

using testing::Exists;

// Which file is at `path`: a save replaces it by another one, never
// writes into it.
std::string Identity(const std::string& path) {
  struct stat st{};
  stat(path.c_str(), &st);
  return std::to_string(st.st_ino) + ":" + std::to_string(st.st_mtim.tv_nsec) + ":" +
         std::to_string(st.st_size);
}

// A change larger than one journal commit: the save writes the whole file.
void StoreTooMuchForTheJournal(Assistant& a) {
  const std::vector<uint8_t> data(size_t{kJournalMaxCommitBlocks} * kBlockSize, 1);
  EXPECT_TRUE(StorageWriteRecord(a.storage, "Big", "", "Text", "1.00", data.data(),
                                 static_cast<uint32_t>(data.size())));
}

class ExitSave : public ::testing::Test {
 protected:
  int Run(const std::function<void(Assistant&)>& work = nullptr) {
    return testing::RunProgram(platform, platform.window, work);
  }
  FakePlatform platform;
  const std::string path = platform.DataPath("Trelvan Assistant Storage 400");
};

// Every way the save can fail is said with the file and the reason, ends
// the process with status 1 and leaves the previous file as it was.
TEST_F(ExitSave, AFailedSaveIsSaidAndKeepsThePreviousFile) {
  ASSERT_EQ(Run(), 0);
  const std::string previous = Identity(path);
  const std::pair<std::function<void()>, std::string> failures[] = {
      {[&] { platform.files.failOpenWrite = true; }, "no new file could be made in its folder"},
      {[&] { platform.files.writeBudget = 1000; }, "writing stopped part-way; the disk may be full"},
      {[&] { platform.files.failFlush = true; }, "the data could not be written through to the disk"},
      {[&] { platform.files.failRename = true; }, "the new file could not take the old one's place"},
      {[&] { platform.files.readOnly.insert(path); }, "the file is read-only, so it was not replaced"},
  };
  for (const auto& [arm, reason] : failures) {
    const auto work = [&arm = arm](Assistant& a) {
      StoreTooMuchForTheJournal(a);
      arm();
    };
    EXPECT_EQ(Run(work), 1) << reason;
    EXPECT_EQ(platform.window.messages, std::vector<std::string>{"The storage could not be saved to \"" + path +
                                                                 "\": " + reason + ". Any earlier storage file "
                                                                 "there is unchanged."});
    EXPECT_EQ(Identity(path), previous) << reason;
    EXPECT_FALSE(Exists(path + ".new")) << reason;
    platform.files.failOpenWrite = platform.files.failFlush = platform.files.failRename = false;
    platform.files.writeBudget = -1;
    platform.files.readOnly.clear();
  }
  // The save replaces it and keeps its permissions.
  chmod(path.c_str(), 0640);
  EXPECT_EQ(Run(StoreTooMuchForTheJournal), 0);
  EXPECT_NE(Identity(path), previous);
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A resource file taken in stays in the folder until an exit save has
// written the storage that holds it: a failed save leaves it to be taken
// in again. A process killed before its exit, and the files gone after a
// save, are the gui main page test's.
TEST_F(ExitSave, ResourceFilesStayUntilTheStorageIsSaved) {
  const std::string rsc = platform.DataPath("Page.rsc");
  std::ofstream(rsc, std::ios::binary) << std::string("\2Page\0\0T\0\0\0\3data", 16);
  std::ofstream(path + ".new") << "left by a save cut short";
  platform.files.failRename = true;
  EXPECT_EQ(Run([&](Assistant& a) {
              EXPECT_EQ(StorageFindFile(a.storage, "Page"), 0);
              EXPECT_FALSE(Exists(path + ".new"));  // the stale temporary went at the start
            }),
            1);
  EXPECT_TRUE(Exists(rsc));
  platform.files.failRename = false;
  // Saved, but the file cannot go: no harm, the next start takes it in
  // again in place of the stored one (the import test's).
  platform.files.failDelete = true;
  EXPECT_EQ(Run(), 0);
}

// The save goes past a folder put at its temporary's name (and makes the
// next name its own, whatever was put there while the program ran), syncs
// the folder after its rename, and keeps a storage file that is a link a
// link: the target is replaced, in its own folder.
TEST_F(ExitSave, TheSaveGoesPastAFolderAtItsTemporaryAndKeepsALink) {
  namespace fs = std::filesystem;
  const uint8_t data[] = {5};
  const std::vector<std::string>& synced = platform.files.folderSyncs;
  const auto store = [&](const char* name) {
    return [&data, name](Assistant& a) {
      StoreTooMuchForTheJournal(a);
      EXPECT_TRUE(StorageWriteRecord(a.storage, name, "", "Text", "1.00", data, sizeof data));
    };
  };
  ASSERT_EQ(Run(), 0);
  fs::create_directory(path + ".new");
  platform.files.folderSyncs.clear();
  EXPECT_EQ(Run([&](Assistant& a) {
              store("PastTheFolder")(a);
              std::ofstream(path + ".new.2") << "put there while the program ran";
            }), 0);
  EXPECT_TRUE(fs::is_directory(path + ".new"));
  EXPECT_FALSE(fs::exists(path + ".new.2"));
  EXPECT_FALSE(fs::exists(path + ".new.3"));
  EXPECT_NE(std::find(synced.begin(), synced.end(), platform.files.DataFolder()), synced.end());

  const std::string elsewhere = platform.DataPath("elsewhere");
  fs::create_directory(elsewhere);
  fs::rename(path, elsewhere + "/storage");
  fs::create_symlink(elsewhere + "/storage", path);
  platform.files.folderSyncs.clear();
  EXPECT_EQ(Run(store("ThroughTheLink")), 0);
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_FALSE(fs::exists(elsewhere + "/storage.new"));
  EXPECT_NE(std::find(synced.begin(), synced.end(), fs::canonical(elsewhere).string()), synced.end());
  EXPECT_EQ(Run([](Assistant& a) {  // started again through the link
              EXPECT_GE(StorageFindFile(a.storage, "PastTheFolder"), 0);
              EXPECT_GE(StorageFindFile(a.storage, "ThroughTheLink"), 0);
            }), 0);
}

}  // namespace
}  // namespace trelvan
