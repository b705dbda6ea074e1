// The Select File page on a test page file, browsing real folders made in the
// fake platform's data folder: which names are listed, blocks of sixteen,
// walking up and down, the remembered folder, the path limit and cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "ui/page_fixture.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {
namespace {

using testing::PageTest;
using testing::SolidPicture;
using testing::StorePageFile;
using testing::TestPageFile;

using testing::kWhite;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr int32_t kCaller = kMainPage;  // a page with handlers, so the return is drawn

// Picture 0 red 20 x 20, 1 blue 40 x 30, 2 grey list background 274 x 336,
// 3 grey path background 640 x 21, 4 green block arrow 40 x 30.
TestPageFile SelectFilePageFile() {
  TestPageFile page;
  page.pictures = {SolidPicture(20, 20, 0x001F), SolidPicture(40, 30, 0xF800),
                   SolidPicture(274, 336, 0xC618), SolidPicture(640, 21, 0xC618),
                   SolidPicture(40, 30, 0x07E0)};
  page.images = {
      {0, 0, 20, 20, kSourcePageFile, 0},        // decoration
      {90, 100, 274, 336, kSourcePageFile, 2},   // folder list background, under its label
      {454, 100, 274, 336, kSourcePageFile, 2},  // file list background, under its label
      {20, 540, 40, 30, kSourcePageFile, 1},     // cancel
      {90, 90, 640, 21, kSourcePageFile, 3},     // behind the path line
      {740, 90, 40, 30, kSourcePageFile, 1},     // up one folder
      {300, 470, 40, 30, kSourcePageFile, 4},    // folder list next
      {100, 470, 40, 30, kSourcePageFile, 4},    // folder list previous
      {460, 470, 40, 30, kSourcePageFile, 4},    // file list previous
      {660, 470, 40, 30, kSourcePageFile, 4},    // file list next
  };
  page.texts = {{0, 30, 800, 30, 2, kTextCentred, 0x0000, 0xFFFF},
                {90, 100, 100, 20, 0, kTextNoBackground, 0x0000, 0xFFFF},
                {454, 100, 100, 20, 0, kTextNoBackground, 0x0000, 0xFFFF},
                {20, 90, 60, 20, 0, kTextNoBackground, 0x0000, 0xFFFF},
                {300, 540, 200, 20, 0, kTextNoBackground, 0x0000, 0xFFFF},
                {300, 560, 200, 20, 0, kTextNoBackground, 0x0000, 0xFFFF},
                {92, 92, 636, 19, 0, kTextNoBackground, 0x0000, 0xFFFF}};
  return page;
}

class SelectFileTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    StorePageFile(a->storage, "TA SelectFile", SelectFilePageFile());
    base = platform.DataPath("browse") + "/";
    std::filesystem::create_directory(base);
  }

  void MakeFile(const std::string& path) { std::ofstream(base + path) << "x"; }
  void MakeFolder(const std::string& path) { std::filesystem::create_directories(base + path); }

  // The caller's part: remember `folder`, set the extension, switch, draw.
  void Open(const std::string& folder, const char* extension = ".bmp") {
    CopyText(folder.c_str(), a->ui.selectFile.SelectedPath, kSelectedPathCapacity);
    SaveLastPath(*a);
    Enter(extension);
  }
  void Enter(const char* extension = ".bmp") {
    CopyText(extension, a->ui.selectFile.SelectFileExtension, kSelectFileExtensionCapacity);
    a->ui.selectFile.SelectFileReturnPage = kCaller;
    a->ui.pages.CurrentPage = kSelectFilePage;
    Send(Message::Timer);
  }

  static std::set<std::string> Names(const char (*names)[kSelectedPathCapacity], uint16_t count) {
    return std::set<std::string>(names, names + count);
  }
  std::set<std::string> Folders() const {
    return Names(a->ui.selectFile.FolderNames, a->ui.selectFile.FolderCount);
  }
  std::set<std::string> Files() const {
    return Names(a->ui.selectFile.FileNames, a->ui.selectFile.FileCount);
  }
  static int RowsInUse(const SelectFileRow* rows) {
    int n = 0;
    for (int i = 0; i < kSelectRows; ++i) n += rows[i].inUse;
    return n;
  }
  // The row showing `name` (cut to 31 characters), or -1.
  static int RowOf(const SelectFileRow* rows, const std::string& name) {
    const std::string shown = name.substr(0, kSelectRowNameCapacity - 1);
    for (int i = 0; i < kSelectRows; ++i) {
      if (rows[i].inUse && shown == rows[i].name) return i;
    }
    return -1;
  }
  void ClickFolderRow(int row) { Click(95, static_cast<uint32_t>(130 + 21 * row)); }
  void ClickFileRow(int row) { Click(459, static_cast<uint32_t>(130 + 21 * row)); }
  void ClickUp() { Click(750, 100); }
  void ClickCancel() { Click(30, 550); }

  int BlackPixels(int x, int y, int w, int h) const {
    int n = 0;
    for (int i = x; i < x + w; ++i)
      for (int j = y; j < y + h; ++j) n += Pixel(i, j) == kBlack;
    return n;
  }
  int FolderRowInk(int row) const { return BlackPixels(90, 125 + 21 * row, 274, 21); }
  int FileRowInk(int row) const { return BlackPixels(454, 125 + 21 * row, 274, 21); }

  // The stored "SelectFileLastPath" data, or "" when there is none.
  std::string StoredPath() const {
    const Storage& s = a->storage;
    const int index = StorageFindFile(s, "SelectFileLastPath");
    if (index < 0) return "";
    const uint16_t i = static_cast<uint16_t>(index);
    char data[kSelectedPathCapacity + 1] = {};
    StorageReadData(s, i, StorageHeaderLength(s, i), reinterpret_cast<uint8_t*>(data),
                    kSelectedPathCapacity);
    return data;
  }

  std::string base;  // the test's folder, ending in "/"
};

