#include "platform/linux/env_settings.h"

#include <cstdlib>
#include <cstring>

namespace trelvan {

bool EnvSettings::Get(const char* name, char* out, uint32_t capacity) {
  if (capacity == 0) return false;
  out[0] = 0;
  const char* v = std::getenv(name);
  if (!v || !*v || std::strlen(v) >= capacity) return false;
  std::memcpy(out, v, std::strlen(v) + 1);
  return true;
}

}  // namespace trelvan
