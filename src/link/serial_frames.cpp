#include "link/serial_frames.h"

#include <cstring>

namespace trelvan {

uint32_t AppendSerialBytes(SerialFrame& f, const uint8_t* bytes, uint32_t count) {
  for (uint32_t k = 0; k < count; ++k) {
    // frame[0] is at most 255, so a frame completes before the index leaves
    // the buffer; the check keeps a damaged state from writing past it.
    if (f.frameIndex >= kSerialFrameCapacity) f.frameIndex = 0;
    const uint32_t i = f.frameIndex++;
    f.frame[i] = bytes[k];
    if (i == f.frame[0]) {
      f.frameLength = i + 1;
      f.frameIndex = 0;
      return f.frameLength;
    }
  }
  return 0;
}

uint32_t CopySerialFrame(const SerialFrame& f, uint8_t* out) {
  const uint32_t n = f.frameLength < kSerialFrameCapacity ? f.frameLength : kSerialFrameCapacity;
  std::memcpy(out, f.frame, n);
  return n;
}

uint32_t SerialRequestPacket(const uint8_t* frame, uint32_t frameLength, const uint8_t** packet) {
  *packet = frame + 2;
  return frameLength > 2 ? frameLength - 2 : 0;
}

uint32_t BuildSerialReply(const uint8_t* reply, uint8_t n, uint8_t* out) {
  out[0] = n;
  std::memcpy(out + 1, reply, n);
  return n + 1u;
}

}  // namespace trelvan
