// The controls of the page file "TA MainPage" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/main_page.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum MainImage : int {
  kMainExit = 0,                    // exit
  kMainTitleBar = 1,                // title bar
  kMainSpare2 = 2,                  // spare, not drawn
  kMainServerPanel = 3,             // server panel
  kMainStoragePanel = 4,            // storage panel
  kMainSetup = 5,                   // setup
  kMainHintPanel = 6,               // hint panel
  kMainConnectionsPanel = 7,        // connections panel
  kMainListFrame = 8,               // frame of the twelve-row list
  kMainServerPictures = 9,          // server: picture categories
  kMainStoragePictures = 10,        // storage: pictures
  kMainServerSounds = 11,           // server: sound categories
  kMainStorageSounds = 12,          // storage: sounds
  kMainServerLightEffects = 13,     // server: light effects
  kMainStorageLightEffects = 14,    // storage: light effects
  kMainServerProductPrograms = 15,  // server: product programs
  kMainServerProjects = 16,         // server: projects
  kMainStorageProjects = 17,        // storage: projects
  kMainNextListPage = 18,           // next list page (inside the list frame)
  kMainPreviousListPage = 19,       // previous list page
  kMainOpenManager = 20,            // open the manager of the chosen storage list
  kMainSelectionFrame = 21,         // selection frame
  kMainHandheldStatus = 22,         // handheld status: 17 connected, 19 not connected
  kMainStatusBar = 23,              // status bar
  kMainServerStatus = 24,           // server status: 20 reachable, 21 not reachable, 27 none chosen, 28 waiting
  kMainSpare25 = 25,                // spare, not drawn
  kMainImageCount = 26,
};

enum MainText : int {
  kMainTitle = 0,        // title
  kMainRevision = 1,     // revision
  kMainProgress = 2,     // progress beside a selection row
  kMainFreeStorage = 3,  // free storage
  kMainTextCount = 4,
};

}  // namespace trelvan
