// The Linux program: the SDL2 window, the platform services, the Assistant in
// its memory, and the event loop that turns SDL events into the shell's
// messages.
#pragma once

#include <cstdint>

namespace trelvan {

struct Assistant;

// Ways into a run for test programs built on the same front end.
struct SdlProgramHooks {
  void (*started)(Assistant& a);  /**< after the start-up, before the first tick; or null */
  void (*ended)(Assistant& a);    /**< after the message loop, before the Assistant goes; or null */
  /** after each timer tick: when it began and how long it took, in ns of the
      performance counter; or null */
  void (*ticked)(Assistant& a, uint64_t startNs, uint64_t durationNs);
};

// Runs the program until its message loop ends and returns the exit status.
// Without a window (no display) it says so on standard error and returns 1
// before the data folder is touched. A main() built on it asks
// RunMessageBoxIfAsked (main/linux/message_box.h) first.
int RunSdlProgram(const SdlProgramHooks* hooks);

}  // namespace trelvan
