#include "page_commands.h"

#include <string>

using namespace trelvan;

// Commands:
//   page show N          CurrentPage = N (drawn at the next tick)
bool RunPageCommand(Assistant& a, std::istringstream& words) {
  std::string command;
  words >> command;
  if (command == "show") {
    int32_t page = 0;
    words >> page;
    a.pages.CurrentPage = page;
    return true;
  }
  return false;
}
