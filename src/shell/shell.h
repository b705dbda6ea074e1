// The shell: pointer event, key queue, soft timers, the 10 ms tick and the
// exit sequence. Front ends translate their window messages into Message and
// hand them to MainWindowMessage; everything else happens in here.
#pragma once

#include <cstdint>

namespace trelvan {

struct Assistant;

constexpr int kKeyQueueCapacity = 16;
// Pointer events that arrive before the tick took the last one: a press and
// its release within one slow tick both reach the page, one a tick.
constexpr int kPointerQueueCapacity = 8;
constexpr uint32_t kDiskLowWarnMegabytes = 2088;  // below: "Disk Memory is very low!"
constexpr uint32_t kDiskSaveMegabytes = 2068;     // above: the image is saved

enum PointerState : int32_t { kPointerPressed = 0, kPointerReleased = 1, kPointerMoved = 2 };

struct PointerEventRecord {
  int32_t state;    /**< kPointerPressed, kPointerReleased or kPointerMoved */
  int32_t x, y;     /**< client coordinates, always within 0..799 and 0..599 */
  uint8_t button;   /**< 0 left, 1 right; written only by a press */
  int32_t pending;  /**< 1: waits for the next tick */
};

struct KeyQueueRecord {
  int16_t count;                      /**< characters waiting */
  uint8_t keys[kKeyQueueCapacity];    /**< oldest first */
};

struct SoftTimer {
  uint16_t elapsed;  /**< ms */
  uint16_t period;   /**< ms; 0 expires on every tick */
  uint16_t expired;  /**< 1: the period has run out */
};

struct Shell {
  PointerEventRecord PointerEvent;
  PointerEventRecord pointerWaiting[kPointerQueueCapacity];  /**< oldest first */
  uint8_t pointerWaitingCount;
  KeyQueueRecord KeyQueue;
  uint8_t ShiftDown;       /**< 1 while Shift is held */
  uint8_t QuitRequested;   /**< 1: the exit sequence runs at the end of the message */
  uint8_t DiskLowWarned;   /**< the low-disk message was shown this process */
  int32_t RepaintCounter;  /**< ms since the last repaint decision */
  uint32_t RepaintCount;   /**< repaints requested (statistics) */
  uint8_t ShellStarted;    /**< 1 once the first tick started the services */
  uint8_t SecondCopy;      /**< 1: another copy runs; this one ends without saving */
  uint8_t FolderRefused;   /**< 1: the data folder cannot be used; ends with status 1, no save */
  SoftTimer PageTimer;
  SoftTimer ServerTimer;
};

// The window messages the shell handles; all others go to the platform's
// default handling.
enum class Message {
  MouseMove,        /**< x, y: the low and high words of lParam, unsigned */
  LeftButtonDown,   /**< x, y */
  RightButtonDown,  /**< x, y */
  LeftButtonUp,
  RightButtonUp,
  MouseWheel,
  KeyDown,          /**< key: Windows virtual-key code */
  KeyUp,            /**< key */
  Timer,
  Paint,
  Destroy,
};

// Handles one message, then runs the exit sequence if QuitRequested is set.
void MainWindowMessage(Assistant& a, Message message, uint32_t key, uint32_t x, uint32_t y);

// Called by the front end once its window is shown and centred, before it
// starts the 10 ms timer.
void MainWindowCreated(Assistant& a);

void PointerPressed(Shell& shell, int32_t x, int32_t y, uint8_t button);
// A pointer event for the next tick that has none; while one waits, the new
// one waits behind it (moves in a row are one move).
void QueuePointerEvent(Shell& shell, int32_t state, int32_t x, int32_t y, uint8_t button);
uint8_t MapKeyToCharacter(uint32_t virtualKey, uint8_t shiftDown);
void UpdateSoftTimers(Shell& shell);
int RepaintDue(Assistant& a);
void TimerTick(Assistant& a);
uint32_t DiskFreeMegabytes(Assistant& a);
void ExitSequence(Assistant& a);

}  // namespace trelvan