TEST_F(SelectFileTest, ExtensionIsComparedWithItsLetterCase) {
  MakeFile("Station.bmp");
  MakeFile("Station.BMP");
  MakeFile("X.BMP");
  MakeFile("bmp");
  MakeFile("track.bmpx");
  MakeFile("sound.wav");
  MakeFolder("pictures.bmp");
  Open(base);
  EXPECT_EQ(Files(), (std::set<std::string>{"Station.bmp"}));
  EXPECT_EQ(Folders(), (std::set<std::string>{"pictures.bmp"}));

  a->ui.pages.CurrentPage = kCaller;
  Send(Message::Timer);
  Enter(".BMP");
  EXPECT_EQ(Files(), (std::set<std::string>{"Station.BMP", "X.BMP"}));
}

TEST_F(SelectFileTest, HiddenFoldersAreLeftOutButHiddenFilesAreListed) {
  MakeFolder(".cache");
  MakeFolder("visible");
  MakeFile(".hidden.bmp");
  MakeFile("shown.bmp");
  Open(base);
  // "." and ".." are not listed either.
  EXPECT_EQ(Folders(), (std::set<std::string>{"visible"}));
  EXPECT_EQ(Files(), (std::set<std::string>{".hidden.bmp", "shown.bmp"}));
  EXPECT_EQ(RowsInUse(a->ui.selectFile.FolderRows), 1);
  EXPECT_GT(BlackPixels(90, 100, 100, 20), 0);  // "Directory" on the list background
  EXPECT_GT(FolderRowInk(0), 0);
  EXPECT_EQ(FolderRowInk(1), 0);
}

TEST_F(SelectFileTest, TwentyFilesShowInTwoBlocksOfSixteen) {
  for (int i = 0; i < 20; ++i) MakeFile("f" + std::to_string(100 + i) + ".bmp");
  Open(base);
  const SelectFilePage& f = a->ui.selectFile;
  ASSERT_EQ(f.FileCount, 20);
  EXPECT_EQ(RowsInUse(f.FileRows), 16);
  EXPECT_GT(FileRowInk(15), 0);
  EXPECT_EQ(Pixel(665, 475), kGreen);  // next block offered
  EXPECT_EQ(Pixel(465, 475), kWhite);  // previous block not
  EXPECT_EQ(Pixel(305, 475), kWhite);  // the folder list has one block only

  Click(465, 475);  // previous on the first block: nothing
  EXPECT_EQ(f.FilePage, 0);

  Click(665, 475);
  EXPECT_EQ(f.FilePage, 1);
  EXPECT_EQ(RowsInUse(f.FileRows), 4);
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(f.FileRows[i].name, f.FileNames[16 + i]);
  EXPECT_GT(FileRowInk(3), 0);
  EXPECT_EQ(FileRowInk(4), 0);  // the first block's names are gone
  EXPECT_EQ(Pixel(465, 475), kGreen);
  EXPECT_EQ(Pixel(665, 475), kWhite);  // next is wiped, not left from the first block
  EXPECT_GT(BlackPixels(454, 100, 100, 20), 0);  // "File" on the list background again

  Click(665, 475);  // next on the last block: nothing
  EXPECT_EQ(f.FilePage, 1);
  Click(465, 475);
  EXPECT_EQ(f.FilePage, 0);
  EXPECT_EQ(RowsInUse(f.FileRows), 16);
  EXPECT_STREQ(f.FileRows[0].name, f.FileNames[0]);
}

