#include "storage/storage_image.h"

#include <cstdio>
#include <cstring>

#include "storage/file_system.h"
#include "storage/journal.h"
#include "storage/storage_check.h"
#include "storage/text.h"

namespace trelvan {

namespace {

const char kStorageFileName[] = "Trelvan Assistant Storage 400";
const char kLegacyFileName[] = "Trelvan Assistant Storage";
const char kTemporarySuffix[] = ".new";
// What may be added to a storage file's path: the set-aside name at most.
constexpr size_t kLongestSuffix = sizeof ".damaged.999" - 1;
static_assert(kSetAsidePathCapacity >= kPathCapacity + kLongestSuffix, "set-aside paths fit");

}  // namespace

bool JoinDataPath(Files& p, const char* name, char* out) {
  const char* folder = p.DataFolder();
  const size_t folderLength = std::strlen(folder), nameLength = std::strlen(name);
  if (folderLength + 1 + nameLength + kLongestSuffix >= kPathCapacity) {
    out[0] = 0;
    return false;
  }
  std::memcpy(out, folder, folderLength);
  out[folderLength] = p.PathSeparator();
  std::memcpy(out + folderLength + 1, name, nameLength + 1);
  return true;
}

// ---- image files ------------------------------------------------------------

bool StorageFilePath(Files& p, char* out) { return JoinDataPath(p, kStorageFileName, out); }
bool LegacyFilePath(Files& p, char* out) { return JoinDataPath(p, kLegacyFileName, out); }

bool ReadImageFile(Storage& s, Files& p, const char* path) {
  const int f = p.OpenRead(path);
  if (f == kNoFile) return false;
  const uint32_t n = p.ReadFile(f, s.image, kImageSize);
  p.CloseFile(f);
  // A short file fills only the front; the rest is what a fresh program's
  // image holds before any load: zero bytes.
  std::memset(s.image + n, 0, kImageSize - n);
  return true;
}

const char* SaveFailureText(SaveFailure why) {
  switch (why) {
    case kSaveDone: return "it was saved";
    case kSaveKeptDamaged:
      return "the damaged file there could not be set aside, so it was not replaced";
    case kSaveReadOnly: return "the file is read-only, so it was not replaced";
    case kSaveNotCreated: return "no new file could be made in its folder";
    case kSaveNotWritten: return "writing stopped part-way; the disk may be full";
    case kSaveNotFlushed: return "the data could not be written through to the disk";
    case kSaveNotRenamed: return "the new file could not take the old one's place";
    case kSaveImageLost:
      return "another program shortened the storage file while the assistant ran, so the "
             "storage in memory is incomplete";
  }
  return "";
}

namespace {

constexpr int kTemporaryNames = 9;

// "PATH.new", else "PATH.new.2" to ".new.9": names of the save's own that
// nothing else of the folder takes. `path` fits kPathCapacity, so the
// temporary fits its buffer whole.
void TemporaryPath(const char* path, int n, char* out) {
  const size_t length = std::strlen(path);
  std::memcpy(out, path, length);
  std::memcpy(out + length, kTemporarySuffix, sizeof kTemporarySuffix);
  if (n > 1) {
    out[length + sizeof kTemporarySuffix - 1] = '.';
    out[length + sizeof kTemporarySuffix] = static_cast<char>('0' + n);
    out[length + sizeof kTemporarySuffix + 1] = 0;
  }
}
constexpr size_t kTemporaryCapacity = kPathCapacity + sizeof kTemporarySuffix + 2;

// Makes the folder that holds `path` keep a rename durably.
void SyncFolderOf(Files& p, const char* path) {
  char folder[kPathCapacity];
  CopyText(path, folder, kPathCapacity);
  char* last = std::strrchr(folder, p.PathSeparator());
  if (!last) return;
  *(last == folder ? last + 1 : last) = 0;
  p.SyncFolder(folder);
}

SaveFailure WriteThroughTemporary(const Storage& s, Files& p, const char* path) {
  PathInfo old;
  const bool replacing = p.PathAttributes(path, &old) && !old.folder;
  if (replacing && old.readOnly) return kSaveReadOnly;
  if (std::strlen(path) >= kPathCapacity) return kSaveNotCreated;
  char temporary[kTemporaryCapacity];
  int f = kNoFile;
  for (int n = 1; n <= kTemporaryNames && f == kNoFile; ++n) {
    TemporaryPath(path, n, temporary);
    // A temporary left by a cut save, or anything put there since the start,
    // goes first (a link itself, never what it points to); the new one is
    // then made only where nothing is. A folder there stays: the next name.
    p.DeleteFile(temporary);
    f = p.OpenWrite(temporary);
  }
  if (f == kNoFile) return kSaveNotCreated;
  SaveFailure failure = kSaveDone;
  const bool written = p.WriteFile(f, s.image, kImageSize) == kImageSize;
  if (p.MappedFileLost()) {
    failure = kSaveImageLost;  // the write met pages that are no longer the storage's
  } else if (!written) {
    failure = kSaveNotWritten;
  } else if (!p.FlushFile(f)) {
    failure = kSaveNotFlushed;
  }
  if (!p.CloseFile(f) && failure == kSaveDone) failure = kSaveNotWritten;
  // Whoever could read or write the old file can do so with the new one.
  if (failure == kSaveDone && replacing) p.CopyAttributes(path, temporary);
  if (failure == kSaveDone && !p.RenameFile(temporary, path)) failure = kSaveNotRenamed;
  if (failure != kSaveDone) {
    p.DeleteFile(temporary);
  } else {
    SyncFolderOf(p, path);
  }
  return failure;
}

// Reads an image file of exactly `size` bytes into the front of the image.
StorageLoadResult ReadExactly(Storage& s, Files& p, const char* path, const PathInfo& info,
                              uint32_t size) {
  if (info.folder) return kLoadUnreadable;
  if (info.size != size) return kLoadWrongSize;
  // Mapped, a start touches only the pages it reads; where the system
  // cannot map the file, it is read whole.
  if (p.MapFileCopy(path, s.image, size)) return kLoadStorageFile;
  const int f = p.OpenRead(path);
  if (f == kNoFile) return kLoadUnreadable;
  const uint32_t n = p.ReadFile(f, s.image, size);
  p.CloseFile(f);
  return n == size ? kLoadStorageFile : kLoadUnreadable;
}

}  // namespace

const char* StorageSaveTarget(const Storage& s, Files& p, char* resolved) {
  return p.LinkTarget(s.path, resolved, kPathCapacity) ? resolved : s.path;
}

bool WriteImageFile(const Storage& s, Files& p, const char* path, SaveFailure* why) {
  const SaveFailure failure = WriteThroughTemporary(s, p, path);
  if (why) *why = failure;
  return failure == kSaveDone;
}

void ConvertLegacyImage(Storage& s) {
  StorageHeader h;
  const int current = SelectHeader(s, &h);
  if (current < 0) return;
  h.freeBlocks = static_cast<uint16_t>(h.freeBlocks + kLegacyFreeBlockAddition);
  const uint16_t other = current == 0 ? kHeaderBlockB : kHeaderBlockA;
  EraseBlock(s, other);
  WriteHeaderRecord(s, other, h);
  ProgramPlainByte(s, static_cast<uint32_t>(current) * kBlockSize, 0x00);
}

void LoadStorage(Storage& s, Files& p) {
  PrepareKey(s);
  s.imageLoaded = 0;
  s.keepFile = 0;
  s.loadProblem[0] = 0;
  s.loadedFrom[0] = 0;
  s.loadResult = kLoadNoFile;
  s.saveCut = 0;

  char legacy[kPathCapacity];
  if (!StorageFilePath(p, s.path) || !LegacyFilePath(p, legacy)) {
    // Nothing of the data folder is read, and no save may write anywhere.
    s.loadResult = kLoadPathTooLong;
    s.keepFile = 1;
    EraseImage(s);
    return;
  }
  PathInfo info;
  StorageLoadResult result;
  if (p.PathAttributes(s.path, &info)) {
    CopyText(s.path, s.loadedFrom, kPathCapacity);
    result = ReadExactly(s, p, s.path, info, kImageSize);
  } else if (p.PathAttributes(legacy, &info)) {
    // The legacy file is the front of an image of the same layout; its bytes
    // keep their offsets, so their scrambling stays valid. It is never changed.
    CopyText(legacy, s.loadedFrom, kPathCapacity);
    EraseImage(s);
    result = ReadExactly(s, p, legacy, info, kLegacyImageSize);
    if (result == kLoadStorageFile) {
      ConvertLegacyImage(s);
      result = kLoadLegacyFile;
    }
  } else {
    EraseImage(s);
    return;
  }
  // A storage the file system would misread is never used, and so never
  // saved over: the start-up sets it aside and begins a new one.
  if ((result == kLoadStorageFile || result == kLoadLegacyFile) &&
      CheckStorageAtStartUp(s, s.loadProblem, sizeof s.loadProblem) != 0) {
    // A save cut while it wrote the file in place leaves blocks of both
    // storages; the journal beside it holds every new one.
    s.saveCut = result == kLoadStorageFile && InPlaceSaveWasCut(s, p);
    if (!s.saveCut) result = kLoadDamaged;
  }
  s.loadResult = result;
  if (result == kLoadStorageFile || result == kLoadLegacyFile) {
    s.loadProblem[0] = 0;
    s.imageLoaded = 1;
    return;
  }
  EraseImage(s);
}

bool RenameAside(Files& p, const char* path, char* out, size_t capacity) {
  for (int n = 1; n < 1000; ++n) {
    if (n == 1) {
      std::snprintf(out, capacity, "%s.damaged", path);
    } else {
      std::snprintf(out, capacity, "%s.damaged.%d", path, n);
    }
    // Only to a name nothing (not even a link) holds.
    PathInfo taken;
    if (p.PathAttributes(out, &taken)) continue;
    if (p.RenameToNew(path, out)) return true;
  }
  return false;
}

bool SetAsideUnusableFile(Storage& s, Files& p, char* out) {
  const bool isStorageFile = CompareText(s.loadedFrom, s.path, kPathCapacity) == 0;
  if (RenameAside(p, s.loadedFrom, out, kSetAsidePathCapacity)) return true;
  if (isStorageFile) s.keepFile = 1;
  return false;
}

bool RemoveStaleTemporary(const Storage& s, Files& p) {
  if (s.path[0] == 0) return false;
  char resolved[kPathCapacity];
  const char* target = StorageSaveTarget(s, p, resolved);
  char temporary[kTemporaryCapacity];
  bool removed = false;
  for (int n = 1; n <= kTemporaryNames; ++n) {
    TemporaryPath(target, n, temporary);
    removed = p.DeleteFile(temporary) || removed;
  }
  return removed;
}

bool SaveStorage(const Storage& s, Files& p, SaveFailure* why) {
  if (s.keepFile) {
    if (why) *why = kSaveKeptDamaged;
    return false;
  }
  char resolved[kPathCapacity];
  return WriteImageFile(s, p, StorageSaveTarget(s, p, resolved), why);
}

}  // namespace trelvan
