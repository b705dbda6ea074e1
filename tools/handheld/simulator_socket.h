// The stand-in handheld's UDP socket on 127.0.0.1: BSD sockets on Linux,
// Winsock in the Windows build ("TX Simulator.exe").
#pragma once

#include <cstddef>
#include <cstdint>

namespace trelvan {
namespace handheld {

// Bound to 127.0.0.1:port; false when it cannot be.
bool OpenSocket(uint16_t port);
void SendTo(uint16_t port, const uint8_t* bytes, size_t n);
// One datagram into `bytes` within `ms`; its length, or -1 on the time-out.
int ReceiveWithin(uint8_t* bytes, size_t capacity, int ms);
void CloseSocket();

}  // namespace handheld
}  // namespace trelvan
