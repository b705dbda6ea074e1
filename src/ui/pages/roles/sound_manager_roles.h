// The controls of the page file "TA SoundManager" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/sound_manager.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum SoundImage : int {
  kSoundFrame = 0,              // page frame
  kSoundExit = 1,               // exit
  kSoundListFrame = 2,          // list background
  kSoundNextListPage = 3,       // next 17 sounds
  kSoundPreviousListPage = 4,   // previous 17 sounds
  kSoundModeSingle = 5,         // mode single: 5, chosen 6
  kSoundModeStartLoopStop = 6,  // mode start/loop/stop: 3, chosen 4
  kSoundEnterName = 7,          // enter the sound name
  kSoundCreate = 8,             // create the sound
  kSoundNameBox = 9,            // box behind the sound name
  kSoundImageCount = 10,
};

enum SoundText : int {
  kSoundTitle = 0,          // title
  kSoundFormat = 1,         // format
  kSoundRate = 2,           // sample rate
  kSoundResolution = 3,     // resolution
  kSoundChannels = 4,       // channels
  kSoundSoundName = 5,      // the sound name
  kSoundFilesLabel = 6,     // "Sound Files"
  kSoundFilesLabelEnd = 7,  // "on this computer"
  kSoundNameLabel = 8,      // "Sound File Name"
  kSoundTextCount = 9,
};

}  // namespace trelvan
