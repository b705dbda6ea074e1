// The window's input as the pages see it: the pointer event of the tick,
// the key queue, the soft timers, and a page's request to end the program.
// The shell fills them from the window's messages; the pages read them.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr int32_t kTickMs = 10;  // the window timer's period: one tick of all work
constexpr int kKeyQueueCapacity = 16;
// Pointer events that arrive before the tick took the last one: a press and
// its release within one slow tick both reach the page, one a tick.
constexpr int kPointerQueueCapacity = 8;

enum PointerState : int32_t { kPointerPressed = 0, kPointerReleased = 1, kPointerMoved = 2, kPointerWheel = 3 };

struct PointerEventRecord {
  int32_t state;    /**< kPointerPressed, kPointerReleased, kPointerMoved or kPointerWheel */
  int32_t x, y;     /**< client coordinates, always within 0..799 and 0..599 */
  uint8_t button;   /**< 0 left, 1 right; written only by a press */
  int32_t pending;  /**< 1: waits for the next tick */
  int32_t wheel;    /**< kPointerWheel: notches turned, above 0 away from the user (up) */
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

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z: for the editor shown, in the tick they arrive.
enum EditCommand : uint8_t { kEditNone = 0, kEditUndo = 1, kEditRedo = 2 };

struct Input {
  PointerEventRecord PointerEvent;
  PointerEventRecord pointerWaiting[kPointerQueueCapacity];  /**< oldest first */
  uint8_t pointerWaitingCount;
  KeyQueueRecord KeyQueue;
  uint8_t ShiftDown;       /**< 1 while Shift is held */
  uint8_t CtrlDown;        /**< 1 while Ctrl is held */
  uint8_t Edit;            /**< an EditCommand; the shell clears it after each tick */
  uint8_t QuitRequested;   /**< 1: the exit sequence runs at the end of the message */
  SoftTimer PageTimer;
  SoftTimer ServerTimer;
};

// A pointer event for the next tick that has none; while one waits, the new
// one waits behind it (moves in a row are one move).
void QueuePointerEvent(Input& input, int32_t state, int32_t x, int32_t y, uint8_t button);
void PointerPressed(Input& input, int32_t x, int32_t y, uint8_t button);
// The wheel turned `notches` (above 0: away from the user) with the pointer at x, y.
void PointerWheel(Input& input, int32_t x, int32_t y, int32_t notches);
// Where the pointer was last: the newest waiting event, else the current one.
const PointerEventRecord& LatestPointerEvent(const Input& input);
// The next waiting event becomes the tick's pointer event.
void TakeWaitingPointerEvent(Input& input);
// A key for the queue; a 17th waiting key is dropped.
void AppendKey(KeyQueueRecord& queue, uint8_t character);
uint8_t MapKeyToCharacter(uint32_t virtualKey, uint8_t shiftDown);
void UpdateSoftTimers(Input& input);

}  // namespace trelvan
