// The processes service on Windows: the process snapshot.
#pragma once

#include "platform/processes.h"

namespace trelvan {

class Win32Processes : public Processes {
 public:
  bool IsRunning(const char* name) override;
};

}  // namespace trelvan