TEST_F(SelectFileTest, FolderListPagesOnItsOwnControls) {
  for (int i = 0; i < 18; ++i) MakeFolder("d" + std::to_string(100 + i));
  Open(base);
  const SelectFilePage& f = a->ui.selectFile;
  ASSERT_EQ(f.FolderCount, 18);
  EXPECT_EQ(Pixel(305, 475), kGreen);
  EXPECT_EQ(Pixel(105, 475), kWhite);
  Click(305, 475);
  EXPECT_EQ(f.FolderPage, 1);
  EXPECT_EQ(RowsInUse(f.FolderRows), 2);
  EXPECT_EQ(Pixel(105, 475), kGreen);
  EXPECT_EQ(Pixel(305, 475), kWhite);
  // A click on a second-block row enters that folder.
  const std::string second = f.FolderNames[17];
  ClickFolderRow(1);
  EXPECT_EQ(std::string(f.SelectedPath), base + second + "/");
  EXPECT_EQ(f.FolderPage, 0);
  EXPECT_EQ(f.FolderCount, 0);
  EXPECT_EQ(Pixel(105, 475), kWhite);  // no arrows of the folder before
}

TEST_F(SelectFileTest, FoldersAreEnteredAndLeftAndEveryChangeIsStored) {
  MakeFolder("layout/yard");
  MakeFile("layout/yard/engine.bmp");
  Open(base);
  const SelectFilePage& f = a->ui.selectFile;
  ClickFolderRow(RowOf(f.FolderRows, "layout"));
  EXPECT_EQ(std::string(f.SelectedPath), base + "layout/");
  EXPECT_EQ(StoredPath(), base + "layout/");
  ClickFolderRow(RowOf(f.FolderRows, "yard"));
  EXPECT_EQ(std::string(f.SelectedPath), base + "layout/yard/");
  EXPECT_EQ(Files(), (std::set<std::string>{"engine.bmp"}));

  ClickUp();
  EXPECT_EQ(std::string(f.SelectedPath), base + "layout/");
  EXPECT_EQ(StoredPath(), base + "layout/");
  EXPECT_EQ(Folders(), (std::set<std::string>{"yard"}));
  EXPECT_EQ(f.FileCount, 0);
  EXPECT_EQ(FileRowInk(0), 0);
}

TEST_F(SelectFileTest, UpOneFolderStopsAtTheRoot) {
  Open(base);
  std::string path = a->ui.selectFile.SelectedPath;
  for (int i = 0; i < 40 && path != "/"; ++i) {
    ClickUp();
    const std::string up = a->ui.selectFile.SelectedPath;
    ASSERT_LT(up.size(), path.size());
    ASSERT_EQ(path.compare(0, up.size(), up), 0);  // a leading part of the path before
    path = up;
  }
  EXPECT_EQ(path, "/");
  ClickUp();
  EXPECT_STREQ(a->ui.selectFile.SelectedPath, "/");
  EXPECT_EQ(StoredPath(), "/");
}

TEST_F(SelectFileTest, ChosenFileIsReturnedAndTheNextCallOpensInItsFolder) {
  MakeFolder("sounds");
  MakeFile("sounds/horn.wav");
  Open(base, ".wav");
  const SelectFilePage& f = a->ui.selectFile;
  ClickFolderRow(RowOf(f.FolderRows, "sounds"));
  ClickFileRow(RowOf(f.FileRows, "horn.wav"));
  EXPECT_EQ(a->ui.pages.CurrentPage, kCaller);
  EXPECT_EQ(f.SelectFileResult, kSelectFileChosen);
  EXPECT_EQ(std::string(f.SelectedPath), base + "sounds/horn.wav");
  EXPECT_EQ(StoredPath(), base + "sounds/");  // the file is not remembered

  // The record: "Text" version "1.00", the 128 bytes of the path.
  const int index = StorageFindFile(a->storage, "SelectFileLastPath");
  ASSERT_GE(index, 0);
  const uint16_t i = static_cast<uint16_t>(index);
  char field[128];
  StorageReadField(a->storage, i, 2, field);
  EXPECT_STREQ(field, "Text");
  StorageReadField(a->storage, i, 3, field);
  EXPECT_STREQ(field, "1.00");
  EXPECT_EQ(StorageFileSize(a->storage, i), StorageHeaderLength(a->storage, i) + 128u);

  Enter(".wav");
  EXPECT_EQ(std::string(f.SelectedPath), base + "sounds/");
  EXPECT_EQ(Files(), (std::set<std::string>{"horn.wav"}));
  EXPECT_EQ(f.SelectFileResult, kSelectFileChosen);
}

TEST_F(SelectFileTest, WithoutARememberedFolderThePageOpensAtThePlatformsRoot) {
  platform.files.root = base;  // stands for "C:\\" or "/"
  MakeFolder("inside");
  Enter();
  EXPECT_EQ(std::string(a->ui.selectFile.SelectedPath), base);
  EXPECT_EQ(Folders(), (std::set<std::string>{"inside"}));
  EXPECT_EQ(StoredPath(), "");
  ClickUp();  // nothing lies above the root
  EXPECT_EQ(std::string(a->ui.selectFile.SelectedPath), base);
}

