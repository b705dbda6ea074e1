// The controls of the page file "TA LightEffectManager" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/light_effect_manager.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum LightImage : int {
  kLightFrame = 0,             // page frame
  kLightListFrame = 1,         // list background
  kLightExit = 2,              // back to the main page
  kLightNextListPage = 3,      // next 17 effects
  kLightPreviousListPage = 4,  // previous 17 effects
  kLightStartSamples = 5,      // start samples
  kLightLoopSamples = 6,       // looping samples
  kLightStopSamples = 7,       // stop samples
  kLightIndex = 8,             // cursor index
  kLightBrightness = 9,        // brightness at the cursor
  kLightNaturalIncrease = 10,  // natural increase
  kLightNaturalDecrease = 11,  // natural decrease
  kLightSine = 12,             // sine
  kLightLevelAdjust = 13,      // level adjust
  kLightShift = 14,            // shift
  kLightAverage = 15,          // average
  kLightUndo = 16,             // undo
  kLightChannelCount = 17,     // channel count
  kLightNew = 18,              // new effect
  kLightSave = 19,             // save
  kLightSaveAs = 20,           // save as
  kLightFileName = 21,         // name the effect
  kLightGraph1Frame = 22,      // frame round the channel 1 graph
  kLightGraph2Frame = 23,      // frame round the channel 2 graph
  kLightLamp = 24,             // lamp on (picture 25) and off (26)
  kLightLampPanel = 25,        // the lamps the played effect lights
  kLightImageCount = 26,
};

enum LightText : int {
  kLightTitle = 0,       // title
  kLightEffectName = 1,  // the effect's name
  kLightSections = 2,    // channels and sections
  kLightCursor = 3,      // cursor, brightness and samples in use
  kLightHint = 4,        // hint
  kLightTextCount = 5,
};

}  // namespace trelvan
