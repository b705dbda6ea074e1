// The settings service: the few values the program takes from its
// environment (the data folder's own lives with the files service).
#pragma once

#include <cstdint>

namespace trelvan {

class Settings {
 public:
  virtual ~Settings() = default;

  // Copies the setting `name`; false and an empty text when it is not set,
  // or when it is longer than capacity - 1 characters (a cut value would name
  // another address or port).
  virtual bool Get(const char* name, char* out, uint32_t capacity) = 0;
};

}  // namespace trelvan
