// The UDP service on Linux: BSD sockets. Wake shuts the socket down, which
// wakes a thread blocked in its receive; Close closes it after that thread
// ended, so its number is not reused under a receive.
#pragma once

#include "platform/udp.h"

namespace trelvan {

class PosixUdp : public Udp {
 public:
  bool Startup() override { return true; }
  void Cleanup() override {}
  intptr_t Open() override;
  bool Bind(intptr_t socket, uint16_t port) override;
  bool SendTo(intptr_t socket, const char* address, uint16_t port, const uint8_t* bytes,
              uint32_t count) override;
  int32_t Receive(intptr_t socket, uint8_t* buffer, uint32_t capacity, UdpSender* from) override;
  void Wake(intptr_t socket) override;
  void Close(intptr_t socket) override;
  bool LocalAddress(char* out, uint32_t capacity) override;
  bool Resolve(const char* name, char* out, uint32_t capacity) override;
};

}  // namespace trelvan
