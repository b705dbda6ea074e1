// The program's pages, by page number, and the dispatcher.
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

// The state a page's handlers take, out of the Assistant: a general page
// the page context, a media or projects page its subsystem's state beside
// it, the main and setup pages the whole App.
PageContext& StateOf(Assistant& a, PageContext*) { return a; }
App& StateOf(Assistant& a, App*) { return a; }
Media& StateOf(Assistant& a, Media*) { return a.media; }
Projects& StateOf(Assistant& a, Projects*) { return a.projects; }

template <typename... State>
void Call(Assistant& a, void (*handler)(State&...)) {
  handler(StateOf(a, static_cast<State*>(nullptr))...);
}

// A page's initialisation, after which the dispatcher counts it initialised.
template <int32_t N, const auto& P>
void InitPage(Assistant& a) {
  Call(a, P.init);
  a.ui.pages.initialised[N] = 1;
}

// Page N's row. A full draw is the page's initialisation, the opening every
// page shares, then the page's own.
template <int32_t N, const auto& P>
constexpr PageHandlers Row() {
  return {N, &P.page, InitPage<N, P>,
          [](Assistant& a) { if (P.timer) Call(a, P.timer); },
          [](Assistant& a) { Call(a, P.pointer); },
          [](Assistant& a, int full) {
            if (!full) return;
            InitPage<N, P>(a);
            DrawPageOpening(a, P.page);
            Call(a, P.draw);
          }};
}

// By page number: row k is page k + 1.
constexpr PageHandlers kPageTable[] = {
    Row<kMainPage, kMainPageRecord>(),
    Row<kNewProjectPage, kNewProjectRecord>(),
    Row<kEditPagePage, kEditPageRecord>(),
    Row<kEditProgramPage, kEditProgramRecord>(),
    Row<kAlphaKeyboardPage, kAlphaKeyboardRecord>(),
    Row<kInformationPage, kInformationPageRecord>(),
    Row<kSelectTextPage, kSelectTextRecord>(),
    Row<kSelectButtonPage, kSelectButtonRecord>(),
    Row<kNumericKeyboardPage, kNumericKeyboardRecord>(),
    Row<kSetupPage, kSetupRecord>(),
    Row<kProjectManagerPage, kProjectManagerRecord>(),
    Row<kLightEffectManagerPage, kLightEffectManagerRecord>(),
    Row<kPictureManagerPage, kPictureManagerRecord>(),
    Row<kSoundManagerPage, kSoundManagerRecord>(),
    Row<kSelectFilePage, kSelectFileRecord>(),
};

constexpr bool EveryRowIsItsPage() {
  if (sizeof kPageTable / sizeof kPageTable[0] != kPageCount) return false;
  for (int32_t k = 0; k < kPageCount; ++k) {
    if (kPageTable[k].number != k + 1) return false;
  }
  return true;
}
static_assert(EveryRowIsItsPage(), "the page table holds every page, page k in row k - 1");

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
