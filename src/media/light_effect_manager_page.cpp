#include "media/light_effect_manager_page.h"

#include "media/conversions.h"
#include "media/manager_lists.h"
#include "media/media.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {

namespace {

constexpr const char* kNameInUse = "Select a different file name - Name already in use";
// With the most the section may hold beside the other two.
constexpr const char* kSectionTooLong = "Invalid Value - You exceded the Total Number of Samples. Enter %d or less.";
constexpr uint16_t kLoadPicture = 22;

// A numeric field: the button that opens it, its name (the keyboard's tag
// and prompt) and its limits; -1 as maximum: samples in use less the cursor.
struct NumberField {
  int button;
  const char* name;
  int16_t min, max, initial;
};

constexpr NumberField kFields[] = {
    {kLightStartSamples, "Start Samples", 1, 398, 20},
    {kLightLoopSamples, "Looping Samples", 1, 398, 50},
    {kLightStopSamples, "Stop Samples", 1, 398, 20},
    {kLightIndex, "Index", 0, 399, 0},
    {kLightBrightness, "Brightness", 0, 100, 0},
    {kLightNaturalIncrease, "Natural Increase", 4, 398, 0},
    {kLightNaturalDecrease, "Natural Decrease", 4, 398, 0},
    {kLightSine, "Sine", 5, 398, 0},
    {kLightLevelAdjust, "Level Adjust", 0, 200, 0},
    {kLightShift, "Shift", -399, 399, 0},
    {kLightAverage, "Average", 2, -1, 0},
};

// Colour16: red in bits 0 to 4, green 5 to 10, blue 11 to 15.
constexpr uint16_t Colour(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>((r >> 3) | ((g >> 2) << 5) | ((b >> 3) << 11));
}
constexpr uint16_t kSectionColours[3] = {Colour(0xE2, 0xEE, 0xFA), Colour(0xE4, 0xF4, 0xE6),
                                         Colour(0xFB, 0xEB, 0xDC)};
constexpr uint16_t kUnusedColour = 0xFFFF;
constexpr uint16_t kOffColour = Colour(0xEC, 0xEF, 0xF3);
constexpr uint16_t kCurveColour = Colour(0x35, 0x5C, 0x98);
constexpr uint16_t kBoundaryColour = Colour(0xE8, 0x7C, 0x1E);
constexpr uint16_t kCursorColour = Colour(0xCC, 0x3A, 0x32);
constexpr uint16_t kPanelColour = 0xF77D;  // the lamp panel's body, as the page file paints it
constexpr uint16_t kLampRingColour = Colour(0x8A, 0x92, 0x9E);
constexpr uint16_t kLampOnPicture = 25, kLampOffPicture = 26;  // the page's own pictures
// The lamps in their panel: one per channel, centred at y kLampY.
constexpr int32_t kLampX[kLightChannels] = {196, 252};
constexpr int32_t kLampY = 546;
constexpr int32_t kLampRadius = 17;


void LightInit(PageContext& a, Media& media) {
  LightEffectManagerPage& m = media.lightPage;
  PageLoader load(a.ui.controls, a.storage, kLightEffectManagerRecord.page);
  for (int i = 0; i < kLightImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kLightTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  LayOutMediaRows(m.rows, RowLayout{24, 220, 250, 50, kSourcePageFile, kLoadPicture, 306, 40, kSourceCommon, 30});
  m.drawingChannel = 0;
  m.play = LightPlay{};
  if (media.effect.channelCount == 0) NewLightEffect(media.effect);
  ListLightEffectFiles(media.lightEffects, a.storage);
}

void DrawList(PageContext& a, Media& media) {
  LightEffectManagerPage& m = media.lightPage;
  DrawMediaList(a, media.lightEffects, m.rows, m.image[kLightListFrame], m.image[kLightNextListPage],
                m.image[kLightPreviousListPage]);
}

void RefreshList(PageContext& a, Media& media) {
  ListLightEffectFiles(media.lightEffects, a.storage);
  DrawList(a, media);
}

// One graph: the sections tinted, unused samples grey, the curve as bars
// from the bottom line, the section boundaries and the cursor as lines.
void DrawGraph(PageContext& a, Media& media, uint8_t channel) {
  FrameBuffer& f = a.frame;
  const LightEffect& e = media.effect;
  const uint16_t top = channel == 0 ? kGraph1Top : kGraph2Top;
  const uint16_t bottom = static_cast<uint16_t>(top + kGraphRows);  // brightness 0
  const bool shown = channel < e.channelCount;
  const uint32_t ends[3] = {e.startSamples, uint32_t{e.startSamples} + e.loopSamples,
                            uint32_t{e.startSamples} + e.loopSamples + e.stopSamples};
  for (uint16_t k = 0; k < kLightSamples; ++k) {
    uint16_t back = shown ? kUnusedColour : kOffColour;
    for (int s = 2; s >= 0; --s) {
      if (shown && k < ends[s]) back = kSectionColours[s];
    }
    f.PenColour = back;
    FillArea(f, static_cast<uint16_t>(kGraphX + k), top, 1, kGraphRows + 1);
    if (!shown) continue;
    const uint8_t v = e.brightness[channel][k] > 100 ? 100 : e.brightness[channel][k];
    f.PenColour = kCurveColour;
    FillArea(f, static_cast<uint16_t>(kGraphX + k), static_cast<uint16_t>(bottom - v), 1,
             static_cast<uint16_t>(v + 1));
  }
  if (!shown) return;
  f.PenColour = kBoundaryColour;
  for (uint32_t end : ends) {
    if (end < kLightSamples) FillArea(f, static_cast<uint16_t>(kGraphX + end), top, 1, kGraphRows + 1);
  }
  if (channel == e.activeChannel && e.cursorIndex < kLightSamples) {
    f.PenColour = kCursorColour;
    FillArea(f, static_cast<uint16_t>(kGraphX + e.cursorIndex), top, 1, kGraphRows + 1);
  }
}

void DrawValues(PageContext& a, Media& media) {
  LightEffectManagerPage& m = media.lightPage;
  const LightEffect& e = media.effect;
  char line[80];
  FormatText(line, "Name: %s", media.effectName[0] ? media.effectName : "(not named)");
  DrawTextControl(a.frame, m.text[kLightEffectName], line);
  FormatText(line, "Channels %u   Start %u   Loop %u   Stop %u", e.channelCount, e.startSamples,
             e.loopSamples, e.stopSamples);
  DrawTextControl(a.frame, m.text[kLightSections], line);
  FormatText(line, "Cursor %u   Brightness %u   Samples in use %u", e.cursorIndex,
             e.brightness[e.activeChannel & 1][e.cursorIndex % kLightSamples], e.sampleCount);
  DrawTextControl(a.frame, m.text[kLightCursor], line);
}

void DrawEditor(PageContext& a, Media& media) {
  DrawGraph(a, media, 0);
  DrawGraph(a, media, 1);
  DrawValues(a, media);
  const ImageControl* undo = media.lightPage.image[kLightUndo];
  if (!undo) return;
  EraseControl(a.frame, undo);
  DrawImage(a, undo);
  if (media.history.undoCount == 0) DimControl(a.frame, undo);
}

// Before each change of the effect: the state Undo goes back to.
void KeepEffectStep(Media& media, const LightEffect& before) {
  KeepStep(media.history, before);
  media.effectChanged = true;
}

// A lamp's colour at `level` percent: from a dark bulb to a warm light.
uint16_t LampColour(uint8_t level) {
  const auto mix = [level](int dark, int lit) { return static_cast<uint8_t>(dark + (lit - dark) * level / 100); };
  return Colour(mix(0x3A, 0xFF), mix(0x40, 0xD2), mix(0x4A, 0x3C));
}

void FillDisc(FrameBuffer& f, int32_t cx, int32_t cy, int32_t r) {
  for (int32_t dy = -r; dy <= r; ++dy) {
    int32_t half = 0;
    while ((half + 1) * (half + 1) + dy * dy <= r * r) ++half;
    FillArea(f, static_cast<uint16_t>(cx - half), static_cast<uint16_t>(cy + dy),
             static_cast<uint16_t>(2 * half + 1), 1);
  }
}

// The lamps as the handheld lights them now, the section playing, and the
// control that switches them.
void DrawLamps(PageContext& a, Media& media) {
  LightEffectManagerPage& m = media.lightPage;
  const LightEffect& e = media.effect;
  FrameBuffer& f = a.frame;
  static const char* const kPhases[] = {"Off", "Start", "Loop", "Stop"};
  f.PenColour = kPanelColour;
  FillArea(f, 166, 520, 184, 64);
  for (uint8_t c = 0; c < kLightChannels; ++c) {
    const bool present = c < e.channelCount;
    f.PenColour = present ? kLampRingColour : kOffColour;
    FillDisc(f, kLampX[c], kLampY, kLampRadius + 2);
    f.PenColour = present ? LampColour(LightPlayLevel(m.play, e, c)) : kOffColour;
    FillDisc(f, kLampX[c], kLampY, kLampRadius);
    const TextControl label{static_cast<uint16_t>(kLampX[c] - 20), kLampY + kLampRadius + 4, 40, 14, 1,
                            kTextCentred | kTextNoBackground, static_cast<uint16_t>(present ? 0x0000 : kLampRingColour), kPanelColour};
    DrawTextControl(f, &label, c == 0 ? "1" : "2");
  }
  const TextControl phase{284, 536, 64, 19, 0, kTextNoBackground, 0x0000, kPanelColour};
  DrawTextControl(f, &phase, kPhases[m.play.phase & 3]);
  ImageControl* lamp = m.image[kLightLamp];
  if (lamp) {
    lamp->pictureIndex = m.play.phase != kLightDark && !m.play.offAsked ? kLampOffPicture : kLampOnPicture;
    DrawImage(a, lamp);
  }
}

void LightDraw(PageContext& a, Media& media) {
  LightEffectManagerPage& m = media.lightPage;
  DrawTextControl(a.frame, m.text[kLightHint], "Draw on a graph. Rise, Fall, Sine: length in samples");
  StartMediaList(media.lightEffects);
  RefreshList(a, media);
  DrawEditor(a, media);
  DrawLamps(a, media);
}

void Message(PageContext& a, const char* text) { ShowManagerMessage(a, text, kLightEffectManagerPage); }

// A stored effect that does not load: its version is one this program does
// not read, or its counts pass its data (or 400 samples).
void SayWhyNotLoaded(PageContext& a, uint16_t index) {
  char version[8] = "", text[kMessageTextCapacity];
  StorageReadField(a.storage, index, kFieldVersion, version);
  if ((version[0] == '1' || version[0] == '2') && version[1] == '.') {
    FormatText(text, "Error - Light effect damaged: its sample counts do not fit its data! Delete it from the list.");
  } else {
    FormatText(text, "Error - Light effect version %s can not be loaded (1.x and 2.x can)!", version);
  }
  Message(a, text);
}

// Stores the effect under its name; after the save-now question it goes on
// instead of saying so.
void Save(PageContext& a, Media& media) {
  const int result = SaveLightEffect(a.storage, media.effectName, media.effect);
  const bool goOn = media.goOnAfterSaveAs;
  media.goOnAfterSaveAs = false;
  if (result == kStoreDone) media.effectChanged = false;
  if (result == kStoreDone && goOn) return GoOn(a, media.goOnTo);
  Message(a, result == kStoreDone ? "Save Complete!" : StoreResultText(result));
}

// The save-now question's answer; true when it was taken.
bool TakeGoOnAnswer(PageContext& a, Media& media) {
  if (!media.goOnAsked) return false;
  const uint16_t answer = TakeInformationAnswer(a);
  if (answer == 0) return false;
  media.goOnAsked = false;
  if (answer != kInfoYesPressed) {
    // Dropped: the page opens next time on a new effect.
    NewLightEffect(media.effect);
    media.effectName[0] = 0;
    ForgetSteps(media.history);
    media.effectChanged = false;
    GoOn(a, media.goOnTo);
    return true;
  }
  media.goOnAfterSaveAs = true;
  if (media.effectName[0] == 0) {
    RequestName(a, "Save As", 30, 1, kLightEffectManagerPage, media.effectName);
  } else {
    Save(a, media);
  }
  return true;
}

// A value from the numeric keyboard for the field `name`.
void ApplyLightEffectValue(PageContext& a, Media& media, const char* name, int32_t v) {
  LightEffect& e = media.effect;
  const LightSection sections[3] = {kStartSection, kLoopSection, kStopSection};
  for (int s = 0; s < 3; ++s) {
    if (CompareText(name, kFields[s].name, kRequestTagCapacity) != 0) continue;
    const LightEffect before = e;
    if (SetLightSection(e, sections[s], static_cast<uint16_t>(v))) return KeepEffectStep(media, before);
    const int others = e.startSamples + e.loopSamples + e.stopSamples -
                       (s == 0 ? e.startSamples : s == 1 ? e.loopSamples : e.stopSamples);
    char text[kMessageTextCapacity];
    FormatText(text, kSectionTooLong, kLightSamples - others);
    return Message(a, text);
  }
  auto is = [name](const char* field) { return CompareText(name, field, kRequestTagCapacity) == 0; };
  if (is("Index")) {
    e.cursorIndex = static_cast<uint16_t>(v);
    if (e.sampleCount < v) e.sampleCount = static_cast<uint16_t>(v + 1);
    return;
  }
  KeepEffectStep(media, media.effect);
  if (is("Brightness")) e.brightness[e.activeChannel & 1][e.cursorIndex % kLightSamples] = static_cast<uint8_t>(v);
  if (is("Natural Increase")) NaturalIncrease(e, static_cast<uint16_t>(v));
  if (is("Natural Decrease")) NaturalDecrease(e, static_cast<uint16_t>(v));
  if (is("Sine")) SineCurve(e, static_cast<uint16_t>(v));
  if (is("Level Adjust")) LevelAdjust(e, static_cast<uint16_t>(v));
  if (is("Shift")) ShiftCurve(e, static_cast<int16_t>(v));
  if (is("Average")) AverageCurve(e, static_cast<uint16_t>(v));
}

void LightTimer(PageContext& a, Media& media) {
  if (AdvanceLightPlay(media.lightPage.play, media.effect, kTickMs)) DrawLamps(a, media);
  if (TakeGoOnAnswer(a, media)) return;
  if (TakeDeleteRow(a, media.lightEffects)) RefreshList(a, media);
  const uint8_t command = a.input.Edit;
  a.input.Edit = kEditNone;
  if ((command == kEditUndo && UndoStep(media.history, media.effect)) ||
      (command == kEditRedo && RedoStep(media.history, media.effect))) {
    media.effectChanged = true;
    DrawEditor(a, media);
  }
  if (!a.ui.keyboards.TextRequested) return;
  if (RequestTagIs(a, "File Name") || RequestTagIs(a, "Save As")) {
    const bool saveAs = RequestTagIs(a, "Save As");
    if (!TakeConfirmedText(a)) {
      media.goOnAfterSaveAs = false;  // Save As given up: the page stays
      return;
    }
    char name[kMediaNameCapacity];
    TypedFileName(a.ui.keyboards.alpha.EnteredText, name, kMediaNameCapacity - 2);
    if (saveAs) {
      CopyText(name, media.effectName, kMediaNameCapacity);
      Save(a, media);
    } else if (StorageFindFile(a.storage, name) < 0) {
      CopyText(name, media.effectName, kMediaNameCapacity);
      DrawValues(a, media);
    } else {
      Message(a, kNameInUse);
    }
    return;
  }
  if (TakeConfirmedNumber(a)) {
    ApplyLightEffectValue(a, media, a.ui.keyboards.TextRequestTag, a.ui.keyboards.numeric.NumberValue);
    if (a.ui.pages.CurrentPage == kLightEffectManagerPage) DrawEditor(a, media);
  }
}

void OpenField(PageContext& a, Media& media, const NumberField& field) {
  const LightEffect& e = media.effect;
  int32_t max = field.max;
  if (max < 0) {
    max = int32_t{e.sampleCount} - e.cursorIndex;
    if (max < field.min) return;  // no window fits between the cursor and the end
  }
  char minText[kNumberLimitCapacity], maxText[kNumberLimitCapacity];
  FormatText(minText, "%d", field.min);
  FormatText(maxText, "%d", static_cast<int>(max));
  RequestNumber(a, field.name, field.name, field.min, minText, max, maxText, field.initial,
                kLightEffectManagerPage);
}

// The graph under the pointer: 0 or 1, or -1 outside both (and on channel
// 2's while the effect has one channel).
int GraphAt(const LightEffect& e, const PointerEventRecord& pointer) {
  if (pointer.x < kGraphX || pointer.x >= kGraphX + kLightSamples) return -1;
  for (uint8_t channel = 0; channel < 2; ++channel) {
    const int32_t top = channel == 0 ? kGraph1Top : kGraph2Top;
    if (pointer.y < top || pointer.y >= top + kGraphRows) continue;
    return channel == 1 && e.channelCount != 2 ? -1 : channel;
  }
  return -1;
}

// The sample and brightness under the pointer on `channel`'s graph; a held
// pointer that left the graph counts at its nearest edge (below it: off).
void SampleAt(const PointerEventRecord& pointer, uint8_t channel, uint16_t* sample, uint8_t* value) {
  const int32_t top = channel == 0 ? kGraph1Top : kGraph2Top;
  const int32_t x = pointer.x - kGraphX, y = top + kGraphRows - pointer.y;
  *sample = static_cast<uint16_t>(x < 0 ? 0 : x >= kLightSamples ? kLightSamples - 1 : x);
  *value = static_cast<uint8_t>(y < 0 ? 0 : y > kGraphRows ? kGraphRows : y);
}

// A press inside a graph draws that sample; while it is held, each move
// draws the line from the last place to the new one, so a quick hand that
// crosses many samples between two ticks leaves no gaps. The whole stroke
// is one undo step.
bool DrawWithPointer(PageContext& a, Media& media, const PointerEventRecord& pointer) {
  LightEffectManagerPage& m = media.lightPage;
  LightEffect& e = media.effect;
  if (pointer.state == kPointerReleased) {
    m.drawingChannel = 0;
    return false;
  }
  uint16_t sample;
  uint8_t value;
  if (pointer.state == kPointerMoved) {
    if (m.drawingChannel == 0) return false;
    const uint8_t channel = static_cast<uint8_t>(m.drawingChannel - 1);
    SampleAt(pointer, channel, &sample, &value);
    DrawLightLine(e, channel, m.lastSample, m.lastValue, sample, value);
  } else {
    const int channel = GraphAt(e, pointer);
    if (channel < 0) return false;
    m.drawingChannel = static_cast<uint8_t>(channel + 1);
    SampleAt(pointer, static_cast<uint8_t>(channel), &sample, &value);
    KeepEffectStep(media, e);
    DrawLightSample(e, static_cast<uint8_t>(channel), sample, value);
  }
  m.lastSample = sample;
  m.lastValue = value;
  DrawEditor(a, media);
  return true;
}

void LightPointer(PageContext& a, Media& media) {
  LightEffectManagerPage& m = media.lightPage;
  MediaList& list = media.lightEffects;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (PageMediaList(list, list.listPage, pointer, m.image[kLightNextListPage],
                    m.image[kLightPreviousListPage], m.image[kLightListFrame])) {
    return RefreshList(a, media);
  }
  if (pointer.state == kPointerWheel) return;  // no sample is drawn by the wheel
  if (DrawWithPointer(a, media, pointer) || pointer.state != kPointerPressed) return;
  auto hit = [&](int role) { return HitTest(pointer, m.image[role]); };
  for (const NumberField& field : kFields) {
    if (hit(field.button)) return OpenField(a, media, field);
  }
  LightEffect& e = media.effect;
  if (hit(kLightLamp)) {
    LightPlay& play = m.play;
    if (play.phase == kLightDark || play.offAsked) {
      SwitchLightOn(play, e);
    } else {
      SwitchLightOff(play);
    }
    return DrawLamps(a, media);
  }
  if (hit(kLightChannelCount)) {
    KeepEffectStep(media, e);
    e.channelCount = e.channelCount == 2 ? 1 : 2;
    if (e.channelCount == 1) e.activeChannel = 0;
    return DrawEditor(a, media);
  }
  if (hit(kLightUndo)) {
    if (UndoStep(media.history, e)) media.effectChanged = true;
    return DrawEditor(a, media);
  }
  if (hit(kLightNew)) {
    KeepEffectStep(media, e);
    NewLightEffect(e);
    return DrawEditor(a, media);
  }
  if (hit(kLightSave)) {
    const uint16_t n = TextLength(media.effectName);
    if (n > 0 && media.effectName[n - 1] == '~') return Save(a, media);
    return Message(a, "Please use Save As!");
  }
  if (hit(kLightFileName)) return RequestName(a, "File Name", 30, 1, kLightEffectManagerPage, media.effectName);
  if (hit(kLightSaveAs)) return RequestName(a, "Save As", 30, 1, kLightEffectManagerPage, media.effectName);
  for (int r = 0; r < kMediaListRows; ++r) {
    if (!list.inUse[r]) continue;
    if (HitTest(pointer, &m.rows[r].first)) {
      const int index = StorageFindFile(a.storage, list.names[r]);
      const LightEffect before = e;
      if (index >= 0 && LoadLightEffect(a.storage, static_cast<uint16_t>(index), e)) {
        KeepStep(media.history, before);
        media.effectChanged = false;  // as stored
        CopyText(list.names[r], media.effectName, kMediaNameCapacity);
      } else if (index >= 0) {
        return SayWhyNotLoaded(a, static_cast<uint16_t>(index));
      }
      return DrawEditor(a, media);
    }
    if (HitTest(pointer, &m.rows[r].second)) return AskDeleteRow(a, list, r, true, kLightEffectManagerPage);
  }
  if (hit(kLightExit)) LightGoOn(a, media, kMainPage);
}

}  // namespace

void LightGoOn(PageContext& a, Media& media, int32_t destination) {
  if (!media.effectChanged) return GoOn(a, destination);
  media.goOnTo = destination;
  media.goOnAsked = true;
  RequestInformation(a, kMsgEffectNotSaved, kInfoYesShown | kInfoNoShown, kLightEffectManagerPage);
}

// The images every full draw shows after the page frame, in drawing order.
constexpr int8_t kLightFixedImages[] = {kLightExit, kLightStartSamples, kLightLoopSamples, kLightStopSamples, kLightIndex, kLightBrightness, kLightNaturalIncrease, kLightNaturalDecrease, kLightSine, kLightLevelAdjust, kLightShift, kLightAverage, kLightUndo, kLightChannelCount, kLightNew, kLightSave, kLightSaveAs, kLightFileName, kLightGraph1Frame, kLightGraph2Frame, kLightLampPanel, kEndOfRoles};

const PageUnit<PageContext, Media> kLightEffectManagerRecord = {
    {
        "TA LightEffectManager",  // page file
        "Light Effect Manager",  // title
        kLightFixedImages,  // fixed images
    },
    LightInit,  // init
    LightTimer,  // timer
    LightPointer,  // pointer
    LightDraw,  // draw
};

}  // namespace trelvan
