#include "ui/pages.h"

#include "shell/assistant.h"
#include "ui/controls.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/main_page.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

namespace {

// Pages without handlers are not part of this program yet: they get nothing.
const PageHandlers kPageTable[kPageCount] = {
    {"TA MainPage", "Trelvan Assistant", MainPageInit, nullptr, MainPagePointer, MainPageDraw},
    {"TA NewProject", "New Project", nullptr, nullptr, nullptr, nullptr},
    {"TA EditPage", "Edit Project Page", nullptr, nullptr, nullptr, nullptr},
    {"TA EditProgram", "Edit Project Program", nullptr, nullptr, nullptr, nullptr},
    {"TA PageKeyboardAlphaNumeric", "Keyboard Entry", AlphaKeyboardInit, AlphaKeyboardTimer,
     AlphaKeyboardPointer, AlphaKeyboardDraw},
    {"TA PageInformation", "Information Page", InformationPageInit, InformationPageTimer,
     InformationPagePointer, InformationPageDraw},
    {"TA PageSelectText", "Select Text", SelectTextInit, nullptr, SelectTextPointer,
     SelectTextDraw},
    {"TA PageSelectButton", "Select Button", SelectButtonInit, nullptr, SelectButtonPointer,
     SelectButtonDraw},
    {"TA PageKeyboardNumeric", nullptr, NumericKeyboardInit, NumericKeyboardTimer,
     NumericKeyboardPointer, NumericKeyboardDraw},
    {"TA PageSetup", "Setup", nullptr, nullptr, nullptr, nullptr},
    {"TA ProjectManager", "Project Manager", nullptr, nullptr, nullptr, nullptr},
    {"TA LightEffectManager", "Light Effect Manager", nullptr, nullptr, nullptr, nullptr},
    {"TA PictureManager", "Picture Manager", nullptr, nullptr, nullptr, nullptr},
    {"TA SoundManager", "Sound Manager", nullptr, nullptr, nullptr, nullptr},
    {"TA SelectFile", "Select File", SelectFileInit, nullptr, SelectFilePointer, SelectFileDraw},
};

}  // namespace

const PageHandlers* PageTable(int32_t page) {
  if (page < 1 || page > kPageCount) return nullptr;
  const PageHandlers* h = &kPageTable[page - 1];
  return h->draw ? h : nullptr;
}

void DispatchPageEvent(Assistant& a, int event) {
  Pages& p = a.pages;
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

void DrawPageFrame(Assistant& a, const ImageControl* image0, const TextControl* title,
                   const char* titleText) {
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, 0, 0, kFrameWidth, kFrameHeight);
  DrawImageControl(a, image0);
  if (titleText) DrawTextControl(a, title, titleText);
}

}  // namespace trelvan
