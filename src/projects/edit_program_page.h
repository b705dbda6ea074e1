// The Edit Project Program page (page 4): the program as rows, the inputs,
// outputs and variables, and the building of one instruction at a time
// through clicks, the keyboards and the select-text page. The rules about
// the stream are the program logic's; this page only offers and calls them.
#pragma once

#include "projects/project_model.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/edit_program_roles.h"

namespace trelvan {

struct PageContext;
struct Projects;

constexpr const char* kVariableNameTag = "Variable Name";
constexpr const char* kPlaySoundNameTag = "Play Sound File Name";
constexpr const char* kLightEffectNameTag = "Light Effect File Name";
constexpr const char* kCopyConstantTag = "Constant Integer Copy";
constexpr const char* kIfConstantTag = "Constant Integer If 2";
constexpr const char* kVolumeTag = "Play Sound";
constexpr const char* kSelectTaskTitle = "Select Task";

// The page's run-time controls: the page builds them, so they live here.
struct EditProgramPage {
  ImageControl* image[kEditProgramImageCount];
  TextControl* text[kEditProgramTextCount];
  ImageControl insertHandle[kProgramRows];  /**< x 714 of each row */
  ImageControl removeHandle[kProgramRows];  /**< x 756 */
  bool insertActive[kProgramRows];
  bool removeActive[kProgramRows];
  ImageControl inputRow[kInputsPerPage];    /**< x 40, y 380 + 22 r */
  ImageControl outputRow[kMaxOutputLabels]; /**< x 304 */
  ImageControl variableRow[kMaxVariables];  /**< x 564 */
  ImageControl variableRemove[kMaxVariables];  /**< x 755 */
  ImageControl picker[4];                   /**< x 4 + 76 e in the row being built */
  uint8_t pickerKinds[4];
  uint8_t pickerCount;                      /**< 0 while no picker is shown */
  ImageControl cancel;                      /**< x 714, the row below the one being built */
  ImageControl boxA, boxB, boxC;            /**< the operand boxes of the row being built */
};

extern const PageUnit<PageContext, Projects> kEditProgramRecord;

}  // namespace trelvan
