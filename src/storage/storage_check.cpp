#include "storage/storage_check.h"

#include <cstdarg>
#include <cstdio>

#include "storage/file_system.h"
#include "storage/storage_image.h"

namespace trelvan {

namespace {

int Fail(char* message, uint32_t capacity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, capacity, format, args);
  va_end(args);
  return 1;
}

// Index of the first byte in [offset, offset + count) that is not plain 0xFF,
// or -1.
int64_t FirstUnerased(const Storage& s, uint32_t offset, uint32_t count) {
  uint8_t unit[kUnitSize];
  while (count > 0) {
    const uint32_t n = count < kUnitSize ? count : kUnitSize;
    ReadPlain(s, offset, unit, n);
    for (uint32_t i = 0; i < n; ++i) {
      if (unit[i] != 0xFF) return static_cast<int64_t>(offset) + i;
    }
    offset += n;
    count -= n;
  }
  return -1;
}

}  // namespace

int CheckStorage(const Storage& s, char* message, uint32_t capacity) {
  StorageHeader a, b;
  ReadHeaderRecord(s, kHeaderBlockA, &a);
  ReadHeaderRecord(s, kHeaderBlockB, &b);
  const bool validA = a.validMark == 0xFF && a.writtenMark == 0x00;
  const bool validB = b.validMark == 0xFF && b.writtenMark == 0x00;
  if (validA && validB) return Fail(message, capacity, "both header copies are marked current");
  if (!validA && !validB) {
    const int64_t at = FirstUnerased(s, 0, 4 * kBlockSize);
    if (at < 0) {
      std::snprintf(message, capacity, "empty storage (no header written yet)");
      return 0;
    }
    return Fail(message, capacity,
                "no valid header copy in block 0 or 1, and bookkeeping byte %lld is not erased",
                static_cast<long long>(at));
  }
  const StorageHeader& h = validA ? a : b;
  const uint16_t headerBlock = validA ? kHeaderBlockA : kHeaderBlockB;
  const int64_t junk = FirstUnerased(s, headerBlock * kBlockSize + kHeaderBytes,
                                     kBlockSize - kHeaderBytes);
  if (junk >= 0) {
    return Fail(message, capacity, "header block %u: byte %lld behind the header is not erased",
                headerBlock, static_cast<long long>(junk - headerBlock * kBlockSize));
  }
  if (h.activeTable > 1) return Fail(message, capacity, "activeTable is %u", h.activeTable);
  if (h.fileCount > kTableEntries) {
    return Fail(message, capacity, "fileCount %u exceeds the %u table entries", h.fileCount,
                kTableEntries);
  }
  if (h.movePending != 0) {
    return Fail(message, capacity,
                "compaction unfinished: movePending %u, moveNextBlock %u, moveBlocksLeft %u "
                "(it resumes at the next start)",
                h.movePending, h.moveNextBlock, h.moveBlocksLeft);
  }

  const uint16_t table = h.activeTable == 0 ? kTableBlock0 : kTableBlock1;
  uint32_t expectedStart = kFirstFileBlock;
  uint32_t used = 0;
  for (uint32_t i = 0; i < h.fileCount; ++i) {
    const FileTableEntry e = ReadTableEntry(s, table, i);
    if (e.startBlock != expectedStart) {
      return Fail(message, capacity, "entry %u: startBlock %u, expected %u", i, e.startBlock,
                  expectedStart);
    }
    const uint32_t blocks = BlocksFor(e.size);
    if (e.startBlock + blocks > kBlockCount) {
      return Fail(message, capacity, "entry %u: %u blocks from block %u run past the image", i,
                  blocks, e.startBlock);
    }
    if (e.size % kBlockSize != 0) {
      const uint32_t tail = e.startBlock * kBlockSize + e.size;
      const uint32_t tailCount = kBlockSize - e.size % kBlockSize;
      const int64_t at = FirstUnerased(s, tail, tailCount);
      if (at >= 0) {
        return Fail(message, capacity,
                    "entry %u: byte %lld of its last block, beyond its size %u, is not erased", i,
                    static_cast<long long>(at - static_cast<int64_t>(e.startBlock) * kBlockSize),
                    e.size);
      }
    }
    expectedStart += blocks;
    used += blocks;
  }
  const int64_t stray = FirstUnerased(s, table * kBlockSize + h.fileCount * 8u,
                                      (kTableEntries - h.fileCount) * 8u);
  if (stray >= 0) {
    return Fail(message, capacity, "table block %u: entry %lld beyond fileCount %u is not erased",
                table, static_cast<long long>((stray - table * kBlockSize) / 8), h.fileCount);
  }
  if (h.freeBlocks != kFileBlocks - used) {
    return Fail(message, capacity, "freeBlocks is %u, expected %u (%u minus %u blocks in use)",
                h.freeBlocks, kFileBlocks - used, kFileBlocks, used);
  }
  std::snprintf(message, capacity, "ok: %u files, %u blocks in use, %u free", h.fileCount, used,
                h.freeBlocks);
  return 0;
}

}  // namespace trelvan
