// The New Project page (page 2): the module the project is for and its name,
// then on to the page editor. It writes into the open project record.
#pragma once

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/new_project_roles.h"

namespace trelvan {

struct PageContext;
struct Projects;

constexpr const char* kNameRequestTag = "Project Name";
constexpr const char* kMsgNeedName = "You must enter a Project Name.";
constexpr const char* kMsgNeedModule = "You must select a Module.";
constexpr const char* kMsgNameTaken = "Select a different file name - Name already in use";

struct NewProjectPage {
  ImageControl* image[kNewProjectImageCount];
  TextControl* text[kNewProjectTextCount];
};

extern const PageUnit<PageContext, Projects> kNewProjectRecord;

}  // namespace trelvan
