// What the two project editors share: Save, Save As and leaving with the
// save-now question, each shown on the information page.
#pragma once

#include <cstdint>

namespace trelvan {

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
// Leave: straight to the Project Manager when nothing changed; otherwise the
// question, whose answer EditorTakeSaveAnswer takes. True when it asked.
bool EditorLeave(PageContext& a, Projects& projects, int32_t page);
// Undo in both editors, as the light-effect editor has it: one copy of the
// project taken before each change (an insert, a delete, a move, a drag, a
// rename); Undo puts it back once. Opening a project forgets it.
void KeepUndo(Projects& projects);
// True when a change was taken back.
bool UndoLastChange(Projects& projects);

// "Remove from logic first!" with the row of the program that uses operand v.
void SayUsedInLogic(PageContext& a, const Project& p, uint8_t v, int32_t page);

// "Yes" saves and stays (a refusal is shown); any other answer leaves.
// False while the question has no answer yet.
bool EditorTakeSaveAnswer(PageContext& a, Projects& projects, int32_t page);

}  // namespace trelvan
