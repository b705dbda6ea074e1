// Start-up: the revision record, the setup record, an unusable storage
// file and the program's own page files. A second running copy is the gui
// main page test's (its message, its end, the storage file and a waiting
// resource file left untouched).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>
#include <tuple>

#include "storage/storage_image.h"
#include "ui/page_file.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;
using testing::WriteWholeFile;
using Record = std::vector<uint8_t>;

Record Stored(const char* name, const char* type, const Record& data, const char* version = "1.00") {
  return testing::FileContent(name, data, type, version);
}

std::vector<uint8_t> RevisionData(const char* text) {
  std::vector<uint8_t> data(7, 0);
  memcpy(data.data(), text, strlen(text) < 7 ? strlen(text) : 7);
  return data;
}

// An assistant started only when a test says so.
class StartUpTest : public testing::PageTest {
 protected:
  void SetUp() override {}
  void Start() { PageTest::SetUp(); }
  // Saves a storage holding `records` as the storage file, then starts an
  // assistant on it.
  void StartWith(const std::vector<std::vector<uint8_t>>& records) {
    {
      auto s = testing::MakeFormattedStorage(platform.files);
      for (const auto& r : records) ASSERT_EQ(WriteWholeFile(*s, r), kStorageAccepted);
      ASSERT_TRUE(SaveStorage(*s, platform.files));
    }
    Start();
  }
  // The data of "Revision" and where it stands in the table.
  std::vector<uint8_t> StoredRevision(int* index) {
    *index = StorageFindFile(a->storage, "Revision");
    return testing::StoredData(a->storage, "Revision");
  }
};

// The first run writes the revision record (that it stores no setup record
// and says nothing, the golden scripts check); a later one leaves a
// matching record and replaces any other.
TEST_F(StartUpTest, TheRevisionRecordIsWrittenUnlessItMatches) {
  Start();
  int index = -1;
  EXPECT_EQ(StoredRevision(&index), RevisionData("4.01"));
  EXPECT_EQ(index, 0);

  const auto other = Stored("Other", "Text", {1, 2, 3});
  StartWith({Stored("Revision", "Revision", {'4', '.', '0', '1', 0, 9, 9}), other});
  EXPECT_EQ(StoredRevision(&index)[5], 9);  // untouched, bytes after the zero included
  EXPECT_EQ(index, 0);

  // Another text, or a record too short to hold "4.01", its zero and two bytes.
  const std::vector<std::vector<uint8_t>> stale = {
      RevisionData("4.00"), RevisionData("4.011"), RevisionData("4.01x"), RevisionData(""),
      {'4', '.', '0', '1'}, {'4', '.', '0', '1', 0}};
  for (const auto& data : stale) {
    const std::string text(data.begin(), data.end());
    StartWith({Stored("Revision", "Revision", data), other});
    EXPECT_EQ(StoredRevision(&index), RevisionData("4.01")) << text;
    EXPECT_EQ(index, 1) << text;  // rewritten at the end of the table
    EXPECT_EQ(StorageFindFile(a->storage, "Other"), 0);
  }
}

// A record shorter than two bytes gives the defaults (the bytes behind it
// read 0xFF); writing it back replaces the one record.
TEST_F(StartUpTest, SetupRecordIsReadAndWrittenBack) {
  for (const std::vector<uint8_t>& data : std::vector<std::vector<uint8_t>>{{}, {1}, {1, 1}}) {
    StartWith({Stored("Setup400", "Setup", data, "2.00")});
    const int set = data.size() == 2 ? 1 : 0;
    EXPECT_EQ(a->setup.keyboardLayout, set) << data.size();
    EXPECT_EQ(a->setup.useOlderUsbDrivers, set) << data.size();
  }
  const uint16_t files = a->storage.fs.header.fileCount;
  a->setup.useOlderUsbDrivers = 0;
  WriteSetupRecord(a->storage, a->setup);
  ReadSetupRecord(a->storage, a->setup);
  EXPECT_EQ(a->setup.keyboardLayout, 1);
  EXPECT_EQ(a->setup.useOlderUsbDrivers, 0);
  EXPECT_EQ(a->storage.fs.header.fileCount, files);
}

