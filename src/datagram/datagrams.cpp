#include "datagram/datagrams.h"

#include <cstring>

#include "storage/bytes.h"

namespace trelvan {

uint16_t Sum16(const uint8_t* bytes, uint32_t count) {
  uint16_t sum = 0;
  for (uint32_t i = 0; i < count; ++i) sum = static_cast<uint16_t>(sum + bytes[i]);
  return sum;
}

uint32_t CompleteServerRequest(uint8_t* request, uint32_t n, uint16_t sequence) {
  WriteU16LE(request + n, sequence);
  WriteU16LE(request + n + 2, Sum16(request, n + 2));
  return n + 4;
}

bool VerifyServerReply(const uint8_t* reply, uint32_t length) {
  if (length < 2) return false;
  return ReadU16LE(reply + length - 2) == Sum16(reply, length - 2);
}

uint16_t ReplySequence(const uint8_t* reply, uint32_t length) {
  return length < 4 ? 0 : ReadU16LE(reply + length - 4);
}

uint32_t WrapDatagram(uint32_t magic, const uint8_t* body, uint32_t count, uint8_t* out) {
  WriteU32LE(out, magic);
  std::memcpy(out + kMagicLength, body, count);
  return kMagicLength + count;
}

int32_t UnwrapDatagram(uint8_t* buffer, uint32_t capacity, uint32_t received, uint32_t magic) {
  const uint32_t payload = received - kMagicLength;
  if (received >= kMagicLength) {
    if (ReadU32LE(buffer) != magic) return -1;
    if (payload < capacity) {
      std::memmove(buffer, buffer + kMagicLength, payload);
      return static_cast<int32_t>(payload);
    }
  }
  std::memcpy(buffer, kOverRunText, kOverRunLength);
  return kOverRunLength;
}

}  // namespace trelvan
