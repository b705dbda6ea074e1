// The settings service on Linux: environment variables.
#pragma once

#include "platform/settings.h"

namespace trelvan {

class EnvSettings : public Settings {
 public:
  bool Get(const char* name, char* out, uint32_t capacity) override;
};

}  // namespace trelvan
