// The instance service: one running copy of the program per data folder.
#pragma once

namespace trelvan {

class Instance {
 public:
  virtual ~Instance() = default;

  // Claims the lock `name` for the rest of this process. False when another
  // running copy of the program holds it.
  virtual bool AcquireSingleInstance(const char* name) = 0;
};

}  // namespace trelvan
