// The controls of the page file "TA EditProgram" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/edit_program.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum EditProgramImage : int {
  kEditProgramBackground = 0,       // page background
  kEditProgramLeave = 1,            // leave the page
  kEditProgramEditPage = 2,         // to the Edit Project Page
  kEditProgramInputsFrame = 3,      // frame of the inputs list
  kEditProgramOutputsFrame = 4,     // frame of the outputs list
  kEditProgramVariablesFrame = 5,   // frame of the variables list
  kEditProgramAddVariable = 6,      // add a variable
  kEditProgramSave = 7,             // save
  kEditProgramSaveAs = 8,           // save as
  kEditProgramInputsNext = 9,       // inputs: next page
  kEditProgramInputsPrevious = 10,  // inputs: previous page
  kEditProgramUndo = 11,            // undo the last change
  kEditProgramSpare12 = 12,         // spare, not drawn
  kEditProgramScrollUp = 13,        // program: scroll up
  kEditProgramScrollDown = 14,      // program: scroll down
  kEditProgramSpare15 = 15,         // spare, not drawn
  kEditProgramImageCount = 16,
};

enum EditProgramText : int {
  kEditProgramTitle = 0,           // title
  kEditProgramVariablesLabel = 1,  // "Variables"
  kEditProgramOutputsLabel = 2,    // "Outputs"
  kEditProgramInputsLabel = 3,     // "Inputs"
  kEditProgramProgramLabel = 4,    // "Program Logic"
  kEditProgramNameLabel = 5,       // "Project Name:"
  kEditProgramName = 6,            // the project's name
  kEditProgramInputsPage = 7,      // "p of n"
  kEditProgramSpare8 = 8,          // spare
  kEditProgramConstInts = 9,       // constant integers
  kEditProgramConstTexts = 10,     // constant texts
  kEditProgramTextCount = 11,
};

}  // namespace trelvan
