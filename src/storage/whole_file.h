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

// Start-up: finishes an interrupted change (runs the machine to idle), then
// deletes every file that a later file of the same name replaces. A download
// stores the new file before it deletes the old one, so a cut between the
// two leaves both; the newer one, complete, is kept.
void KeepNewestOfEachName(Storage& s);

}  // namespace trelvan
