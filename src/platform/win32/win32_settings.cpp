#include "platform/win32/win32_settings.h"

#include "platform/win32/win32_windows.h"

namespace trelvan {

bool Win32Settings::Get(const char* name, char* out, uint32_t capacity) {
  if (capacity == 0) return false;
  out[0] = 0;
  const DWORD n = GetEnvironmentVariableA(name, out, capacity);
  if (n == 0 || n >= capacity) {
    out[0] = 0;
    return false;
  }
  return true;
}

}  // namespace trelvan
