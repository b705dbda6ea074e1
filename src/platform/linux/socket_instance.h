// The instance service on Linux: a unix socket bound to an abstract name
// made from the lock's name and the data folder.
//
// Why this and not a lock file: the name lives in the kernel, not on a disk,
// so the lock holds in a read-only data folder, needs no writable runtime
// folder, leaves nothing behind after a crash or a kill, and is seen by every
// user of the machine (two users who point at one data folder exclude each
// other). Copies in different network namespaces do not see each other.
#pragma once

#include <string>

#include "platform/instance.h"

namespace trelvan {

class SocketInstance : public Instance {
 public:
  explicit SocketInstance(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}
  ~SocketInstance() override;

  // One copy per data folder (its canonical path). When no socket can be
  // made at all the program runs: nothing says another copy runs.
  bool AcquireSingleInstance(const char* name) override;

 private:
  std::string dataFolder_;
  int socket_ = -1;  // held until the service goes: the name is taken while it is open
};

// The abstract socket name (without its leading zero byte) for `name` and
// the data folder at `canonicalFolder`: the lock's name and a 64-bit
// FNV-1a hash of the folder in hexadecimal.
std::string InstanceSocketName(const char* name, const std::string& canonicalFolder);

}  // namespace trelvan
