// The Assistant owns every subsystem's state. It is made once, with the
// platform it runs on, and everything (frame buffer, storage image, buffers)
// is allocated with it; nothing is allocated while it runs.
#pragma once

#include "app/app.h"
#include "shell/shell.h"
#include "shell/unsaved_work.h"
#include "storage/journal.h"

namespace trelvan {

struct Assistant : App {
  explicit Assistant(const Platform& p);

  Shell shell{};
  Journal journal;  /**< the storage's changes on disk between saves */
  Drafts drafts{};  /**< unsaved editor work beside the storage */
};

}  // namespace trelvan
