// The settings service on Windows: environment variables.
#pragma once

#include "platform/settings.h"

namespace trelvan {

class Win32Settings : public Settings {
 public:
  bool Get(const char* name, char* out, uint32_t capacity) override;
};

}  // namespace trelvan
