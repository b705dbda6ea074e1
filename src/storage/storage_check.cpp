#include "storage/storage_check.h"

#include <cstdarg>
#include <cstdio>

#include "storage/file_system.h"
#include "storage/storage_image.h"

namespace trelvan {

namespace {

// The broken rules, one line each, as many as fit into the caller's buffer.
class Report {
 public:
  Report(char* text, uint32_t capacity) : text_(text), capacity_(capacity) {
    if (capacity_ > 0) text_[0] = 0;
  }

  void Broken(const char* format, ...) {
    ++broken_;
    if (used_ + 2 >= capacity_) return;
    if (used_ > 0) text_[used_++] = '\n';
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text_ + used_, capacity_ - used_, format, args);
    va_end(args);
    if (n > 0) {
      const uint32_t end = used_ + static_cast<uint32_t>(n);
      used_ = end < capacity_ ? end : capacity_ - 1;
    }
  }

  // The result: the count of broken rules, or 0 with `summary` as the text.
  int Finish(const char* format, ...) {
    if (broken_ == 0 && capacity_ > 0) {
      va_list args;
      va_start(args, format);
      std::vsnprintf(text_, capacity_, format, args);
      va_end(args);
    }
    return broken_;
  }

 private:
  char* text_;
  uint32_t capacity_;
  uint32_t used_ = 0;
  int broken_ = 0;
};

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

int Check(const Storage& s, bool idle, char* message, uint32_t capacity) {
  Report r(message, capacity);
  StorageHeader a, b;
  ReadHeaderRecord(s, kHeaderBlockA, &a);
  ReadHeaderRecord(s, kHeaderBlockB, &b);
  const bool validA = a.validMark == 0xFF && a.writtenMark == 0x00;
  const bool validB = b.validMark == 0xFF && b.writtenMark == 0x00;
  if (!validA && !validB) {
    // No header written yet: a first creation cut short may have left table
    // entries, which the mount erases; a header block that is not erased
    // held a header once, and every header write leaves one copy valid.
    const uint32_t blocks = idle ? 4 : 2;
    const int64_t at = FirstUnerased(s, 0, blocks * kBlockSize);
    if (at < 0) return r.Finish("empty storage (no header written yet)");
    r.Broken("no valid header copy in block 0 or 1, and bookkeeping byte %lld is not erased",
             static_cast<long long>(at));
    return r.Finish("");
  }
  if (validA && validB) r.Broken("both header copies are marked current");
  // As the header selection does: block 0 first.
  const StorageHeader& h = validA ? a : b;
  const uint16_t headerBlock = validA ? kHeaderBlockA : kHeaderBlockB;
  const int64_t junk = FirstUnerased(s, headerBlock * kBlockSize + kHeaderBytes,
                                     kBlockSize - kHeaderBytes);
  if (junk >= 0) {
    r.Broken("header block %u: byte %lld behind the header is not erased", headerBlock,
             static_cast<long long>(junk - headerBlock * kBlockSize));
  }
  if (h.activeTable > 1) {
    r.Broken("activeTable is %u", h.activeTable);
    return r.Finish("");
  }
  if (h.fileCount > kTableEntries) {
    r.Broken("fileCount %u exceeds the %u table entries", h.fileCount, kTableEntries);
    return r.Finish("");
  }

  const uint16_t table = h.activeTable == 0 ? kTableBlock0 : kTableBlock1;
  uint32_t expectedStart = kFirstFileBlock;
  uint32_t used = 0;
  for (uint32_t i = 0; i < h.fileCount; ++i) {
    const FileTableEntry e = ReadTableEntry(s, table, i);
    if (e.startBlock != expectedStart) {
      r.Broken("entry %u: startBlock %u, expected %u", i, e.startBlock, expectedStart);
    }
    const uint32_t blocks = BlocksFor(e.size);
    if (e.startBlock >= kBlockCount || blocks > kBlockCount - e.startBlock) {
      if (e.startBlock != kBlockCount || blocks != 0) {  // an empty file may end the image
        r.Broken("entry %u: %u blocks from block %u run past the image", i, blocks, e.startBlock);
        return r.Finish("");
      }
    }
    if (idle && e.size % kBlockSize != 0) {
      const uint32_t tail = e.startBlock * kBlockSize + e.size;
      const int64_t at = FirstUnerased(s, tail, kBlockSize - e.size % kBlockSize);
      if (at >= 0) {
        r.Broken("entry %u: byte %lld of its last block, beyond its size %u, is not erased", i,
                 static_cast<long long>(at - static_cast<int64_t>(e.startBlock) * kBlockSize),
                 e.size);
      }
    }
    expectedStart = e.startBlock + blocks;
    used += blocks;
  }
  const int64_t stray = FirstUnerased(s, table * kBlockSize + h.fileCount * 8u,
                                      (kTableEntries - h.fileCount) * 8u);
  if (stray >= 0) {
    r.Broken("table block %u: entry %lld beyond fileCount %u is not erased", table,
             static_cast<long long>((stray - table * kBlockSize) / 8), h.fileCount);
  }
  if (used > kFileBlocks) {
    r.Broken("the files take %u blocks, more than the %u there are", used, kFileBlocks);
  } else if (h.freeBlocks != kFileBlocks - used &&
             h.freeBlocks + uint32_t{kLegacyFreeBlockShortfall} != kFileBlocks - used) {
    r.Broken("freeBlocks is %u, expected %u (%u minus %u blocks in use)", h.freeBlocks,
             kFileBlocks - used, kFileBlocks, used);
  }

  // A compaction moves blocks only while all three fields ask for it (a
  // deleted empty file leaves movePending 1 with moveGap 0: nothing to move).
  if (h.movePending > 1) r.Broken("movePending is %u", h.movePending);
  if (h.movePending == 1 && h.moveGap != 0 && h.moveBlocksLeft != 0) {
    // The blocks still to move lie right behind the gap, up to the end of
    // the data the table now describes.
    const uint32_t next = h.moveNextBlock;
    if (next < kFirstFileBlock || next + h.moveBlocksLeft != kFirstFileBlock + used ||
        next + h.moveGap + h.moveBlocksLeft > kBlockCount) {
      r.Broken("compaction fields do not fit the table: moveNextBlock %u, moveBlocksLeft %u, "
               "moveGap %u, %u blocks in use",
               next, h.moveBlocksLeft, h.moveGap, used);
    } else if (idle) {
      r.Broken("compaction unfinished: moveNextBlock %u, moveBlocksLeft %u (it resumes at the "
               "next start)",
               next, h.moveBlocksLeft);
    }
  }
  return r.Finish("ok: %u files, %u blocks in use, %u free", h.fileCount, used, h.freeBlocks);
}

}  // namespace

int CheckStorageAtStartUp(const Storage& s, char* message, uint32_t capacity) {
  return Check(s, false, message, capacity);
}

int CheckStorage(const Storage& s, char* message, uint32_t capacity) {
  return Check(s, true, message, capacity);
}

}  // namespace trelvan
