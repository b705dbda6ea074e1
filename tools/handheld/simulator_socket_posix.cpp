#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "simulator_socket.h"

namespace trelvan {
namespace handheld {

namespace {
int handle = -1;

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}
}  // namespace

bool OpenSocket(uint16_t port) {
  handle = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in own = Loopback(port);
  return handle >= 0 && bind(handle, reinterpret_cast<const sockaddr*>(&own), sizeof own) == 0;
}

void SendTo(uint16_t port, const uint8_t* bytes, size_t n) {
  const sockaddr_in to = Loopback(port);
  sendto(handle, bytes, n, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

int ReceiveWithin(uint8_t* bytes, size_t capacity, int ms) {
  pollfd p{handle, POLLIN, 0};
  if (poll(&p, 1, ms) != 1) return -1;
  return static_cast<int>(recv(handle, bytes, capacity, 0));
}

void CloseSocket() {
  if (handle >= 0) close(handle);
  handle = -1;
}

}  // namespace handheld
}  // namespace trelvan
