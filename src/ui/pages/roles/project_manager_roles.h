// The controls of the page file "TA ProjectManager" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/project_manager.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum ProjectManagerImage : int {
  kProjectManagerFrame = 0,             // page frame
  kProjectManagerExit = 1,              // exit
  kProjectManagerListFrame = 2,         // list background
  kProjectManagerNewProject = 3,        // new project
  kProjectManagerHintPanel = 4,         // hint (no role in the handler)
  kProjectManagerNextListPage = 5,      // next 18 projects; drawn while more follow
  kProjectManagerPreviousListPage = 6,  // previous 18 projects; drawn past the first
  kProjectManagerImageCount = 7,
};

enum ProjectManagerText : int {
  kProjectManagerTitle = 0,     // title
  kProjectManagerFiles = 1,     // "Project Files"
  kProjectManagerComputer = 2,  // "on this computer"
  kProjectManagerTextCount = 3,
};

}  // namespace trelvan
