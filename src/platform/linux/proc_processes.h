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
};

}  // namespace trelvan
