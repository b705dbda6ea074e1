#include "platform/linux/socket_instance.h"

#include <errno.h>
#include <stddef.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace trelvan {

SocketInstance::~SocketInstance() {
  if (socket_ >= 0) close(socket_);
}

std::string InstanceSocketName(const char* name, const std::string& canonicalFolder) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : canonicalFolder) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  char hex[17];
  snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return std::string(name) + "-" + hex;
}

bool SocketInstance::AcquireSingleInstance(const char* name) {
  if (socket_ >= 0) return true;
  // The same folder reached by another path (a link, "..") is the same lock.
  char* resolved = realpath(dataFolder_.c_str(), nullptr);
  const std::string folder = resolved ? resolved : dataFolder_;
  free(resolved);
  const std::string abstractName = InstanceSocketName(name, folder);

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (abstractName.size() + 1 > sizeof address.sun_path) return true;
  // sun_path[0] stays 0: an abstract name, not a path.
  memcpy(address.sun_path + 1, abstractName.data(), abstractName.size());
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());

  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    const bool taken = errno == EADDRINUSE;
    close(fd);
    return !taken;
  }
  socket_ = fd;
  return true;
}

}  // namespace trelvan
