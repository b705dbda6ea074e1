// The Project Manager and New Project pages on the compiled page files: the
// 18-project limit, deleting and opening rows, a damaged file refused, and
// every message of New Project's create button in its order. Their look is
// in the golden shots project_manager.png and new_project.png.
#include <gtest/gtest.h>

#include "projects/project_fixture.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

using testing::ProgramHex;
using testing::SetProgram;

class ProjectPagesTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }
  void SaveNew(const char* name) {
    ClearProject(P());
    CopyText(name, P().name, kProjectNameCapacity);
    ASSERT_TRUE(SaveProject(a->projects, a->storage));
  }
  Project& P() { return a->projects.project; }
  ImageControl* Manager(int role) { return a->projects.projectManager.image[role]; }
  ImageControl* NewProject(int role) { return a->projects.newProject.image[role]; }
};

TEST_F(ProjectPagesTest, EighteenProjectsRefuseANewOneUntilOneIsDeleted) {
  for (int i = 0; i < 18; ++i) SaveNew(("P" + std::to_string(10 + i) + "~").c_str());
  Show(kProjectManagerPage);
  ClickOn(Manager(kProjectManagerNewProject));
  ExpectMessage("Maximum number of projects reached - No more projects allowed!",
                kProjectManagerPage);
  ClickOn(&a->projects.projectManager.rows[0].remove);
  EXPECT_LT(StorageFindFile(a->storage, "P10~"), 0);
  EXPECT_STREQ(a->projects.projectManager.rows[0].name, "P11~");
  EXPECT_FALSE(a->projects.projectManager.rows[17].inUse);
  P().modified = false;
  ClickOn(Manager(kProjectManagerNewProject));
  EXPECT_EQ(a->ui.pages.CurrentPage, kNewProjectPage);
  EXPECT_TRUE(P().modified);
}

TEST_F(ProjectPagesTest, ADamagedProjectIsNotOpened) {
  SaveNew("Good~");
  const uint8_t damaged[20] = {'K', 'Q', '-', '4', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 9};
  ASSERT_TRUE(StorageWriteRecord(a->storage, "Broken~", "User", "Acc. Project", "1.00", damaged,
                                 sizeof damaged));
  Show(kProjectManagerPage);
  ASSERT_STREQ(a->projects.projectManager.rows[1].name, "Broken~");
  ClickOn(&a->projects.projectManager.rows[1].edit);
  ExpectMessage("Error - Project file can not be read!", kProjectManagerPage);
  EXPECT_STREQ(P().name, "");
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
    EnterText(taken);
    ExpectMessage("Select a different file name - Name already in use", kNewProjectPage);
    EXPECT_STREQ(P().name, "");
  }
  ClickOn(NewProject(kNewProjectNameField));
  EnterText("depot~");
  EXPECT_STREQ(P().name, "depot~");
  ClickOn(NewProject(kNewProjectCreate));
  ExpectMessage("You must select a Module.", kNewProjectPage);
  ClickOn(NewProject(kNewProjectZR6S));
  EXPECT_STREQ(P().moduleModel, "ZR-6S");
  ClickOn(NewProject(kNewProjectKQ4));
  EXPECT_STREQ(P().moduleModel, "KQ-4");
  EXPECT_EQ(a->projects.newProject.image[kNewProjectZR6S]->pictureIndex, 10);
  ClickOn(NewProject(kNewProjectBack));
  EXPECT_EQ(a->ui.pages.CurrentPage, kProjectManagerPage);
}

class EditPageTest : public ProjectPagesTest {
 protected:
  // A ZR-5 project (inputs 0 and 1 physical, the buttons from 2) with two
  // buttons and a variable, opened on the page editor.
  void SetUp() override {
    ProjectPagesTest::SetUp();
    Project& p = P();
    ClearProject(p);
    CopyText("Crossing~", p.name, kProjectNameCapacity);
    CopyText("ZR-5", p.moduleModel, kModelCapacity);
    p.moduleClass = 1;
    AddButton(p);
    AddButton(p);
    AddVariable(p, "Speed");
    p.modified = false;
    Show(kEditPagePage);
  }
  EditPageRow& Row(int i) { return a->projects.editPage.rows[i]; }
  ImageControl* Control(int role) { return a->projects.editPage.image[role]; }
  void Answer(int role) {
    Send(Message::Timer);
    ClickOn(a->ui.information.image[role]);
    Send(Message::Timer);
    Send(Message::Timer);
  }
};

