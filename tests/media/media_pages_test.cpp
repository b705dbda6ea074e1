// The three manager pages on the compiled page files: what reaches the
// storage through them, and each refusal's message with nothing stored.
// The pages' look is in the golden shots picture_manager, sound_manager_*
// and light_effect_*.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "media/conversions.h"
#include "media/light_effect_manager_page.h"
#include "media/sound_decode.h"
#include "storage/bytes.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;

// A BMP of the media golden folder.
Bytes Bmp(const char* name) {
  return testing::ReadHostFile(std::string(TRELVAN_MEDIA_GOLDEN "/picture/") + name + ".bmp");
}

// A mono 16-bit WAV at `rate` whose data chunk declares `dataBytes` and
// holds min(dataBytes, 64) bytes.
Bytes Wav(uint32_t rate, uint32_t dataBytes) {
  Bytes b(44 + (dataBytes < 64 ? dataBytes : 64), 0);
  const char* ids[] = {"RIFF", "WAVE", "fmt ", "data"};
  const int at[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i) std::copy(ids[i], ids[i] + 4, b.begin() + at[i]);
  WriteU32LE(&b[16], 16);
  WriteU16LE(&b[20], 1);
  WriteU16LE(&b[22], 1);
  WriteU32LE(&b[24], rate);
  b[34] = 16;
  WriteU32LE(&b[40], dataBytes);
  return b;
}

class MediaPagesTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }
  std::string WriteFile(const std::string& name, const Bytes& bytes) {
    testing::WriteHostFile(platform.DataPath(name), bytes);
    return platform.DataPath(name);
  }
  void Open(int32_t page) {
    a->ui.pages.CurrentPage = page;
    Send(Message::Timer);
    Send(Message::Timer);
  }
  // Select File goes back with `path` chosen; the page takes it.
  void Choose(const std::string& path, int32_t page) {
    ASSERT_EQ(a->ui.pages.CurrentPage, kSelectFilePage);
    CopyText(path.c_str(), a->ui.selectFile.SelectedPath, kSelectedPathCapacity);
    ReturnToCaller(a->ui.pages, a->ui.selectFile.answer, kCallConfirmed, page);
    Send(Message::Timer);
    Send(Message::Timer);
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      Send(Message::KeyDown, static_cast<uint32_t>(*c >= 'a' ? *c - 32 : *c));
    }
    Send(Message::KeyDown, 13);
    for (int i = 0; i < 4; ++i) Send(Message::Timer);
  }
  std::string Message() const {
    return a->ui.pages.CurrentPage == kInformationPage ? a->ui.information.MessageText : "";
  }
  void Store(const char* name, const char* type) {
    const uint8_t data[4] = {1, 2, 3, 4};
    ASSERT_TRUE(StorageWriteRecord(a->storage, name, "", type, "1.00", data, sizeof data));
  }
  int Find(const char* name) const { return StorageFindFile(a->storage, name); }
  Media& M() { return a->media; }
};

TEST_F(MediaPagesTest, PicturesConvertedOrRefusedWithTheirMessage) {
  Open(kPictureManagerPage);
  const ImageControl* add = M().picturePage.image[kPictureAdd];
  const struct {
    const char* file;
    Bytes bmp;
    const char* stored;
    const char* message;
  } cases[] = {
      {"A_very_long_railway_picture_na.bmp", Bmp("bottom_up"), "A_very_long_railway_pic~", ""},
      {"Tall.bmp", Bmp("height_181"), nullptr, "Error - BMP height must be 180!"},
      {"Deep.bmp", Bmp("bits_32"), nullptr, "Error - BMP color data must be 24 bits per pixel!"},
      {"Upside.bmp", Bmp("top_down_v5_header"), "Upside~", ""},
  };
  for (const auto& c : cases) {
    ClickOn(add);
    Choose(WriteFile(c.file, c.bmp), kPictureManagerPage);
    EXPECT_EQ(Message(), c.message) << c.file;
    EXPECT_TRUE(!c.stored || Find(c.stored) >= 0) << c.file;
    Open(kPictureManagerPage);
  }
  EXPECT_EQ(M().pictures.count, 2);
  // a name in use is refused before the file is read: this one does not exist
  ClickOn(add);
  Choose("/nonexistent/Upside.bmp", kPictureManagerPage);
  EXPECT_EQ(Message(), "Select a different file name - Name already in use");
  Open(kPictureManagerPage);
  ClickOn(add);
  Choose(platform.DataPath("Nowhere.bmp"), kPictureManagerPage);
  EXPECT_EQ(Message(), "Error Opening BMP File!");
  // a full storage is said and stores nothing
  a->storage.fs.header.freeBlocks = 5;  // 43 KB do not fit in 20 KB
  Open(kPictureManagerPage);
  ClickOn(add);
  Choose(WriteFile("Yard.bmp", Bmp("bottom_up")), kPictureManagerPage);
  EXPECT_EQ(Message(), "Error - Not enough free storage!");
  EXPECT_LT(Find("Yard~"), 0);
}

