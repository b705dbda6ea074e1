// The threads service on Windows: CreateThread (the toolchain's win32
// thread model has no std::thread).
#pragma once

#include "platform/threads.h"

namespace trelvan {

class Win32Threads : public Threads {
 public:
  intptr_t Start(void (*body)(void*), void* argument) override;
  void Join(intptr_t thread) override;
  void Pause(uint32_t ms) override;
};

}  // namespace trelvan
