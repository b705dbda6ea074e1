#include "projects/edit_page_page.h"

#include <initializer_list>

#include "storage/type_list.h"
#include "ui/stored_picture.h"
#include "projects/editor_pages.h"
#include "projects/program_logic.h"
#include "projects/project_file.h"
#include "projects/projects.h"
#include "projects/stored_names.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

namespace {

constexpr uint16_t kRowTop = 170;
constexpr uint16_t kRowPitch = 44;
constexpr uint16_t kDefaultButtonPicture = 1;  // page file pictures
constexpr uint16_t kRemovePicture = 3;
constexpr uint16_t kModePictures[2] = {9, 10};
constexpr uint16_t kChoosePicture = 12;
constexpr uint16_t kNameBoxPicture = 13;
constexpr uint16_t kBackgroundX = 482;  // the stored picture on the screen area
constexpr uint16_t kBackgroundY = 231;

const ImageControl& Area(Projects& projects) {
  static const ImageControl kNone{};
  const ImageControl* c = projects.editPage.image[kEditPageScreenArea];
  return c ? *c : kNone;
}

void PlaceScreenPicture(EditPageRow& row, int x, int y) {
  row.screenPicture.x = static_cast<uint16_t>(x);
  row.screenPicture.y = static_cast<uint16_t>(y);
  row.screenName = TextControl{row.screenPicture.x, static_cast<uint16_t>(y + 26), 60, 12, 1,
                               kTextCentred | kTextNoBackground, 0xFFFF, 0x0000};
}

// Every row's controls from the record: pictures, positions and modes.
void LayOutRows(Projects& projects) {
  const Project& p = projects.project;
  const ImageControl& area = Area(projects);
  for (int i = 0; i < kMaxButtons; ++i) {
    EditPageRow& row = projects.editPage.rows[i];
    const ProjectButton& b = p.buttons[i];
    const uint16_t y = static_cast<uint16_t>(kRowTop + kRowPitch * i);
    const bool own = b.imageIndex == kOwnButtonPicture;
    const uint8_t source = own ? kSourcePageFile : kSourceButtons;
    const uint16_t picture = own ? kDefaultButtonPicture : b.imageIndex;
    row.listPicture = ImageControl{10, y, 60, 40, source, picture};
    row.screenPicture = ImageControl{0, 0, 60, 40, source, picture};
    PlaceScreenPicture(row, area.x + b.x, area.y + b.y);
    row.nameBox = ImageControl{74, y, 120, 40, kSourcePageFile, kNameBoxPicture};
    row.nameText = TextControl{80, static_cast<uint16_t>(y + 10), 110, 24, 0, kTextNoBackground,
                               0x0000, 0xFFFF};
    row.mode = ImageControl{198, y, 70, 40, kSourcePageFile, kModePictures[b.buttonMode ? 1 : 0]};
    row.choose = ImageControl{272, y, 56, 40, kSourcePageFile, kChoosePicture};
    row.remove = ImageControl{332, y, 56, 40, kSourcePageFile, kRemovePicture};
  }
}

void DrawScreenArea(PageContext& a, Projects& projects) {
  EditPagePage& m = projects.editPage;
  const Project& p = projects.project;
  if (m.image[kEditPageScreenArea]) EraseControl(a.frame, m.image[kEditPageScreenArea]);
  DrawImage(a, m.image[kEditPageScreenArea]);
  DrawImage(a, m.image[kEditPageScreenTopBar]);
  DrawTextControl(a.frame, m.text[kEditPageAccessory], "Accessory Control");
  const int picture = p.pictureName[0] ? StorageFindFile(a.storage, p.pictureName) : -1;
  if (picture >= 0) {
    char type[kProjectTextCapacity];
    StorageReadField(a.storage, static_cast<uint16_t>(picture), kFieldType, type);
    if (CompareText(type, kPictureFileType, kProjectTextCapacity) == 0) {
      DrawStoragePicture(a.storage, a.frame, static_cast<int16_t>(picture), kBackgroundX,
                         kBackgroundY);
    }
  }
  for (int i = 0; i < p.buttonCount; ++i) {
    DrawImage(a, &m.rows[i].screenPicture);
    DrawTextControl(a.frame, &m.rows[i].screenName, p.buttons[i].name);
  }
  for (int i = kEditPageBezelTop; i <= kEditPageBezelRight; ++i) DrawImage(a, m.image[i]);
  DrawTextControl(a.frame, m.text[kEditPageUserName], "User Name");
  DrawUndoControl(a, projects, m.image[kEditPageUndo]);
}

// The name, picture name, model, the rows in use (the others erased) and the screen.
void DrawProjectInformation(PageContext& a, Projects& projects) {
  EditPagePage& m = projects.editPage;
  const Project& p = projects.project;
  ShowText(a, m.text[kEditPageName], p.name);
  DrawImage(a, m.image[kEditPagePictureNameBox]);
  DrawTextControl(a.frame, m.text[kEditPagePictureName], p.pictureName);
  ShowText(a, m.text[kEditPageModule], p.moduleModel);
  for (int i = 0; i < kMaxButtons; ++i) {
    EditPageRow& row = m.rows[i];
    const ImageControl band{10, row.listPicture.y, 380, 40, 0, 0};
    EraseControl(a.frame, &band);
    if (i >= p.buttonCount) continue;
    for (const ImageControl* c : {&row.listPicture, &row.nameBox, &row.mode, &row.choose, &row.remove}) {
      DrawImage(a, c);
    }
    DrawTextControl(a.frame, &row.nameText, p.buttons[i].name);
  }
  DrawScreenArea(a, projects);
}

void Init(PageContext& a, Projects& projects) {
  EditPagePage& m = projects.editPage;
  PageLoader load(a.ui.controls, a.storage, kEditPageRecord.page);
  for (int i = 0; i < kEditPageImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kEditPageTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  LayOutRows(projects);
  projects.editorPage = kEditPagePage;
}

void Draw(PageContext& a, Projects& projects) {
  EditPagePage& m = projects.editPage;
  DrawTextControl(a.frame, m.text[kEditPagePictureLabel], "Picture Name");
  DrawTextControl(a.frame, m.text[kEditPageNote1], "NOTE: You can drag");
  DrawTextControl(a.frame, m.text[kEditPageNote2], "buttons to position them.");
  DrawTextControl(a.frame, m.text[kEditPageNameLabel], "Project Name:");
  DrawTextControl(a.frame, m.text[kEditPageScreenTitle], "Handheld Controller  Screen");
  DrawTextControl(a.frame, m.text[kEditPageModuleLabel], "Module:");
  DrawProjectInformation(a, projects);
}

// The screen's background: a stored picture's whole name.
void PictureNamed(PageContext& a, Projects& projects, const char* name) {
  KeepUndo(projects);
  CopyText(name, projects.project.pictureName, kProjectTextCapacity);
  DrawProjectInformation(a, projects);
}

void Timer(PageContext& a, Projects& projects) {
  Projects& ps = projects;
  PageEditor& e = ps.pageEditor;
  Project& p = ps.project;
  EditorTakeSaveAnswer(a, projects, kEditPagePage);
  if (!e.dragActive && TakeEditCommand(a, projects)) {
    LayOutRows(projects);
    DrawProjectInformation(a, projects);
  }
  if (e.selectButtonOpen) {
    uint16_t chosen = 0;
    const CallResult r = TakeSelectedButton(a, &chosen);
    if (r != kCallNone) e.selectButtonOpen = false;
    // Back on the select-button page keeps the button's picture.
    if (r == kCallConfirmed && e.editButton < p.buttonCount &&
        p.buttons[e.editButton].imageIndex != chosen) {
      KeepUndo(projects);
      p.buttons[e.editButton].imageIndex = static_cast<uint8_t>(chosen);
      LayOutRows(projects);
      DrawProjectInformation(a, projects);
    }
  }
  // the picture: chosen from the stored ones, or typed when the user asked to
  const CallResult chosen = TakeSelectedText(a, nullptr);
  if (chosen == kCallConfirmed) {
    PictureNamed(a, projects, a.ui.selectText.SelectTextEntries[0]);
  } else if (chosen == kCallTyping) {
    RequestText(a, kPictureNameTag, kMediaNameTyped, 2, kEditPagePage);
    return;  // the request waits for the keyboard
  }
  if (!TakeConfirmedText(a)) return;
  const char* text = a.ui.keyboards.alpha.EnteredText;
  if (RequestTagIs(a, kButtonNameTag)) {
    if (IsNameInUse(p, text)) {
      RequestInformation(a, kMsgNameInUse, 0, kEditPagePage);
    } else if (e.editButton < p.buttonCount) {
      KeepUndo(projects);
      CopyText(text, p.buttons[e.editButton].name, kButtonNameCapacity);
      RebuildIoLabels(p);
      DrawProjectInformation(a, projects);
    }
  } else if (RequestTagIs(a, kPictureNameTag)) {
    char message[kMessageTextCapacity];
    if (CheckTypedName(a.storage, kStoredPictures, text, message, sizeof message)) {
      PictureNamed(a, projects, text);
    } else {
      RequestInformation(a, message, 0, kEditPagePage);
    }
  } else if (RequestTagIs(a, kSaveAsTag)) {
    EditorSaveAs(a, projects, text, kEditPagePage);
  }
}

void Drag(PageContext& a, Projects& projects, const PointerEventRecord& pointer) {
  PageEditor& e = projects.pageEditor;
  const ImageControl& area = Area(projects);
  int32_t x = pointer.x - e.dragOffsetX - area.x, y = pointer.y - e.dragOffsetY - area.y;
  KeepButtonOnScreen(&x, &y);
  projects.project.modified = true;
  PlaceScreenPicture(projects.editPage.rows[e.dragButton], area.x + x, area.y + y);
  DrawScreenArea(a, projects);
}

void EndDrag(PageContext& a, Projects& projects) {
  PageEditor& e = projects.pageEditor;
  e.dragActive = false;
  const ImageControl& area = Area(projects);
  const ImageControl& c = projects.editPage.rows[e.dragButton].screenPicture;
  ProjectButton& b = projects.project.buttons[e.dragButton];
  const uint16_t x = static_cast<uint16_t>(c.x - area.x), y = static_cast<uint16_t>(c.y - area.y);
  if (x == b.x && y == b.y) return;  // a press without a move is no step
  KeepUndo(projects);
  b.x = x;
  b.y = y;
  DrawUndoControl(a, projects, projects.editPage.image[kEditPageUndo]);
}

// A press on one of button i's controls; true when it acted.
bool PressOnRow(PageContext& a, Projects& projects, int i, const PointerEventRecord& pointer) {
  EditPagePage& m = projects.editPage;
  Project& p = projects.project;
  PageEditor& e = projects.pageEditor;
  EditPageRow& row = m.rows[i];
  if (HitTest(pointer, &row.nameBox)) {
    p.modified = true;
    e.editButton = static_cast<uint8_t>(i);
    RequestText(a, kButtonNameTag, kButtonNameCapacity - 1, 2, kEditPagePage);
  } else if (HitTest(pointer, &row.mode)) {
    KeepUndo(projects);
    p.modified = true;
    p.buttons[i].buttonMode = p.buttons[i].buttonMode ? 0 : 1;
    LayOutRows(projects);
    DrawProjectInformation(a, projects);
  } else if (HitTest(pointer, &row.choose)) {
    p.modified = true;
    e.editButton = static_cast<uint8_t>(i);
    e.selectButtonOpen = true;
    RequestSelectButton(a, kEditPagePage);
  } else if (HitTest(pointer, &row.remove)) {
    const Project before = p;
    if (RemoveButtonChecked(p, static_cast<uint8_t>(i)) == ListChange::kReferenced) {
      SayUsedInLogic(a, p, static_cast<uint8_t>(PhysicalInputCount(p) + i), kEditPagePage);
    } else {
      KeepStep(projects.history, before);
      p.modified = true;
      LayOutRows(projects);
      DrawProjectInformation(a, projects);
    }
  } else {
    return false;
  }
  return true;
}

void Pointer(PageContext& a, Projects& projects) {
  EditPagePage& m = projects.editPage;
  Projects& ps = projects;
  Project& p = ps.project;
  PageEditor& e = ps.pageEditor;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (pointer.state == kPointerMoved) {
    if (e.dragActive) Drag(a, projects, pointer);
    return;
  }
  if (pointer.state == kPointerReleased) {
    if (e.dragActive) EndDrag(a, projects);
    return;
  }
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, m.image[kEditPageEditProgram])) {
    if (PageTable(a.ui.pages, kEditProgramPage)) a.ui.pages.CurrentPage = kEditProgramPage;
    return;
  }
  if (HitTest(pointer, m.image[kEditPageUndo])) {
    if (UndoLastChange(projects)) {
      LayOutRows(projects);
      DrawProjectInformation(a, projects);
    }
    return;
  }
  if (HitTest(pointer, m.image[kEditPageAddButton])) {
    if (p.buttonCount >= kMaxButtons) {
      RequestInformation(a, kMsgButtonsFull, 0, kEditPagePage);
      return;
    }
    KeepUndo(projects);
    AddButton(p);
    p.modified = true;
    LayOutRows(projects);
    DrawProjectInformation(a, projects);
    return;
  }
  if (HitTest(pointer, m.image[kEditPagePictureNameBox])) {
    p.modified = true;
    OfferStoredNames(a, kStoredPictures, kEditPagePage);
    return;
  }
  int dragged = -1;
  for (int i = 0; i < p.buttonCount; ++i) {
    if (HitTest(pointer, &m.rows[i].screenPicture)) dragged = i;  // the last one drawn wins
    if (PressOnRow(a, projects, i, pointer)) return;
  }
  if (dragged >= 0) {
    const ImageControl& c = m.rows[dragged].screenPicture;
    e.dragActive = true;
    e.dragButton = static_cast<uint8_t>(dragged);
    e.dragOffsetX = static_cast<int16_t>(pointer.x - c.x);
    e.dragOffsetY = static_cast<int16_t>(pointer.y - c.y);
    return;
  }
  if (HitTest(pointer, m.image[kEditPageSave])) {
    EditorSave(a, projects, kEditPagePage);
  } else if (HitTest(pointer, m.image[kEditPageSaveAs])) {
    RequestText(a, kSaveAsTag, kProjectNameTyped, 2, kEditPagePage);
  } else if (HitTest(pointer, m.image[kEditPageLeave])) {
    EditorGoOn(a, projects, kEditPagePage, kProjectManagerPage);
  }
}

}  // namespace

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kEditPageFixedImages[] = {kEditPageLeave, kEditPageEditProgram, kEditPageSaveAs, kEditPageSave, kEditPageAddButton, kEditPageUndo, kEndOfRoles};

const PageUnit<PageContext, Projects> kEditPageRecord = {
    {
        "TA EditPage",  // page file
        "Edit Project Page",  // title
        kEditPageFixedImages,  // fixed images
    },
    Init,  // init
    Timer,  // timer
    Pointer,  // pointer
    Draw,  // draw
};

}  // namespace trelvan
