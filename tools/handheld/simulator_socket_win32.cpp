#define WIN32_LEAN_AND_MEAN
#include <winsock2.h>

#include "simulator_socket.h"

namespace trelvan {
namespace handheld {

namespace {
SOCKET handle = INVALID_SOCKET;

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}
}  // namespace

bool OpenSocket(uint16_t port) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  handle = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in own = Loopback(port);
  return handle != INVALID_SOCKET &&
         bind(handle, reinterpret_cast<const sockaddr*>(&own), sizeof own) == 0;
}

void SendTo(uint16_t port, const uint8_t* bytes, size_t n) {
  const sockaddr_in to = Loopback(port);
  sendto(handle, reinterpret_cast<const char*>(bytes), static_cast<int>(n), 0,
         reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

int ReceiveWithin(uint8_t* bytes, size_t capacity, int ms) {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(handle, &ready);
  timeval wait{ms / 1000, (ms % 1000) * 1000};
  if (select(0, &ready, nullptr, nullptr, &wait) != 1) return -1;
  return recv(handle, reinterpret_cast<char*>(bytes), static_cast<int>(capacity), 0);
}

void CloseSocket() {
  if (handle != INVALID_SOCKET) closesocket(handle);
  handle = INVALID_SOCKET;
  WSACleanup();
}

}  // namespace handheld
}  // namespace trelvan
