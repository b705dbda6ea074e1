#include "projects/project_manager_page.h"

#include <initializer_list>

#include "projects/project_file.h"
#include "projects/projects.h"
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
void FillRows(Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  const Projects& ps = projects;
  for (int i = 0; i < kProjectListCapacity; ++i) {
    ProjectListRow& row = m.rows[i];
    const uint16_t y = static_cast<uint16_t>(kRowTop + kRowPitch * i);
    row.text = TextControl{115, y, 170, 20, 0, kTextNoBackground, 0x0000, 0xFFFF};
    // delete last on the row, as in every manager
    row.edit = ImageControl{288, y, 50, 20, kSourceCommon, kEditPicture};
    row.remove = ImageControl{342, y, 40, 20, kSourceCommon, kDeletePicture};
    row.inUse = ps.projectList[i][0] != 0;
    CopyText(ps.projectList[i], row.name, kProjectTextCapacity);
  }
}

bool HasNextPage(const Projects& ps) {
  return uint32_t{ps.projectManager.listPage + 1u} * kProjectListCapacity < ps.projectCount;
}

void DrawList(PageContext& a, Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  DrawImage(a, m.image[kProjectManagerListFrame]);
  for (const ProjectListRow& row : m.rows) {
    if (!row.inUse) continue;
    DrawFittedText(a.frame, &row.text, row.name);
    DrawImage(a, &row.remove);
    DrawImage(a, &row.edit);
  }
  for (int i : {kProjectManagerNextListPage, kProjectManagerPreviousListPage}) {
    if (m.image[i]) EraseControl(a.frame, m.image[i]);
  }
  if (HasNextPage(projects)) DrawImage(a, m.image[kProjectManagerNextListPage]);
  if (m.listPage > 0) DrawImage(a, m.image[kProjectManagerPreviousListPage]);
}

// The list page's rows from the storage; a page emptied by a deletion steps back.
void ListPage(PageContext& a, Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  ListProjects(projects, a.storage, m.listPage);
  while (m.listPage > 0 && uint32_t{m.listPage} * kProjectListCapacity >= projects.projectCount) {
    ListProjects(projects, a.storage, --m.listPage);
  }
  FillRows(projects);
}

void Init(PageContext& a, Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  PageLoader load(a.ui.controls, a.storage, kProjectManagerRecord.page);
  for (int i = 0; i < kProjectManagerImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kProjectManagerTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  if (!m.deleteAsked[0]) m.listPage = 0;  // back from a delete question: the same list page
  ListPage(a, projects);
}

void Draw(PageContext& a, Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  DrawTextControl(a.frame, m.text[kProjectManagerFiles], "Project Files");
  DrawTextControl(a.frame, m.text[kProjectManagerComputer], "on this computer");
  DrawList(a, projects);
}

void Redraw(PageContext& a, Projects& projects) {
  ListPage(a, projects);
  const ImageControl* frame = projects.projectManager.image[kProjectManagerListFrame];
  if (frame) EraseControl(a.frame, frame);
  DrawList(a, projects);
}

// The answer to "Delete <name>?": the list is rebuilt from the storage, so
// it shows what is really there.
void Timer(PageContext& a, Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  if (!TakeDeleteAnswer(a, m.deleteAsked)) return;
  StorageDeleteNamedFile(a.storage, m.deleteAsked);
  m.deleteAsked[0] = 0;
  Redraw(a, projects);
}

void OpenProject(PageContext& a, Projects& projects, const char* name) {
  Project& p = projects.project;
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
  projects.programEditor = ProgramEditor{};  // the program list from the top, nothing half built
  projects.pageEditor = PageEditor{};
  ForgetSteps(projects.history);
  if (PageTable(a.ui.pages, kEditPagePage)) a.ui.pages.CurrentPage = kEditPagePage;
}

void Pointer(PageContext& a, Projects& projects) {
  ProjectManagerPage& m = projects.projectManager;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  const int turned = WheelOver(pointer, m.image[kProjectManagerListFrame]);
  const bool pressed = pointer.state == kPointerPressed;
  if ((turned < 0 || (pressed && HitTest(pointer, m.image[kProjectManagerNextListPage]))) && HasNextPage(projects)) {
    ++m.listPage;
    return Redraw(a, projects);
  }
  if ((turned > 0 || (pressed && HitTest(pointer, m.image[kProjectManagerPreviousListPage]))) && m.listPage > 0) {
    --m.listPage;
    return Redraw(a, projects);
  }
  if (!pressed) return;
  if (HitTest(pointer, m.image[kProjectManagerNewProject])) {
    if (projects.projectCount >= kProjectListCapacity) {
      RequestInformation(a, kMsgProjectsFull, 0, kProjectManagerPage);
      return;
    }
    projects.project.modified = true;
    projects.editorPage = 0;  // the editors hold it once it is created
    ClearProject(projects.project);
    projects.programEditor = ProgramEditor{};
    a.ui.pages.CurrentPage = kNewProjectPage;
    return;
  }
  for (const ProjectListRow& row : m.rows) {
    if (!row.inUse) continue;
    if (HitTest(pointer, &row.remove)) {
      AskDelete(a, m.deleteAsked, row.name, "", kProjectManagerPage);
      return;
    }
    if (HitTest(pointer, &row.edit)) {
      OpenProject(a, projects, row.name);
      return;
    }
  }
  if (HitTest(pointer, m.image[kProjectManagerExit])) a.ui.pages.CurrentPage = kMainPage;
}

}  // namespace

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kProjectManagerFixedImages[] = {kProjectManagerExit, kProjectManagerNewProject, kProjectManagerHintPanel, kEndOfRoles};

const PageUnit<PageContext, Projects> kProjectManagerRecord = {
    {
        "TA ProjectManager",  // page file
        "Project Manager",  // title
        kProjectManagerFixedImages,  // fixed images
    },
    Init,  // init
    Timer,  // timer
    Pointer,  // pointer
    Draw,  // draw
};

}  // namespace trelvan
