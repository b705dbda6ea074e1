#include "ui/pages/main_page.h"

#include <initializer_list>

#include "shell/assistant.h"
#include "shell/setup_records.h"
#include "storage/text.h"
#include "ui/pages.h"

namespace trelvan {

namespace {

constexpr uint32_t kImageHundredth = 1342177;  // 134,217,728 / 100, rounded down

void LayOutRow(ListRow& row, uint16_t textX, uint16_t textW, uint16_t markX, uint16_t y,
               uint16_t picture) {
  row.mark = ImageControl{markX, y, 40, 21, kSourceCommon, picture};
  row.text = TextControl{textX, y, textW, 21, 0, kTextNoBackground, 0x0000, 0xFFFF};
  row.name[0] = 0;
}

void SetUpLists(Assistant& a) {
  MainPage& m = a.mainPage;
  a.transfer.transferActive = 0;
  m.MainListType = kListNone;
  m.listPage = 0;
  for (int r = 0; r < kListRows; ++r) {
    LayOutRow(m.listRows[r], 46, 260, 306, static_cast<uint16_t>(284 + 21 * r), 32);
  }
  if (!m.selectionLaidOut) {
    m.selectionLaidOut = 1;
    for (int r = 0; r < kSelectionRows; ++r) {
      LayOutRow(m.selectionRows[r], 520, 220, 740, static_cast<uint16_t>(214 + 21 * r), 33);
    }
    ClearSendList(a.transfer);
  }
  m.chosenRow = -1;
  m.lastServerStatus = 2;
}

// A page this program does not have yet would leave the user on a page that
// answers nothing: such a click is ignored.
void OpenPage(Assistant& a, int32_t page) {
  if (PageTable(page)) a.pages.CurrentPage = page;
}

}  // namespace

void FreeStorageText(uint16_t freeBlocks, char* out, size_t capacity) {
  const uint32_t percent = uint32_t{freeBlocks} * kBlockSize / kImageHundredth;
  FormatText(out, capacity, "Free Storage = %u%%", percent);
}

void MainPageInit(Assistant& a) {
  MainPage& m = a.mainPage;
  PageLoader load(a, "TA MainPage");
  m.image[0] = load.Image();
  m.image[1] = load.Image();
  m.text[0] = load.Text();
  m.image[2] = load.Image();
  m.text[1] = load.Text();
  for (int i = 3; i <= 24; ++i) m.image[i] = load.Image();
  m.text[2] = load.Text();
  m.text[3] = load.Text();
  m.image[25] = load.Image();
  load.Finish();
  SetUpLists(a);
  a.pages.initialised[kMainPage] = 1;
}

void MainPageDraw(Assistant& a, int full) {
  if (!full) return;
  MainPage& m = a.mainPage;
  MainPageInit(a);
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, 0, 0, kFrameWidth, kFrameHeight);
  DrawImageControl(a, m.image[0]);
  DrawImageControl(a, m.image[1]);
  DrawTextControl(a, m.text[0], "Trelvan Assistant");
  for (int i = 3; i <= 17; ++i) DrawImageControl(a, m.image[i]);
  for (int i : {20, 21, 23}) DrawImageControl(a, m.image[i]);
  char line[40];
  FormatText(line, "Revision %s", kProgramRevision);
  DrawTextControl(a, m.text[1], line);
  FreeStorageText(a.storage.fs.header.freeBlocks, line, sizeof line);
  DrawTextControl(a, m.text[3], line);
  m.chosenRow = -1;
}

void MainPagePointer(Assistant& a) {
  MainPage& m = a.mainPage;
  if (a.transfer.transferActive || a.shell.PointerEvent.state != kPointerPressed) return;
  if (HitTest(a, m.image[0])) a.shell.QuitRequested = 1;
  if (HitTest(a, m.image[5])) OpenPage(a, kSetupPage);
  if (HitTest(a, m.image[20])) {
    switch (m.MainListType) {
      case kListStoragePictures: OpenPage(a, kPictureManagerPage); break;
      case kListStorageSounds: OpenPage(a, kSoundManagerPage); break;
      case kListStorageLightEffects: OpenPage(a, kLightEffectManagerPage); break;
      case kListStorageProjects: OpenPage(a, kProjectManagerPage); break;
      default: break;
    }
  }
}

}  // namespace trelvan
