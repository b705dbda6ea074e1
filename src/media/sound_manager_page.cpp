#include "media/sound_manager_page.h"

#include <initializer_list>

#include "media/conversions.h"
#include "media/manager_lists.h"
#include "media/sound_decode.h"
#include "media/media.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {

namespace {

constexpr const char* kNameTag = "Sound File Name";
constexpr const char* kNameInUse = "Select a different file name - Name already in use";
constexpr uint16_t kSlotsX = 355, kSlotsY = 130, kSlotPitch = 23, kSlotW = 376;
constexpr uint16_t kSlotPlayX = 735;
constexpr uint16_t kPlayPicture = 13, kStopPicture = 14;  // the page's own pictures
constexpr uint16_t kSlotPicture = 9;
constexpr uint16_t kLabelX = 361, kFileNameX = 491;
constexpr uint16_t kPromptColour = 0xE698;  // pale blue on the slot's navy: what a press does
constexpr uint16_t kSingleOff = 5, kSingleOn = 6, kThreeOff = 3, kThreeOn = 4;
// Texts 1 to 4 and 6 to 8.
constexpr const char* kFormatTexts[] = {"Sound Format: WAV", "Any Rate, made 44.1kHz",
                                        "8 to 64 Bits, made 16", "Channels mixed to one"};
constexpr const char* kLabelTexts[] = {"Sound Files", "on this computer", "Sound File Name"};

void SoundManagerInit(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  PageLoader load(a.ui.controls, a.storage, kSoundManagerRecord.page);
  for (int i = 0; i < kSoundImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kSoundTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  LayOutMediaRows(m.rows, RowLayout{65, 166, 281, 40, kSourceCommon, 30, 235, 40, kSourcePageFile, kPlayPicture});
  for (int s = 0; s < kSoundSlotCount; ++s) {
    const uint16_t y = static_cast<uint16_t>(kSlotsY + kSlotPitch * s);
    m.slots[s] = ImageControl{kSlotsX, y, kSlotW, 21, kSourcePageFile, kSlotPicture};
    m.slotPlay[s] = ImageControl{kSlotPlayX, y, 40, 21, kSourcePageFile, kPlayPicture};
  }
  FillSoundList(media.sounds, a.storage);
  if (!a.platform.audio.IsPlaying()) m.playing = -1;
}

void DrawList(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  for (int r = 0; r < kMediaListRows; ++r) {
    m.rows[r].second.pictureIndex = m.playing == r ? kStopPicture : kPlayPicture;
  }
  DrawMediaList(a, media.sounds, m.rows, m.image[kSoundListFrame], m.image[kSoundNextListPage],
                m.image[kSoundPreviousListPage]);
}

void RefreshList(PageContext& a, Media& media) {
  FillSoundList(media.sounds, a.storage);
  DrawList(a, media);
}

void DrawModeButtons(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  const uint8_t mode = media.sound.mode;
  if (ImageControl* single = m.image[kSoundModeSingle]) single->pictureIndex = mode == 1 ? kSingleOn : kSingleOff;
  if (ImageControl* three = m.image[kSoundModeStartLoopStop]) three->pictureIndex = mode == 2 ? kThreeOn : kThreeOff;
  DrawImage(a, m.image[kSoundModeSingle]);
  DrawImage(a, m.image[kSoundModeStartLoopStop]);
}

void DrawSlots(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  a.frame.PenColour = 0xFFFF;
  FillArea(a.frame, 350, 130, 450, 380);
  for (int s = 0; s < kSoundSlotCount; ++s) {
    const SoundSlot& slot = media.sound.slots[s];
    if (!slot.inUse) break;
    DrawImage(a, &m.slots[s]);
    const uint16_t y = static_cast<uint16_t>(m.slots[s].y + 2);
    const TextControl label{kLabelX, y, 128, 19, 0, kTextNoBackground, 0x0000, 0xFFFF};
    const bool chosen = slot.fileName[0] != 0;
    const TextControl file{kFileNameX, y, kSlotsX + kSlotW - kFileNameX - 6, 19, 0, kTextNoBackground,
                           chosen ? uint16_t{0xFFFF} : kPromptColour, 0x0000};
    DrawTextControl(a.frame, &label, slot.label);
    DrawFittedText(a.frame, &file, chosen ? slot.fileName : "Choose WAV file");
    if (!chosen) continue;
    m.slotPlay[s].pictureIndex = m.playing == kPlayingSlot + s ? kStopPicture : kPlayPicture;
    DrawImage(a, &m.slotPlay[s]);
  }
}

void DrawName(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  DrawImage(a, m.image[kSoundNameBox]);
  DrawTextControl(a.frame, m.text[kSoundSoundName], media.sound.soundName);
}

void SoundManagerDraw(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  DrawModeButtons(a, media);
  for (int i = kSoundFormat; i <= kSoundChannels; ++i) {
    DrawTextControl(a.frame, m.text[i], kFormatTexts[i - kSoundFormat]);
  }
  for (int i = kSoundFilesLabel; i <= kSoundNameLabel; ++i) {
    DrawTextControl(a.frame, m.text[i], kLabelTexts[i - kSoundFilesLabel]);
  }
  StartMediaList(media.sounds);
  RefreshList(a, media);
  DrawName(a, media);
  DrawSlots(a, media);
}

void Message(PageContext& a, const char* text) { ShowManagerMessage(a, text, kSoundManagerPage); }

// A WAV refused on Play or Create: a file that does not open is a failure
// below the page (a message box first); else what the file is and what is taken.
void Refused(PageContext& a, int result, const WavFormat& format) {
  if (result == kWavOpenFailed) a.platform.window.ShowMessageBox("Error");
  char text[kMessageTextCapacity];
  DescribeWavRefusal(result, format, text, sizeof text);
  Message(a, text);
}

// ---- hearing a sound before it goes to the handheld

void StopPlaying(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  if (m.playing < 0) return;
  a.platform.audio.Stop();
  m.playing = -1;
  DrawList(a, media);
  DrawSlots(a, media);
}

// Plays `count` samples of media.playSamples for the row or slot `which`.
void StartPlaying(PageContext& a, Media& media, int8_t which, uint32_t count, uint32_t rate) {
  SoundManagerPage& m = media.soundPage;
  if (!a.platform.audio.Play(media.playSamples, count, rate)) {
    if (!m.noDeviceSaid) Message(a, kNoSoundOutput);  // once a run; then presses do nothing
    m.noDeviceSaid = 1;
    return;
  }
  m.playing = which;
  DrawList(a, media);
  DrawSlots(a, media);
}

// A play control: the stored sound of a row as the handheld plays it, or a
// slot's WAV as it is on the PC; a second press stops it.
void PressPlay(PageContext& a, Media& media, int8_t which) {
  SoundManagerPage& m = media.soundPage;
  const bool again = m.playing == which;
  StopPlaying(a, media);
  if (again) return;
  if (which < kPlayingSlot) {
    const int index = StorageFindFile(a.storage, media.sounds.names[which]);
    const uint32_t count = index < 0 ? 0
        : DecodeStoredSound(a.storage, static_cast<uint16_t>(index), media.soundBuffer,
                            media.playSamples, kPlaySampleCapacity);
    if (count == 0) return Message(a, "Error - Sound file damaged! Delete it, then make it again or fetch it again.");
    return StartPlaying(a, media, which, count, kStoredSoundRate);
  }
  char paths[kSoundSlotCount][kSoundPathCapacity];
  SoundSourcePaths(media.sound, a.platform.files.PathSeparator(), paths);
  // the slots in use before this one that have a file chosen come first in `paths`
  int k = 0;
  for (int s = 0; s < which - kPlayingSlot; ++s) k += media.sound.slots[s].fileName[0] ? 1 : 0;
  uint32_t count = 0;
  WavFormat format{};
  const int result = ReadWavSamples(a.platform.files, paths[k], media.resampler, media.playSamples,
                                    kPlaySampleCapacity, &count, &format);
  if (result != kWavOk) return Refused(a, result, format);
  StartPlaying(a, media, which, count, kWavTargetRate);
}

// Back from the keyboard with a name, or from Select File with a WAV.
void SoundManagerTimer(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  SoundChoice& c = media.sound;
  if (m.playing >= 0 && !a.platform.audio.IsPlaying()) StopPlaying(a, media);
  if (TakeDeleteRow(a, media.sounds)) RefreshList(a, media);
  if (a.ui.keyboards.TextRequested) {
    if (TakeConfirmedText(a) && RequestTagIs(a, kNameTag)) {
      char name[kMediaNameCapacity];
      TypedFileName(a.ui.keyboards.alpha.EnteredText, name, kSoundNameCapacity - 2);
      if (StorageFindFile(a.storage, name) < 0) {
        CopyText(name, c.soundName, kSoundNameCapacity);
        DrawName(a, media);
      } else {
        Message(a, kNameInUse);
      }
    }
    DrawSlots(a, media);
    DrawModeButtons(a, media);
  }
  if (m.selectionExpected) {
    m.selectionExpected = 0;
    const char* path = nullptr;
    if (TakeSelectedFile(a, &path) == kCallConfirmed &&
        !ChooseSoundFile(media, path, a.platform.files.PathSeparator())) {
      Message(a, "Error - All soure files must be in same directory!");
    }
    DrawSlots(a, media);
    DrawModeButtons(a, media);
    DrawName(a, media);
  }
}

void CreateSound(PageContext& a, Media& media) {
  SoundChoice& c = media.sound;
  if (!c.soundName[0]) return Message(a, "Error - Must enter a Trelvan Sound Name!");
  if (StorageFindFile(a.storage, c.soundName) >= 0) return Message(a, "Error - File Name Already Used!");
  char paths[kSoundSlotCount][kSoundPathCapacity];
  const uint8_t n = SoundSourcePaths(c, a.platform.files.PathSeparator(), paths);
  if (!((c.mode == 1 && n == 1) || (c.mode == 2 && n == 3))) {
    return Message(a, "Error - Source Files not Selected!");
  }
  const char* list[kSoundSlotCount] = {paths[0], paths[1], paths[2]};
  WavFormat formats[kSoundSlotCount]{};
  const int result = ConvertSound(a.platform.files, a.storage, c.soundName, list, n, media.soundBuffer,
                                  media.resampler, formats);
  RefreshList(a, media);
  if (IsStoreResult(result)) return Message(a, StoreResultText(result));
  if (result == kSoundTooLong) return Message(a, WavResultText(result));
  if (result != kWavOk) {
    int refused = 0;  // the first segment whose format is not taken
    while (refused + 1 < n && CheckWavFormat(formats[refused]) == kWavOk) ++refused;
    return Refused(a, result, formats[refused]);
  }
  // say what was changed to make the sound, each change once
  char done[kSoundSlotCount][64];
  char text[kMessageTextCapacity];
  int at = 0;
  for (uint8_t s = 0; s < n; ++s) {
    DescribeWavConversion(formats[s], done[s], sizeof done[s]);
    bool said = !done[s][0];
    for (uint8_t e = 0; e < s && !said; ++e) said = CompareText(done[e], done[s], sizeof done[s]) == 0;
    if (said) continue;
    at += FormatText(text + at, sizeof text - at, at ? "; %s" : "Sound stored: %s", done[s]);
  }
  if (at) Message(a, text);
}

void SoundManagerPointer(PageContext& a, Media& media) {
  SoundManagerPage& m = media.soundPage;
  MediaList& list = media.sounds;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (PageMediaList(list, list.listPage, pointer, m.image[kSoundNextListPage],
                    m.image[kSoundPreviousListPage], m.image[kSoundListFrame])) {
    return RefreshList(a, media);
  }
  if (pointer.state != kPointerPressed) return;
  for (int r = 0; r < kMediaListRows; ++r) {
    if (!list.inUse[r]) continue;
    if (HitTest(pointer, &m.rows[r].second)) return PressPlay(a, media, static_cast<int8_t>(r));
    if (!HitTest(pointer, &m.rows[r].first)) continue;
    StopPlaying(a, media);
    return AskDeleteRow(a, list, r, true, kSoundManagerPage);
  }
  for (int s = 0; s < kSoundSlotCount; ++s) {
    if (media.sound.slots[s].inUse && media.sound.slots[s].fileName[0] && HitTest(pointer, &m.slotPlay[s])) {
      return PressPlay(a, media, static_cast<int8_t>(kPlayingSlot + s));
    }
  }
  for (int s = 0; s < kSoundSlotCount; ++s) {
    if (!media.sound.slots[s].inUse || !HitTest(pointer, &m.slots[s])) continue;
    StopPlaying(a, media);
    media.sound.selectedSlot = static_cast<uint8_t>(s);
    m.selectionExpected = 1;
    RequestSelectFile(a, ".wav", kSoundManagerPage);
  }
  if (HitTest(pointer, m.image[kSoundEnterName])) RequestName(a, kNameTag, 23, 2, kSoundManagerPage, media.sound.soundName);
  for (uint8_t mode = 1; mode <= 2; ++mode) {
    if (!HitTest(pointer, m.image[mode == 1 ? kSoundModeSingle : kSoundModeStartLoopStop])) continue;
    StopPlaying(a, media);
    ChooseSoundMode(media, mode);
    DrawModeButtons(a, media);
    DrawSlots(a, media);
  }
  if (HitTest(pointer, m.image[kSoundCreate])) CreateSound(a, media);
  if (HitTest(pointer, m.image[kSoundExit])) {
    StopPlaying(a, media);
    a.ui.pages.CurrentPage = kMainPage;
  }
}

}  // namespace

void ChooseSoundMode(Media& media, uint8_t mode) {
  SoundChoice& c = media.sound;
  c.mode = mode;
  c.sourceFolder[0] = 0;
  for (SoundSlot& slot : c.slots) slot = SoundSlot{};
  static const char* const kLabels[2][kSoundSlotCount] = {{"Single", "", ""}, {"Start", "Looping", "Stop"}};
  const int used = mode == 1 ? 1 : 3;
  for (int s = 0; s < used; ++s) {
    c.slots[s].inUse = 1;
    CopyText(kLabels[mode - 1][s], c.slots[s].label, kSlotLabelCapacity);
  }
}

bool ChooseSoundFile(Media& media, const char* path, char separator) {
  SoundChoice& c = media.sound;
  const int end = static_cast<int>(TextLength(path)) - 4;  // without the extension
  int slash = -1;
  for (int i = end - 1; i >= 0; --i) {
    if (path[i] == separator) {
      slash = i;
      break;
    }
  }
  if (end < 0 || slash < 0) return false;
  char folder[kSourceFolderCapacity];
  CopyText(path, folder, static_cast<uint16_t>(slash + 1 < kSourceFolderCapacity ? slash + 1 : kSourceFolderCapacity));
  if (c.sourceFolder[0] && CompareText(folder, c.sourceFolder, kSourceFolderCapacity) != 0) return false;
  if (!c.sourceFolder[0]) CopyText(folder, c.sourceFolder, kSourceFolderCapacity);
  SoundSlot& slot = c.slots[c.selectedSlot % kSoundSlotCount];
  const int n = end - slash - 1;
  CopyText(path + slash + 1, slot.fileName, static_cast<uint16_t>((n < kMediaNameCapacity - 1 ? n : kMediaNameCapacity - 1) + 1));
  return true;
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kSoundFixedImages[] = {kSoundExit, kSoundEnterName, kSoundCreate, kEndOfRoles};

const PageUnit<PageContext, Media> kSoundManagerRecord = {
    {
        "TA SoundManager",  // page file
        "Sound Manager",  // title
        kSoundFixedImages,  // fixed images
    },
    SoundManagerInit,  // init
    SoundManagerTimer,  // timer
    SoundManagerPointer,  // pointer
    SoundManagerDraw,  // draw
};

}  // namespace trelvan
