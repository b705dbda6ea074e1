// The UDP service on Windows: Windows sockets 1.1.
#pragma once

#include "platform/udp.h"

namespace trelvan {

class Win32Udp : public Udp {
 public:
  bool Startup() override;
  void Cleanup() override;
  intptr_t Open() override;
  bool Bind(intptr_t socket, uint16_t port) override;
  bool SendTo(intptr_t socket, const char* address, uint16_t port, const uint8_t* bytes,
              uint32_t count) override;
  int32_t Receive(intptr_t socket, uint8_t* buffer, uint32_t capacity, UdpSender* from) override;
  // Winsock wakes a blocked receive only by closing the socket: Wake closes
  // it and Close then leaves it alone.
  void Wake(intptr_t socket) override;
  void Close(intptr_t socket) override;
  bool Resolve(const char* name, char* out, uint32_t capacity) override;

 private:
  intptr_t woken_[4] = {kNoSocket, kNoSocket, kNoSocket, kNoSocket};
  bool LocalAddress(char* out, uint32_t capacity) override;
};

}  // namespace trelvan
