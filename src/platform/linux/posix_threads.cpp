#include "platform/linux/posix_threads.h"

#include <chrono>
#include <new>
#include <thread>

namespace trelvan {

intptr_t PosixThreads::Start(void (*body)(void*), void* argument) {
  std::thread* t = new (std::nothrow) std::thread(body, argument);
  return reinterpret_cast<intptr_t>(t);
}

void PosixThreads::Join(intptr_t thread) {
  if (thread == kNoThread) return;
  std::thread* t = reinterpret_cast<std::thread*>(thread);
  if (t->joinable()) t->join();
  delete t;
}

void PosixThreads::Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace trelvan
