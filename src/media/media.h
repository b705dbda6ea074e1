// The media managers' state: the picture, sound and light-effect pages, the
// lists they show and the buffers their conversions fill. Everything is
// allocated with the Assistant; nothing while the program runs.
#pragma once

#include <cstdint>

#include "media/light_effect_format.h"
#include "media/light_effect_manager_page.h"
#include "media/media_model.h"
#include "media/picture_format.h"
#include "media/picture_manager_page.h"
#include "media/sound_format.h"
#include "media/sound_manager_page.h"
#include "ui/page_context.h"
#include "ui/undo_history.h"

namespace trelvan {

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
