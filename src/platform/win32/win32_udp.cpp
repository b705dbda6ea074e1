#include "platform/win32/win32_udp.h"

#include <winsock.h>

#include <cstdio>

namespace trelvan {

namespace {
constexpr int kWouldBlock = 10035;
}  // namespace

bool Win32Udp::Startup() {
  WSADATA data;
  return WSAStartup(0x0101, &data) == 0;
}

void Win32Udp::Cleanup() { WSACleanup(); }

intptr_t Win32Udp::Open() {
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  return s == INVALID_SOCKET ? kNoSocket : static_cast<intptr_t>(s);
}

bool Win32Udp::Bind(intptr_t s, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  a.sin_port = htons(port);
  return bind(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool Win32Udp::SendTo(intptr_t s, const char* address, uint16_t port, const uint8_t* bytes,
                      uint32_t count) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr(address);
  const int n = sendto(static_cast<SOCKET>(s), reinterpret_cast<const char*>(bytes),
                       static_cast<int>(count), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  return n != SOCKET_ERROR && static_cast<uint32_t>(n) == count;
}

int32_t Win32Udp::Receive(intptr_t s, uint8_t* buffer, uint32_t capacity, UdpSender* sender) {
  sockaddr from{};
  int fromLength = sizeof from;
  const int n = recvfrom(static_cast<SOCKET>(s), reinterpret_cast<char*>(buffer),
                         static_cast<int>(capacity), 0, &from, &fromLength);
  if (n == SOCKET_ERROR) {
    return WSAGetLastError() == kWouldBlock ? kReceiveAgain : kReceiveFailed;
  }
  *sender = UdpSender{};
  if (from.sa_family == AF_INET) {
    const sockaddr_in& a = reinterpret_cast<const sockaddr_in&>(from);
    *sender = UdpSender{true, ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
  }
  return n;
}

void Win32Udp::Wake(intptr_t s) {
  if (s == kNoSocket) return;
  for (intptr_t& w : woken_) {
    if (w == kNoSocket) {
      w = s;
      break;
    }
  }
  closesocket(static_cast<SOCKET>(s));
}

void Win32Udp::Close(intptr_t s) {
  if (s == kNoSocket) return;
  for (intptr_t& w : woken_) {
    if (w == s) {
      w = kNoSocket;
      return;
    }
  }
  closesocket(static_cast<SOCKET>(s));
}

bool Win32Udp::LocalAddress(char* out, uint32_t capacity) {
  out[0] = 0;
  char host[256];
  if (gethostname(host, sizeof host) != 0) return false;
  return Resolve(host, out, capacity);
}

bool Win32Udp::Resolve(const char* host, char* out, uint32_t capacity) {
  out[0] = 0;
  const hostent* h = gethostbyname(host);
  if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(h->h_addr_list[0]);
  std::snprintf(out, capacity, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  return true;
}

}  // namespace trelvan
