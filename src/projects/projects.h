// The projects subsystem's state: the project model and its four pages
// (Project Manager, New Project and the two editors).
#pragma once

#include "projects/edit_page_page.h"
#include "projects/edit_program_page.h"
#include "projects/new_project_page.h"
#include "projects/project_manager_page.h"
#include "projects/project_model.h"
#include "ui/page_context.h"
#include "ui/undo_history.h"

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
  UndoHistory<Project> history{};  /**< the editors' Undo and Redo */
  int32_t editorPage = 0;  /**< the editor last shown while one holds the project; 0: none */
  int32_t goOnTo = 0;      /**< where the save-now question's answer goes on to */
  bool goOnAsked = false;  /**< "Project Not Saved! Save now?" waits for its answer */
};

}  // namespace trelvan
