// The project pages on the compiled page files: a new project marked
// changed, dragging on the page editor, and the program editor's limits.
// Golden scripts hold the 18-project limit and deleting
// (project_limit.run), a damaged file refused (project_damaged.run), New
// Project's messages (new_project_refusals.run), the page editor's names,
// removals and ninth button (edit_page_buttons.run), saving and leaving
// (edit_page_saving.run), the button pictures (edit_page_button_picture.run)
// and the program's scrolling and copy (edit_program_scroll.run,
// edit_program_copy.run); the pages' look is in the golden shots.
#include <gtest/gtest.h>

#include "projects/project_fixture.h"
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
};

// A project of its own: New Project marks it changed.
TEST_F(ProjectPagesTest, NewProjectMarksTheProjectChanged) {
  Show(kProjectManagerPage);
  P().modified = false;
  ClickOn(Manager(kProjectManagerNewProject));
  EXPECT_EQ(a->ui.pages.CurrentPage, kNewProjectPage);
  EXPECT_TRUE(P().modified);
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

// Undo takes back the last change, once: an added button, a removal, a drag.
TEST_F(EditPageTest, UndoTakesBackTheLastChange) {
  const struct { int role; int row; uint8_t count; uint16_t x0; } steps[] = {
      {kEditPageAddButton, -1, 3, 0}, {-1, 1, 1, 0}, {-1, -1, 2, 150}};
  for (const auto& s : steps) {
    if (s.role >= 0) ClickOn(Control(s.role));
    if (s.row >= 0) ClickOn(&Row(s.row).remove);
    if (s.x0) {  // drag button 0 to the right
      const ImageControl c = Row(0).screenPicture;
      Click(c.x + 10, c.y + 10);
      Send(Message::MouseMove, 0, c.x + 10 + s.x0, c.y + 10);
      Send(Message::Timer);
      Send(Message::LeftButtonUp, 0, c.x + 10 + s.x0, c.y + 10);
      Send(Message::Timer);
      EXPECT_EQ(P().buttons[0].x, c.x - Control(kEditPageScreenArea)->x + s.x0);
    }
    EXPECT_EQ(P().buttonCount, s.count);
    const Project before = a->projects.undo;
    ClickOn(Control(kEditPageUndo));
    EXPECT_EQ(P().buttonCount, 2);
    EXPECT_EQ(P().buttons[0].x, before.buttons[0].x);
    EXPECT_STREQ(P().buttons[1].name, "Button 2");
  }
  P().buttons[0].x = 77;
  ClickOn(Control(kEditPageUndo));  // nothing left to take back
  EXPECT_EQ(P().buttons[0].x, 77);
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

// Undo takes a removal back, once.
TEST_F(EditProgramTest, UndoTakesARemovalBackOnce) {
  SetProgram(P(), "00 07 00 22 09 00 12");
  Show(kEditPagePage);
  Show(kEditProgramPage);
  ClickOn(&Page().removeHandle[1]);
  EXPECT_EQ(ProgramHex(P()), "00 12");
  for (int i = 0; i < 2; ++i) {
    ClickOn(Page().image[kEditProgramUndo]);
    EXPECT_EQ(ProgramHex(P()), "00 07 00 22 09 00 12");
  }
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

}  // namespace
}  // namespace trelvan
