// The controls of the page file "TA PageSetup" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/setup.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum SetupImage : int {
  kSetupTitleBar = 0,        // decoration: title bar
  kSetupBack = 1,            // back: stores the setup
  kSetupKeyboardLayout = 2,  // keyboard-layout switch: 2 alphabetical, 3 QWERTY
  kSetupOlderDrivers = 3,    // check box: 1 set, 0 clear
  kSetupServerField = 4,     // server field frame
  kSetupServerChange = 5,    // change the server
  kSetupServerTest = 6,      // test the connection
  kSetupImageCount = 7,
};

enum SetupText : int {
  kSetupTitle = 0,              // title
  kSetupKeyboardLabel = 1,      // label
  kSetupDriverStatus = 2,       // "Serial USB Driver Loaded" once the library is loaded
  kSetupOlderDriversLabel = 3,  // label
  kSetupOlderDriversNote = 4,   // note
  kSetupServerLabel = 5,        // label
  kSetupServerName = 6,         // the server as NAME:PORT, or that none is set
  kSetupServerResult = 7,       // what the test found, or where the server comes from
  kSetupTextCount = 8,
};

}  // namespace trelvan
