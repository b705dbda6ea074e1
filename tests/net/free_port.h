// For the tests of the channels: a loopback UDP port that no socket holds
// now, a wait for what a receive thread does, and a reply's trailer.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "datagram/datagrams.h"

namespace trelvan {
namespace testing {

inline uint16_t FreePort() {
  const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
  ::close(s);
  return ntohs(a.sin_port);
}

// Polls `done` every 5 ms for at most a second; its last answer.
template <class Done>
bool WaitUntil(Done done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

// Puts the sequence answered and the sum behind a reply's content.
inline void Seal(std::vector<uint8_t>& r, uint16_t sequence) {
  r.insert(r.end(), {static_cast<uint8_t>(sequence), static_cast<uint8_t>(sequence >> 8)});
  const uint16_t sum = Sum16(r.data(), static_cast<uint32_t>(r.size()));
  r.insert(r.end(), {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)});
}

}  // namespace testing
}  // namespace trelvan