TEST_F(EditPageTest, DraggingKeepsTheButtonOnTheScreenAndStoresItOnRelease) {
  const ImageControl area = *Control(kEditPageScreenArea);
  const struct {
    int toX, toY, x, y;
  } drags[] = {{area.x - 50, area.y - 50, 1, 25}, {area.x + 400, area.y + 400, 260, 200},
               {area.x + 100, area.y + 80, 90, 70}};
  for (const auto& d : drags) {
    const ImageControl c = Row(1).screenPicture;
    Click(c.x + 10, c.y + 10);
    Send(Message::MouseMove, 0, d.toX, d.toY);
    Send(Message::Timer);
    EXPECT_EQ(P().buttons[1].x, c.x - area.x);  // stored only on release
    Send(Message::LeftButtonUp, 0, d.toX, d.toY);
    Send(Message::Timer);
    EXPECT_EQ(P().buttons[1].x, d.x);
    EXPECT_EQ(P().buttons[1].y, d.y);
  }
  EXPECT_TRUE(P().modified);
}

TEST_F(EditPageTest, NamesInUseAreRefusedAndTheLabelFollowsARename) {
  for (const char* name : {"Button 1", "Button 2", "Speed", "Motor 1", "Input 2"}) {
    ClickOn(&Row(1).nameBox);
    EnterText(name);
    ExpectMessage("Error - Variable name already used.  Please use a different name.", kEditPagePage);
  }
  ClickOn(&Row(1).nameBox);
  EnterText("gate");
  EXPECT_STREQ(P().buttons[1].name, "gate");
  EXPECT_STREQ(P().inputLabels[3], "gate");
}

TEST_F(EditPageTest, AReferencedButtonStaysAndTheNinthIsRefused) {
  SetProgram(P(), "00 01 02 40 00 04 00 05 12");  // If Button 1 = Speed
  ClickOn(&Row(0).remove);
  ExpectMessage("Remove from logic first!", kEditPagePage);
  EXPECT_EQ(P().buttonCount, 2);
  SetProgram(P(), "00 01 03 40 00 04 00 05 12");  // If Button 2 = Speed
  ClickOn(&Row(0).remove);
  EXPECT_EQ(P().buttonCount, 1);  // the renumbering is the program logic test's
  for (int i = 1; i < 8; ++i) ClickOn(Control(kEditPageAddButton));
  ClickOn(Control(kEditPageAddButton));
  ExpectMessage("Error - Can not add button! No more buttons allowed.", kEditPagePage);
}

TEST_F(EditPageTest, TheButtonPictureChangesOnlyWhenOneIsChosen) {
  a->ui.selectButton.SelectedButton = 5;  // left from an earlier choice
  for (bool back : {true, false}) {
    EXPECT_EQ(P().buttons[0].imageIndex, kOwnButtonPicture);  // not after back
    ClickOn(&Row(0).choose);
    ASSERT_EQ(a->ui.pages.CurrentPage, kSelectButtonPage);
    Send(Message::Timer);
    ClickOn(back ? a->ui.selectButton.image[kSelectButtonBack] : &a->ui.selectButton.button[3]);
    Send(Message::Timer);
    Send(Message::Timer);
  }
  EXPECT_EQ(a->ui.pages.CurrentPage, kEditPagePage);
  EXPECT_EQ(P().buttons[0].imageIndex, 3);
  EXPECT_EQ(Row(0).listPicture.source, kSourceButtons);
}

TEST_F(EditPageTest, SaveRefusalsAndLeavingUnsaved) {
  CopyText("Crossing", P().name, kProjectNameCapacity);
  ClickOn(Control(kEditPageSave));
  ExpectMessage("Please use Save As!", kEditPagePage);
  EXPECT_LT(StorageFindFile(a->storage, "Crossing"), 0);
  // A picture's name is not taken by a project.
  ASSERT_TRUE(StorageWriteRecord(a->storage, "horn~", "", "Picture", "1.00", nullptr, 0));
  ClickOn(Control(kEditPageSaveAs));
  EnterText("horn");
  ExpectMessage("Select a different file name - Name already in use", kEditPagePage);
  // Save As with a free name, and leaving when saved, are the gui project
  // test's. Changed, then left: "Yes" saves and stays, "No" leaves unsaved.
  CopyText("yard~", P().name, kProjectNameCapacity);
  ClickOn(&Row(0).mode);
  ClickOn(Control(kEditPageLeave));
  EXPECT_STREQ(a->ui.information.MessageText, "Project Not Saved! Save now?");
  Answer(kInfoYes);
  EXPECT_EQ(a->ui.pages.CurrentPage, kEditPagePage);
  EXPECT_FALSE(P().modified);
  ClickOn(&Row(0).mode);
  ClickOn(Control(kEditPageLeave));
  Answer(kInfoNo);
  EXPECT_EQ(a->ui.pages.CurrentPage, kProjectManagerPage);
  std::unique_ptr<Project> stored(new Project{});
  CopyText("yard~", stored->name, kProjectNameCapacity);
  ASSERT_EQ(LoadProject(*stored, a->storage), LoadResult::kLoaded);
  EXPECT_EQ(stored->buttons[0].buttonMode, 1);
}

