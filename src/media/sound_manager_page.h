// The Sound Manager page (page 14): the stored sounds in pages of 17 rows
// with a delete button each; a new sound from one WAV file (single) or three
// (start, loop and stop) of one folder, under a name typed on the keyboard.
#pragma once

#include "media/media_model.h"
#include "ui/pages.h"
#include "ui/pages/roles/sound_manager_roles.h"

namespace trelvan {

struct PageContext;
struct Media;

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

// Mode single: one slot; start/loop/stop: three. Either clears the slots
// and the source folder.
void ChooseSoundMode(Media& m, uint8_t mode);
// The chosen WAV path for the selected slot: its folder must be the source
// folder once one is set. False when refused; the slot keeps its choice.
bool ChooseSoundFile(Media& m, const char* path, char separator);

// The page's handler record for the page table.
extern const PageUnit<PageContext, Media> kSoundManagerRecord;

}  // namespace trelvan
