// What the media managers keep beside their pages: the capacities, the lists
// of stored files they show and the sound being put together.
#pragma once

#include <cstdint>

#include "media/picture_format.h"
#include "media/sound_format.h"
#include "storage/text.h"
#include "storage/type_list.h"
#include "ui/controls.h"

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
// Whether a further list page follows / the list page is above 0.
bool MediaListHasNext(const MediaList& list);
bool MediaListHasPrevious(const MediaList& list);

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

}  // namespace trelvan
