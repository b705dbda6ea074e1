#include "datagram/datagram_receive.h"

#include <cstring>

#include "datagram/datagrams.h"

namespace trelvan {

int32_t ReceiveUnwrapped(Udp& udp, intptr_t socket, const std::atomic<uint8_t>& closing, uint8_t* buffer,
                         uint32_t capacity, uint32_t magic, bool* ipv4) {
  int32_t received = kReceiveAgain;
  while (received == kReceiveAgain) {
    if (closing.load(std::memory_order_acquire)) return kThreadEnds;
    received = udp.Receive(socket, buffer, capacity, ipv4);
  }
  if (received < 0 || closing.load(std::memory_order_acquire)) return kThreadEnds;
  return UnwrapDatagram(buffer, capacity, static_cast<uint32_t>(received), magic);
}

bool SplitPair(const char* text, char* first, uint32_t capacity, uint16_t* second) {
  const char* colon = std::strchr(text, ':');
  if (!colon || static_cast<uint32_t>(colon - text) >= capacity) return false;
  std::memcpy(first, text, static_cast<size_t>(colon - text));
  first[colon - text] = 0;
  uint32_t v = 0;
  const char* d = colon + 1;
  if (!*d) return false;
  for (; *d; ++d) {
    if (*d < '0' || *d > '9') return false;
    v = v * 10 + static_cast<uint32_t>(*d - '0');
    if (v > 65535) return false;
  }
  *second = static_cast<uint16_t>(v);
  return true;
}

uint16_t ParsePort(const char* text, uint16_t fallback) {
  char dummy[2];
  uint16_t port = 0;
  char withColon[16] = "x:";
  if (std::strlen(text) > 6) return fallback;
  std::strcat(withColon, text);
  return SplitPair(withColon, dummy, sizeof dummy, &port) ? port : fallback;
}

}  // namespace trelvan