TEST_F(SelectFileTest, NamesThatWouldPassTheLongestPathRefuseTheClick) {
  const int room = kSelectedPathCapacity - 1 - static_cast<int>(base.size());
  ASSERT_GT(room, 40) << base;
  const std::string fits = "a" + std::string(room - 2, 'f');       // + "/" = 127
  const std::string tooLong = "b" + std::string(room - 1, 'f');    // + "/" = 128
  const std::string fileFits = "c" + std::string(room - 5, 'f') + ".bmp";     // 127
  const std::string fileTooLong = "d" + std::string(room - 4, 'f') + ".bmp";  // 128
  MakeFolder(fits);
  MakeFolder(tooLong);
  MakeFolder(fits + "/inner");
  MakeFile(fileFits);
  MakeFile(fileTooLong);
  Open(base);
  const SelectFilePage& f = a->ui.selectFile;

  ClickFolderRow(RowOf(f.FolderRows, tooLong));
  EXPECT_EQ(std::string(f.SelectedPath), base);
  EXPECT_EQ(StoredPath(), base);
  ClickFileRow(RowOf(f.FileRows, fileTooLong));
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectFilePage);
  EXPECT_EQ(std::string(f.SelectedPath), base);

  // The rows show 31 characters; the click appends the whole name.
  ClickFolderRow(RowOf(f.FolderRows, fits));
  EXPECT_EQ(std::string(f.SelectedPath), base + fits + "/");
  EXPECT_EQ(std::string(f.SelectedPath).size(), 127u);
  EXPECT_EQ(Folders(), (std::set<std::string>{"inner"}));
  ClickFolderRow(0);  // "inner" would pass 127
  EXPECT_EQ(std::string(f.SelectedPath), base + fits + "/");

  ClickUp();
  ClickFileRow(RowOf(f.FileRows, fileFits));
  EXPECT_EQ(a->ui.pages.CurrentPage, kCaller);
  EXPECT_EQ(std::string(f.SelectedPath), base + fileFits);
}

TEST_F(SelectFileTest, CancelReturnsOneAndKeepsTheFolder) {
  MakeFolder("layout");
  Open(base);
  ClickFolderRow(0);
  ClickCancel();
  EXPECT_EQ(a->ui.pages.CurrentPage, kCaller);
  EXPECT_EQ(a->ui.selectFile.SelectFileResult, kSelectFileCancelled);
  EXPECT_EQ(StoredPath(), base + "layout/");
  // Entering again starts with result 0.
  Enter();
  EXPECT_EQ(a->ui.selectFile.SelectFileResult, kSelectFileChosen);
}

TEST_F(SelectFileTest, AFolderThatCannotBeListedOpensTheRoot) {
  platform.files.root = base;  // stands for "C:\\" or "/"
  MakeFolder("inside");
  Open(base + "missing/");
  EXPECT_EQ(std::string(a->ui.selectFile.SelectedPath), base);
  EXPECT_EQ(Folders(), (std::set<std::string>{"inside"}));
  ClickCancel();
  Open("C:\\Users\\Trains\\");  // remembered on another system
  EXPECT_EQ(std::string(a->ui.selectFile.SelectedPath), base);
}

TEST_F(SelectFileTest, NamesComeInOrderWithoutLetterCaseAndTheFirstHundredAreKept) {
  for (const char* folder : {"C", "a", "B"}) MakeFolder(folder);
  for (int i = 119; i >= 0; --i) {
    char name[16];
    snprintf(name, sizeof name, "%s%03d.bmp", i % 2 ? "IMG" : "img", i);
    MakeFile(name);
  }
  Open(base);
  const SelectFilePage& f = a->ui.selectFile;
  ASSERT_EQ(f.FolderCount, 3);
  EXPECT_EQ(std::string(f.FolderNames[0]) + f.FolderNames[1] + f.FolderNames[2], "aBC");
  ASSERT_EQ(f.FileCount, 97);  // 100 names in all
  for (int i = 0; i < f.FileCount; ++i) {
    char name[16];
    snprintf(name, sizeof name, "%s%03d.bmp", i % 2 ? "IMG" : "img", i);
    EXPECT_EQ(std::string(f.FileNames[i]), name);
  }
}

TEST_F(SelectFileTest, ReleasesAndMovesDoNothing) {
  Open(base);
  Send(Message::MouseMove, 0, 30, 550);
  Send(Message::Timer);
  Send(Message::LeftButtonUp, 0, 30, 550);
  Send(Message::Timer);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectFilePage);
}

}  // namespace
}  // namespace trelvan
