#include "projects/new_project_page.h"

#include <initializer_list>

#include "projects/project_file.h"
#include "projects/projects.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {

namespace {

// The six module buttons with their models; each shows picture 2k when not
// chosen and 2k + 1 when chosen.
struct ModuleButton {
  int image;
  const char* model;
};
constexpr ModuleButton kModuleButtons[] = {
    {kNewProjectKQ4, "KQ-4"}, {kNewProjectKQ4S, "KQ-4S"}, {kNewProjectZR5, "ZR-5"},
    {kNewProjectZR5S, "ZR-5S"}, {kNewProjectZR6, "ZR-6"}, {kNewProjectZR6S, "ZR-6S"},
};
constexpr uint8_t kNameMinLength = 2;

// Every module button unchosen, then the project's model chosen; its class
// goes into the record with the labels it brings.
void ShowModuleChoice(PageContext& a, Projects& projects) {
  NewProjectPage& n = projects.newProject;
  Project& p = projects.project;
  for (int k = 0; k < 6; ++k) {
    ImageControl* c = n.image[kModuleButtons[k].image];
    if (!c) continue;
    const bool chosen = CompareText(p.moduleModel, kModuleButtons[k].model, kModelCapacity) == 0;
    c->pictureIndex = static_cast<uint16_t>(2 * k + (chosen ? 1 : 0));
    DrawImage(a, c);
  }
  const int moduleClass = ModuleClassOfModel(p.moduleModel);
  if (moduleClass >= 0) p.moduleClass = static_cast<uint8_t>(moduleClass);
  RebuildIoLabels(p);
}

void ShowName(PageContext& a, Projects& projects) {
  NewProjectPage& n = projects.newProject;
  DrawImage(a, n.image[kNewProjectNameField]);
  DrawTextControl(a.frame, n.text[kNewProjectName], projects.project.name);
}

void Init(PageContext& a, Projects& projects) {
  NewProjectPage& n = projects.newProject;
  PageLoader load(a.ui.controls, a.storage, kNewProjectRecord.page);
  n.image[0] = load.Image();
  n.text[0] = load.Text();
  for (int i = 1; i <= 3; ++i) n.image[i] = load.Image();
  n.text[1] = load.Text();
  for (int i = 4; i <= 7; ++i) n.image[i] = load.Image();
  n.text[2] = load.Text();
  n.text[3] = load.Text();
  n.image[8] = load.Image();
  n.image[9] = load.Image();
  load.Finish();
}

void Draw(PageContext& a, Projects& projects) {
  NewProjectPage& n = projects.newProject;
  DrawTextControl(a.frame, n.text[kNewProjectModuleLabel], "Select One Module");
  DrawTextControl(a.frame, n.text[kNewProjectNameLabel], "Project Name");
  ShowModuleChoice(a, projects);
  ShowName(a, projects);
}

void Timer(PageContext& a, Projects& projects) {
  if (!TakeConfirmedText(a) || !RequestTagIs(a, kNameRequestTag)) return;
  char name[kProjectNameCapacity];
  TypedFileName(a.ui.keyboards.alpha.EnteredText, name, kProjectNameTyped);
  if (StorageFindFile(a.storage, name) >= 0) {
    RequestInformation(a, kMsgNameTaken, 0, kNewProjectPage);
    return;
  }
  CopyText(name, projects.project.name, kProjectNameCapacity - 1);
  ShowName(a, projects);
}

void Pointer(PageContext& a, Projects& projects) {
  NewProjectPage& n = projects.newProject;
  Project& p = projects.project;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, n.image[kNewProjectBack])) {
    a.ui.pages.CurrentPage = kProjectManagerPage;
    return;
  }
  if (HitTest(pointer, n.image[kNewProjectNameField])) {
    RequestText(a, kNameRequestTag, kProjectNameTyped, kNameMinLength, kNewProjectPage);
    return;
  }
  for (const ModuleButton& b : kModuleButtons) {
    if (!HitTest(pointer, n.image[b.image])) continue;
    CopyText(b.model, p.moduleModel, kModelCapacity);
    ShowModuleChoice(a, projects);
    return;
  }
  if (HitTest(pointer, n.image[kNewProjectCreate])) {
    if (p.name[0] == 0) {
      RequestInformation(a, kMsgNeedName, 0, kNewProjectPage);
    } else if (p.moduleModel[0] == 0) {
      RequestInformation(a, kMsgNeedModule, 0, kNewProjectPage);
    } else if (PageTable(a.ui.pages, kEditPagePage)) {
      projects.pageEditor = PageEditor{};
      ForgetSteps(projects.history);
      a.ui.pages.CurrentPage = kEditPagePage;
    }
  }
}

}  // namespace

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kNewProjectFixedImages[] = {kNewProjectBack, kNewProjectCreate, kEndOfRoles};

const PageUnit<PageContext, Projects> kNewProjectRecord = {
    {
        "TA NewProject",  // page file
        "New Project",  // title
        kNewProjectFixedImages,  // fixed images
    },
    Init,  // init
    Timer,  // timer
    Pointer,  // pointer
    Draw,  // draw
};

}  // namespace trelvan
