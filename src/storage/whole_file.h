// Writing a whole file into the storage in one call: every manager, editor,
// record and download stores its files through here.
//
// The file is created, then written in pieces of at most 256 bytes with the
// state machine run to idle around each, so it is complete when the call
// returns. A stored file of the same name is replaced only when the new one
// fits in the space the old one leaves: a file that does not fit changes
// nothing and the old one stays.
#pragma once

#include <cstdint>

#include "storage/storage.h"

namespace trelvan {

// Stores `header` (headerSize bytes, a FileHeader naming the file `name`)
// followed by `data`. True when the storage took all of it.
bool StorageWriteWholeFile(Storage& s, const char* name, const uint8_t* header, uint32_t headerSize,
                           const uint8_t* data, uint32_t dataSize);

// Deletes the stored file of that name and runs the machine to idle; false
// when no file has that name or the storage refused.
bool StorageDeleteNamedFile(Storage& s, const char* name);

// Builds the FileHeader (name, extra, type, version) and stores it with `data`.
bool StorageWriteRecord(Storage& s, const char* name, const char* extra, const char* type,
                        const char* version, const uint8_t* data, uint32_t dataSize);

// A replacement that stores the new file before it deletes the older one
// of its name (a download) marks itself for its duration: a record naming
// the file, stored before the new file and deleted last. A cut anywhere in
// between leaves the mark, and the start-up finishes what it began. Every
// other pair of namesakes (a file the handheld pushed beside a stored one)
// has no mark and stays as it is.
constexpr char kReplacementMarkName[] = "Replacing400";
// The mark's whole content for a replacement of `name` into `out` (at
// least kReplacementMarkCapacity bytes); its size, or 0 for a name the mark
// cannot hold.
constexpr uint32_t kReplacementMarkCapacity = kFileHeaderScan;
uint32_t BuildReplacementMark(const char* name, uint8_t* out);

// Start-up: finishes an interrupted change (runs the machine to idle); then,
// when a replacement was cut, keeps the newest file of the marked name,
// deletes the older ones of that name and the mark.
void FinishCutReplacement(Storage& s);
}  // namespace trelvan
