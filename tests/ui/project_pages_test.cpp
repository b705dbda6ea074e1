// The program editor's limits and their messages, on the compiled page
// files. Golden scripts hold a new project marked changed, dragging and
// Undo on the page editor (edit_page_undo.run), the program editor's Undo
// (edit_program_undo.run), the 18-project limit and deleting
// (project_paging.run), a damaged file refused (project_damaged.run), New
// Project's messages (new_project_refusals.run), the page editor's names,
// removals and ninth button (edit_page_buttons.run), saving and leaving
// (edit_page_saving.run), the button pictures (edit_page_button_picture.run)
// and the program's scrolling and copy (edit_program.run,
// edit_program_copy.run); the pages' look is in the golden shots.
#include <gtest/gtest.h>

#include "projects/project_fixture.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

using testing::ProgramHex;
using testing::SetProgram;

class EditProgramTest : public testing::PageTest {
 protected:
  // An accessory module project (8 physical inputs) with three buttons and
  // two variables, on the program page.
  void SetUp() override {
    StartOnCompiledPages();
    Project& p = P();
    ClearProject(p);
    CopyText("Yard~", p.name, kProjectNameCapacity);
    CopyText("KQ-4", p.moduleModel, kModelCapacity);
    for (int i = 0; i < 3; ++i) AddButton(p);
    AddVariable(p, "Speed");
    AddVariable(p, "Count");
    Show(kEditProgramPage);
  }
  Project& P() { return a->projects.project; }
  EditProgramPage& Page() { return a->projects.editProgram; }
  void Insert(int row, int pickerEntry) {
    ClickOn(&Page().insertHandle[row]);
    ClickOn(&Page().picker[pickerEntry]);
  }
};

TEST_F(EditProgramTest, LimitsAndTheirMessages) {
  P().programLength = 247;  // 246 is the program logic test's
  ClickOn(&Page().insertHandle[0]);
  ExpectMessage("Maximum allowed instructions reached! Remove a row to make room.", kEditProgramPage);
  P().programLength = 2;
  for (int i = 0; i < 32; ++i) AddConstInt(P(), static_cast<int16_t>(i));
  Insert(0, 0);
  ClickOn(&Page().variableRow[0]);
  ClickOn(&Page().boxB);
  EnterText("99");
  ExpectMessage("Maximum number of constants exceded! Remove rows that use other constants.", kEditProgramPage);
  EXPECT_EQ(a->projects.programEditor.editStep, kBuildIdle);
  EXPECT_EQ(ProgramHex(P()), "00 12");
  // A used variable stays, the message naming the row that uses it; a free
  // name is needed for a new one.
  SetProgram(P(), "00 02 41 00 03 06 41 40 12");
  ClickOn(&Page().variableRemove[0]);
  ExpectMessage("Remove from logic first! Row 3 of the program uses it.", kEditProgramPage);
  ClickOn(a->projects.editProgram.image[kEditProgramAddVariable]);
  EnterText("Count");
  ExpectMessage("Error - Variable name already used.  Please use a different name.", kEditProgramPage);
}

}  // namespace
}  // namespace trelvan
