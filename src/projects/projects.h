// The projects subsystem's state: the project model and its four pages
// (Project Manager, New Project and the two editors).
#pragma once

#include "projects/edit_page_page.h"
#include "projects/edit_program_page.h"
#include "projects/new_project_page.h"
#include "projects/project_manager_page.h"
#include "projects/project_model.h"
#include "ui/page_context.h"

namespace trelvan {

struct Projects {
  Project project{};
  char projectList[kProjectListCapacity][kProjectTextCapacity]{};
  uint8_t projectCount = 0;
  ProgramEditor programEditor{};
  PageEditor pageEditor{};
  ProjectManagerPage projectManager{};
  NewProjectPage newProject{};
  EditPagePage editPage{};
  EditProgramPage editProgram{};
  Project undo{};         /**< the project before the editors' last change */
  uint8_t undoReady = 0;  /**< 1: Undo has a change to take back */
};

}  // namespace trelvan
