// The setup page (page 10): the on-screen keyboard's letter order and
// whether the older handhelds' serial USB driver library is used. Both take
// effect at once in SetupValues; Back stores them in "Setup400". Below them
// the update server: Change asks for its name on the alphanumeric keyboard
// and its port on the numeric one, uses it at once and keeps it in the data
// folder's settings file; Test asks it for the connection test file.
#pragma once

#include <cstdint>

#include "net/server_settings.h"
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

// The keyboards' tags for the server's name and port.
constexpr char kServerNameTag[] = "Update server name";
constexpr char kServerPortTag[] = "Update server port";
// The server field without a server, and what the line below it says.
constexpr char kServerNotChosen[] = "No server set";
constexpr char kServerNotChosenNote[] = "No update server is set: Change chooses one.";
constexpr char kServerFromEnvironment[] = "TRELVAN_SERVER chooses the server for this run.";
constexpr char kServerAsking[] = "Asking the update server...";
constexpr char kServerAnswered[] = "The update server answered.";
constexpr char kServerNoAnswer[] = "No answer from the update server.";
constexpr char kServerNameRefused[] = "Not a host name or IPv4 address: ";
constexpr char kServerNotKept[] = "The update server could not be kept in the data folder.";
constexpr int kServerLineCapacity = 100;

struct SetupPage {
  ImageControl* image[kSetupImageCount];  /**< by SetupImage role */
  TextControl* text[kSetupTextCount];     /**< by SetupText role */
  uint8_t LastSeenDriverLoaded;           /**< the driver's libraryReady as last shown; 0 after init */
  char enteredServerName[kServerNameCapacity];  /**< the name typed, while its port is asked */
  uint8_t serverTestRunning;              /**< 1 while Test waits for the server */
  char serverLine[kServerLineCapacity];   /**< the line under the field; empty: the page's note */
  uint16_t serverLineColour;
};

extern const PageUnit<App> kSetupRecord;

}  // namespace trelvan
