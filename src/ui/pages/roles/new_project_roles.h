// The controls of the page file "TA NewProject" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/new_project.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum NewProjectImage : int {
  kNewProjectTitleBar = 0,   // decoration: title bar
  kNewProjectBack = 1,       // back
  kNewProjectCreate = 2,     // create
  kNewProjectKQ4 = 3,        // module KQ-4
  kNewProjectKQ4S = 4,       // module KQ-4S
  kNewProjectZR5 = 5,        // module ZR-5
  kNewProjectZR5S = 6,       // module ZR-5S
  kNewProjectNameField = 7,  // project-name field
  kNewProjectZR6 = 8,        // module ZR-6
  kNewProjectZR6S = 9,       // module ZR-6S
  kNewProjectImageCount = 10,
};

enum NewProjectText : int {
  kNewProjectTitle = 0,        // title
  kNewProjectModuleLabel = 1,  // label
  kNewProjectName = 2,         // the project's name
  kNewProjectNameLabel = 3,    // label
  kNewProjectTextCount = 4,
};

}  // namespace trelvan
