// The instance service on Windows: a named mutex, created owned and never
// released, so it ends with the process.
#pragma once

#include "platform/instance.h"

namespace trelvan {

class Win32Instance : public Instance {
 public:
  bool AcquireSingleInstance(const char* name) override;
};

}  // namespace trelvan
