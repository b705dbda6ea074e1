#include "platform/win32/win32_libraries.h"

#include "platform/win32/win32_windows.h"

namespace trelvan {

void* Win32Libraries::Load(const char* name) {
  return reinterpret_cast<void*>(LoadLibraryA(name));
}

void* Win32Libraries::Function(void* library, const char* name) {
  if (!library) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace trelvan
