// The libraries service on Windows: LoadLibrary and GetProcAddress.
#pragma once

#include "platform/libraries.h"

namespace trelvan {

class Win32Libraries : public Libraries {
 public:
  void* Load(const char* name) override;
  void* Function(void* library, const char* name) override;
};

}  // namespace trelvan
