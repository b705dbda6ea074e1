#include "platform/win32/win32_processes.h"

#include "platform/win32/win32_windows.h"

#include <tlhelp32.h>

#include <cstring>

namespace trelvan {

bool Win32Processes::IsRunning(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  // The snapshot's first entry is the system's idle process: skipped.
  if (Process32FirstW(snapshot, &entry)) {
    while (!found && Process32NextW(snapshot, &entry)) {
      char narrow[33];
      int i = 0;
      for (; i < 32 && entry.szExeFile[i]; ++i) narrow[i] = static_cast<char>(entry.szExeFile[i] & 0xFF);
      narrow[i] = 0;
      found = std::strncmp(narrow, name, 32) == 0;
    }
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace trelvan
