// What every page is handed: the platform, the window's input, the frame,
// the storage, the setup values and the UI's own state. The subsystems'
// pages are handed their subsystem's state beside it; the pages that draw
// on several subsystems take the whole App (app/app.h).
#pragma once

#include "platform/platform.h"
#include "storage/setup_records.h"
#include "storage/storage.h"
#include "ui/frame_buffer.h"
#include "ui/input.h"
#include "ui/ui.h"

namespace trelvan {

struct PageContext {
  explicit PageContext(const Platform& p) : platform(p) {}
  PageContext(const PageContext&) = delete;
  PageContext& operator=(const PageContext&) = delete;

  Platform platform;  // refers to the front end's services
  Input input{};
  FrameBuffer frame{};
  Storage storage;  // the 128 MB image; filled by StartUp, not here
  SetupValues setup{};
  Ui ui{};
};

// Where an editor goes on to once its work is saved or dropped: a page, or
// kGoOnToEnd, the program's end (the window was closed).
constexpr int32_t kGoOnToEnd = -1;
inline void GoOn(PageContext& a, int32_t destination) {
  if (destination == kGoOnToEnd) {
    a.input.QuitRequested = 1;
  } else {
    a.ui.pages.CurrentPage = destination;
  }
}

}  // namespace trelvan
