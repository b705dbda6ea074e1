// The state of the whole program but the shell's own: the page context and
// every subsystem, with the two pages that draw on several of them (the main
// page and the setup page). The shell's Assistant adds its own state on top.
#pragma once

#include <cstdint>

#include "app/main_page.h"
#include "app/setup_page.h"
#include "link/link.h"
#include "media/media.h"
#include "net/net.h"
#include "projects/projects.h"
#include "ui/page_context.h"

namespace trelvan {

struct App : PageContext {
  explicit App(const Platform& p) : PageContext(p) {}

  Media media{};
  Projects projects{};
  Link link{};
  Net net{};
  MainPage mainPage{};
  SetupPage setupPage{};
  uint8_t ShellStarted = 0;  /**< 1 once the first tick started the services */
};

}  // namespace trelvan
