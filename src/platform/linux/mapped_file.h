// Files mapped copy-on-write over memory the program already owns, and the
// guard that keeps a file shortened underneath from crashing the program.
//
// A page of a private file mapping that lies beyond the file's end, once
// another program truncates it, raises SIGBUS when touched. The guard's
// handler puts a page of zero bytes in its place (so the access completes)
// and notes the loss. A lost page read by the system itself (a write(2)
// from the image) raises no signal but fails the call, so the mapped file
// is kept open and its size looked at as well. The program asks
// MappedFileLost() and ends with its message instead of working on, or
// saving, an image that is no longer the file's. SIGBUS outside a mapped
// range keeps its default action.
#pragma once

#include <cstdint>

namespace trelvan {

// See Files::MapFileCopy. `at` and `size` must be multiples of the page size.
bool MapFileCopyOver(const char* path, void* at, uint32_t size);
bool MappedFileWasLost();

}  // namespace trelvan
