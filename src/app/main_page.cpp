#include "app/main_page.h"

#include <initializer_list>

#include "app/app.h"
#include "media/picture_format.h"
#include "media/sound_decode.h"
#include "net/server_steps.h"
#include "storage/bytes.h"
#include "storage/file_system.h"
#include "storage/setup_records.h"
#include "storage/steps.h"
#include "storage/text.h"
#include "ui/pages/information_page.h"
#include "ui/stored_picture.h"

namespace trelvan {

namespace {

constexpr uint32_t kImageHundredth = 1342177;  // 134,217,728 / 100, rounded down
constexpr uint16_t kRowNotChosen = 32;         // "TA Common": list-row marks
constexpr uint16_t kRowChosen = 34;
constexpr uint16_t kSelectionMark = 33;
constexpr uint16_t kLookShow = 35, kLookPlay = 36, kLookStop = 37;  // "TA Common": a row's look control
constexpr uint16_t kLookX = 252;      // the look control, between a row's name and its mark
constexpr uint16_t kLookTextW = 202;  // a row's name beside it
constexpr uint16_t kHandheldConnectedPicture = 17;  // "TA Common": the handheld status
constexpr uint16_t kHandheldAbsentPicture = 19;
constexpr uint16_t kServerReachablePicture = 20;  // the page's own pictures: the server status
constexpr uint16_t kServerUnreachablePicture = 21;
constexpr uint16_t kServerNotChosenPicture = 27;
constexpr uint16_t kServerWaitingPicture = 28;
// lastServerStatus beyond serverReachable's 0 and 1 (2: nothing drawn yet)
constexpr uint8_t kStatusNotChosen = 3;
constexpr uint8_t kStatusWaiting = 4;
constexpr const char* kSelectionFull = "Maximum Selections Reached. Remove selections to add more.";
constexpr uint16_t kFrameTitleColour = 0x69E4;  // the list frame's title bar, as the page file paints it
constexpr uint16_t kPanelColour = 0xF77D;       // the How-to panel's body
constexpr uint16_t kNoticeColour = 0x31D9;      // the page file's red
constexpr uint16_t kMutedColour = 0x8B8C;       // grey for an empty list's hint
// The list frame's title bar and the How-to panel's body, where the page
// names the list shown and says why the picks went.
constexpr TextControl kListTitle{40, 255, 364, 20, 0, 0, 0xFFFF, kFrameTitleColour};
constexpr uint16_t kNoticeX = 436, kNoticeY = 432, kNoticeW = 350, kNoticeH = 70;
// A look fills the How-to panel's inside: a stored picture (240 x 90) fits it.
constexpr uint16_t kLookPanelX = 432, kLookPanelY = 406, kLookPanelW = 356, kLookPanelH = 96;

constexpr const char* kChooseAList =
    "Choose a list under \"In the Assistant\" first (Pictures, Sounds, Light Effects or Projects).";
constexpr const char* kPicksCleared[] = {"Your picks on the right were taken off: items from",
                                         "the update server and items in the Assistant go",
                                         "to the handheld separately. Pick them again."};

// A list-type button and its pictures: normal, and while its list is shown.
struct ListButton {
  int image;
  uint8_t listType;
  uint16_t normal, current;
};

constexpr ListButton kListButtons[] = {
    {kMainServerPictures, kListServerPictureCategories, 6, 7},
    {kMainStoragePictures, kListStoragePictures, 6, 7},
    {kMainServerSounds, kListServerSoundCategories, 12, 13},
    {kMainStorageSounds, kListStorageSounds, 12, 13},
    {kMainServerLightEffects, kListServerLightEffects, 2, 3},
    {kMainStorageLightEffects, kListStorageLightEffects, 2, 3},
    {kMainServerProductPrograms, kListServerProductPrograms, 8, 9},
    {kMainServerProjects, kListServerProjects, 10, 11},
    {kMainStorageProjects, kListStorageProjects, 10, 11},
};

// A category's list highlights its categories button.
uint8_t ButtonListType(uint8_t listType) {
  if (listType == kListServerPictures) return kListServerPictureCategories;
  if (listType == kListServerSounds) return kListServerSoundCategories;
  return listType;
}

void LayOutRow(ListRow& row, uint16_t textX, uint16_t textW, uint16_t markX, uint16_t y,
               uint16_t picture) {
  row.mark = ImageControl{markX, y, 40, 21, kSourceCommon, picture};
  row.text = TextControl{textX, y, textW, 21, 0, kTextNoBackground, 0x0000, 0xFFFF};
}

void SetUpLists(App& a) {
  MainPage& m = a.mainPage;
  TransferLists& t = a.link.transfer;
  t.transferActive = 0;
  t.MainListType = kListNone;
  a.net.lists.listTopPage = 0;
  a.net.lists.listRowCount = 0;
  for (int r = 0; r < kListScreenRows; ++r) {
    const uint16_t y = static_cast<uint16_t>(284 + 21 * r);
    LayOutRow(m.listRows[r], 46, 260, 306, y, kRowNotChosen);
    m.lookControls[r] = ImageControl{kLookX, y, 50, 20, kSourceCommon, kLookShow};
  }
  m.lookAsked = -1;
  if (m.lookPlaying >= 0) a.platform.audio.Stop();
  m.lookPlaying = -1;
  m.lookShown = 0;
  if (!m.selectionLaidOut) {
    m.selectionLaidOut = 1;
    for (int r = 0; r < kSelectionCapacity; ++r) {
      LayOutRow(m.selectionRows[r], 520, 216, 740, static_cast<uint16_t>(214 + 21 * r),
                kSelectionMark);
    }
    ClearSendList(t);
  }
  m.lastServerStatus = 2;
}

void DrawFreeStorage(App& a) {
  char line[40];
  FreeStorageText(a.storage.fs.header.freeBlocks, line, sizeof line);
  DrawTextControl(a.frame, a.mainPage.text[kMainFreeStorage], line);
}

// The frame of the twelve rows, the rows of the screen shown with their
// marks, and the scroll buttons where there is somewhere to scroll; the
// revision and the free storage with them.
// What the list frame shows: "Server pictures: Locomotives", "Sounds in the
// Assistant"; empty before any list is chosen.
void ListTitle(const App& a, char* out, size_t capacity) {
  static const char* const kTitles[] = {
      "", "Server pictures: categories", "Server pictures: ", "Pictures in the Assistant",
      "Server sounds: categories", "Server sounds: ", "Sounds in the Assistant",
      "Server light effects", "Light effects in the Assistant", "Server projects",
      "Projects in the Assistant", "Server product programs"};
  const uint8_t type = a.link.transfer.MainListType;
  if (type >= sizeof kTitles / sizeof kTitles[0]) return (void)FormatText(out, capacity, "List");
  const char* category = a.net.lists.serverListName;
  if (CompareText(category, "VH ", 3) == 0) category += 3;  // a category list is "VH " + its name
  const bool named = type == kListServerPictures || type == kListServerSounds;
  FormatText(out, capacity, "%s%s", kTitles[type], named ? category : "");
}

// An empty list of the Assistant's says how to fill it.
const char* EmptyListHint(uint8_t listType) {
  switch (listType) {
    case kListStoragePictures: return "No pictures yet: Open Manager adds them.";
    case kListStorageSounds: return "No sounds yet: Open Manager adds them.";
    case kListStorageLightEffects: return "No light effects yet: Open Manager makes them.";
    case kListStorageProjects: return "No projects yet: Open Manager makes them.";
    default: return nullptr;
  }
}

// A server list says where to choose a server while none is, and that it
// waits while the list is asked for.
const char* ServerListHint(const App& a) {
  const uint8_t type = a.link.transfer.MainListType;
  if (type == kListNone || StorageListTypeText(type)) return nullptr;
  if (!ServerChosen(a.net.server)) return "No update server is set: Setup chooses one.";
  if ((a.link.transfer.downloadRequest & kDownloadList) || a.net.serverStep == kServerListDownload) {
    return "Asking the update server for this list...";
  }
  return nullptr;
}

// ---- a look at a server picture or sound before it is chosen

// A category's pictures or sounds: each row can be looked at.
bool LookList(const App& a) {
  const uint8_t type = a.link.transfer.MainListType;
  return type == kListServerPictures || type == kListServerSounds;
}

void DrawLookControl(App& a, int r) {
  MainPage& m = a.mainPage;
  const bool sounds = a.link.transfer.MainListType == kListServerSounds;
  m.lookControls[r].pictureIndex = !sounds ? kLookShow : m.lookPlaying == r ? kLookStop : kLookPlay;
  DrawImage(a, &m.lookControls[r]);
}

// The How-to panel's body cleared for a look, with up to three lines of
// small text from `x`.
void LookPanel(App& a, uint16_t x, uint16_t w, const char* const* lines, int count) {
  a.mainPage.lookShown = 1;
  a.mainPage.picksClearedShown = 0;
  a.frame.PenColour = kPanelColour;
  FillArea(a.frame, kLookPanelX, kLookPanelY, kLookPanelW, kLookPanelH);
  for (int i = 0; i < count; ++i) {
    const TextControl line{x, static_cast<uint16_t>(kLookPanelY + 8 + 18 * i), w, 16, 1,
                           kTextNoBackground, i == 1 ? kFrameTitleColour : uint16_t{0}, kPanelColour};
    DrawFittedText(a.frame, &line, lines[i]);
  }
}

void LookSaid(App& a, const char* first, const char* name, const char* last) {
  const char* lines[3] = {first, name, last};
  LookPanel(a, kLookPanelX + 6, kLookPanelW - 12, lines, 3);
}

// The How-to panel again, once a look is over.
void EndLook(App& a) {
  MainPage& m = a.mainPage;
  if (m.lookPlaying >= 0) a.platform.audio.Stop();
  const int8_t playing = m.lookPlaying;
  m.lookPlaying = -1;
  m.lookAsked = -1;
  if (playing >= 0 && LookList(a) && ListRowShown(a.net.lists, playing)) DrawLookControl(a, playing);
  if (!m.lookShown) return;
  m.lookShown = 0;
  DrawImage(a, m.image[kMainHintPanel]);
}

// A row's look control: the file is asked of the update server into
// memory (one at a time); a playing sound's control stops it.
void PressLook(App& a, int r) {
  MainPage& m = a.mainPage;
  if (m.lookPlaying == r) return EndLook(a);
  if (m.lookAsked >= 0 || a.net.previewAsked || a.net.serverStep == kServerPreview) return;
  EndLook(a);
  const char* name = ListRowName(a.net.lists, r);
  CopyText(name, a.net.previewName, kTransferNameCapacity);
  a.net.previewAsked = 1;
  m.lookAsked = static_cast<int8_t>(r);
  LookSaid(a, "Asking the update server for", name, "to look at it; nothing is stored.");
}

// The fetched file: a picture shown in the panel, a sound played as the
// handheld plays it. Neither goes into the storage.
void ShowLook(App& a) {
  MainPage& m = a.mainPage;
  const int8_t row = m.lookAsked;
  m.lookAsked = -1;
  if (row < 0 || !LookList(a)) return;
  const uint8_t* file = a.net.downloadBuffer.get();
  const uint32_t size = a.net.download.size;
  const uint32_t header = CompleteFileHeaderLength(file, size);
  const char* name = a.net.previewName;
  char text[kMessageTextCapacity];
  if (a.link.transfer.MainListType == kListServerSounds) {
    const uint32_t count = header ? DecodeSound(file + header, size - header, a.media.playSamples,
                                                kPlaySampleCapacity) : 0;
    if (count == 0) {
      EndLook(a);
      FormatText(text, "Error - Sound file damaged: %s", name);
      return RequestInformation(a, text, 0, kMainPage);
    }
    if (!a.platform.audio.Play(a.media.playSamples, count, kStoredSoundRate)) {
      EndLook(a);
      return RequestInformation(a, kNoSoundOutput, 0, kMainPage);
    }
    m.lookPlaying = row;
    if (ListRowShown(a.net.lists, row)) DrawLookControl(a, row);
    return LookSaid(a, "Playing from the update server:", name, "Stop ends it; nothing is stored.");
  }
  const uint8_t* record = file + header;
  const uint32_t bytes = size - header;
  if (!header || bytes < 4 || ReadU16LE(record) != kPictureWidth || ReadU16LE(record + 2) != kPictureHeight ||
      bytes < kPictureRecordSize) {
    EndLook(a);
    FormatText(text, "Error - Picture file damaged: %s", name);
    return RequestInformation(a, text, 0, kMainPage);
  }
  const char* lines[3] = {"Server picture,", name, "not stored."};
  LookPanel(a, kLookPanelX + kPictureWidth + 10, kLookPanelW - kPictureWidth - 14, lines, 3);
  DrawPictureRecord(a.frame, record, bytes, kLookPanelX + 4, kLookPanelY + 3);
}

void DrawListArea(App& a) {
  MainPage& m = a.mainPage;
  const MainLists& lists = a.net.lists;
  char line[40];
  FormatText(line, "Revision %s", kProgramRevision);
  DrawTextControl(a.frame, m.text[kMainRevision], line);
  DrawFreeStorage(a);
  DrawImage(a, m.image[kMainListFrame]);
  char title[kMessageLineCapacity];
  ListTitle(a, title, sizeof title);
  if (title[0]) DrawFittedText(a.frame, &kListTitle, title);
  const char* hint = lists.listRowCount == 0 ? EmptyListHint(a.link.transfer.MainListType) : nullptr;
  if (!hint) hint = ServerListHint(a);
  if (hint) {
    const TextControl at{m.listRows[0].text.x, m.listRows[0].text.y, 340, 21, 0, kTextNoBackground,
                         kMutedColour, 0xFFFF};
    DrawTextControl(a.frame, &at, hint);
  }
  for (int r = 0; r < kListScreenRows; ++r) {
    if (!ListRowShown(lists, r)) continue;
    ListRow& row = m.listRows[r];
    const char* name = ListRowName(lists, r);
    if (LookList(a)) {
      TextControl beside = row.text;
      beside.w = kLookTextW;
      DrawFittedText(a.frame, &beside, name);
      DrawLookControl(a, r);
    } else {
      DrawFittedText(a.frame, &row.text, name);
    }
    if (!lists.rowsSelectable) continue;
    row.mark.pictureIndex = SelectionHolds(a.link.transfer, name) ? kRowChosen : kRowNotChosen;
    DrawImage(a, &row.mark);
  }
  if (kListScreenRows * (lists.listTopPage + 1) < lists.listRowCount) {
    DrawImage(a, m.image[kMainNextListPage]);
  }
  if (lists.listTopPage > 0) DrawImage(a, m.image[kMainPreviousListPage]);
}

void DrawSelection(App& a) {
  MainPage& m = a.mainPage;
  const TransferLists& t = a.link.transfer;
  DrawImage(a, m.image[kMainSelectionFrame]);
  for (uint8_t& p : m.progressShown) p = 0;  // the frame covered them
  for (int k = 0; k < kSelectionCapacity; ++k) {
    const SelectionEntry& e = t.selectionList[k];
    if (k >= t.selectionCount || !e.shown) continue;
    DrawFittedText(a.frame, &m.selectionRows[k].text, e.name);
    DrawImage(a, &m.selectionRows[k].mark);
  }
}

void DrawListButtons(App& a) {
  MainPage& m = a.mainPage;
  const uint8_t shown = ButtonListType(a.link.transfer.MainListType);
  for (const ListButton& b : kListButtons) {
    ImageControl* c = m.image[b.image];
    if (!c) continue;
    c->pictureIndex = b.listType == shown ? b.current : b.normal;
    DrawImage(a, c);
  }
}

// Without a list of the Assistant shown there is no manager to open: the
// user is told which lists have one. A page this program does not have
// yet would leave the user on a page that answers nothing: such a click is
// ignored.
void OpenManager(App& a) {
  int32_t page = 0;
  switch (a.link.transfer.MainListType) {
    case kListStoragePictures: page = kPictureManagerPage; break;
    case kListStorageSounds: page = kSoundManagerPage; break;
    case kListStorageLightEffects: page = kLightEffectManagerPage; break;
    case kListStorageProjects: page = kProjectManagerPage; break;
    default:
      return RequestInformation(a, kChooseAList, 0, kMainPage);
  }
  if (!PageTable(a.ui.pages, page)) return;
  // a Select File answer the Sound Manager waited for before is not taken as new
  if (page == kSoundManagerPage) a.media.soundPage.selectionExpected = 0;
  a.ui.pages.CurrentPage = page;
  a.net.serverStep = kServerIdle;
  a.link.transfer.downloadRequest &= static_cast<uint16_t>(~kDownloadsClearedByOpen);
}

// A list of the other kind cleared the selection: the How-to panel says so
// until the page is drawn again.
void SayPicksCleared(App& a) {
  a.mainPage.picksClearedShown = 1;
  a.mainPage.lookShown = 0;
  a.frame.PenColour = kPanelColour;
  FillArea(a.frame, kNoticeX, kNoticeY, kNoticeW, kNoticeH);
  for (int i = 0; i < 3; ++i) {
    const TextControl line{kNoticeX + 6, static_cast<uint16_t>(kNoticeY + 6 + 16 * i), kNoticeW - 12, 16,
                           1, kTextNoBackground, kNoticeColour, kPanelColour};
    DrawTextControl(a.frame, &line, kPicksCleared[i]);
  }
}

// List-type buttons, rows, selection entries and scrolling.
void HandleListButtons(App& a) {
  MainPage& m = a.mainPage;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  for (const ListButton& b : kListButtons) {
    if (!HitTest(pointer, m.image[b.image])) continue;
    EndLook(a);
    const uint8_t picked = a.link.transfer.selectionCount;
    if (StorageListTypeText(b.listType)) {
      ShowStorageList(a.net.lists, a.link.transfer, a.storage, b.listType);
    } else {
      ShowServerList(a.net.lists, a.link.transfer, b.listType);
    }
    DrawListButtons(a);
    DrawListArea(a);
    DrawSelection(a);
    if (picked && !a.link.transfer.selectionCount) SayPicksCleared(a);
    return;
  }
  for (int r = 0; LookList(a) && r < kListScreenRows; ++r) {
    if (ListRowShown(a.net.lists, r) && HitTest(pointer, &m.lookControls[r])) return PressLook(a, r);
  }
  for (int r = 0; r < kListScreenRows; ++r) {
    if (!HitTest(pointer, &m.listRows[r].text) && !HitTest(pointer, &m.listRows[r].mark)) continue;
    const RowClickResult result = ClickListRow(a.net.lists, a.link.transfer, r);
    if (result == kRowSelectionFull) {
      RequestInformation(a, kSelectionFull, 0, kMainPage);
    } else if (result == kRowSelected || result == kRowCategoryOpened) {
      if (result == kRowCategoryOpened) EndLook(a);
      DrawListArea(a);
      DrawSelection(a);
      if (m.picksClearedShown && a.link.transfer.selectionCount) {  // picks made again: the note goes
        m.picksClearedShown = 0;
        DrawImage(a, m.image[kMainHintPanel]);
      }
    }
    return;
  }
  for (int k = 0; k < a.link.transfer.selectionCount && k < kSelectionCapacity; ++k) {
    const ListRow& row = m.selectionRows[k];
    if (!HitTest(pointer, &row.text) && !HitTest(pointer, &row.mark)) continue;
    ClickSelectionEntry(a.link.transfer, k);
    DrawSelection(a);
    DrawListArea(a);
    return;
  }
  if ((HitTest(pointer, m.image[kMainNextListPage]) && ScrollListDown(a.net.lists)) ||
      (HitTest(pointer, m.image[kMainPreviousListPage]) && ScrollListUp(a.net.lists))) {
    EndLook(a);  // its row scrolled away
    DrawListArea(a);
  }
}

void MainPageInit(App& a) {
  MainPage& m = a.mainPage;
  PageLoader load(a.ui.controls, a.storage, kMainPageRecord.page);
  m.image[kMainExit] = load.Image();
  m.image[kMainTitleBar] = load.Image();
  m.text[kMainTitle] = load.Text();
  m.image[kMainSpare2] = load.Image();
  m.text[kMainRevision] = load.Text();
  for (int i = kMainServerPanel; i <= kMainServerStatus; ++i) m.image[i] = load.Image();
  m.text[kMainProgress] = load.Text();
  m.text[kMainFreeStorage] = load.Text();
  m.image[kMainSpare25] = load.Image();
  load.Finish();
  SetUpLists(a);
  m.lastConnectedShown = 2;
}

void MainPageDraw(App& a) {
  MainPage& m = a.mainPage;
  m.picksClearedShown = 0;  // the opening drew the How-to panel again
  m.lookShown = 0;
  DrawTextControl(a.frame, m.text[kMainTitle], kMainPageRecord.page.title);
  DrawListArea(a);
  DrawListButtons(a);
  DrawSelection(a);
}

// Blanks a button while a transfer runs.
void Blank(App& a, const ImageControl* c) {
  if (!c) return;
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, c->x, c->y, c->w, c->h);
}

// The server status picture when it changed: no server chosen, the
// connection test waiting for its answer, or the server's reachability.
void DrawServerStatus(App& a) {
  MainPage& m = a.mainPage;
  const ServerChannel& server = a.net.server;
  if (!a.ShellStarted) return;  // the server is read with the first tick's start-up
  const bool testing = a.net.serverStep == kServerConnectionTest || a.net.serverStep == kServerStart;
  const uint8_t status = !ServerChosen(server) ? kStatusNotChosen
                         : testing             ? kStatusWaiting
                                               : server.serverReachable;
  if (status == m.lastServerStatus) return;
  m.lastServerStatus = status;
  ImageControl* lamp = m.image[kMainServerStatus];
  if (!lamp) return;
  switch (status) {
    case kStatusNotChosen: lamp->pictureIndex = kServerNotChosenPicture; break;
    case kStatusWaiting: lamp->pictureIndex = kServerWaitingPicture; break;
    default: lamp->pictureIndex = status == 1 ? kServerReachablePicture : kServerUnreachablePicture;
  }
  DrawImage(a, lamp);
}

// Each shown entry's download percentage when it changed; a download done
// took storage, so the free storage is said again.
void DrawProgress(App& a) {
  MainPage& m = a.mainPage;
  const TransferLists& t = a.link.transfer;
  TextControl* text = m.text[kMainProgress];
  if (!text) return;
  for (int k = 0; k < kSelectionCapacity && k < t.selectionCount; ++k) {
    const SelectionEntry& e = t.selectionList[k];
    if (!e.shown || e.progress == m.progressShown[k]) continue;
    m.progressShown[k] = e.progress;
    TextControl at = *text;
    at.y = m.selectionRows[k].text.y;
    a.frame.PenColour = at.backColour;
    FillArea(a.frame, at.x, at.y, at.w, at.h);
    char percent[8];
    FormatText(percent, "%u%%", static_cast<unsigned>(e.progress));
    DrawTextControl(a.frame, &at, percent);
    if (e.progress == kStepDone) DrawFreeStorage(a);
  }
}

// The status pictures, the transfer monitor and the server steps.
void MainPageTimer(App& a) {
  MainPage& m = a.mainPage;
  if (a.link.connectedShown != m.lastConnectedShown) {
    m.lastConnectedShown = a.link.connectedShown;
    a.link.handheld.bytesRemaining = 0;
    ImageControl* status = m.image[kMainHandheldStatus];
    if (status) {
      status->pictureIndex = a.link.connectedShown == 1 ? kHandheldConnectedPicture : kHandheldAbsentPicture;
      DrawImage(a, status);
    }
  }
  SoftTimer& timer = a.input.ServerTimer;
  const bool expired = m.monitor.running && timer.expired;
  switch (RunTransferMonitor(m.monitor, a.link, a.storage, expired)) {
    case kMonitorStarted:
      Blank(a, m.image[kMainExit]);
      Blank(a, m.image[kMainSetup]);
      DrawSelection(a);
      timer = SoftTimer{0, kMonitorPeriodMs, 0};
      break;
    case kMonitorRunning:
      if (expired) timer = SoftTimer{0, kMonitorPeriodMs, 0};
      break;
    case kMonitorEnded:
      DrawImage(a, m.image[kMainExit]);
      DrawImage(a, m.image[kMainSetup]);
      DrawListArea(a);
      DrawSelection(a);
      break;
    default:
      break;
  }
  const ServerStepContext steps{a.net, a.link.transfer, a.storage, a.platform,
                                a.link.handheld.handheldRevision, a.ShellStarted != 0};
  const uint8_t events = RunServerSteps(steps);
  if (events & kServerListReady) DrawListArea(a);
  if (events & kServerPreviewReady) {
    ShowLook(a);
  } else if (m.lookAsked >= 0 && !a.net.previewAsked && a.net.serverStep != kServerPreview) {
    EndLook(a);  // the fetch failed; its message follows
  }
  if (m.lookPlaying >= 0 && !a.platform.audio.IsPlaying()) EndLook(a);
  DrawServerStatus(a);  // after the steps, so a test that ended shows at once
  DrawProgress(a);
  if (a.net.message.pending) {
    a.net.message.pending = 0;
    RequestInformation(a, a.net.message.text, 0, kMainPage);
  }
}

void MainPagePointer(App& a) {
  MainPage& m = a.mainPage;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (a.link.transfer.transferActive) return;
  const int turned = WheelOver(pointer, m.image[kMainListFrame]);
  if (turned && (turned > 0 ? ScrollListUp(a.net.lists) : ScrollListDown(a.net.lists))) {
    EndLook(a);  // its row scrolled away
    DrawListArea(a);
  }
  if (pointer.state != kPointerPressed) return;
  if (HitTest(pointer, m.image[kMainExit])) a.input.QuitRequested = 1;
  if (HitTest(pointer, m.image[kMainSetup]) && PageTable(a.ui.pages, kSetupPage)) {
    a.ui.pages.CurrentPage = kSetupPage;
  }
  HandleListButtons(a);
  if (HitTest(pointer, m.image[kMainOpenManager])) OpenManager(a);
}

}  // namespace

void FreeStorageText(uint16_t freeBlocks, char* out, size_t capacity) {
  const uint32_t percent = uint32_t{freeBlocks} * kBlockSize / kImageHundredth;
  FormatText(out, capacity, "Free Storage = %u%%", percent);
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kMainPageFixedImages[] = {kMainTitleBar, kMainServerPanel, kMainStoragePanel, kMainSetup, kMainHintPanel, kMainConnectionsPanel, kMainListFrame, kMainServerPictures, kMainStoragePictures, kMainServerSounds, kMainStorageSounds, kMainServerLightEffects, kMainStorageLightEffects, kMainServerProductPrograms, kMainServerProjects, kMainStorageProjects, kMainOpenManager, kMainSelectionFrame, kMainStatusBar, kEndOfRoles};

const PageUnit<App> kMainPageRecord = {
    {
        "TA MainPage",  // page file
        "Trelvan Assistant",  // title
        kMainPageFixedImages,  // fixed images
    },
    MainPageInit,  // init
    MainPageTimer,  // timer
    MainPagePointer,  // pointer
    MainPageDraw,  // draw
};

}  // namespace trelvan
