// The settings service: the few values the program takes from its
// environment (the data folder's own lives with the files service).
#pragma once

#include <cstdint>

namespace trelvan {

class Settings {
 public:
  virtual ~Settings() = default;

  // Copies the setting `name` (cut to capacity - 1 characters); false and an
  // empty text when it is not set.
  virtual bool Get(const char* name, char* out, uint32_t capacity) = 0;
};

}  // namespace trelvan
