#include "platform/linux/posix_udp.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace trelvan {

intptr_t PosixUdp::Open() {
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  return s < 0 ? kNoSocket : s;
}

bool PosixUdp::Bind(intptr_t socket, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  a.sin_port = htons(port);
  return ::bind(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool PosixUdp::SendTo(intptr_t socket, const char* address, uint16_t port, const uint8_t* bytes,
                      uint32_t count) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  if (::inet_pton(AF_INET, address, &a.sin_addr) != 1) return false;
  const ssize_t n = ::sendto(static_cast<int>(socket), bytes, count, 0,
                             reinterpret_cast<sockaddr*>(&a), sizeof a);
  return n == static_cast<ssize_t>(count);
}

int32_t PosixUdp::Receive(intptr_t socket, uint8_t* buffer, uint32_t capacity, UdpSender* sender) {
  sockaddr_storage from{};
  socklen_t fromLength = sizeof from;
  const ssize_t n = ::recvfrom(static_cast<int>(socket), buffer, capacity, 0,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
  if (n < 0) {
    return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK ? kReceiveAgain
                                                                     : kReceiveFailed;
  }
  // A socket shut down for reading returns 0 bytes from no sender.
  if (n == 0 && fromLength == 0) return kReceiveFailed;
  *sender = UdpSender{};
  if (from.ss_family == AF_INET) {
    const sockaddr_in& a = reinterpret_cast<const sockaddr_in&>(from);
    *sender = UdpSender{true, ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
  }
  return static_cast<int32_t>(n);
}

void PosixUdp::Wake(intptr_t socket) {
  if (socket != kNoSocket) ::shutdown(static_cast<int>(socket), SHUT_RDWR);
}

void PosixUdp::Close(intptr_t socket) {
  if (socket != kNoSocket) ::close(static_cast<int>(socket));
}

bool PosixUdp::LocalAddress(char* out, uint32_t capacity) {
  out[0] = 0;
  char host[256];
  if (::gethostname(host, sizeof host) != 0) return false;
  host[sizeof host - 1] = 0;
  return Resolve(host, out, capacity);
}

bool PosixUdp::Resolve(const char* host, char* out, uint32_t capacity) {
  out[0] = 0;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  if (::getaddrinfo(host, nullptr, &hints, &list) != 0 || !list) return false;
  const auto* a = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
  const bool ok = ::inet_ntop(AF_INET, &a->sin_addr, out, capacity) != nullptr;
  ::freeaddrinfo(list);
  if (!ok) out[0] = 0;
  return ok;
}

}  // namespace trelvan
