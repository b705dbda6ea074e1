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

// Stores every resource file of the data folder (at most 100 a start) under
// its name up to ".rsc", replacing a stored file of that name. A file taken
// in stays in the folder until RemoveImportedResourceFiles, after the exit
// save has written the storage that holds it; until then a crash or a
// failed save leaves it to be taken in again.
//
// Every other file stays where it is, and one message box names them all: a
// folder, a file that cannot be read, a name too long for a path, a file
// larger than the whole storage. A file whose content does not begin with a
// complete FileHeader is renamed to "NAME.rsc.bad". Files that wait for room
// (too few free blocks, a full table; the stored file of that name is kept)
// are counted in the same message.
void ImportResourceFiles(Storage& s, Files& p, Window& window);

// Whether stored file `index` loads as what a program resource file of its
// name is (a page file, a picture collection). The check belongs to the
// page codec, above the storage, so the start-up hands it in.
using StoredFileLoads = bool (*)(const Storage& s, uint16_t index);

// Takes in from the program's own resource folder every page file and
// picture collection ("TA *.rsc") that the storage lacks, holds in another
// version, or holds only in files that do not load (`loads`), so a fresh
// storage, or one started after a damaged file was set aside, shows the
// program's pages, and a newer program brings its newer pages. The
// program's own stored file is the first of that name and type that loads;
// another version of it is replaced. Every other stored file of that name
// (the user's file of another type, a pushed file that does not load) stays
// as it is, and the program's file is stored beside it. The folder's files
// stay where they are; those not taken in are named in one message box.
void TakeProgramResourceFiles(Storage& s, Files& p, Window& window, StoredFileLoads loads);

// Removes the files the last import took in, except one that no longer
// holds what was taken in (it was replaced while the program ran).
void RemoveImportedResourceFiles(Storage& s, Files& p);

enum ImportResult : int {
  kImportStored = 0,     /**< stored whole under its name */
  kImportNoRoom = 1,     /**< too few free blocks or a full table: nothing changed */
  kImportNotFound = 2,   /**< the file does not open */
  kImportNoSize = 3,     /**< its size is unknown */
  kImportShortRead = 4,  /**< it gave fewer bytes than its size; zero bytes stored for the rest */
  kImportTooLarge = 5,   /**< larger than the whole storage: nothing changed */
  kImportNoHeader = 6,   /**< no complete FileHeader at its start: nothing changed */
};
// Stores the resource file at `path` under `fileName` cut at ".rsc",
// replacing the stored file of that name; the file itself is left where it
// is. `hash`, when given, receives ResourceHash of the bytes stored.
int ImportResourceFile(Storage& s, Files& p, const char* path, const char* fileName,
                       uint32_t* hash = nullptr);
// The same, replacing stored file `replaced`, or beside every stored file
// when it is -1.
int ImportResourceFileOver(Storage& s, Files& p, const char* path, int replaced, uint32_t* hash);

// FNV-1a over bytes, continued from `hash` (start with kResourceHashStart).
constexpr uint32_t kResourceHashStart = 2166136261u;
uint32_t ResourceHash(uint32_t hash, const uint8_t* bytes, uint32_t count);

}  // namespace trelvan
