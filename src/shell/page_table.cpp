// The program's fifteen pages, by page number, and the dispatcher.
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
// context and the main and setup pages the whole App (Alone), a media or
// projects page its subsystem's state beside the page context.
struct Alone {
  template <typename F> static void Call(Assistant& a, F f) { f(a); }
};
struct WithMedia {
  template <typename F> static void Call(Assistant& a, F f) { f(a, a.media); }
};
struct WithProjects {
  template <typename F> static void Call(Assistant& a, F f) { f(a, a.projects); }
};

// A page's initialisation, after which the dispatcher counts it initialised.
template <typename Kind, const auto& P>
void InitPage(Assistant& a) {
  Kind::Call(a, P.init);
  a.ui.pages.initialised[P.page.number] = 1;
}

// A full draw is the page's initialisation, the opening every page shares,
// then the page's own.
template <typename Kind, const auto& P>
constexpr PageHandlers Page() {
  return {&P.page, InitPage<Kind, P>,
          [](Assistant& a) { if (P.timer) Kind::Call(a, P.timer); },
          [](Assistant& a) { Kind::Call(a, P.pointer); },
          [](Assistant& a, int full) {
            if (!full) return;
            InitPage<Kind, P>(a);
            DrawPageOpening(a, P.page);
            Kind::Call(a, P.draw);
          }};
}

// By page number.
const PageHandlers kPageTable[kPageCount] = {
    Page<Alone, kMainPageRecord>(),
    Page<WithProjects, kNewProjectRecord>(),
    Page<WithProjects, kEditPageRecord>(),
    Page<WithProjects, kEditProgramRecord>(),
    Page<Alone, kAlphaKeyboardRecord>(),
    Page<Alone, kInformationPageRecord>(),
    Page<Alone, kSelectTextRecord>(),
    Page<Alone, kSelectButtonRecord>(),
    Page<Alone, kNumericKeyboardRecord>(),
    Page<Alone, kSetupRecord>(),
    Page<WithProjects, kProjectManagerRecord>(),
    Page<WithMedia, kLightEffectManagerRecord>(),
    Page<WithMedia, kPictureManagerRecord>(),
    Page<WithMedia, kSoundManagerRecord>(),
    Page<Alone, kSelectFileRecord>(),
};

// Their records, for the pages' own look-ups (ui/pages.h).
struct Records {
  const PageRecord* byNumber[kPageCount];
  Records() {
    for (int32_t i = 0; i < kPageCount; ++i) byNumber[i] = kPageTable[i].page;
  }
};
const Records kRecords;

}  // namespace

const PageHandlers* PageHandlersOf(int32_t page) {
  return page < 1 || page > kPageCount ? nullptr : &kPageTable[page - 1];
}

void DispatchPageEvent(Assistant& a, int event) {
  Pages& p = a.ui.pages;
  const PageHandlers* h = PageHandlersOf(p.CurrentPage);
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
  h->timer(a);
}

Assistant::Assistant(const Platform& p) : App(p) { ui.pages.records = kRecords.byNumber; }

}  // namespace trelvan
