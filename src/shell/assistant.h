// The Assistant owns every subsystem's state. It is made once, with the
// platform it runs on, and everything (frame buffer, storage image, buffers)
// is allocated with it; nothing is allocated while it runs.
#pragma once

#include "link/transfer_lists.h"
#include "platform/platform.h"
#include "shell/setup_records.h"
#include "shell/shell.h"
#include "storage/storage.h"
#include "ui/controls.h"
#include "ui/frame_buffer.h"
#include "ui/pages.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/main_page.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

struct Assistant {
  explicit Assistant(Platform& p) : platform(p) {}
  Assistant(const Assistant&) = delete;
  Assistant& operator=(const Assistant&) = delete;

  Platform& platform;
  Shell shell{};
  FrameBuffer frame{};
  Storage storage;  // the 128 MB image; filled by StartUp, not here
  SetupValues setup{};
  Controls controls{};
  Pages pages{};
  MainPage mainPage{};
  KeyboardPages keyboards{};
  InformationPage information{};
  SelectTextPage selectText{};
  SelectButtonPage selectButton{};
  TransferLists transfer{};
  SelectFilePage selectFile{};
};

}  // namespace trelvan
