// The project model: the one open project, the list of stored projects and
// the two editors' state.
//
// A project is what a user builds for one module: the module model, the
// picture behind the handheld screen, up to 8 buttons on that screen and a
// small byte-coded program with variables and constants. Exactly one project
// is open at a time; the editors change it in memory and only SaveProject
// writes it.
#pragma once

#include <cstdint>

#include "storage/text.h"

namespace trelvan {

// ---- capacities -----------------------------------------------------------------
// A project name is a storage file name.
constexpr int kProjectNameCapacity = kFileNameCapacity;
// The most characters the keyboard takes for a project's name (New Project
// and both editors' Save As): the storage name's 31 characters less the "~"
// the name gets. A picture, sound or light effect a page or a program step
// names is a stored file's whole name.
constexpr uint8_t kProjectNameTyped = kProjectNameCapacity - 2;
constexpr uint8_t kMediaNameTyped = kFileNameCapacity - 1;
// The longest model text ("ZR-5S") with room to spare, as stored in the file.
constexpr int kModelCapacity = 13;
// A picture, variable, constant text or label: a storage file name's length.
constexpr int kProjectTextCapacity = 32;
// A button name is drawn inside a 60-pixel button on the handheld: 12 characters.
constexpr int kButtonNameCapacity = 13;
// The handheld screen holds at most 8 buttons.
constexpr int kMaxButtons = 8;
// The module keeps 8 variables.
constexpr int kMaxVariables = 8;
// The operand byte indexes a list with 5 bits, and the module keeps 32 of each.
constexpr int kMaxConstInts = 32;
constexpr int kMaxConstTexts = 32;
// A file holds 0 or 1 picture names.
constexpr int kMaxPictures = 1;
// The program length is one byte in the file: at most 255 bytes in use.
constexpr int kProgramCapacity = 256;
constexpr int kMaxProgramLength = 255;
// Input operands: physical inputs (at most 8) then button names (at most 8).
constexpr int kMaxInputLabels = 16;
// The largest module drives 7 outputs; one spare slot keeps the list round.
constexpr int kMaxOutputLabels = 8;
// The Project Manager shows 18 rows of 21 pixels in its list frame.
constexpr int kProjectListCapacity = 18;
// The program page shows 14 instruction rows of 22 pixels.
constexpr int kProgramRows = 14;
// The inputs list shows 8 labels a page.
constexpr int kInputsPerPage = 8;

// 20 + 32 + 8 x 19 + 8 x 32 + 32 x 2 + 32 x 32 + 255: the largest project data.
constexpr uint32_t kMaxProjectData = 20 + 32 * kMaxPictures + 19 * kMaxButtons +
                                     32 * kMaxVariables + 2 * kMaxConstInts +
                                     32 * kMaxConstTexts + kMaxProgramLength;

// A button's imageIndex for picture 1 of the page editor's own file.
constexpr uint8_t kOwnButtonPicture = 0xFF;

struct ProjectButton {
  uint8_t imageIndex;  /**< picture of "TA Buttons", or kOwnButtonPicture */
  uint16_t x;          /**< left edge relative to the handheld screen area, 1..260 by dragging */
  uint16_t y;          /**< top edge relative to the screen area, 25..200 by dragging */
  uint8_t buttonMode;  /**< two-state setting, 0 or 1, stored and shown only */
  char name[kButtonNameCapacity];
};

struct Project {
  char name[kProjectNameCapacity];  /**< also the storage file name */
  char moduleModel[kModelCapacity];
  uint8_t moduleClass;   /**< 0 KQ-4(S), 1 ZR-5(S), 2 ZR-6(S) */
  uint8_t pictureCount;  /**< 0 or 1 picture names stored */
  char pictureName[kProjectTextCapacity];
  uint8_t buttonCount;
  ProjectButton buttons[kMaxButtons];
  uint8_t variableCount;
  char variableNames[kMaxVariables][kProjectTextCapacity];
  uint8_t constIntCount;
  int16_t constInts[kMaxConstInts];
  uint8_t constTextCount;
  char constTexts[kMaxConstTexts][kProjectTextCapacity];
  uint8_t programLength;  /**< bytes of program in use */
  uint8_t program[kProgramCapacity];

  // Derived, rebuilt and never stored.
  uint8_t instructionCount;
  uint8_t inputCount;
  char inputLabels[kMaxInputLabels][kProjectTextCapacity];
  uint8_t outputCount;
  char outputLabels[kMaxOutputLabels][kProjectTextCapacity];
  bool modified;  /**< set by every edit, cleared by a save and on opening */
};

// The program editor's steps while an instruction is built:
// 0 -> 1 -> (2 -> 3 | 4 -> 5 | 6 -> 7 -> 8) -> 0.
enum EditStep : uint8_t {
  kBuildIdle = 0,
  kBuildPickKind = 1,         /**< the picker of offered kinds is shown */
  kBuildIfA = 2,              /**< a condition's A: a variable or an input */
  kBuildIfB = 3,              /**< its B: a variable or a constant */
  kBuildCopySource = 4,       /**< a variable or a constant */
  kBuildCopyDestination = 5,  /**< a variable */
  kBuildTaskChoice = 6,       /**< the Select Text page chooses the task */
  kBuildTaskP = 7,            /**< an output, or a file name for tasks 2 and 3 */
  kBuildTaskQ = 8,
};

// The program editor's state (kept while the program runs).
struct ProgramEditor {
  EditStep editStep;
  uint8_t programScroll;   /**< instruction in the top row */
  uint8_t inputPage;       /**< page of the inputs list */
  uint8_t insertRow;       /**< screen row of the instruction being built */
  uint8_t pendingKind;     /**< 1, 2, 6 or 7 */
  uint8_t pendingA, pendingB, pendingC;
  bool cancelPressed;      /**< a press on insertion-cancel waits for its release */
};

// The page editor's state.
struct PageEditor {
  bool dragActive;
  uint8_t dragButton;
  int16_t dragOffsetX, dragOffsetY;
  int16_t dragX, dragY;     /**< the dragged picture's top-left corner on screen */
  uint8_t editButton;       /**< the button whose name or picture is being chosen */
  bool selectButtonOpen;    /**< the Select Button page was opened for editButton */
};

}  // namespace trelvan
