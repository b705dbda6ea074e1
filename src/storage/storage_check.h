// Verifies every invariant of the file system as the image holds it.
#pragma once

#include <cstdint>

#include "storage/storage.h"

namespace trelvan {

// 0 when the image is a consistent, idle file system; 1 otherwise, with the
// first broken invariant described in `message`. An image whose four
// bookkeeping blocks are all erased (formatted, nothing written yet) counts
// as an empty storage.
int CheckStorage(const Storage& s, char* message, uint32_t capacity);

}  // namespace trelvan