// A storage file the program cannot use is set aside beside itself (the
// one new name that is free), said, and a new, empty storage starts; the
// exit save then writes a new file and leaves the set-aside one alone.
TEST_F(StartUpTest, AnUnusableStorageFileIsSetAsideAndSaid) {
  const std::string storage = platform.DataPath("Trelvan Assistant Storage 400");
  const std::string legacy = platform.DataPath("Trelvan Assistant Storage");
  const auto write = [](const std::string& path, size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
  };
  const auto size = [](const std::string& f) { return fs::is_directory(f) ? 0 : fs::file_size(f); };
  // How the file is spoilt, what is said, the file and the suffix it is set aside with.
  const struct { std::function<void()> make; std::string problem, file, aside; } cases[] = {
      {[&] {  // 8 KiB of damage in the header blocks of a good file
         StartWith({Stored("Other", "Text", {1})});
         std::fstream(storage, std::ios::binary | std::ios::in | std::ios::out) << std::string(8192, 0);
       },
       "The storage file is damaged", storage, ".damaged"},
      {[&] { write(storage, 5 * 4096); }, "The storage file has the wrong size", storage, ".damaged"},
      {[&] {
         write(storage, 0);
         ASSERT_EQ(truncate(storage.c_str(), kImageSize), 0);
         platform.files.unreadable = {storage};
       },
       "The storage file could not be read", storage, ".damaged"},
      {[&] { fs::create_directory(storage); }, "The storage file could not be read", storage, ".damaged"},
      {[&] { write(storage, 100), write(storage + ".damaged", 1); }, "The storage file has the wrong size",
       storage, ".damaged.2"},
      {[&] { write(legacy, 8192); }, "The old storage file has the wrong size", legacy, ".damaged"},
  };
  for (const auto& c : cases) {
    fs::remove_all(platform.files.DataFolder());
    fs::create_directory(platform.files.DataFolder());
    platform.files.unreadable.clear();
    c.make();
    const auto before = size(c.file);
    const std::string aside = c.file + c.aside;
    platform.window.messages.clear();
    Start();
    EXPECT_EQ(platform.window.messages,
              std::vector<std::string>{c.problem + ", so it was set aside as \"" + aside +
                                       "\" and a new, empty storage was started."});
    EXPECT_FALSE(fs::exists(c.file)) << c.problem;
    EXPECT_EQ(size(aside), before) << aside;
    EXPECT_EQ(a->storage.fs.header.fileCount, 1);  // the new revision record
  }
  MainWindowMessage(*a, Message::Destroy, 0, 0, 0);
  EXPECT_EQ(platform.window.quitCode, 0);
  EXPECT_EQ(fs::file_size(storage), kImageSize);
  EXPECT_EQ(fs::file_size(legacy + ".damaged"), 8192u);

  // One that cannot even be renamed is never saved over.
  write(storage, 5);
  platform.files.failRename = true;
  Start();
  EXPECT_NE(platform.window.messages.back().find("has the wrong size and could not be set aside"),
            std::string::npos);
  MainWindowMessage(*a, Message::Destroy, 0, 0, 0);
  EXPECT_EQ(platform.window.quitCode, 1);
  EXPECT_NE(platform.window.messages.back().find(": the damaged file there could not be set aside"),
            std::string::npos);
  EXPECT_EQ(fs::file_size(storage), 5u);
}

// Page data of one picture and one control of each kind; `colour` (the
// picture's one pixel) tells pages apart.
Record SmallPage(int colour) {
  return testing::TestPageFile{{testing::SolidPicture(1, 1, static_cast<uint16_t>(colour))},
                               {{0, 0, 10, 10, kSourcePageFile, 0}},
                               {{0, 20, 10, 10, 0, 0, 0, 0}}}.Data();
}

// The program's page files fill in what the storage lacks, holds in another
// version or holds only in files that do not load as pages; same versions,
// the user's files of "TA " names (even one named like a page, or a pushed
// page file that does not load) and files of the folder without that
// prefix stay, and pages are read from the program's own.
TEST_F(StartUpTest, TheProgramsOwnPageFilesReplaceMissingAndOtherVersions) {
  platform.files.resourceFolder = platform.DataPath("program");
  fs::create_directory(platform.files.resourceFolder);
  std::map<std::string, std::vector<uint8_t>> own;
  for (const auto& [name, type, colour] : {std::tuple{"TA MainPage", "Page", 1}, {"TA Common", "Pictures", 2},
                                           {"TA PageSetup", "Page", 3}, {"TA EditPage", "Page", 4},
                                           {"Extra", "Page", 5}}) {
    own[name] = Stored(name, type, SmallPage(colour), "4.1.0");
    testing::WriteHostFile(platform.DataPath("program/") + name + ".rsc", own[name]);
  }
  const auto junk = Stored("TA MainPage", "Page", testing::Pattern(2040, 9), "4.1.0");
  const auto userEditPage = Stored("TA EditPage", "Acc. Project", {40});
  const auto keptSetup = Stored("TA PageSetup", "Page", SmallPage(30), "4.1.0");
  StartWith({Stored("TA Common", "Pictures", SmallPage(20), "1.00"), keptSetup, userEditPage,
             Stored("TA Layout", "Acc. Project", {50}), junk});
  const std::vector<std::tuple<const char*, std::vector<uint8_t>, int>> expected = {
      {"TA MainPage", own["TA MainPage"], 2}, {"TA Common", own["TA Common"], 1},
      {"TA PageSetup", keptSetup, 1},         {"TA EditPage", own["TA EditPage"], 2}};
  for (const auto& [name, content, stored] : expected) {
    PageFile f;
    ASSERT_TRUE(OpenPageFile(a->storage, name, &f)) << name;
    EXPECT_EQ(testing::StoredContent(a->storage, f.index), content) << name;
    EXPECT_EQ(testing::CountStored(a->storage, name), stored) << name;
  }
  // the user's files as they were, first of their names
  EXPECT_EQ(testing::StoredContent(a->storage, StorageFindFile(a->storage, "TA MainPage")), junk);
  EXPECT_EQ(testing::StoredContent(a->storage, StorageFindFile(a->storage, "TA EditPage")), userEditPage);
  EXPECT_EQ(testing::StoredData(a->storage, "TA Layout"), std::vector<uint8_t>{50});
  EXPECT_EQ(StorageFindFile(a->storage, "Extra"), -1);
  EXPECT_TRUE(platform.window.messages.empty());
  EXPECT_TRUE(testing::Exists(platform.DataPath("program/TA MainPage.rsc")));
}

