// The Select File page on the compiled page files, browsing real folders
// made in the fake platform's data folder: blocks of sixteen, walking up and
// down, the remembered folder, the path limit and cancel. Its look and which
// names are listed (the extension with its case, no hidden folders) are in
// the golden shot select_file.png, the name order in the platform's folder
// listing test; a chosen file returned and the next call opening in its
// folder in the gui media pages test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

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
  void MakeFile(const std::string& path) { std::ofstream(base + path) << "x"; }
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
  Names Files() { return Names(Page().FileNames, Page().FileNames + Page().FileCount); }
  std::string Path() { return Page().SelectedPath; }
  static int RowsInUse(const SelectFileRow* rows) {
    int n = 0;
    for (int i = 0; i < kSelectRows; ++i) n += rows[i].inUse;
    return n;
  }
  // Clicks the row showing `name` (cut to 31 characters), or row `name` is a number.
  void ClickRow(const SelectFileRow* rows, const std::string& name) {
    for (int i = 0; i < kSelectRows; ++i) {
      if (rows[i].inUse && name.substr(0, kSelectRowNameCapacity - 1) == rows[i].name) return ClickRow(rows[i]);
    }
    ADD_FAILURE() << "no row shows " << name;
  }
  void ClickRow(const SelectFileRow& r) { Click(r.x + 3u, r.y + r.h / 2u); }
  void ClickImage(int role) { ClickOn(Page().image[role]); }
  // Glyph pixels in a row's box: names are drawn black on the list's frame.
  int RowInk(const SelectFileRow& r) {
    int n = 0;
    for (int x = r.x; x < r.x + r.w; ++x)
      for (int y = r.y; y < r.y + r.h; ++y) n += Pixel(x, y) == 0;
    return n;
  }
  // The stored "SelectFileLastPath" data, or "" when there is none.
  std::string StoredPath() {
    const int index = StorageFindFile(a->storage, "SelectFileLastPath");
    if (index < 0) return "";
    const uint16_t i = static_cast<uint16_t>(index);
    EXPECT_EQ(StorageFileSize(a->storage, i), StorageHeaderLength(a->storage, i) + 128u);
    char data[kSelectedPathCapacity + 1] = {};
    StorageReadData(a->storage, i, StorageHeaderLength(a->storage, i), reinterpret_cast<uint8_t*>(data),
                    kSelectedPathCapacity);
    return data;
  }

  std::string base;  // the test's folder, ending in "/"
};

TEST_F(SelectFileTest, TwentyFilesShowInTwoBlocksOfSixteen) {
  for (int i = 0; i < 20; ++i) MakeFile("f" + std::to_string(100 + i) + ".bmp");
  Open(base);
  ASSERT_EQ(Page().FileCount, 20);
  EXPECT_EQ(RowsInUse(Page().FileRows), 16);
  EXPECT_TRUE(ShowsPicture(Page().image[kSelectFileFileNext]));
  EXPECT_FALSE(ShowsPicture(Page().image[kSelectFileFilePrevious]));
  EXPECT_FALSE(ShowsPicture(Page().image[kSelectFileFolderNext]));
  ClickImage(kSelectFileFilePrevious);  // on the first block: nothing
  EXPECT_EQ(Page().FilePage, 0);

  ClickImage(kSelectFileFileNext);
  EXPECT_EQ(Page().FilePage, 1);
  ASSERT_EQ(RowsInUse(Page().FileRows), 4);
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(Page().FileRows[i].name, Page().FileNames[16 + i]);
  EXPECT_GT(RowInk(Page().FileRows[3]), 0);
  EXPECT_EQ(RowInk(Page().FileRows[4]), 0) << "the first block's names are gone";
  EXPECT_TRUE(ShowsPicture(Page().image[kSelectFileFilePrevious]));
  EXPECT_FALSE(ShowsPicture(Page().image[kSelectFileFileNext])) << "wiped, not left standing";

  ClickImage(kSelectFileFileNext);  // on the last block: nothing
  EXPECT_EQ(Page().FilePage, 1);
  ClickImage(kSelectFileFilePrevious);
  EXPECT_EQ(Page().FilePage, 0);
  EXPECT_STREQ(Page().FileRows[0].name, Page().FileNames[0]);
}

