// The threads service on Linux: std::thread.
#pragma once

#include "platform/threads.h"

namespace trelvan {

class PosixThreads : public Threads {
 public:
  intptr_t Start(void (*body)(void*), void* argument) override;
  void Join(intptr_t thread) override;
  void Pause(uint32_t ms) override;
};

}  // namespace trelvan
