// Script commands that put a page into a state worth a screenshot, the way
// a calling page would: "page NAME ARGS...".
#pragma once

#include <sstream>

#include "shell/assistant.h"

// False for an unknown command.
bool RunPageCommand(trelvan::Assistant& a, std::istringstream& words);

// Before each tick: the script's update server answers the newest request
// (nothing until a script offers a file).
void ServeScriptServer(trelvan::Assistant& a);
