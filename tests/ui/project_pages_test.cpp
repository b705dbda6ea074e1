// The Project Manager and New Project pages on the compiled page files: the
// 18-project limit, deleting and opening rows, a damaged file refused, and
// every message of New Project's create button in its order. Their look is
// in the golden shots project_manager.png and new_project.png.
#include <gtest/gtest.h>

#include "projects/project_file.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

class ProjectPagesTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }
  void SaveNew(const char* name) {
    ClearProject(a->projects.project);
    CopyText(name, a->projects.project.name, kProjectNameCapacity);
    ASSERT_TRUE(SaveProject(a->projects, a->storage));
  }
  void Show(int32_t page) {
    a->ui.pages.CurrentPage = page;
    Send(Message::Timer);
    Send(Message::Timer);
  }
  ImageControl* Manager(int role) { return a->ui.projectManager.image[role]; }
  ImageControl* NewProject(int role) { return a->ui.newProject.image[role]; }
  // Types on the PC keyboard into the alphanumeric keyboard and confirms.
  void TypeName(const std::string& text) {
    ASSERT_EQ(a->ui.pages.CurrentPage, kAlphaKeyboardPage);
    Send(Message::Timer);
    for (char c : text) {
      const uint32_t vk = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : static_cast<uint8_t>(c);
      Send(Message::KeyDown, vk);
      Send(Message::KeyUp, vk);
    }
    Send(Message::KeyDown, 13);
    for (int i = 0; i < 3; ++i) Send(Message::Timer);
  }
  // The message shown, and the page it returns to.
  void ExpectMessage(const char* text, int32_t returnPage) {
    EXPECT_EQ(a->ui.pages.CurrentPage, kInformationPage);
    EXPECT_STREQ(a->ui.information.MessageText, text);
    EXPECT_EQ(a->ui.information.InfoReturnPage, returnPage);
    a->ui.pages.CurrentPage = returnPage;
    Send(Message::Timer);
    Send(Message::Timer);
  }
};

TEST_F(ProjectPagesTest, EighteenProjectsRefuseANewOneUntilOneIsDeleted) {
  for (int i = 0; i < 18; ++i) SaveNew(("P" + std::to_string(10 + i) + "~").c_str());
  Show(kProjectManagerPage);
  ClickOn(Manager(kProjectManagerNewProject));
  ExpectMessage("Maximum number of projects reached - No more projects allowed!",
                kProjectManagerPage);
  ClickOn(&a->ui.projectManager.rows[0].remove);
  EXPECT_LT(StorageFindFile(a->storage, "P10~"), 0);
  EXPECT_STREQ(a->ui.projectManager.rows[0].name, "P11~");
  EXPECT_FALSE(a->ui.projectManager.rows[17].inUse);
  a->projects.project.modified = false;
  ClickOn(Manager(kProjectManagerNewProject));
  EXPECT_EQ(a->ui.pages.CurrentPage, kNewProjectPage);
  EXPECT_TRUE(a->projects.project.modified);
  EXPECT_EQ(a->projects.project.programLength, 2);
}

TEST_F(ProjectPagesTest, ADamagedProjectIsNotOpened) {
  SaveNew("Good~");
  const uint8_t damaged[20] = {'K', 'Q', '-', '4', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 9};
  ASSERT_TRUE(StorageWriteRecord(a->storage, "Broken~", "User", "Acc. Project", "1.00", damaged,
                                 sizeof damaged));
  Show(kProjectManagerPage);
  ASSERT_STREQ(a->ui.projectManager.rows[1].name, "Broken~");
  ClickOn(&a->ui.projectManager.rows[1].edit);
  ExpectMessage("Error - Project file can not be read!", kProjectManagerPage);
  EXPECT_STREQ(a->projects.project.name, "");
  EXPECT_GE(StorageFindFile(a->storage, "Broken~"), 0);
}

TEST_F(ProjectPagesTest, CreateAsksForANameThenAModuleAndNamesEndInTilde) {
  SaveNew("yard~");
  Show(kProjectManagerPage);
  ClickOn(Manager(kProjectManagerNewProject));
  ASSERT_EQ(a->ui.pages.CurrentPage, kNewProjectPage);
  Send(Message::Timer);
  ClickOn(NewProject(kNewProjectCreate));
  ExpectMessage("You must enter a Project Name.", kNewProjectPage);
  // The name of a stored file is refused, with or without its "~".
  for (const char* taken : {"yard", "yard~"}) {
    ClickOn(NewProject(kNewProjectNameField));
    TypeName(taken);
    ExpectMessage("Select a different file name - Name already in use", kNewProjectPage);
    EXPECT_STREQ(a->projects.project.name, "");
  }
  ClickOn(NewProject(kNewProjectNameField));
  TypeName("depot~");
  EXPECT_STREQ(a->projects.project.name, "depot~");
  EXPECT_TRUE(Shows(a->ui.newProject.text[kNewProjectName], "depot~"));
  ClickOn(NewProject(kNewProjectCreate));
  ExpectMessage("You must select a Module.", kNewProjectPage);
  ClickOn(NewProject(kNewProjectZR6S));
  EXPECT_STREQ(a->projects.project.moduleModel, "ZR-6S");
  EXPECT_EQ(a->projects.project.moduleClass, 2);
  EXPECT_EQ(a->projects.project.inputCount, 1);
  EXPECT_EQ(a->ui.newProject.image[kNewProjectZR6S]->pictureIndex, 11);
  ClickOn(NewProject(kNewProjectKQ4));
  EXPECT_EQ(a->projects.project.moduleClass, 0);
  EXPECT_EQ(a->ui.newProject.image[kNewProjectZR6S]->pictureIndex, 10);
  ClickOn(NewProject(kNewProjectBack));
  EXPECT_EQ(a->ui.pages.CurrentPage, kProjectManagerPage);
}

}  // namespace
}  // namespace trelvan
