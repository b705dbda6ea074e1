// The image files on disk: the start-up's load, the exit's save, and the
// set-aside of a file that cannot be used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/flash.h"
#include "storage/storage.h"

namespace trelvan {

// Reads the whole image file at `path` (a shorter file fills the front, the
// rest reads as zero bytes). False when it does not open.
bool ReadImageFile(Storage& s, Files& p, const char* path);

// Why a save did not replace the file.
enum SaveFailure : uint8_t {
  kSaveDone = 0,
  kSaveKeptDamaged,  /**< the file is an unusable one that could not be set aside */
  kSaveReadOnly,     /**< the file is read-only */
  kSaveNotCreated,   /**< the temporary beside it could not be made */
  kSaveNotWritten,   /**< writing stopped part-way (a full disk, a failing write or close) */
  kSaveNotFlushed,   /**< the bytes could not be flushed to the disk */
  kSaveNotRenamed,   /**< the temporary could not take the file's place */
  kSaveImageLost,    /**< the mapped file was shortened underneath: the image is incomplete */
};
// The reason in plain words, for a message.
const char* SaveFailureText(SaveFailure why);

// Writes the image to `path` through a temporary file beside it, flushed,
// given the permissions of the file it replaces and renamed over it. A
// read-only file is not replaced. On any failure the temporary is removed
// and the file at `path` is left as it was. True when `path` now holds the
// image; else `why` (when given) says what failed.
bool WriteImageFile(const Storage& s, Files& p, const char* path, SaveFailure* why = nullptr);

// Gives a storage converted from the legacy file's first 8,000 blocks its
// new header: freeBlocks grown by 24,573, written into the other header block.
void ConvertLegacyImage(Storage& s);

// Start-up: the storage file, else the legacy file converted, else an
// erased image with imageLoaded 0. A file that is there but cannot be read,
// has the wrong size or fails the start-up check is not used: the image is
// erased, imageLoaded stays 0 and loadResult says why. A data folder whose
// path leaves no room for the files' names is not touched: kLoadPathTooLong,
// an empty `path` and keepFile set.
void LoadStorage(Storage& s, Files& p);

// Renames the unusable file that LoadStorage found (`s.loadedFrom`) beside
// itself to "NAME.damaged", or "NAME.damaged.2", ".3"... when that exists,
// and puts the new path in `out` (kSetAsidePathCapacity bytes). When that
// fails and the file is the storage file, no save will replace it.
constexpr uint16_t kSetAsidePathCapacity = kPathCapacity + 16;
bool SetAsideUnusableFile(Storage& s, Files& p, char* out);
// Renames `path` beside itself the same way, the new path into `out`
// (`capacity` bytes, room for `path` and 16 more). False when it stays.
bool RenameAside(Files& p, const char* path, char* out, size_t capacity);

// Removes the temporaries that a save cut short left beside the storage
// file (or its link's target). True when there was one.
bool RemoveStaleTemporary(const Storage& s, Files& p);

// Exit: the whole image to the storage file, atomically (a storage file
// that is a link: to its target, which is replaced the same way, and the
// link stays). False, with the reason in `why`, when it was not replaced.
bool SaveStorage(const Storage& s, Files& p, SaveFailure* why = nullptr);

// The file a save writes: the storage file, or, when that is a link, its
// target (into `resolved`, kPathCapacity bytes), so the link stays one.
const char* StorageSaveTarget(const Storage& s, Files& p, char* resolved);

// Paths of the two image files in the data folder, into kPathCapacity bytes.
// False (and an empty text) when the data folder's path is too long for them
// and the names made from them.
bool StorageFilePath(Files& p, char* out);
bool LegacyFilePath(Files& p, char* out);
// The data folder + separator + name, the same way (kPathCapacity bytes).
bool JoinDataPath(Files& p, const char* name, char* out);

}  // namespace trelvan
