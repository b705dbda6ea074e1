#include "ui/pages/information_page.h"

#include "ui/page_context.h"
#include "storage/text.h"
#include "ui/pages.h"

namespace trelvan {

namespace {

constexpr int kNoSpace = -1;
constexpr uint16_t kLineTop = 200;
constexpr uint16_t kLineHeight = 18;
constexpr uint16_t kLineColour = 0xF800;

// Characters first .. last - 1 of text into a line.
void CopyLine(const char* text, int first, int last, char* line) {
  int n = 0;
  for (int i = first; i < last && n < kMessageLineCapacity - 1; ++i) line[n++] = text[i];
  line[n] = 0;
}

}  // namespace

void ShowMessage(PageContext& a, const char* text) {
  InformationPage& p = a.ui.information;
  CopyText(text, p.MessageText, kMessageTextCapacity);
  p.MessagePending = 1;
  if (a.ui.pages.CurrentPage != kInformationPage) p.InfoButtons = 0;
}

void AddYesButton(PageContext& a) {
  CopyText("Yes", a.ui.information.YesLabel, kButtonLabelCapacity);
  a.ui.information.InfoButtons |= kInfoYesShown;
}

void AddNoButton(PageContext& a) {
  CopyText("No", a.ui.information.NoLabel, kButtonLabelCapacity);
  a.ui.information.InfoButtons |= kInfoNoShown;
}

void RequestInformation(PageContext& a, const char* text, uint16_t shown, int32_t returnPage) {
  InformationPage& p = a.ui.information;
  p.InfoButtons = 0;
  ShowMessage(a, text);
  if (shown & kInfoYesShown) AddYesButton(a);
  if (shown & kInfoNoShown) AddNoButton(a);
  p.InfoReturnPage = returnPage;
  p.answer = kCallNone;
  a.ui.pages.CurrentPage = kInformationPage;
}

uint16_t TakeInformationAnswer(PageContext& a) {
  InformationPage& p = a.ui.information;
  if (TakeAnswer(p.answer) == kCallNone) return 0;
  return p.InfoButtons & (kInfoYesPressed | kInfoExitPressed | kInfoNoPressed);
}

void AskDelete(PageContext& a, char (&pending)[kDeleteNameCapacity], const char* name,
               const char* usedBy, int32_t returnPage) {
  CopyText(name, pending, kDeleteNameCapacity);
  char text[kMessageTextCapacity];
  if (usedBy && usedBy[0]) {
    FormatText(text, "Delete %s? Projects using it: %s", name, usedBy);
  } else {
    FormatText(text, "Delete %s?", name);
  }
  RequestInformation(a, text, kInfoYesShown | kInfoNoShown, returnPage);
}

bool TakeDeleteAnswer(PageContext& a, char (&pending)[kDeleteNameCapacity]) {
  if (!pending[0]) return false;
  const uint16_t answer = TakeInformationAnswer(a);
  if (answer == 0) return false;
  if (answer & kInfoYesPressed) return true;
  pending[0] = 0;
  return false;
}

bool WrapMessage(const char* text, char lines[kMessageLineCount][kMessageLineCapacity]) {
  for (int l = 0; l < kMessageLineCount; ++l) lines[l][0] = 0;
  int start = 0, lastSpace = kNoSpace, line = 0;
  for (int i = 0; i < kMessageTextCapacity; ++i) {
    if (text[i] == 0) {
      CopyLine(text, start, i, lines[line]);
      return true;
    }
    if (text[i] == ' ') lastSpace = i;
    if (i - start + 1 == kMessageLineCapacity) {
      // the space a line begins with is no place to break it
      if (lastSpace == kNoSpace || lastSpace == start) return false;
      CopyLine(text, start, lastSpace, lines[line]);
      if (++line == kMessageLineCount) return true;
      start = lastSpace;
      lastSpace = kNoSpace;
    }
  }
  return true;
}

static void InformationPageInit(PageContext& a) {
  InformationPage& p = a.ui.information;
  PageLoader load(a.ui.controls, a.storage, kInformationPageRecord.page);
  p.image[kInfoTitleBar] = load.Image();
  p.text[kInfoTitle] = load.Text();
  for (int i = kInfoBadge; i <= kInfoNo; ++i) p.image[i] = load.Image();
  for (int i = kInfoYesCaption; i <= kInfoNoCaption; ++i) p.text[i] = load.Text();
  load.Finish();
  for (int i = 0; i < kMessageLineCount; ++i) {
    p.line[i] = NextTextSlot(a.ui.controls);
    *p.line[i] = TextControl{0, static_cast<uint16_t>(kLineTop + kLineHeight * i), kFrameWidth,
                             kLineHeight, 0, kTextCentred, kLineColour, 0xFFFF};
  }
}

static void InformationPageTimer(PageContext& a) {
  InformationPage& p = a.ui.information;
  if (!p.MessagePending) return;
  if (!WrapMessage(p.MessageText, p.MessageLines)) {
    a.platform.window.ShowMessageBox("ERROR- No Spaces in line");
  }
  p.MessagePending = 0;
  // The lines are 18 rows apart and font 0 is 19 rows high: drawn from the
  // last up, no line's background covers the bottom row of the one above,
  // where "_" lies.
  for (int i = kMessageLineCount - 1; i >= 0; --i) {
    if (p.MessageLines[i][0]) DrawTextControl(a.frame, p.line[i], p.MessageLines[i]);
  }
}

static void InformationPagePointer(PageContext& a) {
  InformationPage& p = a.ui.information;
  if (a.input.PointerEvent.state != kPointerPressed) return;
  if (HitTest(a.input.PointerEvent, p.image[kInfoYes]) && (p.InfoButtons & kInfoYesShown)) {
    p.InfoButtons |= kInfoYesPressed;
    ReturnToCaller(a.ui.pages, p.answer, kCallConfirmed, p.InfoReturnPage);
  }
  if (HitTest(a.input.PointerEvent, p.image[kInfoExit]) && (p.InfoButtons & kInfoExitShown)) {
    p.InfoButtons |= kInfoExitPressed;
    ReturnToCaller(a.ui.pages, p.answer, kCallConfirmed, p.InfoReturnPage);
  }
  if (HitTest(a.input.PointerEvent, p.image[kInfoNo]) && (p.InfoButtons & kInfoNoShown)) {
    p.InfoButtons |= kInfoNoPressed;
    ReturnToCaller(a.ui.pages, p.answer, kCallConfirmed, p.InfoReturnPage);
  }
}

static void InformationPageDraw(PageContext& a) {
  InformationPage& p = a.ui.information;
  if (p.InfoButtons & kInfoYesShown) {
    DrawImage(a, p.image[kInfoYes]);
    DrawTextControl(a.frame, p.text[kInfoYesCaption], p.YesLabel);
  }
  if (p.InfoButtons == 0) {
    p.InfoButtons = kInfoExitShown;
    CopyText("Exit", p.ExitLabel, kButtonLabelCapacity);
  }
  if (p.InfoButtons & kInfoExitShown) {
    DrawImage(a, p.image[kInfoExit]);
    DrawTextControl(a.frame, p.text[kInfoExitCaption], p.ExitLabel);
  }
  if (p.InfoButtons & kInfoNoShown) {
    DrawImage(a, p.image[kInfoNo]);
    DrawTextControl(a.frame, p.text[kInfoNoCaption], p.NoLabel);
  }
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kInformationFixedImages[] = {kInfoBadge, kEndOfRoles};

const PageUnit<PageContext> kInformationPageRecord = {
    {
        "TA PageInformation",  // page file
        "Information Page",  // title
        kInformationFixedImages,  // fixed images
    },
    InformationPageInit,  // init
    InformationPageTimer,  // timer
    InformationPagePointer,  // pointer
    InformationPageDraw,  // draw
};

}  // namespace trelvan
