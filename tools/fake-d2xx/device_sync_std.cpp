#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "device_sync.h"

namespace fake_d2xx {

namespace {
std::mutex mutex;
std::condition_variable signal;
}  // namespace

void Lock() { mutex.lock(); }
void Unlock() { mutex.unlock(); }

bool WaitFor(bool (*ready)(), int ms) {
  std::unique_lock<std::mutex> lock(mutex, std::adopt_lock);
  const bool done = signal.wait_for(lock, std::chrono::milliseconds(ms), ready);
  lock.release();  // still held: the caller's Guard lets it go
  return done;
}

void NotifyAll() { signal.notify_all(); }

void StartThread(void (*run)()) { std::thread(run).detach(); }

}  // namespace fake_d2xx
