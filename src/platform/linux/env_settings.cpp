#include "platform/linux/env_settings.h"

#include <cstdlib>
#include <cstring>

namespace trelvan {

bool EnvSettings::Get(const char* name, char* out, uint32_t capacity) {
  if (capacity == 0) return false;
  out[0] = 0;
  const char* v = std::getenv(name);
  if (!v || !*v) return false;
  std::strncpy(out, v, capacity - 1);
  out[capacity - 1] = 0;
  return true;
}

}  // namespace trelvan
