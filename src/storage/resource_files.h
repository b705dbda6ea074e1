// Resource files: storage files waiting as "*.rsc" in the data folder, taken
// into the storage at start-up; and the folder listing they are found with.
#pragma once

#include <cstdint>

#include "platform/window.h"
#include "storage/storage.h"

namespace trelvan {

// Fills `list` with the names matching `pattern` (a folder path, the
// platform's separator, then a name with "*" and "?" wildcards) in the order
// of the directory search; at most 100. Returns the number of names.
uint16_t ListFiles(Files& p, const char* pattern, FileList& list);

// Stores every resource file of the data folder under its name up to ".rsc",
// replacing a stored file of that name, and deletes it from the folder.
// A file whose content does not fit (too few free blocks, a full table)
// stays in the folder and the stored file of that name is kept. An
// unopenable file or an unknown size shows a message and ends the import.
void ImportResourceFiles(Storage& s, Files& p, Window& window);

enum ImportResult : int {
  kImportStored = 0,     /**< stored whole under its name */
  kImportNoRoom = 1,     /**< too few free blocks or a full table: nothing changed */
  kImportNotFound = 2,   /**< the file does not open */
  kImportNoSize = 3,     /**< its size is unknown */
  kImportShortRead = 4,  /**< it gave fewer bytes than its size; zero bytes stored for the rest */
};
// Stores the resource file at `path` under `fileName` cut at ".rsc"; the
// file itself is left where it is.
int ImportResourceFile(Storage& s, Files& p, const char* path, const char* fileName);

}  // namespace trelvan