TEST_F(SelectFileTest, TheFolderListPagesOnItsOwnControls) {
  for (int i = 0; i < 18; ++i) MakeFolder("d" + std::to_string(100 + i));
  Open(base);
  ASSERT_EQ(Page().FolderCount, 18);
  ClickImage(kSelectFileFolderNext);
  EXPECT_EQ(Page().FolderPage, 1);
  EXPECT_EQ(RowsInUse(Page().FolderRows), 2);
  EXPECT_TRUE(ShowsPicture(Page().image[kSelectFileFolderPrevious]));
  const std::string second = Page().FolderNames[17];
  ClickRow(Page().FolderRows[1]);  // a second-block row enters that folder
  EXPECT_EQ(Path(), base + second + "/");
  EXPECT_EQ(Page().FolderPage, 0);
  EXPECT_FALSE(ShowsPicture(Page().image[kSelectFileFolderPrevious]));
}

TEST_F(SelectFileTest, FoldersAreEnteredAndLeftAndEveryChangeIsStored) {
  MakeFolder("layout/yard");
  MakeFile("layout/yard/engine.bmp");
  Open(base);
  ClickRow(Page().FolderRows, "layout");
  EXPECT_EQ(StoredPath(), base + "layout/");
  ClickRow(Page().FolderRows, "yard");
  EXPECT_EQ(Path(), base + "layout/yard/");
  EXPECT_EQ(Files(), (Names{"engine.bmp"}));
  ClickImage(kSelectFileUpFolder);
  EXPECT_EQ(StoredPath(), base + "layout/");
  EXPECT_EQ(Folders(), (Names{"yard"}));
  EXPECT_EQ(RowInk(Page().FileRows[0]), 0);

  for (int i = 0; i < 40 && Path() != "/"; ++i) {  // up to the root, and no further
    const std::string before = Path();
    ClickImage(kSelectFileUpFolder);
    ASSERT_LT(Path().size(), before.size());
    ASSERT_EQ(before.compare(0, Path().size(), Path()), 0);
  }
  ClickImage(kSelectFileUpFolder);
  EXPECT_EQ(Path(), "/");
  EXPECT_EQ(StoredPath(), "/");
}

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

TEST_F(SelectFileTest, NamesThatWouldPassTheLongestPathRefuseTheClick) {
  const int room = kSelectedPathCapacity - 1 - static_cast<int>(base.size());
  ASSERT_GT(room, 40) << base;
  const std::string fits = "a" + std::string(room - 2, 'f');                 // + "/" = 127
  const std::string tooLong = "b" + std::string(room - 1, 'f');              // + "/" = 128
  const std::string fileFits = "c" + std::string(room - 5, 'f') + ".bmp";     // 127
  const std::string fileTooLong = "d" + std::string(room - 4, 'f') + ".bmp";  // 128
  MakeFolder(tooLong);
  MakeFolder(fits + "/inner");
  MakeFile(fileFits);
  MakeFile(fileTooLong);
  Open(base);
  ClickRow(Page().FolderRows, tooLong);
  ClickRow(Page().FileRows, fileTooLong);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectFilePage);
  EXPECT_EQ(Path(), base);
  ClickRow(Page().FolderRows, fits);  // the row shows 31 characters, the click takes all
  EXPECT_EQ(Path(), base + fits + "/");
  ClickRow(Page().FolderRows[0]);  // "inner" would pass 127
  EXPECT_EQ(Path(), base + fits + "/");
  ClickImage(kSelectFileUpFolder);
  ClickRow(Page().FileRows, fileFits);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(Path(), base + fileFits);
}

TEST_F(SelectFileTest, CancelKeepsTheFolderAndOnlyPressesCount) {
  MakeFolder("layout");
  Open(base);
  ClickRow(Page().FolderRows[0]);
  MoveAndReleaseOn(Page().image[kSelectFileCancel]);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectFilePage);
  ClickImage(kSelectFileCancel);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(TakeSelectedFile(*a, nullptr), kCallCancelled);
  EXPECT_EQ(StoredPath(), base + "layout/");
}

TEST_F(SelectFileTest, TheFirstHundredNamesAreKeptInTheirOrder) {
  for (const char* folder : {"C", "a", "B"}) MakeFolder(folder);
  auto name = [](int i) { return (i % 2 ? "IMG" : "img") + std::to_string(1000 + i).substr(1) + ".bmp"; };
  for (int i = 119; i >= 0; --i) MakeFile(name(i));
  Open(base);
  ASSERT_EQ(Page().FileCount, 97);  // 100 names in all
  for (int i = 0; i < Page().FileCount; ++i) EXPECT_EQ(Page().FileNames[i], name(i));
}

}  // namespace
}  // namespace trelvan
