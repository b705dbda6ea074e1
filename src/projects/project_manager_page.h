// The Project Manager page (page 11): the stored projects, eighteen rows a
// list page with delete (after asking) and edit, and New Project. The project list itself is the
// projects subsystem's (ListProjects).
#pragma once

#include <cstdint>

#include "projects/project_model.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/information_page.h"
#include "ui/pages/roles/project_manager_roles.h"

namespace trelvan {

struct PageContext;
struct Projects;

constexpr const char* kMsgProjectsFull =
    "Maximum number of projects reached - No more projects allowed! Delete one to make room.";
constexpr const char* kMsgProjectUnreadable =
    "Error - Project file can not be read! It is damaged: delete it, or fetch it again.";

// A row of the list: the page lays these out itself, so they live here and
// not in the shared pools.
struct ProjectListRow {
  uint8_t inUse;
  char name[kProjectTextCapacity];
  TextControl text;
  ImageControl remove;  /**< "TA Common" 30, 40 x 20 at x 288 */
  ImageControl edit;    /**< "TA Common" 31, 50 x 20 at x 330 */
};

struct ProjectManagerPage {
  ImageControl* image[kProjectManagerImageCount];
  TextControl* text[kProjectManagerTextCount];
  ProjectListRow rows[kProjectListCapacity];
  uint16_t listPage;                       /**< which 18 projects the rows show, 0 for the first */
  char deleteAsked[kDeleteNameCapacity];   /**< the project a delete question waits with */
};

extern const PageUnit<PageContext, Projects> kProjectManagerRecord;

}  // namespace trelvan
