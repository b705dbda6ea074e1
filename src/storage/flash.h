// The image's flash rules: erase, program and read, byte by byte in
// storage.h and here the fast paths for whole units and blocks. These are
// the image's only writers; each marks the blocks it changes (s.changed),
// which the journal takes.
#pragma once

#include <cstdint>

#include "storage/storage.h"

namespace trelvan {

// Copies the key constant into the working array and derives the erased
// block pattern from it. LoadStorage does this; so must anything that uses a
// Storage without loading one.
void PrepareKey(Storage& s);

void EraseImage(Storage& s);
void EraseBlock(Storage& s, uint16_t block);
// A block's stored bytes copied into another (erased) block: the key repeats
// every 256 bytes, so they read back as the same plain bytes.
void CopyBlock(Storage& s, uint16_t destination, uint16_t source);
// Erases the first `count` bytes of `block` only: a whole erase for a block
// whose other bytes are erased already.
void EraseBlockFront(Storage& s, uint16_t block, uint32_t count);

// Plain bytes out of and into the image, `count` from `offset`. Aligned
// machine words go at once, whole units through the unit paths; the result
// equals the byte operations.
void ReadPlain(const Storage& s, uint32_t offset, uint8_t* out, uint32_t count);
void ProgramPlain(Storage& s, uint32_t offset, const uint8_t* data, uint32_t count);
// One aligned 256-byte unit.
void ReadUnit(const Storage& s, uint32_t offset, uint8_t* out);
void ProgramUnit(Storage& s, uint32_t offset, const uint8_t* data);

}  // namespace trelvan
