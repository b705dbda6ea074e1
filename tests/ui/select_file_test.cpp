// The Select File page on the compiled page files, browsing real folders
// made in the fake platform's data folder: the root, above which Up goes
// nowhere, the remembered folder, the first hundred names. Golden scripts
// hold blocks of sixteen (select_file_blocks.run), walking in and up, each
// change remembered (select_file_walk.run), the
// path limit (select_file_long.run), cancel and the folder remembered for
// the next call (select_file_cancel.run), the look and which names are
// listed (select_file_walk.run: the extension with its case, no hidden folders);
// the name order is the platform's folder listing test's, a chosen file
// returned and the next call opening in its folder the gui media pages
// test's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "ui/page_fixture.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {
namespace {

using Names = std::set<std::string>;

class SelectFileTest : public testing::PageTest {
 protected:
  void SetUp() override {
    StartOnCompiledPages();
    base = platform.DataPath("browse") + "/";
    std::filesystem::create_directory(base);
  }
  SelectFilePage& Page() { return a->ui.selectFile; }
  void MakeFolder(const std::string& path) { std::filesystem::create_directories(base + path); }

  // The caller's part: remember `folder` (unless empty), then request the
  // page from the main page, drawn first.
  void Open(const std::string& folder, const char* extension = ".bmp") {
    if (!folder.empty()) {
      CopyText(folder.c_str(), Page().SelectedPath, kSelectedPathCapacity);
      SaveLastPath(*a);
    }
    Show(kMainPage);
    RequestSelectFile(*a, extension, kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSelectFilePage);
  }
  Names Folders() { return Names(Page().FolderNames, Page().FolderNames + Page().FolderCount); }
  std::string Path() { return Page().SelectedPath; }
  void ClickImage(int role) { ClickOn(Page().image[role]); }
  // The stored "SelectFileLastPath" data (128 bytes) up to its zero, or "" when there is none.
  std::string StoredPath() {
    const std::vector<uint8_t> data = testing::StoredData(a->storage, "SelectFileLastPath");
    EXPECT_TRUE(data.empty() || data.size() == 128u) << data.size();
    return std::string(data.begin(), std::find(data.begin(), data.end(), 0));
  }

  std::string base;  // the test's folder, ending in "/"
};

// No remembered folder, one that cannot be listed, or one from another
// system: the page opens at the platform's root, above which nothing lies.
TEST_F(SelectFileTest, WithoutAUsableRememberedFolderThePageOpensAtTheRoot) {
  platform.files.root = base;  // stands for "C:\\" or "/"
  MakeFolder("inside");
  for (const std::string remembered : {"", "missing/", "C:\\Users\\Trains\\"}) {
    Open(remembered.empty() || remembered[0] == 'C' ? remembered : base + remembered);
    EXPECT_EQ(Path(), base) << remembered;
    EXPECT_EQ(Folders(), (Names{"inside"}));
    EXPECT_TRUE(!remembered.empty() || StoredPath().empty());
  }
  ClickImage(kSelectFileUpFolder);
  EXPECT_EQ(Path(), base);
}

// Where the system has drives, Up at a root lists them and a drive opens
// its root (here the stand-in's drives are folders); the system's drive
// mask gives the roots in order.
TEST_F(SelectFileTest, UpAtARootReachesTheOtherDrives) {
  char roots[3][kDriveRootCapacity];
  ASSERT_EQ(DriveRoots(0x3FFFFFF & ~0x3u, roots, 3), 3);  // all but A and B
  EXPECT_STREQ(roots[0], "C:\\");
  EXPECT_STREQ(roots[2], "E:\\");
  ASSERT_EQ(DriveRoots(0x1u << 25, roots, 3), 1);
  EXPECT_STREQ(roots[0], "Z:\\");
  MakeFolder("c/pictures");
  MakeFolder("stick/sounds");
  platform.files.root = base + "c/";
  platform.files.drives = {base + "c/", base + "stick/"};
  Open(base + "c/pictures/");
  ClickImage(kSelectFileUpFolder);
  ClickImage(kSelectFileUpFolder);
  EXPECT_EQ(Folders(), (Names{base + "c/", base + "stick/"}));
  EXPECT_EQ(Page().FileCount, 0);
  ClickImage(kSelectFileUpFolder);  // nothing above the drives
  ClickOn(&Page().FolderRows[1]);
  EXPECT_EQ(Path(), base + "stick/");
  EXPECT_EQ(StoredPath(), base + "stick/");
  EXPECT_EQ(Folders(), (Names{"sounds"}));
}

TEST_F(SelectFileTest, TheFirstHundredNamesAreKeptInTheirOrder) {
  for (const char* folder : {"C", "a", "B"}) MakeFolder(folder);
  auto name = [](int i) { return (i % 2 ? "IMG" : "img") + std::to_string(1000 + i).substr(1) + ".bmp"; };
  for (int i = 119; i >= 0; --i) std::ofstream(base + name(i)) << "x";
  Open(base);
  ASSERT_EQ(Page().FileCount, 97);  // 100 names in all
  for (int i = 0; i < Page().FileCount; ++i) EXPECT_EQ(Page().FileNames[i], name(i));
}

}  // namespace
}  // namespace trelvan