TEST_F(MediaPagesTest, ThirtyFivePicturesOnThreeListPages) {
  for (int i = 0; i < 35; ++i) Store(("P" + std::to_string(100 + i) + "~").c_str(), "Picture");
  Store("Horn~", "Sound");
  Open(kPictureManagerPage);
  PictureManagerPage& p = M().picturePage;
  const MediaList& list = M().pictures;
  EXPECT_EQ(list.count, 35);
  const struct { int click; uint16_t page; const char* first; int rows; } steps[] = {
      {-1, 0, "P100~", 17}, {kPictureNextListPage, 1, "P117~", 17},
      {kPictureNextListPage, 2, "P134~", 1}, {kPictureNextListPage, 2, "P134~", 1},
      {kPicturePreviousListPage, 1, "P117~", 17}};
  for (const auto& s : steps) {
    if (s.click >= 0) ClickOn(p.image[s.click]);
    EXPECT_EQ(list.listPage, s.page);
    EXPECT_STREQ(list.names[0], s.first);
    int rows = 0;
    for (uint8_t used : list.inUse) rows += used;
    EXPECT_EQ(rows, s.rows);
  }
  // delete the first row of the second page after asking: No keeps it,
  // Yes deletes it and the next picture moves up, on the same list page
  for (int answer : {kInfoNo, kInfoYes}) {
    ClickOn(&p.rows[0].first);
    EXPECT_STREQ(a->ui.information.MessageText, "Delete P117~?");
    Answer(answer);
    EXPECT_EQ(Find("P117~") >= 0, answer == kInfoNo);
    EXPECT_EQ(list.listPage, 1);
  }
  EXPECT_STREQ(list.names[0], "P118~");
}

TEST_F(MediaPagesTest, SoundNeedsNameModeAndFilesOfOneFolder) {
  Open(kSoundManagerPage);
  SoundManagerPage& p = M().soundPage;
  ClickOn(p.image[kSoundCreate]);
  EXPECT_EQ(Message(), "Error - Must enter a Trelvan Sound Name!");
  Open(kSoundManagerPage);
  ClickOn(p.image[kSoundEnterName]);
  Type("Bell");
  EXPECT_STREQ(M().sound.soundName, "bell~");  // the keyboard starts in lower case
  ClickOn(p.image[kSoundCreate]);
  EXPECT_EQ(Message(), "Error - Source Files not Selected!");  // no mode yet
  Open(kSoundManagerPage);
  ClickOn(p.image[kSoundModeStartLoopStop]);
  const std::string wav = WriteFile("bell.wav", Wav(44100, 40));
  for (int s = 0; s < 2; ++s) {
    ClickOn(&p.slots[s]);
    Choose(wav, kSoundManagerPage);
  }
  ClickOn(p.image[kSoundCreate]);
  EXPECT_EQ(Message(), "Error - Source Files not Selected!");  // two of three
  Open(kSoundManagerPage);
  ClickOn(&p.slots[2]);
  Choose("/elsewhere/bell.wav", kSoundManagerPage);
  EXPECT_EQ(Message(), "Error - All soure files must be in same directory!");
  EXPECT_STREQ(M().sound.slots[2].fileName, "");
  // a new mode clears the slots and the folder: another folder is taken
  Open(kSoundManagerPage);
  ClickOn(p.image[kSoundModeSingle]);
  EXPECT_FALSE(M().sound.slots[1].inUse);
  ClickOn(&p.slots[0]);
  Choose("/elsewhere/bell.wav", kSoundManagerPage);
  EXPECT_STREQ(M().sound.sourceFolder, "/elsewhere");
  EXPECT_STREQ(M().sound.slots[0].fileName, "bell");
}

TEST_F(MediaPagesTest, SoundRefusalsStoreNothing) {
  Store("Taken~", "Sound");
  Open(kSoundManagerPage);
  SoundManagerPage& p = M().soundPage;
  const struct {
    const char* name;
    Bytes wav;
    const char* message;
  } cases[] = {
      {"SLOW", Wav(22050, 40), "Error - Sample Rate not 44.1kHz! This file: mono, 22050 Hz, 16-bit PCM."},
      {"LONG", Wav(44100, 7000000), "Error - Sound too long!"},  // 2,187,509 bytes of sound data
      {"TAKEN", Wav(44100, 40), "Error - File Name Already Used!"},
      {"FINE", Wav(44100, 40), ""},
  };
  for (const auto& c : cases) {
    ClickOn(p.image[kSoundModeSingle]);
    ClickOn(&p.slots[0]);
    Choose(WriteFile(std::string(c.name) + ".wav", c.wav), kSoundManagerPage);
    CopyText((std::string(c.name == std::string("TAKEN") ? "Taken" : c.name) + "~").c_str(),
             M().sound.soundName, kSoundNameCapacity);
    ClickOn(p.image[kSoundCreate]);
    EXPECT_EQ(Message(), c.message) << c.name;
    Open(kSoundManagerPage);
  }
  EXPECT_LT(Find("SLOW~"), 0);
  EXPECT_LT(Find("LONG~"), 0);
  ASSERT_GE(Find("FINE~"), 0);
  EXPECT_EQ(StorageFileSize(a->storage, static_cast<uint16_t>(Find("FINE~"))),
            StorageHeaderLength(a->storage, static_cast<uint16_t>(Find("FINE~"))) + 9 + 15u);
}

