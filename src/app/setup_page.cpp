#include "app/setup_page.h"

#include "link/ftdi_link.h"
#include "media/conversions.h"
#include "app/app.h"
#include "storage/setup_records.h"
#include "ui/pages/information_page.h"

namespace trelvan {

namespace {

// Pictures of the page file the two switches show.
constexpr uint16_t kPictureDriversClear = 0;
constexpr uint16_t kPictureDriversSet = 1;
constexpr uint16_t kPictureAlphabetical = 2;
constexpr uint16_t kPictureQwerty = 3;

void ShowSetupSwitches(App& a) {
  SetupPage& p = a.setupPage;
  ImageControl* layout = p.image[kSetupKeyboardLayout];
  ImageControl* drivers = p.image[kSetupOlderDrivers];
  if (layout) layout->pictureIndex = a.setup.keyboardLayout ? kPictureQwerty : kPictureAlphabetical;
  if (drivers) {
    drivers->pictureIndex = a.setup.useOlderUsbDrivers ? kPictureDriversSet : kPictureDriversClear;
  }
  DrawImage(a, layout);
  DrawImage(a, drivers);
}

void Init(App& a) {
  SetupPage& p = a.setupPage;
  PageLoader load(a.ui.controls, a.storage, kSetupRecord.page);
  p.image[kSetupTitleBar] = load.Image();
  p.image[kSetupBack] = load.Image();
  p.text[kSetupTitle] = load.Text();
  p.image[kSetupKeyboardLayout] = load.Image();
  for (int i = kSetupKeyboardLabel; i <= kSetupOlderDriversNote; ++i) p.text[i] = load.Text();
  p.image[kSetupOlderDrivers] = load.Image();
  load.Finish();
  p.LastSeenDriverLoaded = 0;
}

// The status line is left to the timer handler, which draws it when the
// driver library is (or becomes) ready.
void Draw(App& a) {
  SetupPage& p = a.setupPage;
  DrawTextControl(a.frame, p.text[kSetupKeyboardLabel], "Keyboard Layout");
  DrawTextControl(a.frame, p.text[kSetupOlderDriversLabel], "Use Older TX-9 USB Drivers");
  DrawTextControl(a.frame, p.text[kSetupOlderDriversNote], "(Not Reqd. for TX-9b and Newer)");
  ShowSetupSwitches(a);
}

void Timer(App& a) {
  SetupPage& p = a.setupPage;
  const uint8_t ready = a.link.ftdi.libraryReady ? 1 : 0;
  if (ready == p.LastSeenDriverLoaded) return;
  p.LastSeenDriverLoaded = ready;
  if (ready) DrawTextControl(a.frame, p.text[kSetupDriverStatus], kSetupDriverLoaded);
}

void Pointer(App& a) {
  SetupPage& p = a.setupPage;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, p.image[kSetupKeyboardLayout])) {
    a.setup.keyboardLayout = a.setup.keyboardLayout == 0 ? 1 : 0;
    ShowSetupSwitches(a);
  }
  if (HitTest(pointer, p.image[kSetupOlderDrivers])) {
    // Turned off, the library stays loaded until the program ends.
    if (a.setup.useOlderUsbDrivers == 0) {
      a.setup.useOlderUsbDrivers = 1;
      a.link.ftdi.deviceOpened = 0;
      FtdiLoadLibrary(a.link.ftdi, a.platform);
      if (!a.link.ftdi.library && p.text[kSetupDriverStatus]) {
        TextControl missing = *p.text[kSetupDriverStatus];
        missing.textColour = kSetupDriverMissingColour;
        DrawTextControl(a.frame, &missing, kSetupDriverMissing);
      }
    } else {
      a.setup.useOlderUsbDrivers = 0;
    }
    ShowSetupSwitches(a);
  }
  if (HitTest(pointer, p.image[kSetupBack])) {
    // A refused record would leave the setup for this run only: say so.
    if (!WriteSetupRecord(a.storage, a.setup)) {
      RequestInformation(a, StoreResultText(StoreRefusal(a.storage)), 0, kMainPage);
      return;
    }
    a.ui.pages.CurrentPage = kMainPage;
  }
}

}  // namespace

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kSetupFixedImages[] = {kSetupBack, kEndOfRoles};

const PageUnit<App> kSetupRecord = {
    {
        "TA PageSetup",  // page file
        "Setup",  // title
        kSetupFixedImages,  // fixed images
    },
    Init,  // init
    Timer,  // timer
    Pointer,  // pointer
    Draw,  // draw
};

}  // namespace trelvan
