// Memory that a file can be mapped over on Windows, and the copy-on-write
// views put there.
//
// A view goes at a 64 KiB boundary into a range nothing else holds, so the
// range to be mapped over is an allocation of its own. Where the system has
// placeholders (Windows 10 version 1803 on) that allocation replaced a
// placeholder: it is turned back into one and the view takes its place,
// with no moment where the range is free. Elsewhere (older systems, Wine 8)
// the allocation is released and the view put at its address at once.
// Should another thread take memory there in that moment, two system calls
// long, neither the view nor plain memory would fit back and the program
// would end at its next touch of the image.
#pragma once

#include "platform/win32/win32_windows.h"

#include <cstddef>
#include <cstdint>

namespace trelvan {

// `length` bytes of zeroed memory whose range [offset, offset + size) is an
// allocation of its own on a 64 KiB boundary (`offset` a multiple of the
// page size, `size` of 64 KiB). Should that not be had, the memory is one
// allocation and nothing is mapped over it. get() is null without memory.
class MappableMemory {
 public:
  MappableMemory(size_t length, size_t offset, size_t size);
  ~MappableMemory();
  MappableMemory(const MappableMemory&) = delete;
  MappableMemory& operator=(const MappableMemory&) = delete;
  void* get() const { return base_; }

 private:
  void* base_ = nullptr;
  char* parts_[3] = {};  // the allocations, in address order
  int partCount_ = 0;
};

// Puts a copy-on-write view of `file` (open for reading, exactly `size`
// bytes) in place of the allocation of `size` bytes at `at`, plain memory
// or an earlier view. False when `at` is no such allocation or the view
// cannot be made; the memory is then as it was, or zero bytes where it had
// to be given up for the attempt.
bool MapViewOver(HANDLE file, void* at, uint32_t size);

// Turns a view at `at` back into plain memory holding the same bytes, so its
// file may be renamed, replaced or removed. True when no view is there.
bool KeepViewAsMemory(void* at, uint32_t size);

}  // namespace trelvan
