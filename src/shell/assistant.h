// The Assistant owns every subsystem's state. It is made once, with the
// platform it runs on, and everything (frame buffer, storage image, buffers)
// is allocated with it; nothing is allocated while it runs.
#pragma once

#include "link/link.h"
#include "media/media.h"
#include "net/net.h"
#include "platform/platform.h"
#include "projects/projects.h"
#include "storage/setup_records.h"
#include "shell/shell.h"
#include "storage/storage.h"
#include "ui/frame_buffer.h"
#include "ui/ui.h"

namespace trelvan {

struct Assistant {
  explicit Assistant(const Platform& p) : platform(p) {}
  Assistant(const Assistant&) = delete;
  Assistant& operator=(const Assistant&) = delete;

  Platform platform;  // refers to the front end's services
  Shell shell{};
  FrameBuffer frame{};
  Storage storage;  // the 128 MB image; filled by StartUp, not here
  SetupValues setup{};
  Ui ui{};
  Media media{};
  Projects projects{};
  Link link{};
  Net net{};
};

}  // namespace trelvan
