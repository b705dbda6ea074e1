#include "ui/pages.h"

#include "media/light_effect_manager_page.h"
#include "media/picture_manager_page.h"
#include "media/project_manager_page.h"
#include "media/sound_manager_page.h"
#include "projects/edit_page_page.h"
#include "projects/edit_program_page.h"
#include "shell/assistant.h"
#include "ui/controls.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/main_page.h"
#include "ui/pages/new_project_page.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"
#include "ui/pages/setup_page.h"

namespace trelvan {

namespace {

// By page number.
const PageHandlers* const kPageTable[kPageCount] = {
    &kMainPageRecord,
    &kNewProjectRecord,
    &kEditPageRecord,
    &kEditProgramRecord,
    &kAlphaKeyboardRecord,
    &kInformationPageRecord,
    &kSelectTextRecord,
    &kSelectButtonRecord,
    &kNumericKeyboardRecord,
    &kSetupRecord,
    &kProjectManagerRecord,
    &kLightEffectManagerRecord,
    &kPictureManagerRecord,
    &kSoundManagerRecord,
    &kSelectFileRecord,
};

}  // namespace

const PageHandlers* PageTable(int32_t page) {
  if (page < 1 || page > kPageCount) return nullptr;
  return kPageTable[page - 1];
}

void DispatchPageEvent(Assistant& a, int event) {
  Pages& p = a.ui.pages;
  const PageHandlers* h = PageTable(p.CurrentPage);
  if (!h) return;
  if (event == kPagePointerEvent) {
    h->pointer(a);
    return;
  }
  if (p.CurrentPage != p.LastDrawnPage) {
    p.LastDrawnPage = p.CurrentPage;
    h->draw(a, 1);
    return;
  }
  if (!p.initialised[p.CurrentPage]) h->init(a);
  if (h->timer) h->timer(a);
}

void ReturnToCaller(Pages& pages, uint8_t& answer, CallResult result, int32_t returnPage) {
  answer = result;
  pages.CurrentPage = returnPage;
}

CallResult TakeAnswer(uint8_t& answer) {
  const CallResult result = static_cast<CallResult>(answer);
  answer = kCallNone;
  return result;
}

void DrawImage(Assistant& a, const ImageControl* control) {
  DrawImageControl(a.ui.controls, a.frame, a.storage, control);
}

void DrawPageFrame(Assistant& a, const PageHandlers& page, const ImageControl* image0,
                   const TextControl* title) {
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, 0, 0, kFrameWidth, kFrameHeight);
  DrawImage(a, image0);
  if (page.title) DrawTextControl(a.frame, title, page.title);
}

}  // namespace trelvan
