// The libraries service: a dynamic library loaded by name and its functions.
#pragma once

namespace trelvan {

class Libraries {
 public:
  virtual ~Libraries() = default;

  // The library's handle, or null when it cannot be loaded.
  virtual void* Load(const char* name) = 0;
  // The function's address, or null when the library lacks it.
  virtual void* Function(void* library, const char* name) = 0;
};

}  // namespace trelvan
