// What the server channel and the simulator channel share: the receive
// threads' wait for the next datagram of their magic, and the address and
// port texts their settings are written in.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/udp.h"

namespace trelvan {

constexpr int kAddressCapacity = 16;  // dotted IPv4: 15 characters and the zero

// The next datagram on `socket` that carries `magic`, unwrapped at the
// buffer's start: its payload length (the over-run text's for a datagram
// too short or too long), -1 for one to ignore. kThreadEnds once the channel
// closes or the socket fails.
constexpr int32_t kThreadEnds = -2;
int32_t ReceiveUnwrapped(Udp& udp, intptr_t socket, const std::atomic<uint8_t>& closing, uint8_t* buffer,
                         uint32_t capacity, uint32_t magic, bool* ipv4);

// "address:port" or "port:port" into its two halves; false when it is not
// two halves with a port of 0 to 65535 after the colon.
bool SplitPair(const char* text, char* first, uint32_t capacity, uint16_t* second);
// A port number of at most 5 digits, or `fallback`.
uint16_t ParsePort(const char* text, uint16_t fallback);

}  // namespace trelvan
