// The datagrams of the two UDP channels, on byte buffers.
//
// Every datagram begins with a 32-bit magic. A server request carries its
// payload, a 16-bit sequence number and a 16-bit sum of payload and
// sequence; a server reply ends with the sequence it answers and the sum of
// the bytes before. A simulator datagram carries one handheld packet.
#pragma once

#include <cstdint>

namespace trelvan {

// ---- capacities ---------------------------------------------------------------
constexpr uint32_t kMagicToPeer = 0x91237481;         // assistant to server and to simulator
constexpr uint32_t kMagicFromSimulator = 0x91237482;
constexpr uint32_t kMagicFromServer = 0x91237483;
constexpr int kMagicLength = 4;
constexpr uint16_t kServerRequestLimit = 508;   // bytes after the magic in one request
constexpr uint16_t kSimulatorPacketLimit = 252; // a handheld packet on the simulator channel
constexpr int kRequestBufferCapacity = 2048;    // the request buffer a payload is built in
constexpr int kServerReceiveCapacity = 512;     // the server receive buffer
constexpr int kSimulatorReceiveCapacity = 256;  // the simulator receive buffer
constexpr int kDatagramCapacity = kMagicLength + kServerRequestLimit;  // the largest we send

// Sum of the bytes modulo 65536.
uint16_t Sum16(const uint8_t* bytes, uint32_t count);

// Completes the request whose n payload bytes lie at `request`: the
// sequence at n, the sum of bytes 0..n+1 at n+2. Returns n + 4.
uint32_t CompleteServerRequest(uint8_t* request, uint32_t n, uint16_t sequence);

// A reply's own sum holds: its last two bytes are the sum of those before.
bool VerifyServerReply(const uint8_t* reply, uint32_t length);
// The sequence number a reply answers (at length - 4); 0 for replies too short.
uint16_t ReplySequence(const uint8_t* reply, uint32_t length);

// magic + body into `out` (kMagicLength + count bytes). Returns that length.
uint32_t WrapDatagram(uint32_t magic, const uint8_t* body, uint32_t count, uint8_t* out);

constexpr char kOverRunText[] = "Receive Buffer Over Run";  // 23 characters and the zero
constexpr uint16_t kOverRunLength = 24;

// What a receive thread makes of a datagram of `received` bytes in `buffer`
// (of `capacity` bytes): -1 when it does not carry `magic` (ignored); else
// the payload is moved to the buffer's start and its length returned. A
// datagram too short to hold a magic, or a payload that fills the buffer,
// becomes the over-run text (length 24).
int32_t UnwrapDatagram(uint8_t* buffer, uint32_t capacity, uint32_t received, uint32_t magic);

}  // namespace trelvan
