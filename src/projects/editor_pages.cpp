#include "projects/editor_pages.h"

#include "projects/program_logic.h"
#include "projects/project_file.h"
#include "projects/projects.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "ui/pages/information_page.h"

namespace trelvan {

namespace {

void SaveAndReport(PageContext& a, Projects& projects, int32_t page) {
  const bool saved = SaveProject(projects, a.storage);
  RequestInformation(a, saved ? kMsgSaveComplete : kMsgSaveRefused, 0, page);
}

}  // namespace

void SayUsedInLogic(PageContext& a, const Project& p, uint8_t v, int32_t page) {
  char text[kMessageTextCapacity];
  FormatText(text, kMsgRemoveFromLogic, FirstInstructionUsing(p, v) + 1);
  RequestInformation(a, text, 0, page);
}

void EditorSave(PageContext& a, Projects& projects, int32_t page) {
  const Project& p = projects.project;
  const uint16_t n = TextLength(p.name);
  if (n == 0 || p.name[n - 1] != '~') {
    RequestInformation(a, kMsgUseSaveAs, 0, page);
    return;
  }
  SaveAndReport(a, projects, page);
}

void KeepUndo(Projects& projects) { KeepStep(projects.history, projects.project); }

namespace {

// What Undo and Redo bring back is shown, not stored.
bool Changed(Projects& projects, bool changed) {
  if (changed) projects.project.modified = true;
  return changed;
}

}  // namespace

bool UndoLastChange(Projects& projects) {
  return Changed(projects, UndoStep(projects.history, projects.project));
}

bool RedoLastChange(Projects& projects) {
  return Changed(projects, RedoStep(projects.history, projects.project));
}

void DrawUndoControl(PageContext& a, const Projects& projects, const ImageControl* undo) {
  if (!undo) return;
  EraseControl(a.frame, undo);
  DrawImage(a, undo);
  if (projects.history.undoCount == 0) DimControl(a.frame, undo);
}

bool TakeEditCommand(PageContext& a, Projects& projects) {
  const uint8_t command = a.input.Edit;
  a.input.Edit = kEditNone;
  if (command == kEditUndo) return UndoLastChange(projects);
  if (command == kEditRedo) return RedoLastChange(projects);
  return false;
}

void EditorSaveAs(PageContext& a, Projects& projects, const char* text, int32_t page) {
  char name[kProjectNameCapacity];
  TypedFileName(text, name, kProjectNameTyped);
  const int existing = StorageFindFile(a.storage, name);
  if (existing >= 0) {
    char type[kProjectTextCapacity];
    StorageReadField(a.storage, static_cast<uint16_t>(existing), kFieldType, type);
    if (CompareText(type, kProjectFileType, kProjectTextCapacity) != 0) {
      RequestInformation(a, kMsgNameOfOtherFile, 0, page);
      return;
    }
  }
  CopyText(name, projects.project.name, kProjectNameCapacity);
  SaveAndReport(a, projects, page);
}

bool EditorHasUnsavedWork(const Projects& projects) {
  return projects.editorPage != 0 && projects.project.modified;
}

void EditorGoOn(PageContext& a, Projects& projects, int32_t page, int32_t destination) {
  if (!projects.project.modified) {
    if (destination != kGoOnToEnd) projects.editorPage = 0;
    GoOn(a, destination);
    return;
  }
  projects.goOnTo = destination;
  projects.goOnAsked = true;
  RequestInformation(a, kMsgSaveNow, kInfoYesShown | kInfoNoShown, page);
}

void EditorTakeSaveAnswer(PageContext& a, Projects& projects, int32_t page) {
  if (!projects.goOnAsked) return;
  const uint16_t answer = TakeInformationAnswer(a);
  if (answer == 0) return;
  projects.goOnAsked = false;
  if (answer == kInfoYesPressed && !SaveProject(projects, a.storage)) {
    RequestInformation(a, kMsgSaveRefused, 0, page);  // nothing is dropped
    return;
  }
  projects.project.modified = false;  // saved, or dropped
  if (projects.goOnTo != kGoOnToEnd) projects.editorPage = 0;
  GoOn(a, projects.goOnTo);
}

}  // namespace trelvan
