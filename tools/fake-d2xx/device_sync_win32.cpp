#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "device_sync.h"

namespace fake_d2xx {

namespace {
SRWLOCK lock = SRWLOCK_INIT;
CONDITION_VARIABLE signal = CONDITION_VARIABLE_INIT;

DWORD WINAPI ThreadMain(LPVOID run) {
  reinterpret_cast<void (*)()>(run)();
  return 0;
}
}  // namespace

void Lock() { AcquireSRWLockExclusive(&lock); }
void Unlock() { ReleaseSRWLockExclusive(&lock); }

bool WaitFor(bool (*ready)(), int ms) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms);
  while (!ready()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    SleepConditionVariableSRW(&signal, &lock, static_cast<DWORD>(deadline - now), 0);
  }
  return true;
}

void NotifyAll() { WakeAllConditionVariable(&signal); }

void StartThread(void (*run)()) {
  const HANDLE thread =
      CreateThread(nullptr, 0, ThreadMain, reinterpret_cast<LPVOID>(run), 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace fake_d2xx
