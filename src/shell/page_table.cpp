#include "shell/page_table.h"

#include "shell/assistant.h"
#include "media/light_effect_manager_page.h"
#include "media/picture_manager_page.h"
#include "media/sound_manager_page.h"
#include "ui/pages/alpha_keyboard_page.h"
#include "ui/pages/information_page.h"
#include "ui/pages/numeric_keyboard_page.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

namespace {

// Each kind of page is handed the state it acts on: a general page the page
// context, a media or projects page its subsystem's state beside it, the
// main and setup pages the whole App.
template <const UiPage& P>
constexpr PageHandlers General() {
  return {&P.page, [](Assistant& a) { P.init(a); },
          [](Assistant& a) { if (P.timer) P.timer(a); },
          [](Assistant& a) { P.pointer(a); }, [](Assistant& a, int full) { P.draw(a, full); }};
}

template <const MediaPage& P>
constexpr PageHandlers OfMedia() {
  return {&P.page, [](Assistant& a) { P.init(a, a.media); },
          [](Assistant& a) { if (P.timer) P.timer(a, a.media); },
          [](Assistant& a) { P.pointer(a, a.media); },
          [](Assistant& a, int full) { P.draw(a, a.media, full); }};
}

template <const ProjectsPage& P>
constexpr PageHandlers OfProjects() {
  return {&P.page, [](Assistant& a) { P.init(a, a.projects); },
          [](Assistant& a) { if (P.timer) P.timer(a, a.projects); },
          [](Assistant& a) { P.pointer(a, a.projects); },
          [](Assistant& a, int full) { P.draw(a, a.projects, full); }};
}

template <const AppPage& P>
constexpr PageHandlers OfApp() {
  return {&P.page, [](Assistant& a) { P.init(a); },
          [](Assistant& a) { if (P.timer) P.timer(a); },
          [](Assistant& a) { P.pointer(a); }, [](Assistant& a, int full) { P.draw(a, full); }};
}

// By page number.
const PageHandlers kPageTable[kPageCount] = {
    OfApp<kMainPageRecord>(),
    OfProjects<kNewProjectRecord>(),
    OfProjects<kEditPageRecord>(),
    OfProjects<kEditProgramRecord>(),
    General<kAlphaKeyboardRecord>(),
    General<kInformationPageRecord>(),
    General<kSelectTextRecord>(),
    General<kSelectButtonRecord>(),
    General<kNumericKeyboardRecord>(),
    OfApp<kSetupRecord>(),
    OfProjects<kProjectManagerRecord>(),
    OfMedia<kLightEffectManagerRecord>(),
    OfMedia<kPictureManagerRecord>(),
    OfMedia<kSoundManagerRecord>(),
    General<kSelectFileRecord>(),
};

}  // namespace

const PageHandlers* ProgramPages() { return kPageTable; }

Assistant::Assistant(const Platform& p) : App(p) { ui.pages.table = kPageTable; }

}  // namespace trelvan
