#include "storage/resource_files.h"

#include <cstring>

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

const char kResourcePattern[] = "*.rsc";
const char kResourceExtension[] = ".rsc";

// Folder + separator + name, bounded to a path buffer.
void JoinPath(const char* folder, char separator, const char* name, char* out) {
  uint16_t n = static_cast<uint16_t>(CopyText(folder, out, kPathCapacity) - 1);
  if (n + 1 < kPathCapacity) {
    out[n++] = separator;
    out[n] = 0;
  }
  CopyText(name, out + n, static_cast<uint16_t>(kPathCapacity - n));
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Whether a file of `size` bytes can be stored once the stored file `old`
// (or -1) has been deleted.
bool WillFit(const Storage& s, int old, uint32_t size) {
  const StorageHeader& h = s.fs.header;
  uint32_t freeBlocks = h.freeBlocks;
  uint32_t files = h.fileCount;
  if (old >= 0) {
    freeBlocks += BlocksFor(StorageFileSize(s, static_cast<uint16_t>(old)));
    --files;
  }
  return static_cast<uint64_t>(freeBlocks) * kBlockSize >= size && files < kTableEntries;
}

// Copies the file's content into the creation under way, in pieces of at
// most 256 bytes (one empty piece for an empty file). False when the file
// gave fewer bytes than its size; the rest is then stored as zero bytes so
// the creation still completes.
bool CopyContent(Storage& s, Files& p, int file, uint32_t size) {
  // Read a block at a time (few system calls), stored a unit at a time. A
  // file of 0 bytes still gets its one (empty) write, which ends the creation.
  uint8_t chunk[kBlockSize];
  bool whole = true;
  uint32_t left = size;
  do {
    const uint32_t n = left < kBlockSize ? left : kBlockSize;
    const uint32_t got = whole ? p.ReadFile(file, chunk, n) : 0;
    if (got < n) {
      std::memset(chunk + got, 0, n - got);
      whole = false;
    }
    uint32_t at = 0;
    do {
      const uint32_t piece = n - at < kUnitSize ? n - at : kUnitSize;
      RunStorageToIdle(s);
      StorageWriteData(s, chunk + at, piece);
      at += piece;
    } while (at < n);
    left -= n;
  } while (left > 0);
  return whole;
}

}  // namespace

uint16_t ListFiles(Files& p, const char* pattern, FileList& list) {
  char folder[kPathCapacity];
  CopyText(pattern, folder, kPathCapacity);
  const char* namePattern = pattern;
  char* cut = nullptr;
  for (char* c = folder; *c; ++c) {
    if (*c == p.PathSeparator()) cut = c;
  }
  if (cut) {
    namePattern = pattern + (cut - folder) + 1;
    *cut = 0;
  } else {
    folder[0] = '.';
    folder[1] = 0;
  }
  return p.ListFolder(folder, namePattern, list.entries, kFileListCapacity);
}

int ImportResourceFile(Storage& s, Files& p, const char* path, const char* fileName) {
  const int file = p.OpenRead(path);
  if (file == kNoFile) return kImportNotFound;
  uint32_t size = 0;
  if (!p.FileSize(file, &size)) {
    p.CloseFile(file);
    return kImportNoSize;
  }
  RunStorageToIdle(s);

  char storageName[kPathCapacity];
  CopyText(fileName, storageName, kPathCapacity);
  const int16_t extension = FindText(storageName, kResourceExtension);
  if (extension >= 0) storageName[extension] = 0;

  // The stored file is replaced only when the new content will fit;
  // otherwise both stay as they are and the import is tried again next start.
  const int old = StorageFindFile(s, storageName);
  if (!WillFit(s, old, size)) {
    p.CloseFile(file);
    return kImportNoRoom;
  }
  if (old >= 0) {
    StorageDeleteFile(s, static_cast<uint16_t>(old));
    RunStorageToIdle(s);
  }
  RunStorageToIdle(s);
  if (StorageCreateFile(s, size) != kStorageAccepted) {
    p.CloseFile(file);
    return kImportNoRoom;
  }
  const bool whole = CopyContent(s, p, file, size);
  p.CloseFile(file);
  RunStorageToIdle(s);
  return whole ? kImportStored : kImportShortRead;
}

void ImportResourceFiles(Storage& s, Files& p, Window& window) {
  char pattern[kPathCapacity];
  JoinPath(p.DataFolder(), p.PathSeparator(), kResourcePattern, pattern);
  const uint16_t count = ListFiles(p, pattern, s.resourceList);
  for (uint16_t i = 0; i < count; ++i) {
    const char* name = s.resourceList.entries[i].name;
    if (IsDotEntry(name)) continue;
    char path[kPathCapacity];
    JoinPath(p.DataFolder(), p.PathSeparator(), name, path);
    switch (ImportResourceFile(s, p, path, name)) {
      case kImportNotFound: {
        char message[kPathCapacity + 32];
        FormatText(message, "ERROR - File %s not found", path);
        window.ShowMessageBox(message);
        return;
      }
      case kImportNoSize:
        window.ShowMessageBox("ERROR - File Size");
        return;
      case kImportStored:
        p.DeleteFile(path);
        break;
      default:  // not stored, or not read whole: stays for the next start
        break;
    }
  }
}

}  // namespace trelvan
