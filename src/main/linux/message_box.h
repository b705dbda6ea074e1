// A message box of the Linux program as a process of its own: the window
// service starts the program again with kMessageBoxSwitch (see
// platform/linux/sdl_window.h), and that process shows the box on its own
// main thread until it is closed.
#pragma once

namespace trelvan {

// When `argv` is the window service's box command (program,
// kMessageBoxSwitch, centre x, centre y, text): shows the text (lines broken
// by '\n') centred on that screen point in a window captioned "Message",
// drawn with the program's own font, until its OK button, Return, Escape or
// the window's close button ends it, and returns 0; 1 when no window can
// open (the text then goes to standard error). -1 for any other arguments.
// Every main() that runs the window service asks this first.
int RunMessageBoxIfAsked(int argc, char** argv);

}  // namespace trelvan
