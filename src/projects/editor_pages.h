// What the two project editors share: Save, Save As and leaving with the
// save-now question, each shown on the information page.
#pragma once

#include <cstdint>

namespace trelvan {

struct ImageControl;
struct PageContext;
struct Projects;
struct Project;

constexpr const char* kMsgSaveComplete = "Save Complete!";
constexpr const char* kMsgSaveRefused = "Error - Not enough free storage!";
constexpr const char* kMsgUseSaveAs = "Please use Save As!";
constexpr const char* kMsgSaveNow = "Project Not Saved! Save now?";
constexpr const char* kMsgNameOfOtherFile = "Select a different file name - Name already in use";
constexpr const char* kSaveAsTag = "Save As";

// Save: only a name ending in "~"; the message says whether the storage took it.
void EditorSave(PageContext& a, Projects& projects, int32_t page);
// Save As with the entered text: at most 30 characters and a "~". A name
// held by a stored file of another type is refused, so no picture or sound
// is replaced by a project.
void EditorSaveAs(PageContext& a, Projects& projects, const char* text, int32_t page);
// Leaving the editors (their Leave control: the Project Manager; closing
// the window: kGoOnToEnd) from the editor `page`: at once when nothing is
// unsaved, otherwise after the question, whose answer EditorTakeSaveAnswer
// takes.
void EditorGoOn(PageContext& a, Projects& projects, int32_t page, int32_t destination);
// "Yes" saves and goes on (a refused save is shown, and the editor stays);
// "No" drops the changes and goes on. Called by both editors' timers.
void EditorTakeSaveAnswer(PageContext& a, Projects& projects, int32_t page);
// True while an editor holds changes not saved.
bool EditorHasUnsavedWork(const Projects& projects);

// "Remove from logic first!" with the row of the program that uses operand v.
void SayUsedInLogic(PageContext& a, const Project& p, uint8_t v, int32_t page);

// Undo and Redo in both editors: the project before each change (an
// insert, a delete, a move, a drag, a rename), kUndoSteps deep. Opening a
// project forgets them.
void KeepUndo(Projects& projects);
// True when a change was taken back or done again (Ctrl+Z, Ctrl+Y).
bool UndoLastChange(Projects& projects);
bool RedoLastChange(Projects& projects);
// The Undo control: dimmed when there is nothing to undo.
void DrawUndoControl(PageContext& a, const Projects& projects, const ImageControl* undo);
// The tick's Ctrl+Z or Ctrl+Y for the editor shown; true when it changed the project.
bool TakeEditCommand(PageContext& a, Projects& projects);

}  // namespace trelvan
