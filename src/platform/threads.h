// The threads service: the receive threads and the journal's writer are
// started and joined here (the Windows toolchain has no std::thread).
#pragma once

#include <cstdint>

namespace trelvan {

constexpr intptr_t kNoThread = 0;

class Threads {
 public:
  virtual ~Threads() = default;

  // Runs body(argument) on a new thread at once; kNoThread on failure.
  virtual intptr_t Start(void (*body)(void*), void* argument) = 0;
  // Waits for the thread to end and releases it.
  virtual void Join(intptr_t thread) = 0;
  // Suspends the calling thread for about `ms` milliseconds.
  virtual void Pause(uint32_t ms) = 0;
};

}  // namespace trelvan
