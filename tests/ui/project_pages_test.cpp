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
  void SetUp() override { StartOnCompiledPages(); }
};

TEST_F(EditProgramTest, LimitsAndTheirMessages) {
  // An accessory module project (8 physical inputs) with three buttons and
  // two variables, on the program page.
  Project& p = a->projects.project;
  EditProgramPage& page = a->projects.editProgram;
  ClearProject(p);
  CopyText("Yard~", p.name, kProjectNameCapacity);
  CopyText("KQ-4", p.moduleModel, kModelCapacity);
  for (int i = 0; i < 3; ++i) AddButton(p);
  AddVariable(p, "Speed");
  AddVariable(p, "Count");
  Show(kEditProgramPage);

  p.programLength = 247;  // 246 is the program logic test's
  ClickOn(&page.insertHandle[0]);
  ExpectMessage("Maximum allowed instructions reached! Remove a row to make room.", kEditProgramPage);
  p.programLength = 2;
  for (int i = 0; i < 32; ++i) AddConstInt(p, static_cast<int16_t>(i));
  ClickOn(&page.insertHandle[0]);
  ClickOn(&page.picker[0]);
  ClickOn(&page.variableRow[0]);
  ClickOn(&page.boxB);
  EnterText("99");
  ExpectMessage("Maximum number of constants exceded! Remove rows that use other constants.", kEditProgramPage);
  EXPECT_EQ(a->projects.programEditor.editStep, kBuildIdle);
  EXPECT_EQ(ProgramHex(p), "00 12");
  // A used variable stays, the message naming the row that uses it; a free
  // name is needed for a new one.
  SetProgram(p, "00 02 41 00 03 06 41 40 12");
  ClickOn(&page.variableRemove[0]);
  ExpectMessage("Remove from logic first! Row 3 of the program uses it.", kEditProgramPage);
  ClickOn(page.image[kEditProgramAddVariable]);
  EnterText("Count");
  ExpectMessage("Error - Variable name already used.  Please use a different name.", kEditProgramPage);
}

}  // namespace
}  // namespace trelvan
