// The image controls a script may name: `click PAGE ROLE` presses image
// control ROLE of the page whose role prefix is PAGE. The table is generated
// from the layouts and the committed role enums (trelvan-rsc --role-table).
#pragma once

#include <vector>

namespace trelvan {

struct RoleName {
  const char* page;      /**< the layout's role prefix: "Main", "Alpha" */
  const char* pageFile;  /**< the page file: "TA MainPage" */
  const char* role;      /**< the role without prefix: "Exit" */
  int control;           /**< its image-control record */
};

const std::vector<RoleName>& RoleNames();

}  // namespace trelvan
