// The page framework: the program's page numbers, the current page,
// the called pages' answers and the opening every full draw shares. The page
// table with each page's handlers, and the dispatcher that routes the tick's
// pointer and timer events to the current page, are the shell's
// (shell/page_table.h).
#pragma once

#include <cstdint>

namespace trelvan {

// The pages by number; the page table (shell/page_table.cpp) holds page k
// in row k - 1, which it checks as it compiles.
enum PageNumber : int32_t {
  kMainPage = 1,
  kNewProjectPage = 2,
  kEditPagePage = 3,
  kEditProgramPage = 4,
  kAlphaKeyboardPage = 5,
  kInformationPage = 6,
  kSelectTextPage = 7,
  kSelectButtonPage = 8,
  kNumericKeyboardPage = 9,
  kSetupPage = 10,
  kProjectManagerPage = 11,
  kLightEffectManagerPage = 12,
  kPictureManagerPage = 13,
  kSoundManagerPage = 14,
  kSelectFilePage = 15,
  kLastPage = kSelectFilePage,  /**< a new page takes the number after it */
};

constexpr int32_t kPageCount = kLastPage;

// What a called page leaves for its caller's Take: the caller opens the page
// with its Request, the page goes back with an answer, and the caller's
// timer handler takes it once.
// kCallTyping: the user asked to type the text instead of choosing it.
enum CallResult : uint8_t { kCallNone = 0, kCallConfirmed = 1, kCallCancelled = 2, kCallTyping = 3 };

// What a page is: its page file and its title (the page table gives its
// number). Each page's file exports it as the first member of its PageUnit.
struct PageRecord {
  const char* fileName;  /**< the page file in storage */
  const char* title;     /**< drawn into text control 0; null when the page has none */
  // The image controls, by role, that every full draw shows after image
  // control 0, in drawing order, ending with kEndOfRoles; null for none.
  const int8_t* fixedImages;
};

constexpr int8_t kEndOfRoles = -1;

// One page as its file exports it: its record and its handlers, each handed
// the state the page acts on (State: the page context, with a subsystem's
// state beside it, or the whole App).
template <typename... State>
struct PageUnit {
  PageRecord page;
  void (*init)(State&...);
  void (*timer)(State&...);  /**< null: the page has no timer handler */
  void (*pointer)(State&...);
  void (*draw)(State&...);  /**< after the opening: what the page draws of its own */
};

struct Pages {
  int32_t CurrentPage = kMainPage;
  int32_t LastDrawnPage = 0;
  int32_t initialised[kPageCount + 1] = {};  /**< by page number */
  /** the page table's records, kPageCount entries by page number, set by the
      shell; null where no shell runs (a page tried alone) */
  const PageRecord* const* records = nullptr;
};

// The page table's record of `page`; null for a number outside 1..kPageCount or a
// page this program does not have.
const PageRecord* PageTable(const Pages& pages, int32_t page);

// A called page's return: the answer kept for the caller, then its page.
void ReturnToCaller(Pages& pages, uint8_t& answer, CallResult result, int32_t returnPage);
// The kept answer, once: kCallNone afterwards.
CallResult TakeAnswer(uint8_t& answer);

struct ImageControl;
struct TextControl;
struct PageContext;
// A page's image control drawn from the storage's page files.
void DrawImage(PageContext& a, const ImageControl* control);

// What every full draw does after the page's initialisation, before the
// page draws its own: the white page, image control 0, the record's fixed
// images, and its title (if any) in text control 0. A page's controls of
// role k are the pools' slots k, as the page loader hands them out.
void DrawPageOpening(PageContext& a, const PageRecord& page);

}  // namespace trelvan
