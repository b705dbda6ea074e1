// Frames of the serial link: a length byte L, then L bytes. Incoming frames
// are put together from the bytes of successive reads.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr int kSerialFrameCapacity = 256;  // L is one byte: at most 255 + 1 bytes
constexpr int kSerialReadCapacity = 256;   // bytes taken per read; the rest waits for the next

struct SerialFrame {
  uint8_t frame[kSerialFrameCapacity];
  uint32_t frameIndex;   /**< next write position in frame */
  uint32_t frameLength;  /**< length of the last completed frame */
};

// Appends the bytes of one read. Returns the length of a frame completed by
// them (bytes after it in the same read are dropped), else 0.
uint32_t AppendSerialBytes(SerialFrame& f, const uint8_t* bytes, uint32_t count);

// Copies the last completed frame; returns its length.
uint32_t CopySerialFrame(const SerialFrame& f, uint8_t* out);

// The handheld's packet inside a request frame of `frameLength` bytes: it
// follows the length byte and one byte that carries nothing for us. Returns
// its length (0 for frames too short to hold one) and sets *packet.
uint32_t SerialRequestPacket(const uint8_t* frame, uint32_t frameLength, const uint8_t** packet);

// A reply frame: N, then the N reply bytes. Returns N + 1.
uint32_t BuildSerialReply(const uint8_t* reply, uint8_t n, uint8_t* out);

}  // namespace trelvan
