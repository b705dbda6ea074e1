// The UI subsystem's state: the control pools, the page dispatcher and the
// general pages' own state. Its capacities are listed in ui/limits.h.
#pragma once

#include "ui/controls.h"
#include "ui/limits.h"
#include "ui/pages.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

struct Ui {
  Controls controls{};
  Pages pages{};
  KeyboardPages keyboards{};
  InformationPage information{};
  SelectTextPage selectText{};
  SelectButtonPage selectButton{};
  SelectFilePage selectFile{};
};

}  // namespace trelvan
