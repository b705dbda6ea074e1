// The files service as the core relies on it, the same for the Linux backend
// and the fake one (the tests' stand-in must not behave differently). The
// fake's armed failures are proved by the exit-save and fault tests that arm
// them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/linux/posix_files.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;

template <typename T>
class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratch.DataFolder();
    files = std::make_unique<T>(folder);
  }
  std::string Path(const std::string& name) const { return folder + "/" + name; }
  std::string Read(const std::string& name) {
    const int f = files->OpenRead(Path(name).c_str());
    if (f == kNoFile) return "<none>";
    char buffer[64] = {};
    const uint32_t n = files->ReadFile(f, buffer, sizeof buffer);
    files->CloseFile(f);
    return std::string(buffer, n);
  }
  bool Write(const std::string& name, const std::string& text) {
    const int f = files->OpenWrite(Path(name).c_str());
    if (f == kNoFile) return false;
    const bool whole = files->WriteFile(f, text.data(), static_cast<uint32_t>(text.size())) == text.size();
    return files->FlushFile(f) && files->CloseFile(f) && whole;
  }
  std::vector<std::string> List(const char* pattern) {
    FolderEntry entries[8];
    const uint16_t n = files->ListFolder(folder.c_str(), pattern, entries, 8);
    std::vector<std::string> names;
    for (uint16_t i = 0; i < n; ++i) {
      const std::string name = entries[i].name;
      if (name != "." && name != "..") names.push_back(name + (entries[i].folder ? "/" : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  FakeFiles scratch;  // owns the temporary folder both backends work in
  std::string folder;
  std::unique_ptr<Files> files;
};

using Backends = ::testing::Types<PosixFiles, FakeFiles>;
TYPED_TEST_SUITE(FilesContract, Backends);

TYPED_TEST(FilesContract, FilesAndFoldersBehaveAlike) {
  Files& f = *this->files;
  ASSERT_TRUE(this->Write("a.rsc", "first"));
  ASSERT_TRUE(this->Write("b.rsc", "second file"));
  EXPECT_FALSE(this->Write("a.rsc", "again"));  // a new file only, never over one
  EXPECT_EQ(this->Read("a.rsc"), "first");
  fs::create_directory(this->Path("c.rsc"));

  const int handle = f.OpenRead(this->Path("b.rsc").c_str());
  uint32_t size = 0;
  EXPECT_TRUE(f.FileSize(handle, &size));
  EXPECT_EQ(size, 11u);
  EXPECT_TRUE(f.CloseFile(handle));
  EXPECT_FALSE(f.CloseFile(handle));  // a handle closes once
  EXPECT_EQ(f.OpenRead(this->Path("c.rsc").c_str()), kNoFile);  // a folder is no file
  EXPECT_EQ(f.OpenRead(this->Path("missing").c_str()), kNoFile);

  EXPECT_EQ(this->List("*.rsc"), (std::vector<std::string>{"a.rsc", "b.rsc", "c.rsc/"}));
  EXPECT_EQ(this->List("?.RSC"), std::vector<std::string>{});  // names keep their case

  PathInfo info{};
  ASSERT_TRUE(f.PathAttributes(this->Path("b.rsc").c_str(), &info));
  EXPECT_EQ(info.folder, 0);
  EXPECT_EQ(info.size, 11u);
  ASSERT_TRUE(f.PathAttributes(this->Path("c.rsc").c_str(), &info));
  EXPECT_EQ(info.folder, 1);
  EXPECT_FALSE(f.PathAttributes(this->Path("missing").c_str(), &info));

  EXPECT_TRUE(f.RenameFile(this->Path("b.rsc").c_str(), this->Path("a.rsc").c_str()));
  EXPECT_EQ(this->Read("a.rsc"), "second file");
  EXPECT_TRUE(f.DeleteFile(this->Path("a.rsc").c_str()));
  EXPECT_FALSE(f.DeleteFile(this->Path("a.rsc").c_str()));
  EXPECT_FALSE(f.DeleteFile(this->Path("c.rsc").c_str()));  // not a folder
  EXPECT_EQ(this->List("*"), std::vector<std::string>{"c.rsc/"});
}

// A link, dangling or not, is never written through, moved onto or removed
// with its target.
TYPED_TEST(FilesContract, LinksAreNeverFollowedByAWrite) {
  Files& f = *this->files;
  ASSERT_TRUE(this->Write("target", "keep"));
  ASSERT_TRUE(this->Write("from", "new"));
  fs::create_symlink(this->Path("target"), this->Path("link"));
  fs::create_symlink(this->Path("nowhere"), this->Path("dangling"));
  for (const char* link : {"link", "dangling"}) {
    EXPECT_FALSE(this->Write(link, "through")) << link;
    EXPECT_FALSE(f.RenameToNew(this->Path("from").c_str(), this->Path(link).c_str())) << link;
    EXPECT_TRUE(f.DeleteFile(this->Path(link).c_str())) << link;
  }
  EXPECT_EQ(this->Read("target"), "keep");
  EXPECT_FALSE(fs::exists(fs::symlink_status(this->Path("nowhere"))));
  EXPECT_TRUE(f.RenameToNew(this->Path("from").c_str(), this->Path("link").c_str()));
  EXPECT_EQ(this->Read("link"), "new");
}

// An update writes at offsets inside the file, keeping its length, and
// reaches a link's target, the link staying one.
TYPED_TEST(FilesContract, AnUpdateWritesInPlaceThroughALink) {
  Files& f = *this->files;
  ASSERT_TRUE(this->Write("target", "0123456789"));
  fs::create_symlink(this->Path("target"), this->Path("link"));
  EXPECT_EQ(f.OpenUpdate(this->Path("missing").c_str()), kNoFile);
  const int h = f.OpenUpdate(this->Path("link").c_str());
  ASSERT_NE(h, kNoFile);
  EXPECT_EQ(f.WriteFileAt(h, 6, "ab", 2), 2u);
  EXPECT_EQ(f.WriteFileAt(h, 1, "X", 1), 1u);
  EXPECT_TRUE(f.FlushFile(h));
  EXPECT_TRUE(f.CloseFile(h));
  EXPECT_EQ(this->Read("target"), "0X2345ab89");
  EXPECT_TRUE(fs::is_symlink(this->Path("link")));
}

TYPED_TEST(FilesContract, ASizeBeyond32BitsIsNotGiven) {
  std::ofstream(this->Path("huge"));
  fs::resize_file(this->Path("huge"), (uint64_t{1} << 32) + 5);  // sparse: costs no disk
  const int handle = this->files->OpenRead(this->Path("huge").c_str());
  uint32_t size = 7;
  EXPECT_FALSE(this->files->FileSize(handle, &size));
  EXPECT_EQ(size, 7u);
  PathInfo info{};
  ASSERT_TRUE(this->files->PathAttributes(this->Path("huge").c_str(), &info));
  EXPECT_EQ(info.size, (uint64_t{1} << 32) + 5);
}

// The two rules every backend lists folders by: wildcards, and name order.
TEST(FolderListing, WildcardsAndNameOrder) {
  const struct { const char* pattern; const char* name; bool fold, matches; } wildcards[] = {
      {"*.rsc", "TA Common.rsc", false, true}, {"*.rsc", "TA Common.RSC", false, false},
      {"*.rsc", "TA Common.RSC", true, true},  {"?.bmp", "ab.bmp", false, false},
      {"a*b*c", "aXbYbZc", false, true},       {"*", "", false, true},
      {"a*", "ba", false, false},
  };
  for (const auto& w : wildcards) {
    EXPECT_EQ(MatchesPattern(w.pattern, w.name, w.fold), w.matches) << w.pattern << " " << w.name;
  }
  const struct { const char* a; const char* b; int order; } names[] = {
      {"apple", "Banana", -1}, {"Zoo", "ant", 1}, {"img", "img1", -1},
      {"IMG1", "img1", -1},    {"img1", "IMG1", 1}, {"same", "same", 0},
  };
  for (const auto& n : names) EXPECT_EQ(CompareEntryNames(n.a, n.b), n.order) << n.a << " " << n.b;
}

// An environment variable set (nullptr: unset) until the end of the scope.
class EnvSet {
 public:
  EnvSet(const char* name, const char* value) : name_(name), had_(getenv(name) != nullptr) {
    if (had_) old_ = getenv(name);
    Put(value);
  }
  ~EnvSet() { Put(had_ ? old_.c_str() : nullptr); }
  void Put(const char* value) const { value ? setenv(name_, value, 1) : unsetenv(name_); }

 private:
  const char* name_;
  bool had_;
  std::string old_;
};

// The file browser opens in the home folder on Linux; without one, at the root.
TEST(PosixFiles, StartsInTheHomeFolder) {
  const EnvSet home("HOME", nullptr);
  const struct { const char* home; const char* start; } cases[] = {
      {"/home/hobbyist", "/home/hobbyist/"}, {"/home/hobbyist/", "/home/hobbyist/"},
      {"relative", "/"}, {nullptr, "/"}};
  for (const auto& c : cases) {
    home.Put(c.home);
    EXPECT_STREQ(PosixFiles("/tmp").StartFolder(), c.start) << (c.home ? c.home : "none");
  }
}

// The handle table is fixed: the 65th file open at once is refused, a
// closed handle's slot is used again, and a handle written on another
// thread (the journal's writer) keeps its file while the window's thread
// opens and closes others. A folder is synced; a missing one is not.
TYPED_TEST(FilesContract, HandlesAreFixedAndOneIsWrittenBesideTheOthers) {
  Files& f = *this->files;
  ASSERT_TRUE(this->Write("r", "read me"));
  const int written = f.OpenWrite(this->Path("journal").c_str());
  ASSERT_NE(written, kNoFile);
  std::thread writer([&] {
    for (int i = 0; i < 2000; ++i) EXPECT_EQ(f.WriteFile(written, "0123456789", 10), 10u);
    EXPECT_TRUE(f.FlushFile(written));
  });
  std::vector<int> open;
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 20; ++i) open.push_back(f.OpenRead(this->Path("r").c_str()));
    for (int h : open) EXPECT_TRUE(f.CloseFile(h));
    open.clear();
  }
  writer.join();
  EXPECT_TRUE(f.CloseFile(written));
  EXPECT_EQ(fs::file_size(this->Path("journal")), 20000u);

  for (int i = 0; i < kOpenFileCapacity; ++i) open.push_back(f.OpenRead(this->Path("r").c_str()));
  EXPECT_EQ(std::count(open.begin(), open.end(), kNoFile), 0);
  EXPECT_EQ(f.OpenRead(this->Path("r").c_str()), kNoFile);
  EXPECT_TRUE(f.CloseFile(open[7]));
  EXPECT_EQ(f.OpenRead(this->Path("r").c_str()), open[7]);
  for (int h : open) f.CloseFile(h);

  EXPECT_TRUE(f.SyncFolder(this->folder.c_str()));
  EXPECT_FALSE(f.SyncFolder(this->Path("missing").c_str()));
}

// A relative HOME or XDG_DATA_HOME would put the data wherever the program
// happened to start: either counts as not set.
TEST(LinuxDataFolder, RelativeHomesCountAsNone) {
  const EnvSet data("TRELVAN_DATA_DIR", nullptr);
  const EnvSet home("HOME", "/home/someone");
  const EnvSet xdg("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(LinuxDataFolder(), "/home/someone/.local/share/Trelvan Assistant");
  xdg.Put(nullptr);
  home.Put("relative/home");
  const std::string folder = LinuxDataFolder();  // the password database's home, or none
  EXPECT_TRUE(folder.empty() || folder[0] == '/') << folder;
  EXPECT_EQ(folder.find("relative"), std::string::npos) << folder;
}

}  // namespace
}  // namespace trelvan
