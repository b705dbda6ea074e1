#include "platform/win32/win32_threads.h"

#include <new>

#include "platform/win32/win32_windows.h"

namespace trelvan {

namespace {
struct ThreadStart {
  void (*body)(void*);
  void* argument;
};

DWORD WINAPI Run(LPVOID p) {
  const ThreadStart s = *static_cast<ThreadStart*>(p);
  delete static_cast<ThreadStart*>(p);
  s.body(s.argument);
  return 0;
}
}  // namespace

intptr_t Win32Threads::Start(void (*body)(void*), void* argument) {
  auto* s = new (std::nothrow) ThreadStart{body, argument};
  if (!s) return kNoThread;
  HANDLE h = CreateThread(nullptr, 0, Run, s, 0, nullptr);
  if (!h) {
    delete s;
    return kNoThread;
  }
  return reinterpret_cast<intptr_t>(h);
}

void Win32Threads::Join(intptr_t thread) {
  if (thread == kNoThread) return;
  HANDLE h = reinterpret_cast<HANDLE>(thread);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
}

void Win32Threads::Pause(uint32_t ms) { ::Sleep(ms); }

}  // namespace trelvan
