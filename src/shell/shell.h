// The shell: the window's messages, the 10 ms tick and the exit sequence.
// Front ends translate their window messages into Message and hand them to
// MainWindowMessage; it queues the input for the pages (ui/input.h) and runs
// everything else.
#pragma once

#include <cstdint>

namespace trelvan {

struct Assistant;

constexpr uint32_t kDiskLowWarnMegabytes = 2088;  // below: "Disk Memory is very low!"
constexpr uint32_t kDiskSaveMegabytes = 2068;     // above: the image is saved

struct Shell {
  uint8_t DiskLowWarned;   /**< the low-disk message was shown this process */
  int32_t RepaintCounter;  /**< ms since the last repaint decision */
  uint32_t RepaintCount;   /**< repaints requested (statistics) */
  uint8_t SecondCopy;      /**< 1: another copy runs; this one ends without saving */
  uint8_t FolderRefused;   /**< 1: the data folder cannot be used; ends with status 1, no save */
  uint8_t StorageLost;     /**< 1: the mapped storage file was shortened underneath; ends with status 1, no save */
};

// The window messages the shell handles; all others go to the platform's
// default handling.
enum class Message {
  MouseMove,        /**< x, y: the low and high words of lParam, unsigned */
  LeftButtonDown,   /**< x, y */
  RightButtonDown,  /**< x, y */
  LeftButtonUp,
  RightButtonUp,
  MouseWheel,       /**< key: notches turned as a signed number (above 0: up); x, y */
  KeyDown,          /**< key: Windows virtual-key code */
  KeyUp,            /**< key */
  Timer,
  Paint,
  Close,            /**< the user closes the window: asks first when an editor holds unsaved work */
  Destroy,          /**< an end nobody can answer: unsaved editor work stays as a draft */
};

// Handles one message, then runs the exit sequence if QuitRequested is set.
void MainWindowMessage(Assistant& a, Message message, uint32_t key, uint32_t x, uint32_t y);

// Called by the front end once its window is shown and centred, before it
// starts the 10 ms timer.
void MainWindowCreated(Assistant& a);

int RepaintDue(Assistant& a);
void TimerTick(Assistant& a);
// Last in the tick: the storage's changes to the journal, or a save that
// folds the journal in.
void KeepChangesOnDisk(Assistant& a);
uint32_t DiskFreeMegabytes(Assistant& a);
void ExitSequence(Assistant& a);

}  // namespace trelvan
