#include "platform/win32/win32_instance.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace trelvan {

bool Win32Instance::AcquireSingleInstance(const char* name) {
  SetLastError(0);
  CreateMutexW(nullptr, TRUE, Widen(name).c_str());
  return GetLastError() == 0;
}

}  // namespace trelvan
