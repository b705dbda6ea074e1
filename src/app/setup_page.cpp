#include "app/setup_page.h"

#include "link/ftdi_link.h"
#include "media/conversions.h"
#include "app/app.h"
#include "net/server_steps.h"
#include "storage/setup_records.h"
#include "storage/steps.h"
#include "storage/text.h"
#include "ui/limits.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"

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

// ---- the update server ----------------------------------------------------------

void ShowServer(App& a) {
  SetupPage& p = a.setupPage;
  const ServerChannel& server = a.net.server;
  char field[kServerNameCapacity + 8];
  if (ServerChosen(server)) {
    FormatText(field, "%s:%u", server.serverName, static_cast<unsigned>(server.serverPort));
  } else {
    CopyText(kServerNotChosen, field, sizeof field);
  }
  DrawImage(a, p.image[kSetupServerField]);
  DrawFittedText(a.frame, p.text[kSetupServerName], field);
  if (!p.text[kSetupServerResult]) return;
  TextControl line = *p.text[kSetupServerResult];
  const char* text = p.serverLine;
  if (text[0]) {
    line.textColour = p.serverLineColour;
  } else {
    text = server.serverFromEnvironment ? kServerFromEnvironment
           : ServerChosen(server)       ? ""
                                        : kServerNotChosenNote;
  }
  ShowText(a, &line, text);
}

// The line under the field says `text` in `colour` (0: the line's own).
void SayServer(App& a, const char* text, uint16_t colour) {
  SetupPage& p = a.setupPage;
  CopyText(text, p.serverLine, kServerLineCapacity);
  const TextControl* line = p.text[kSetupServerResult];
  p.serverLineColour = colour ? colour : (line ? line->textColour : 0);
  ShowServer(a);
}

uint16_t AnsweredColour(const App& a) {
  const TextControl* status = a.setupPage.text[kSetupDriverStatus];
  return status ? status->textColour : 0;
}

// The choice is used at once (unless TRELVAN_SERVER chose the server for
// this run) and the main page tests it again; it is kept for later runs.
void TakeServerChoice(App& a, const ServerChoice& choice) {
  SetupPage& p = a.setupPage;
  p.serverTestRunning = 0;
  if (!a.net.server.serverFromEnvironment) {
    ChooseServer(a.net.server, choice);
    a.net.serverStep = kServerStart;
    a.link.transfer.downloadRequest &= static_cast<uint16_t>(~kDownloadList);
  }
  p.serverLine[0] = 0;
  if (!WriteServerChoice(a.platform.files, choice)) {
    RequestInformation(a, kServerNotKept, 0, kSetupPage);
    return;
  }
  ShowServer(a);
}

void StartServerTest(App& a) {
  SetupPage& p = a.setupPage;
  if (!ServerChosen(a.net.server)) return SayServer(a, kServerNotChosenNote, kSetupDriverMissingColour);
  // the main page's own server work gives way to the test
  a.net.serverStep = kServerIdle;
  a.link.transfer.downloadRequest &= static_cast<uint16_t>(~kDownloadList);
  DownloadServerFile(a.net, a.storage, a.platform, 1, kConnectionTestName);
  p.serverTestRunning = 1;
  SayServer(a, kServerAsking, 0);
}

void ServerTestStep(App& a) {
  SetupPage& p = a.setupPage;
  if (!p.serverTestRunning) return;
  const int result = DownloadServerFile(a.net, a.storage, a.platform, 0, nullptr);
  if (result == kStepDone) {
    p.serverTestRunning = 0;
    SayServer(a, kServerAnswered, AnsweredColour(a));
  } else if (result == kStepFailed) {
    p.serverTestRunning = 0;
    const bool full = a.net.download.failure == kDownloadNoStorage;
    SayServer(a, full ? kNotEnoughStorage : kServerNoAnswer, kSetupDriverMissingColour);
  }
}

// The keyboards' answers: a name (empty: no server), then its port.
void TakeServerEntries(App& a) {
  SetupPage& p = a.setupPage;
  if (RequestTagIs(a, kServerPortTag)) {
    if (!TakeConfirmedNumber(a)) return;
    ServerChoice choice{};
    CopyText(p.enteredServerName, choice.name, kServerNameCapacity);
    choice.port = static_cast<uint16_t>(a.ui.keyboards.numeric.NumberValue);
    TakeServerChoice(a, choice);
    return;
  }
  if (!RequestTagIs(a, kServerNameTag) || !TakeConfirmedText(a)) return;
  const char* name = a.ui.keyboards.alpha.EnteredText;
  if (!name[0]) return TakeServerChoice(a, ServerChoice{});
  if (!ValidServerName(name)) {
    char message[kServerLineCapacity];
    FormatText(message, "%s%s", kServerNameRefused, name);
    RequestInformation(a, message, 0, kSetupPage);
    return;
  }
  CopyText(name, p.enteredServerName, kServerNameCapacity);
  const ServerChannel& server = a.net.server;
  const int32_t port = ServerChosen(server) ? server.serverPort : kUsualServerPort;
  RequestNumber(a, kServerPortTag, "Update server port", 1, "1", 65535, "65535", port, kSetupPage);
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
  p.text[kSetupServerLabel] = load.Text();
  p.image[kSetupServerField] = load.Image();
  p.text[kSetupServerName] = load.Text();
  p.image[kSetupServerChange] = load.Image();
  p.image[kSetupServerTest] = load.Image();
  p.text[kSetupServerResult] = load.Text();
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
  DrawTextControl(a.frame, p.text[kSetupServerLabel], "Update Server");
  DrawImage(a, p.image[kSetupServerChange]);
  DrawImage(a, p.image[kSetupServerTest]);
  ShowServer(a);
}

void Timer(App& a) {
  SetupPage& p = a.setupPage;
  TakeServerEntries(a);
  ServerTestStep(a);
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
  if (HitTest(pointer, p.image[kSetupServerChange])) {
    p.serverTestRunning = 0;
    RequestText(a, kServerNameTag, kEnteredTextCapacity - 1, 0, kSetupPage);
    return;
  }
  if (HitTest(pointer, p.image[kSetupServerTest]) && !p.serverTestRunning) StartServerTest(a);
  if (HitTest(pointer, p.image[kSetupBack])) {
    p.serverTestRunning = 0;
    p.serverLine[0] = 0;
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
