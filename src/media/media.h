// The media managers' state: the picture, sound and light-effect pages, the
// lists they show and the buffers their conversions fill. Everything is
// allocated with the Assistant; nothing while the program runs.
#pragma once

#include <cstdint>

#include "media/light_effect_format.h"
#include "media/light_effect_play.h"
#include "media/picture_format.h"
#include "media/sound_format.h"
#include "storage/text.h"
#include "storage/type_list.h"
#include "ui/controls.h"
#include "ui/page_context.h"
#include "ui/pages/roles/light_effect_manager_roles.h"
#include "ui/pages/roles/picture_manager_roles.h"
#include "ui/pages/roles/sound_manager_roles.h"
#include "ui/undo_history.h"

namespace trelvan {

// ---- capacities ----------------------------------------------------------------
constexpr int kMediaListRows = 17;          // the lists' frames hold 17 rows of 21 pixels
constexpr int kMediaNameCapacity = kFileNameCapacity;
constexpr int kSoundNameCapacity = 31;      // a sound name: 30 characters with its "~"
constexpr int kSoundSlotCount = 3;          // start, loop and stop: the most segments a sound has
constexpr int kSlotLabelCapacity = 12;      // "Looping": labels of at most 11 characters
constexpr int kSourceFolderCapacity = 128;  // a chosen path holds 127 characters
constexpr int kSoundPathCapacity = kSourceFolderCapacity + kMediaNameCapacity + 5;  // folder, separator, name, ".wav"
constexpr uint32_t kSoundBufferSize = 0x200000;  // 2 MB: the largest sound file the handheld takes
// What the Sound Manager plays: a stored sound's values with its loop twice,
// or a WAV of as many samples (about 76 seconds at 44.1 kHz).
constexpr uint32_t kPlaySampleCapacity = kSoundBufferSize / kSoundGroupBytes * 4 * 2;
constexpr uint32_t kWavReadBlock = 4096;    // WAV data is read a block at a time, 16-byte aligned

// One manager's list of stored files of its type: 17 rows of the current
// list page.
struct MediaList {
  uint16_t count;      /**< stored files of the type */
  uint16_t listPage;   /**< which group of 17 the rows show, 0 for the first */
  uint8_t inUse[kMediaListRows];
  char names[kMediaListRows][kMediaNameCapacity];
  char deleteAsked[kMediaNameCapacity];  /**< the file a delete question waits with */
};

// Counts the stored files of `type` and fills the rows of the list page.
void FillMediaList(MediaList& list, const Storage& s, const char* type);
// The three managers' lists: pictures, sounds and light effects.
inline void FillPictureList(MediaList& list, const Storage& s) { FillMediaList(list, s, kPictureFileType); }
inline void FillSoundList(MediaList& list, const Storage& s) { FillMediaList(list, s, kSoundFileType); }
inline void ListLightEffectFiles(MediaList& list, const Storage& s) {
  FillMediaList(list, s, kLightEffectFileType);
}
// 1 when a further list page follows / the list page is above 0.
int MediaListHasNext(const MediaList& list);
int MediaListHasPrevious(const MediaList& list);

struct SoundSlot {
  uint8_t inUse;
  char label[kSlotLabelCapacity];
  char fileName[kMediaNameCapacity];  /**< the WAV file's name without folder and extension */
};

// The sound being put together on the Sound Manager page.
struct SoundChoice {
  char soundName[kSoundNameCapacity];          /**< with its "~"; empty at start */
  char sourceFolder[kSourceFolderCapacity];    /**< folder of the first chosen file */
  uint8_t mode;                                /**< 0 none, 1 single, 2 start/loop/stop */
  uint8_t selectedSlot;                        /**< the slot whose file is being chosen */
  SoundSlot slots[kSoundSlotCount];
};

// A list row of a manager page: the name and up to two buttons.
struct MediaRow {
  TextControl name;
  ImageControl first;   /**< delete (pictures, sounds) or load (light effects) */
  ImageControl second;  /**< show (pictures) or delete (light effects) */
};

struct PictureManagerPage {
  ImageControl* image[kPictureImageCount];
  TextControl* text[kPictureTextCount];
  MediaRow rows[kMediaListRows];
  uint8_t selectionExpected;  /**< 1: the page called Select File */
  uint8_t previewing;         /**< 1: a fitted picture is shown, waiting for Store or Cancel */
  char previewName[kMediaNameCapacity];  /**< the name it will be stored under */
  PictureInfo previewInfo;    /**< what the file was and what fitting did */
};

struct SoundManagerPage {
  ImageControl* image[kSoundImageCount];
  TextControl* text[kSoundTextCount];
  MediaRow rows[kMediaListRows];
  ImageControl slots[kSoundSlotCount];
  ImageControl slotPlay[kSoundSlotCount];  /**< plays the slot's WAV */
  uint8_t selectionExpected;  /**< 1: the page called Select File */
  int8_t playing;             /**< the list row, or kPlayingSlot + slot, that plays; -1 none */
  uint8_t noDeviceSaid;       /**< 1: the user heard once that the PC has no sound output */
};
constexpr int8_t kPlayingSlot = 100;

struct LightEffectManagerPage {
  ImageControl* image[kLightImageCount];
  TextControl* text[kLightTextCount];
  MediaRow rows[kMediaListRows];
  uint8_t drawingChannel;  /**< 1 + the channel a held press draws on; 0 when none is held */
  uint16_t lastSample;     /**< where the held pointer drew last */
  uint8_t lastValue;
  LightPlay play;          /**< the effect played on the page's lamps */
};

struct Media {
  // Every member is cleared but the work buffers, each written before it is
  // read: clearing them would make their 110 MB resident at every start.
  Media()
      : pictures(), sounds(), lightEffects(), sound(), effect(), history(), effectChanged(),
        goOnAsked(), goOnAfterSaveAs(), goOnTo(), effectName(), picturePage(), soundPage(),
        lightPage(), resampler() {}

  MediaList pictures;
  MediaList sounds;
  MediaList lightEffects;
  SoundChoice sound;
  LightEffect effect;      /**< the effect in the editor; channelCount 0 until the page first starts */
  UndoHistory<LightEffect> history;  /**< the editor's Undo and Redo */
  bool effectChanged;      /**< the effect holds changes not saved */
  bool goOnAsked;          /**< "Light Effect Not Saved! Save now?" waits for its answer */
  bool goOnAfterSaveAs;    /**< "Yes" for an effect without a name: Save As, then go on */
  int32_t goOnTo;          /**< where the answer goes on to: a page or kGoOnToEnd */
  char effectName[kMediaNameCapacity];
  PictureManagerPage picturePage;
  SoundManagerPage soundPage;
  LightEffectManagerPage lightPage;
  PictureWork pictureWork;                 /**< the chosen picture file and its conversion */
  uint8_t previewRecord[kPictureRecordSize];  /**< the fitted picture before it is stored */
  uint8_t soundBuffer[kSoundBufferSize];  /**< the sound file's data, built before it is stored */
  int16_t playSamples[kPlaySampleCapacity];  /**< what the Sound Manager plays */
  Resampler resampler;                       /**< converts WAVs of other rates */
};

}  // namespace trelvan
