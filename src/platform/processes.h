// The processes service: whether a program of a given name runs.
#pragma once

namespace trelvan {

class Processes {
 public:
  virtual ~Processes() = default;

  // True when a running process's executable name equals `name`
  // (case-sensitive, up to 32 characters).
  virtual bool IsRunning(const char* name) = 0;
};

}  // namespace trelvan
