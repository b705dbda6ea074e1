// The program's fifteen pages, by page number.
#pragma once

#include "ui/pages.h"

namespace trelvan {

// kPageCount entries; the Assistant hands them to the dispatcher.
const PageHandlers* ProgramPages();

}  // namespace trelvan
