#include "shell/shell.h"

#include <cstdio>
#include <initializer_list>

#include "shell/assistant.h"
#include "shell/startup.h"
#include "storage/file_system.h"
#include "storage/resource_files.h"
#include "storage/storage_image.h"
#include "storage/text.h"

namespace trelvan {

namespace {

constexpr uint32_t kVkShift = 0x10;
constexpr int32_t kRepaintIntervalMs = 100;
constexpr int32_t kTickMs = 10;

int32_t ClampCoordinate(int32_t v, int32_t limit) {
  if (v < 0) return 0;
  return v >= limit ? limit - 1 : v;
}

void AppendKey(KeyQueueRecord& queue, uint8_t character) {
  if (queue.count >= kKeyQueueCapacity) return;  // a 17th key is dropped
  queue.keys[queue.count++] = character;
}

// Where the pointer was last: the newest waiting event, else the current one.
const PointerEventRecord& LatestPointerEvent(const Shell& s) {
  return s.pointerWaitingCount > 0 ? s.pointerWaiting[s.pointerWaitingCount - 1] : s.PointerEvent;
}

// The next waiting event becomes the tick's pointer event.
void TakeWaitingPointerEvent(Shell& s) {
  if (s.PointerEvent.pending || s.pointerWaitingCount == 0) return;
  s.PointerEvent = s.pointerWaiting[0];
  for (int i = 1; i < s.pointerWaitingCount; ++i) s.pointerWaiting[i - 1] = s.pointerWaiting[i];
  --s.pointerWaitingCount;
}

}  // namespace

void QueuePointerEvent(Shell& shell, int32_t state, int32_t x, int32_t y, uint8_t button) {
  PointerEventRecord* last = shell.pointerWaitingCount > 0
                                 ? &shell.pointerWaiting[shell.pointerWaitingCount - 1]
                                 : (shell.PointerEvent.pending ? &shell.PointerEvent : nullptr);
  PointerEventRecord* e = nullptr;
  if (!last) {
    e = &shell.PointerEvent;
  } else if (state == kPointerMoved && last->state == kPointerMoved) {
    e = last;
  } else if (shell.pointerWaitingCount < kPointerQueueCapacity) {
    e = &shell.pointerWaiting[shell.pointerWaitingCount++];
    e->button = last->button;  // a move or release keeps the last press's button
  } else {
    return;  // eight events behind a tick that has not come: the newest is dropped
  }
  if (state == kPointerPressed) e->button = button;
  e->state = state;
  e->pending = 1;
  e->x = ClampCoordinate(x, kFrameWidth);
  e->y = ClampCoordinate(y, kFrameHeight);
}

void PointerPressed(Shell& shell, int32_t x, int32_t y, uint8_t button) {
  QueuePointerEvent(shell, kPointerPressed, x, y, button);
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

void UpdateSoftTimers(Shell& shell) {
  for (SoftTimer* t : {&shell.PageTimer, &shell.ServerTimer}) {
    if (t->elapsed < t->period) {
      t->elapsed = static_cast<uint16_t>(t->elapsed + kTickMs);
    } else {
      t->expired = 1;
    }
  }
}

int RepaintDue(Assistant& a) {
  a.shell.RepaintCounter += kTickMs;
  if (a.shell.RepaintCounter < kRepaintIntervalMs) return 0;
  a.shell.RepaintCounter = 0;
  if (!a.frame.FrameDirty) return 0;
  ++a.shell.RepaintCount;
  return 1;
}

void TimerTick(Assistant& a) {
  Shell& s = a.shell;
  StorageStep(a.storage);
  UpdateSoftTimers(s);
  if (s.PointerEvent.pending) {
    s.PointerEvent.pending = 0;
    DispatchPageEvent(a, kPagePointerEvent);
    TakeWaitingPointerEvent(s);
  }
  if (s.PageTimer.expired) {
    s.PageTimer.expired = 0;
    s.PageTimer.elapsed = 0;
    DispatchPageEvent(a, kPageTimerEvent);
  }
  if (!s.ShellStarted) {
    s.ShellStarted = 1;
    StartServices(a.net, a.link, a.platform, a.setup);
  }
  ServiceHandheldLink(a.link, LinkContext{a.storage, a.net, a.setup, a.ui.pages.CurrentPage == kMainPage}, a.platform);
  ServiceServerChannel(a.net, a.platform);
}

uint32_t DiskFreeMegabytes(Assistant& a) { return a.platform.files.DiskFreeMegabytes(); }

void ExitSequence(Assistant& a) {
  Shell& s = a.shell;
  s.QuitRequested = 0;
  const uint32_t free = DiskFreeMegabytes(a);
  if (free < kDiskLowWarnMegabytes && !s.DiskLowWarned) {
    s.DiskLowWarned = 1;
    a.platform.window.ShowMessageBox("Disk Memory is very low!");
  }
  // The status says whether this run's storage reached the disk.
  int status = 0;
  if (s.FolderRefused) {
    status = 1;
  } else if (s.SecondCopy) {
    // The running copy owns the storage file.
  } else if (free > kDiskSaveMegabytes) {
    SaveFailure why = kSaveDone;
    if (SaveStorage(a.storage, a.platform.files, &why)) {
      // Only now are the resource files it took in safe to remove.
      RemoveImportedResourceFiles(a.storage, a.platform.files);
    } else {
      char message[kPathCapacity + 192];
      std::snprintf(message, sizeof message,
                    "The storage could not be saved to \"%s\": %s. Any earlier storage file "
                    "there is unchanged.",
                    a.storage.path, SaveFailureText(why));
      EndOnWholeCharacter(message);
      a.platform.window.ShowMessageBox(message);
      status = 1;
    }
  } else {
    a.platform.window.ShowMessageBox("Disk Memory too low to save error!");
    status = 1;
  }
  a.platform.window.StopTimer();
  a.platform.window.Sleep(100);
  CloseChannels(a.net, a.link, a.platform);
  a.platform.window.Sleep(100);
  a.platform.window.PostQuit(status);
}

void MainWindowCreated(Assistant& a) {
  ClearFrameBuffer(a.frame);
  StartUp(a);
}

void MainWindowMessage(Assistant& a, Message message, uint32_t key, uint32_t x, uint32_t y) {
  Shell& s = a.shell;
  switch (message) {
    case Message::MouseMove:
      QueuePointerEvent(s, kPointerMoved, static_cast<int32_t>(x), static_cast<int32_t>(y), 0);
      break;
    case Message::LeftButtonDown:
      PointerPressed(s, static_cast<int32_t>(x), static_cast<int32_t>(y), 0);
      break;
    case Message::RightButtonDown:
      PointerPressed(s, static_cast<int32_t>(x), static_cast<int32_t>(y), 1);
      break;
    case Message::LeftButtonUp:
    case Message::RightButtonUp:
      QueuePointerEvent(s, kPointerReleased, LatestPointerEvent(s).x, LatestPointerEvent(s).y, 0);
      break;
    case Message::MouseWheel:
      break;
    case Message::KeyDown:
      if (key == kVkShift) {
        s.ShiftDown = 1;
      } else {
        AppendKey(s.KeyQueue, MapKeyToCharacter(key, s.ShiftDown));
      }
      break;
    case Message::KeyUp:
      if (key == kVkShift) s.ShiftDown = 0;
      BlitFrameBuffer(a.frame, a.platform.window);
      break;
    case Message::Timer:
      if (RepaintDue(a)) {
        const FrameRect& r = a.frame.dirtyRect;
        a.platform.window.InvalidateRect(r.left, r.top, r.right, r.bottom);
        a.frame.FrameDirty = 0;
      }
      TimerTick(a);
      break;
    case Message::Paint:
      BlitFrameBuffer(a.frame, a.platform.window);
      break;
    case Message::Destroy:
      s.QuitRequested = 1;  // the exit sequence below posts the quit with its status
      break;
  }
  if (s.QuitRequested) ExitSequence(a);
}

}  // namespace trelvan
