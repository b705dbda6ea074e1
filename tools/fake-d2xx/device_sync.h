// The stand-in device's lock, its reply signal and the handheld's thread:
// the standard library on Linux, Win32 objects in the Windows build (its
// toolchain has no std::thread or std::mutex).
#pragma once

namespace fake_d2xx {

void Lock();
void Unlock();
// With the lock held: waits until ready() is true or `ms` pass (the lock is
// let go meanwhile); false on the time-out.
bool WaitFor(bool (*ready)(), int ms);
void NotifyAll();
// Runs `run` on a thread of its own, not waited for.
void StartThread(void (*run)());

struct Guard {
  Guard() { Lock(); }
  ~Guard() { Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
};

}  // namespace fake_d2xx
