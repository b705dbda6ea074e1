// The rules of the file system, checked as the image holds them.
#pragma once

#include <cstdint>

#include "storage/storage.h"

namespace trelvan {

// What a storage converted from the legacy file lacks in freeBlocks for
// good: its 7,996 file blocks grew by 24,573 where the image grew by 24,768.
constexpr uint16_t kLegacyFreeBlockShortfall = static_cast<uint16_t>(
    kFileBlocks - (kLegacyImageSize / kBlockSize - kFirstFileBlock) - kLegacyFreeBlockAddition);
static_assert(kLegacyFreeBlockShortfall == 195, "the conversion's shortfall");

// Whether a new process can use the image as it is: one current header
// copy with nothing behind it in its block, the counts within their limits,
// the current table (start blocks back to back from block 4, inside the
// image, erased beyond the last entry), the free-block count and the
// compaction fields. Every image the file system leaves at any point of its
// work passes (a creation cut short, a compaction still to finish, a
// storage converted from the legacy file). Two erased header blocks are an
// empty storage.
//
// Returns the number of broken rules, 0 when none; each is described on a
// line of `message` (as many as fit), or a summary when none is broken.
int CheckStorageAtStartUp(const Storage& s, char* message, uint32_t capacity);

// The start-up rules and those of an idle file system: no compaction with
// blocks still to move, the bytes of each file's last block beyond its size
// erased, and an empty storage's table blocks erased too. Result and
// message as above.
int CheckStorage(const Storage& s, char* message, uint32_t capacity);

}  // namespace trelvan
