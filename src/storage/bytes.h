// Little-endian numbers on byte pointers: every number in the storage, in
// page files and on the wire is stored low byte first.
#pragma once

#include <cstdint>

namespace trelvan {

inline uint16_t ReadU16LE(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

// byte0 + byte1 * 256 + byte2 * 65,536 + byte3 * 16,777,216
inline uint32_t ReadU32LE(const uint8_t* b) {
  return b[0] | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

inline void WriteU16LE(uint8_t* b, uint16_t v) {
  b[0] = static_cast<uint8_t>(v);
  b[1] = static_cast<uint8_t>(v >> 8);
}

inline void WriteU32LE(uint8_t* b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace trelvan
