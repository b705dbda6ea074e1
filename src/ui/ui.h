// The UI subsystem's state: the control pools, the page dispatcher and every
// page's own state. Its capacities are listed in ui/limits.h.
#pragma once

#include "media/project_manager_page.h"
#include "projects/edit_page_page.h"
#include "projects/edit_program_page.h"
#include "ui/controls.h"
#include "ui/limits.h"
#include "ui/pages.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/main_page.h"
#include "ui/pages/new_project_page.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"
#include "ui/pages/setup_page.h"

namespace trelvan {

struct Ui {
  Controls controls{};
  Pages pages{};
  MainPage mainPage{};
  KeyboardPages keyboards{};
  InformationPage information{};
  SelectTextPage selectText{};
  SelectButtonPage selectButton{};
  SelectFilePage selectFile{};
  NewProjectPage newProject{};
  SetupPage setup{};
  ProjectManagerPage projectManager{};
  EditPagePage editPage{};
  EditProgramPage editProgram{};
};

}  // namespace trelvan
