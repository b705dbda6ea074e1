// The draft file: an editor's unsaved work, kept in the data folder beside
// the storage (never in it) while the work is unsaved, so an end nobody
// could answer (a signal, the session's end, a crash) does not lose it. The
// next start offers it back once.
//
// Bytes, numbers little-endian:
//   0   8  "TADRAFT1"
//   8   1  kind: 1 a project, 2 a light effect
//   9   1  the page of the editor it was made in
//  10   2  0
//  12  32  the project's or effect's name, zero-terminated
//  44   4  n: bytes of data
//  48   n  the data, as the project's or effect's stored file holds it
//  48+n 4  checksum of the bytes before it
#pragma once

#include <cstdint>

namespace trelvan {

enum DraftKind : uint8_t { kDraftProject = 1, kDraftLightEffect = 2 };

constexpr uint32_t kDraftHeaderSize = 48;
constexpr uint32_t kDraftNameCapacity = 32;
// Above the largest project data (1,803 bytes) and light effect (809).
constexpr uint32_t kDraftDataCapacity = 2048;
constexpr uint32_t kDraftFileCapacity = kDraftHeaderSize + kDraftDataCapacity + 4;

struct Draft {
  uint8_t kind;  /**< a DraftKind */
  uint8_t page;
  char name[kDraftNameCapacity];
  uint32_t size;  /**< bytes of data */
  uint8_t data[kDraftDataCapacity];
};

// Into `out` (kDraftFileCapacity bytes); returns the file's size.
uint32_t EncodeDraft(const Draft& d, uint8_t* out);
// False for anything but a whole draft: short or long, another magic or
// kind, a size beyond the data's capacity or the bytes given, a checksum
// that does not match. The name always ends within its field.
bool DecodeDraft(const uint8_t* in, uint32_t count, Draft* out);

}  // namespace trelvan
