// The image's flash rules (erase, program, read; byte by byte and the fast
// paths for whole units and blocks) and the image files on disk.
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

// Plain bytes out of and into the image, `count` from `offset`. Whole aligned
// units go a machine word at a time; the result equals the byte operations.
void ReadPlain(const Storage& s, uint32_t offset, uint8_t* out, uint32_t count);
void ProgramPlain(Storage& s, uint32_t offset, const uint8_t* data, uint32_t count);
// One aligned 256-byte unit.
void ReadUnit(const Storage& s, uint32_t offset, uint8_t* out);
void ProgramUnit(Storage& s, uint32_t offset, const uint8_t* data);

// Reads the whole image file at `path` (a shorter file fills the front, the
// rest reads as zero bytes). False when it does not open.
bool ReadImageFile(Storage& s, Files& p, const char* path);
// Writes the image to `path` through a temporary file beside it, flushed and
// renamed over `path`. On any failure the temporary is removed and the file
// at `path` is left as it was. True when `path` now holds the image.
bool WriteImageFile(const Storage& s, Files& p, const char* path);

// Start-up: the storage file, else the legacy file converted, else an
// erased image with imageLoaded 0.
void LoadStorage(Storage& s, Files& p);
// Exit: the whole image to the storage file, atomically. Silent on failure;
// the result says whether the file was replaced.
bool SaveStorage(const Storage& s, Files& p);

// Paths of the two image files in the data folder.
void StorageFilePath(Files& p, char* out);  // at least kPathCapacity bytes
void LegacyFilePath(Files& p, char* out);

}  // namespace trelvan