// A journal of another storage file (an older copy put back) is set aside
// unused, and a journal ending in a record cut short gives back what was
// committed; each said in one message, and the next start says nothing.
// A killed run's changes brought back are the kill test's, the journal gone
// after the exit save the gui session end test's.
TEST_F(StartUpTest, AJournalOfAnotherCopyOrCutShortIsSetAsideAndSaid) {
  const std::string storage = platform.DataPath("Trelvan Assistant Storage 400");
  const std::string journal = storage + ".journal";
  // A change the tick commits; then the process is gone without an exit.
  const auto changeAndVanish = [&](const char* name) {
    const uint8_t data[] = {1, 2, 3};
    ASSERT_TRUE(StorageWriteRecord(a->storage, name, "", "Text", "1.00", data, sizeof data));
    Send(Message::Timer);
    const uint32_t commits = a->journal.commits;  // the start-up's changes and this one
    ASSERT_GE(commits, 1u);
    while (a->journal.writer.durable.load() < commits) std::this_thread::yield();
    a.reset();
  };
  const auto startSaying = [&](const char* said, const std::string& aside) {
    platform.window.messages.clear();
    Start();
    ASSERT_EQ(platform.window.messages.size(), 1u);
    EXPECT_NE(platform.window.messages[0].find(said), std::string::npos);
    EXPECT_TRUE(testing::Exists(aside));
  };
  Start();
  Send(Message::Destroy);
  const auto older = testing::ReadHostFile(storage);
  Start();
  ASSERT_TRUE(StorageWriteRecord(a->storage, "Saved", "", "Text", "1.00", nullptr, 0));
  Send(Message::Destroy);  // a newer storage file, which the journal below is of
  Start();
  changeAndVanish("Newer");
  testing::WriteHostFile(storage, older);
  startSaying("belong to another copy of the storage file", journal + ".damaged");
  EXPECT_EQ(StorageFindFile(a->storage, "Newer"), -1);

  changeAndVanish("Kept");
  std::ofstream(journal, std::ios::app) << "BLK1 cut short";
  startSaying("the unfinished rest", journal + ".damaged.2");
  EXPECT_GE(StorageFindFile(a->storage, "Kept"), 0);
  a.reset();
  platform.window.messages.clear();
  Start();  // saved at the last start: nothing more to say
  EXPECT_GE(StorageFindFile(a->storage, "Kept"), 0);
  EXPECT_TRUE(platform.window.messages.empty());
}

// A data folder that is not there (and could not be made) is said at the
// start with its path; the run ends with status 1 and makes nothing.
TEST_F(StartUpTest, AMissingDataFolderIsSaidAtTheStart) {
  const std::string missing = platform.DataPath("not made/Trelvan Assistant");
  FakePlatform elsewhere(missing);
  auto b = std::make_unique<Assistant>(elsewhere);
  MainWindowCreated(*b);
  MainWindowMessage(*b, Message::Timer, 0, 0, 0);  // the exit runs at the first message
  ASSERT_EQ(elsewhere.window.messages.size(), 1u);
  EXPECT_PRED_FORMAT2(::testing::IsSubstring, "\"" + missing + "\" does not exist", elsewhere.window.messages[0]);
  EXPECT_TRUE(elsewhere.window.quitPosted);
  EXPECT_EQ(elsewhere.window.quitCode, 1);
  EXPECT_FALSE(fs::exists(platform.DataPath("not made")));
}

}  // namespace
}  // namespace trelvan
