// The processes service on Linux: the base name of each process's argv[0]
// from /proc/*/cmdline. Not /proc/*/comm, which is cut at 15 characters: a
// program started as `exec -a "TX Simulator.exe" ...` is found by its whole
// name.
#pragma once

#include "platform/processes.h"

namespace trelvan {

class ProcProcesses : public Processes {
 public:
  bool IsRunning(const char* name) override;

 private:
  // The process found last is asked first: the tick asks every 10 ms while
  // the simulator runs, and a walk over all of /proc takes most of a tick.
  long lastFound_ = -1;
};

}  // namespace trelvan
