#include "ui/input.h"

#include <initializer_list>

#include "platform/window.h"
#include "ui/frame_buffer.h"

namespace trelvan {

namespace {

int32_t ClampCoordinate(int32_t v, int32_t limit) {
  if (v < 0) return 0;
  return v >= limit ? limit - 1 : v;
}

}  // namespace

void AppendKey(KeyQueueRecord& queue, uint8_t character) {
  if (queue.count >= kKeyQueueCapacity) return;
  queue.keys[queue.count++] = character;
}

const PointerEventRecord& LatestPointerEvent(const Input& s) {
  return s.pointerWaitingCount > 0 ? s.pointerWaiting[s.pointerWaitingCount - 1] : s.PointerEvent;
}

void TakeWaitingPointerEvent(Input& s) {
  if (s.PointerEvent.pending || s.pointerWaitingCount == 0) return;
  s.PointerEvent = s.pointerWaiting[0];
  for (int i = 1; i < s.pointerWaitingCount; ++i) s.pointerWaiting[i - 1] = s.pointerWaiting[i];
  --s.pointerWaitingCount;
}

namespace {

// The record the event went into; null when it was dropped.
PointerEventRecord* Queue(Input& input, int32_t state, int32_t x, int32_t y, uint8_t button) {
  PointerEventRecord* last = input.pointerWaitingCount > 0
                                 ? &input.pointerWaiting[input.pointerWaitingCount - 1]
                                 : (input.PointerEvent.pending ? &input.PointerEvent : nullptr);
  PointerEventRecord* e = nullptr;
  if (!last) {
    e = &input.PointerEvent;
  } else if (state == kPointerMoved && last->state == kPointerMoved) {
    e = last;
  } else if (input.pointerWaitingCount < kPointerQueueCapacity) {
    e = &input.pointerWaiting[input.pointerWaitingCount++];
    e->button = last->button;  // a move or release keeps the last press's button
  } else {
    return nullptr;  // eight events behind a tick that has not come: the newest is dropped
  }
  if (state == kPointerPressed) e->button = button;
  e->state = state;
  e->pending = 1;
  e->x = ClampCoordinate(x, kFrameWidth);
  e->y = ClampCoordinate(y, kFrameHeight);
  e->wheel = 0;
  return e;
}

}  // namespace

void QueuePointerEvent(Input& input, int32_t state, int32_t x, int32_t y, uint8_t button) {
  Queue(input, state, x, y, button);
}

void PointerPressed(Input& input, int32_t x, int32_t y, uint8_t button) {
  QueuePointerEvent(input, kPointerPressed, x, y, button);
}

void PointerWheel(Input& input, int32_t x, int32_t y, int32_t notches) {
  if (notches == 0) return;
  PointerEventRecord* e = Queue(input, kPointerWheel, x, y, 0);
  if (e) e->wheel = notches;
}

uint8_t MapKeyToCharacter(uint32_t vk, uint8_t shiftDown) {
  if (shiftDown) {
    static const char kShiftedDigits[] = ")!@#$%^&*(";
    if (vk >= '0' && vk <= '9') return static_cast<uint8_t>(kShiftedDigits[vk - '0']);
    switch (vk) {
      case 96: case 192: return '~';
      case 186: return ':';
      case 187: return '+';
      case 188: return '<';
      case 189: return '_';
      case 190: return '>';
      case 191: return '?';
      case 219: return '{';
      case 220: return '|';
      case 221: return '}';
      case 222: return '"';
      default: return static_cast<uint8_t>(vk & 0xFF);
    }
  }
  switch (vk) {
    case 186: return ';';
    case 187: return '=';
    case 188: return ',';
    case 189: return '-';
    case 190: return '.';
    case 191: return '/';
    case 192: return '`';
    case 219: return '[';
    case 220: return '\\';
    case 221: return ']';
    case 222: return '\'';
    default: break;
  }
  uint8_t c = static_cast<uint8_t>(vk & 0xFF);
  return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c;
}

void UpdateSoftTimers(Input& input) {
  for (SoftTimer* t : {&input.PageTimer, &input.ServerTimer}) {
    if (t->elapsed < t->period) {
      t->elapsed = static_cast<uint16_t>(t->elapsed + kTickMilliseconds);
    } else {
      t->expired = 1;
    }
  }
}

}  // namespace trelvan
