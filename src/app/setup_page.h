// The setup page (page 10): the on-screen keyboard's letter order and
// whether the older handhelds' serial USB driver library is used. Both take
// effect at once in SetupValues; Back stores them in "Setup400".
#pragma once

#include <cstdint>

#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/setup_roles.h"

namespace trelvan {

struct App;

constexpr const char* kSetupDriverLoaded = "Serial USB Driver Loaded";
// In the status line, in red, when the box is ticked and the driver library
// is not on the computer.
constexpr const char* kSetupDriverMissing = "The older USB driver is not installed here.";
constexpr uint16_t kSetupDriverMissingColour = 0x31D9;

struct SetupPage {
  ImageControl* image[kSetupImageCount];  /**< by SetupImage role */
  TextControl* text[kSetupTextCount];     /**< by SetupText role */
  uint8_t LastSeenDriverLoaded;           /**< the driver's libraryReady as last shown; 0 after init */
};

extern const PageUnit<App> kSetupRecord;

}  // namespace trelvan
