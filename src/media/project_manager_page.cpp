#include "media/project_manager_page.h"

#include <initializer_list>

#include "projects/project_file.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/pages/information_page.h"

namespace trelvan {

namespace {

constexpr uint16_t kRowTop = 112;
constexpr uint16_t kRowPitch = 21;
constexpr uint16_t kDeletePicture = 30;  // "TA Common"
constexpr uint16_t kEditPicture = 31;

// The rows from the project list, as ListProjects left it.
void FillRows(Assistant& a) {
  ProjectManagerPage& m = a.ui.projectManager;
  const Projects& ps = a.projects;
  for (int i = 0; i < kProjectListCapacity; ++i) {
    ProjectListRow& row = m.rows[i];
    const uint16_t y = static_cast<uint16_t>(kRowTop + kRowPitch * i);
    row.text = TextControl{115, y, 170, 20, 0, kTextNoBackground, 0x0000, 0xFFFF};
    row.remove = ImageControl{288, y, 40, 20, kSourceCommon, kDeletePicture};
    row.edit = ImageControl{330, y, 50, 20, kSourceCommon, kEditPicture};
    row.inUse = i < ps.projectCount;
    CopyText(row.inUse ? ps.projectList[i] : "", row.name, kProjectTextCapacity);
  }
}

void DrawList(Assistant& a) {
  ProjectManagerPage& m = a.ui.projectManager;
  DrawImage(a, m.image[kProjectManagerListFrame]);
  for (const ProjectListRow& row : m.rows) {
    if (!row.inUse) continue;
    DrawFittedText(a.frame, &row.text, row.name);
    DrawImage(a, &row.remove);
    DrawImage(a, &row.edit);
  }
}

void Init(Assistant& a) {
  ProjectManagerPage& m = a.ui.projectManager;
  PageLoader load(a.ui.controls, a.storage, kProjectManagerRecord);
  for (int i = 0; i < kProjectManagerImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kProjectManagerTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  ListProjects(a.projects, a.storage);
  FillRows(a);
  a.ui.pages.initialised[kProjectManagerPage] = 1;
}

void Draw(Assistant& a, int full) {
  if (!full) return;
  ProjectManagerPage& m = a.ui.projectManager;
  Init(a);
  DrawPageFrame(a, kProjectManagerRecord, m.image[kProjectManagerFrame], m.text[kProjectManagerTitle]);
  for (int i : {kProjectManagerExit, kProjectManagerNewProject, kProjectManagerHintPanel}) {
    DrawImage(a, m.image[i]);
  }
  DrawTextControl(a.frame, m.text[kProjectManagerFiles], "Project Files");
  DrawTextControl(a.frame, m.text[kProjectManagerComputer], "on this computer");
  DrawList(a);
}

void DeleteProject(Assistant& a, const char* name) {
  StorageDeleteNamedFile(a.storage, name);
  // The list is rebuilt from the storage, so it shows what is really there.
  ListProjects(a.projects, a.storage);
  FillRows(a);
  const ImageControl* frame = a.ui.projectManager.image[kProjectManagerListFrame];
  if (frame) EraseControl(a.frame, frame);
  DrawList(a);
}

void OpenProject(Assistant& a, const char* name) {
  Project& p = a.projects.project;
  p.modified = false;
  ClearProject(p);
  CopyText(name, p.name, kProjectNameCapacity);
  if (LoadProject(p, a.storage) == LoadResult::kDamaged) {
    // Opening it would let a save write an empty record over the file.
    ClearProject(p);
    RequestInformation(a, kMsgProjectUnreadable, 0, kProjectManagerPage);
    return;
  }
  p.modified = false;
  a.projects.programEditor = ProgramEditor{};  // the program list from the top, nothing half built
  a.projects.pageEditor = PageEditor{};
  if (PageTable(kEditPagePage)) a.ui.pages.CurrentPage = kEditPagePage;
}

void Pointer(Assistant& a) {
  ProjectManagerPage& m = a.ui.projectManager;
  const PointerEventRecord& pointer = a.shell.PointerEvent;
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, m.image[kProjectManagerNewProject])) {
    if (a.projects.projectCount >= kProjectListCapacity) {
      RequestInformation(a, kMsgProjectsFull, 0, kProjectManagerPage);
      return;
    }
    a.projects.project.modified = true;
    ClearProject(a.projects.project);
    a.projects.programEditor = ProgramEditor{};
    a.ui.pages.CurrentPage = kNewProjectPage;
    return;
  }
  for (const ProjectListRow& row : m.rows) {
    if (!row.inUse) continue;
    if (HitTest(pointer, &row.remove)) {
      char name[kProjectTextCapacity];
      CopyText(row.name, name, sizeof name);
      DeleteProject(a, name);
      return;
    }
    if (HitTest(pointer, &row.edit)) {
      OpenProject(a, row.name);
      return;
    }
  }
  if (HitTest(pointer, m.image[kProjectManagerExit])) a.ui.pages.CurrentPage = kMainPage;
}

}  // namespace

const PageHandlers kProjectManagerRecord = {kProjectManagerPage, "TA ProjectManager", "Project Manager",
                                            Init, nullptr, Pointer, Draw};

}  // namespace trelvan
