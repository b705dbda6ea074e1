// The instance service of the tests: a flag says whether another copy runs.
#pragma once

#include <string>

#include "platform/instance.h"

namespace trelvan {

class FakeInstance : public Instance {
 public:
  bool AcquireSingleInstance(const char* name) override {
    lockName = name;
    return !otherCopyRunning;
  }

  bool otherCopyRunning = false;  /**< set by a test: the lock is taken */
  std::string lockName;           /**< the name last asked for */
};

}  // namespace trelvan
