// The project record and file: the golden files made from the layout by
// make_golden.py, damaged files refused, the labels, names and buttons. A
// project saved over itself on a full storage is the whole-file write's
// replacement (its test), a copy refused edit_page_saving.run's. The edit
// page's tests refuse the names in use and the ninth button through the page.
// The rows and inputs a load counts are the model test's and the program
// editor's golden scripts' (edit_program.run, edit_page_buttons.run), the
// picture count it reads the editors' golden scripts' and ProjectsThatNameAFile's.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "projects/project_fixture.h"
#include "storage/file_system.h"
#include "storage/storage_fixture.h"
#include "storage/whole_file.h"

namespace trelvan {
namespace {

using namespace testing;

// The paths of the golden files named `start`...`extension`.
std::vector<std::string> GoldenFiles(const std::string& start, const std::string& extension) {
  std::vector<std::string> paths;
  for (const auto& e : std::filesystem::directory_iterator(TRELVAN_PROJECT_GOLDEN_DIR)) {
    if (e.path().extension() == extension && e.path().filename().string().rfind(start, 0) == 0) {
      paths.push_back(e.path().string());
    }
  }
  return paths;
}

class ProjectFileTest : public StorageTest {
 protected:
  void SetUp() override { ClearProject(ps->project); }
  std::unique_ptr<Projects> ps{new Projects{}};
};

TEST_F(ProjectFileTest, GoldenRecordsSaveToTheirExactBytesAndLoadBack) {
  const std::vector<std::string> records = GoldenFiles("", ".txt");
  ASSERT_EQ(records.size(), 4u);
  for (const std::string& txt : records) {
    SCOPED_TRACE(txt);
    const std::vector<uint8_t> expected = ReadHostFile(txt.substr(0, txt.size() - 4) + ".bin");
    const std::unique_ptr<Project> record = ReadRecord(txt);
    ps->project = *record;
    ps->project.modified = true;
    if (record->pictureCount == 0) {  // a stale name behind "no picture" is neither saved nor loaded
      CopyText("Stale", ps->project.pictureName, kProjectTextCapacity);
    }
    ASSERT_TRUE(SaveProject(*ps, *s));
    EXPECT_FALSE(ps->project.modified);
    const int i = StorageFindFile(*s, ps->project.name);
    ASSERT_GE(i, 0);
    EXPECT_EQ(StoredContent(*s, static_cast<uint16_t>(i)), expected);

    std::unique_ptr<Project> loaded(new Project{});
    ClearProject(*loaded);
    CopyText(ps->project.name, loaded->name, kProjectNameCapacity);
    ASSERT_EQ(LoadProject(*loaded, *s), LoadResult::kLoaded);
    uint8_t again[kMaxProjectData];
    const uint32_t n = EncodeProject(*loaded, again);
    EXPECT_EQ(std::vector<uint8_t>(again, again + n), StoredData(*s, ps->project.name));
    EXPECT_STREQ(loaded->pictureName, record->pictureName);
  }
  ASSERT_TRUE(SaveProject(*ps, *s));  // saved over itself: not counted twice
  EXPECT_EQ(ps->projectCount, 4);
  EXPECT_EQ(ListProjects(*ps, *s), 4);
}

TEST_F(ProjectFileTest, DamagedFilesAreNotLoadedAndLeaveTheRecord) {
  const std::vector<std::string> files = GoldenFiles("damaged_", ".bin");
  EXPECT_EQ(files.size(), 12u);
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = ReadHostFile(path);
    ASSERT_TRUE(StorageWriteWholeFile(*s, "Damaged~", bytes.data(),
                                      static_cast<uint32_t>(bytes.size()), nullptr, 0));
    ClearProject(ps->project);
    CopyText("Damaged~", ps->project.name, kProjectNameCapacity);
    ps->project.buttonCount = 1;  // a mark the load must not overwrite
    const Project before = ps->project;
    EXPECT_EQ(LoadProject(ps->project, *s), LoadResult::kDamaged);
    EXPECT_EQ(std::memcmp(&before, &ps->project, sizeof before), 0);
  }
  CopyText("Missing~", ps->project.name, kProjectNameCapacity);
  EXPECT_EQ(LoadProject(ps->project, *s), LoadResult::kNoFile);
}

// Inputs: the module's own, then one per button; outputs: Motor 1, then
// Motor 2 and Output 5 to 8 on the accessory module (class 0), Output 1 to 6
// on the others. A name of any of them or of a variable is in use. A
// button's removal (the later ones move up, with their places and their
// inputs) is edit_page_buttons.run's.
TEST_F(ProjectFileTest, LabelsByClassAndNamesInUse) {
  const struct {
    uint8_t moduleClass, buttons, inputs, outputs;
    std::vector<const char*> used, free;
  } cases[] = {
      {0, 8, 16, 6, {"Input 8", "Button 8", "Motor 2", "Output 5", "Output 8", "Speed"},
       {"Input 9", "Button 9", "Output 4", "Output 9", "Speed2"}},
      {1, 2, 4, 7, {"Input 2", "Button 2", "Motor 1", "Output 1", "Output 6"},
       {"Input 3", "Button 3", "Motor 2", "Output 7"}},
      {2, 3, 4, 7, {"Input 1", "Button 3", "Output 6"}, {"Input 2", "Button 4", "Output 7"}},
  };
  Project& p = ps->project;
  for (const auto& c : cases) {
    SCOPED_TRACE(int{c.moduleClass});
    ClearProject(p);
    p.moduleClass = c.moduleClass;
    for (int i = 0; i < c.buttons; ++i) ASSERT_EQ(AddButton(p), i + 1);
    AddVariable(p, "Speed");
    RebuildIoLabels(p);  // rebuilding again adds nothing
    EXPECT_EQ(p.inputCount, c.inputs);
    EXPECT_EQ(p.outputCount, c.outputs);
    for (const char* name : c.used) EXPECT_TRUE(IsNameInUse(p, name)) << name;
    for (const char* name : c.free) EXPECT_FALSE(IsNameInUse(p, name)) << name;
  }
}

// A new button whose slot's last position lies over an earlier one moves
// to the first free place, row by row; a slot's last position that is free
// stays (edit_page_undo.run shows the same on the page).
TEST_F(ProjectFileTest, NewButtonsDoNotCoverEarlierOnes) {
  Project& p = ps->project;
  p.buttons[3].x = 150;
  p.buttons[3].y = 150;
  const struct { uint16_t x, y; } expected[] = {{0, 25}, {65, 25}, {129, 25}, {150, 150}, {193, 25},
                                                {257, 25}, {1, 69}, {65, 69}};
  for (const auto& e : expected) {
    const int16_t n = AddButton(p);
    EXPECT_EQ(p.buttons[n - 1].x, e.x) << n;
    EXPECT_EQ(p.buttons[n - 1].y, e.y) << n;
  }
}

// Projects that name a file are found by their picture or constant texts,
// in storage order. The list pages through the projects in
// project_paging.run.
TEST_F(ProjectFileTest, ProjectsThatNameAFile) {
  for (int i = 0; i < 20; ++i) {
    FormatText(ps->project.name, "P%02d~", i);
    CopyText(i == 3 || i == 19 ? "station~" : "", ps->project.pictureName, kProjectTextCapacity);
    ps->project.constTextCount = i == 5 ? 1 : 0;
    CopyText("horn", ps->project.constTexts[0], kProjectTextCapacity);
    ASSERT_TRUE(SaveProject(*ps, *s));
  }
  std::vector<uint8_t> other(10, 1);
  ASSERT_TRUE(StorageWriteRecord(*s, "Horn~", "User", "Sound", "1.00", other.data(), 10));
  const struct { const char* file; uint16_t count; const char* names; } uses[] = {
      {"station~", 2, "P03~, P19~"}, {"horn~", 1, "P05~"}, {"horn", 1, "P05~"}, {"Horn~", 0, ""}};
  for (const auto& u : uses) {
    char names[64];
    EXPECT_EQ(ProjectsUsingFile(*s, u.file, names, sizeof names), u.count) << u.file;
    EXPECT_STREQ(names, u.names) << u.file;
  }
}

}  // namespace
}  // namespace trelvan