TEST_F(EditPageTest, ASaveTheStorageRefusesIsReportedAsSuch) {
  FillStorage();
  ClickOn(&Row(0).mode);
  ClickOn(Control(kEditPageSaveAs));
  EnterText("copy");
  ExpectMessage("Error - Not enough free storage!", kEditPagePage);
  EXPECT_LT(StorageFindFile(a->storage, "copy~"), 0);
  EXPECT_TRUE(P().modified);
}

class EditProgramTest : public ProjectPagesTest {
 protected:
  // An accessory module project (8 physical inputs) with three buttons and
  // two variables, on the program page.
  void SetUp() override {
    ProjectPagesTest::SetUp();
    Project& p = P();
    ClearProject(p);
    CopyText("Yard~", p.name, kProjectNameCapacity);
    CopyText("KQ-4", p.moduleModel, kModelCapacity);
    for (int i = 0; i < 3; ++i) AddButton(p);
    AddVariable(p, "Speed");
    AddVariable(p, "Count");
    Show(kEditProgramPage);
  }
  EditProgramPage& Page() { return a->projects.editProgram; }
  void Insert(int row, int pickerEntry) {
    ClickOn(&Page().insertHandle[row]);
    ClickOn(&Page().picker[pickerEntry]);
  }
};

TEST_F(EditProgramTest, CancellingACopyKeepsItsConstantUntilARemovalPrunesIt) {
  Insert(0, 1);  // Copy
  ClickOn(&Page().boxA);
  EnterText("-40");
  ASSERT_EQ(a->projects.programEditor.editStep, kBuildCopyDestination);
  ClickOn(&Page().cancel);
  EXPECT_EQ(ProgramHex(P()), "00 12");
  EXPECT_EQ(P().constIntCount, 1);
  // A task whose output is chosen, then the second input page's button.
  Insert(0, 2);
  Send(Message::Timer);
  ClickOn(a->ui.selectText.line[0]);  // Set Output
  for (int i = 0; i < 3; ++i) Send(Message::Timer);
  ClickOn(&Page().outputRow[2]);
  EXPECT_TRUE(Shows(a->projects.editProgram.text[kEditProgramInputsPage], "1 of 2"));
  ClickOn(a->projects.editProgram.image[kEditProgramInputsNext]);
  ClickOn(&Page().inputRow[1]);  // Button 2, input 9
  EXPECT_EQ(ProgramHex(P()), "00 07 00 22 09 00 12");
  ClickOn(&Page().removeHandle[1]);
  EXPECT_EQ(ProgramHex(P()), "00 12");
  EXPECT_EQ(P().constIntCount, 0);
}

TEST_F(EditProgramTest, LimitsAndTheirMessages) {
  P().programLength = 247;  // 246 is the program logic test's
  ClickOn(&Page().insertHandle[0]);
  ExpectMessage("Maximum allowed instructions reached!", kEditProgramPage);
  P().programLength = 2;
  for (int i = 0; i < 32; ++i) AddConstInt(P(), static_cast<int16_t>(i));
  Insert(0, 0);
  ClickOn(&Page().variableRow[0]);
  ClickOn(&Page().boxB);
  EnterText("99");
  ExpectMessage("Maximum number of constants exceded!", kEditProgramPage);
  EXPECT_EQ(a->projects.programEditor.editStep, kBuildIdle);
  EXPECT_EQ(ProgramHex(P()), "00 12");
  // A used variable stays; a free name is needed for a new one.
  SetProgram(P(), "00 06 41 40 12");
  ClickOn(&Page().variableRemove[0]);
  ExpectMessage("Remove from logic first!", kEditProgramPage);
  ClickOn(a->projects.editProgram.image[kEditProgramAddVariable]);
  EnterText("Count");
  ExpectMessage("Error - Variable name already used.  Please use a different name.", kEditProgramPage);
}

TEST_F(EditProgramTest, ScrollingStopsAtBothEnds) {
  std::string program = "00";
  for (int i = 0; i < 20; ++i) program += " 06 40 41";
  SetProgram(P(), program + " 12");
  Show(kEditProgramPage);
  for (int i = 0; i < 12; ++i) ClickOn(a->projects.editProgram.image[kEditProgramScrollDown]);
  EXPECT_EQ(a->projects.programEditor.programScroll, 22 - 14);
  for (int i = 0; i < 12; ++i) ClickOn(a->projects.editProgram.image[kEditProgramScrollUp]);
  EXPECT_EQ(a->projects.programEditor.programScroll, 0);
}

}  // namespace
}  // namespace trelvan
