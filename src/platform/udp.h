// The UDP service: IPv4 datagram sockets, and the PC's own IPv4 address.
// Sockets are small handles; kNoSocket marks none. It moves bytes only.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr intptr_t kNoSocket = -1;

// What a blocking receive ended with, beside a datagram's length (>= 0).
constexpr int32_t kReceiveFailed = -1;  // the socket failed or was closed: the thread ends
constexpr int32_t kReceiveAgain = -2;   // would block: receive again

// Who sent a datagram: an IPv4 address and port, or another family.
struct UdpSender {
  bool ipv4 = false;
  uint32_t address = 0;  /**< IPv4, 127.0.0.1 is 0x7F000001 */
  uint16_t port = 0;
};

class Udp {
 public:
  virtual ~Udp() = default;

  // Starts the sockets library where the system has one; false on failure.
  virtual bool Startup() = 0;
  virtual void Cleanup() = 0;
  // An IPv4 datagram socket, or kNoSocket.
  virtual intptr_t Open() = 0;
  // Binds to any local address at `port`; false on failure.
  virtual bool Bind(intptr_t socket, uint16_t port) = 0;
  // Sends to the dotted IPv4 `address` at `port`; false when the send failed.
  virtual bool SendTo(intptr_t socket, const char* address, uint16_t port, const uint8_t* bytes,
                      uint32_t count) = 0;
  // Blocks until a datagram arrives and copies at most `capacity` bytes of
  // it: its length, or kReceiveFailed / kReceiveAgain; *from tells who
  // sent it.
  virtual int32_t Receive(intptr_t socket, uint8_t* buffer, uint32_t capacity, UdpSender* from) = 0;
  // Makes a thread blocked in Receive on the socket return kReceiveFailed,
  // now and at every later call; the socket is closed only by Close, once
  // that thread has ended.
  virtual void Wake(intptr_t socket) = 0;
  virtual void Close(intptr_t socket) = 0;
  // The first IPv4 address of the PC's host name, dotted; false (and an
  // empty text) when the name does not resolve.
  virtual bool LocalAddress(char* out, uint32_t capacity) = 0;
  // The first IPv4 address of the host `name` (or the dotted address
  // itself), dotted; false (and an empty text) when it does not resolve.
  // May wait for the system's name service.
  virtual bool Resolve(const char* name, char* out, uint32_t capacity) = 0;
};

}  // namespace trelvan