TEST_F(MediaPagesTest, LightEffectSectionsSaveAndLoad) {
  Open(kLightEffectManagerPage);
  LightEffectManagerPage& p = M().lightPage;
  LightEffect& e = M().effect;
  const struct { int button; const char* value; uint16_t start, loop, stop; const char* message; } steps[] = {
      {kLightLoopSamples, "50", 20, 50, 20, ""},
      {kLightStopSamples, "50", 20, 50, 50, ""},
      {kLightStartSamples, "301", 20, 50, 50, "Invalid Value - You exceded the Total Number of Samples."},
      {kLightStartSamples, "300", 300, 50, 50, ""},
  };
  for (const auto& s : steps) {
    ClickOn(p.image[s.button]);
    Type(s.value);
    EXPECT_EQ(Message(), s.message) << s.value;
    EXPECT_EQ(e.startSamples, s.start);
    EXPECT_EQ(e.stopSamples, s.stop);
    Open(kLightEffectManagerPage);
  }
  // a click on the channel 1 graph: sample 7 at brightness 249 - y
  Click(kGraphX + 7, 209);
  EXPECT_EQ(e.brightness[0][7], 40);
  EXPECT_EQ(e.cursorIndex, 7);
  ClickOn(p.image[kLightSave]);
  EXPECT_EQ(Message(), "Please use Save As!");
  EXPECT_EQ(M().lightEffects.count, 0);
  Open(kLightEffectManagerPage);
  ClickOn(p.image[kLightSaveAs]);
  Type("Lamp");
  EXPECT_EQ(Message(), "Save Complete!");
  Open(kLightEffectManagerPage);
  ClickOn(p.image[kLightNew]);
  EXPECT_EQ(e.brightness[0][7], 0);
  ClickOn(&p.rows[0].first);  // load
  EXPECT_EQ(e.brightness[0][7], 40);
  EXPECT_EQ(e.startSamples, 300);
  // a file that is no light effect loads nothing and keeps the name
  Store("Lamp 2", "Picture");
  LightEffect before = e;
  EXPECT_EQ(LoadLightEffect(a->storage, static_cast<uint16_t>(Find("Lamp 2")), e), 0);
  EXPECT_EQ(0, memcmp(&before, &e, sizeof e));
  // a save the full storage refuses is not reported done
  Open(kLightEffectManagerPage);
  a->storage.fs.header.freeBlocks = 0;
  ClickOn(p.image[kLightSaveAs]);
  Type("Beacon");
  EXPECT_EQ(Message(), "Error - Not enough free storage!");
  EXPECT_LT(Find("beacon~"), 0);
}

}  // namespace
}  // namespace trelvan

namespace trelvan {
namespace {

// A chosen WAV plays as it is on the PC, a stored sound as the handheld
// plays it; a second press stops; a PC without sound output is told once.
TEST_F(MediaPagesTest, PlayControlsPlayAndStop) {
  Open(kSoundManagerPage);
  SoundManagerPage& p = M().soundPage;
  FakeAudio& audio = platform.audio;
  Bytes wav = Wav(44100, 64);
  std::vector<int16_t> samples, decoded;
  for (int i = 0; i < 32; ++i) {
    samples.push_back(static_cast<int16_t>(i * 2000 - 31000));
    WriteU16LE(&wav[44 + 2 * i], static_cast<uint16_t>(samples.back()));
    if (i % 2) decoded.push_back(SoundSample(SoundValue(samples[i - 1], samples[i])));
  }
  ClickOn(p.image[kSoundModeSingle]);
  ClickOn(&p.slots[0]);
  Choose(WriteFile("ramp.wav", wav), kSoundManagerPage);
  CopyText("Ramp~", M().sound.soundName, kSoundNameCapacity);
  ClickOn(p.image[kSoundCreate]);
  const struct { ImageControl* control; std::vector<int16_t> played; uint32_t rate; int8_t playing; } presses[] = {
      {&p.slotPlay[0], samples, 44100, kPlayingSlot}, {&p.rows[0].second, decoded, 22050, 0},
      {&p.rows[0].second, decoded, 22050, -1}};  // the second press stops
  for (const auto& press : presses) {
    ClickOn(press.control);
    EXPECT_EQ(audio.played, press.played);
    EXPECT_EQ(audio.playedRate, press.rate);
    EXPECT_EQ(p.playing, press.playing);
    EXPECT_EQ(audio.playing, press.playing >= 0);
  }
  ClickOn(&p.rows[0].second);
  audio.playing = false;  // the end of the sound
  Send(Message::Timer);
  EXPECT_EQ(p.playing, -1);
  audio.present = false;
  ClickOn(&p.rows[0].second);
  EXPECT_EQ(Message(), "This computer has no sound output - sounds can not be played here.");
  Open(kSoundManagerPage);
  ClickOn(&p.rows[0].second);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSoundManagerPage);
}

}  // namespace
}  // namespace trelvan
