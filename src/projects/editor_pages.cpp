#include "projects/editor_pages.h"

#include "projects/program_logic.h"
#include "projects/project_file.h"
#include "projects/projects.h"
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

void KeepUndo(Projects& projects) {
  projects.undo = projects.project;
  projects.undoReady = 1;
}

bool UndoLastChange(Projects& projects) {
  if (!projects.undoReady) return false;
  projects.project = projects.undo;
  projects.project.modified = true;  // what is shown now differs from the file
  projects.undoReady = 0;
  return true;
}

void EditorSaveAs(PageContext& a, Projects& projects, const char* text, int32_t page) {
  char name[kProjectNameCapacity];
  TypedFileName(text, name, kProjectNameTypedLong);
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

bool EditorLeave(PageContext& a, Projects& projects, int32_t page) {
  if (!projects.project.modified) {
    a.ui.pages.CurrentPage = kProjectManagerPage;
    return false;
  }
  RequestInformation(a, kMsgSaveNow, kInfoYesShown | kInfoNoShown, page);
  return true;
}

bool EditorTakeSaveAnswer(PageContext& a, Projects& projects, int32_t page) {
  const uint16_t answer = TakeInformationAnswer(a);
  if (answer == 0) return false;
  if (answer != kInfoYesPressed) {
    a.ui.pages.CurrentPage = kProjectManagerPage;
  } else if (!SaveProject(projects, a.storage)) {
    RequestInformation(a, kMsgSaveRefused, 0, page);
  }
  return true;
}

}  // namespace trelvan
