#include "storage/resource_files.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

const char kResourcePattern[] = "*.rsc";
const char kProgramResourcePattern[] = "TA *.rsc";
const char kResourceExtension[] = ".rsc";
const char kBadSuffix[] = ".bad";
constexpr uint32_t kTypeCapacity = 32;    // a type field of at most 31 characters
constexpr uint32_t kVersionCapacity = 8;  // a version field of at most 6

// Folder + separator + name, bounded to a path buffer. False when the whole
// path does not fit: a cut path would name another file.
bool JoinPath(const char* folder, char separator, const char* name, char* out) {
  const size_t folderLength = std::strlen(folder);
  const size_t nameLength = std::strlen(name);
  // The set-aside name (".bad") must fit as well.
  if (folderLength + 1 + nameLength + sizeof kBadSuffix > kPathCapacity) return false;
  std::memcpy(out, folder, folderLength);
  out[folderLength] = separator;
  std::memcpy(out + folderLength + 1, name, nameLength + 1);
  return true;
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

// Hands `count` bytes to the creation under way in pieces of at most 256.
void WritePieces(Storage& s, const uint8_t* bytes, uint32_t count) {
  for (uint32_t at = 0; at < count;) {
    const uint32_t piece = count - at < kUnitSize ? count - at : kUnitSize;
    RunStorageToIdle(s);
    StorageWriteData(s, bytes + at, piece);
    at += piece;
  }
}

// Copies the rest of the file (after the `head` bytes already read) into
// the creation under way, a block read at a time. False when the file gave
// fewer bytes than its size; the rest is then stored as zero bytes so the
// creation still completes.
bool CopyRest(Storage& s, Files& p, int file, uint32_t left, uint32_t* hash) {
  uint8_t chunk[kBlockSize];
  bool whole = true;
  while (left > 0) {
    const uint32_t n = left < kBlockSize ? left : kBlockSize;
    const uint32_t got = whole ? p.ReadFile(file, chunk, n) : 0;
    if (got < n) {
      std::memset(chunk + got, 0, n - got);
      whole = false;
    }
    *hash = ResourceHash(*hash, chunk, n);
    WritePieces(s, chunk, n);
    left -= n;
  }
  return whole;
}

// The import's one message: a line for each file left aside, as many as fit.
class Notice {
 public:
  void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char line[2 * kPathCapacity + 96];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // Room is kept for the lines Show adds.
    if (n < 0 || used_ + static_cast<uint32_t>(n) + 1 + kClosingRoom >= sizeof text_) {
      ++more_;
      return;
    }
    text_[used_++] = '\n';
    std::memcpy(text_ + used_, line, static_cast<size_t>(n) + 1);
    used_ += static_cast<uint32_t>(n);
    ++lines_;
  }
  void Waiting() { ++waiting_; }

  void Show(Window& window, const char* folder) {
    if (lines_ + more_ + waiting_ == 0) return;
    char message[sizeof text_ + kPathCapacity + 64];
    int n = std::snprintf(message, sizeof message,
                          "Some resource files in \"%s\" were not taken into the storage:%s",
                          folder, text_);
    const auto append = [&](const char* format, uint32_t count) {
      if (n >= 0 && static_cast<size_t>(n) < sizeof message) {
        n += std::snprintf(message + n, sizeof message - static_cast<size_t>(n), format, count);
      }
    };
    if (more_ > 0) append("\n... and %u more.", more_);
    if (waiting_ == 1) append("\n%u file waits until the storage has room for it.", waiting_);
    if (waiting_ > 1) append("\n%u files wait until the storage has room for them.", waiting_);
    window.ShowMessageBox(message);
  }

 private:
  static constexpr uint32_t kClosingRoom = 128;
  char text_[3072] = {};
  uint32_t used_ = 0;
  uint32_t lines_ = 0;
  uint32_t more_ = 0;
  uint32_t waiting_ = 0;
};

// The lines of `notice` for an import that did not store the file `name`.
void SayNotTaken(Notice& notice, int result, const char* name) {
  switch (result) {
    case kImportNoRoom: notice.Waiting(); break;
    case kImportTooLarge: notice.Add("\"%s\" is larger than the whole storage.", name); break;
    case kImportNoHeader: notice.Add("\"%s\" is not a resource file.", name); break;
    default: notice.Add("\"%s\" could not be read.", name); break;
  }
}

// The type and version fields of the FileHeader the file at `path` begins
// with; false when it does not begin with a complete one.
bool ReadTypeAndVersion(Files& p, const char* path, char* type, char* version) {
  uint8_t head[kFileHeaderScan];
  const int file = p.OpenRead(path);
  if (file == kNoFile) return false;
  const uint32_t n = p.ReadFile(file, head, sizeof head);
  p.CloseFile(file);
  if (!IsCompleteFileHeader(head, n)) return false;
  // The fields follow the start mark, each ended by a zero byte.
  const char* field = reinterpret_cast<const char*>(head + 1);
  for (uint8_t f = 0; f < kFieldType; ++f) field += TextLength(field) + 1;
  CopyText(field, type, kTypeCapacity);
  CopyText(field + TextLength(field) + 1, version, kVersionCapacity);
  return true;
}

// The stored name of a resource file: its file name up to ".rsc".
void StoredNameOf(const char* fileName, char* out) {
  CopyText(fileName, out, kPathCapacity);
  const int16_t extension = FindText(out, kResourceExtension);
  if (extension >= 0) out[extension] = 0;
}

}  // namespace

uint32_t ResourceHash(uint32_t hash, const uint8_t* bytes, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

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

int ImportResourceFile(Storage& s, Files& p, const char* path, const char* fileName,
                       uint32_t* hash) {
  char storageName[kPathCapacity];
  StoredNameOf(fileName, storageName);
  RunStorageToIdle(s);
  return ImportResourceFileOver(s, p, path, StorageFindFile(s, storageName), hash);
}

int ImportResourceFileOver(Storage& s, Files& p, const char* path, int replaced, uint32_t* hash) {
  const int file = p.OpenRead(path);
  if (file == kNoFile) return kImportNotFound;
  uint32_t size = 0;
  if (!p.FileSize(file, &size)) {
    p.CloseFile(file);
    return kImportNoSize;
  }
  if (size > static_cast<uint32_t>(kFileBlocks) * kBlockSize) {
    p.CloseFile(file);
    return kImportTooLarge;
  }
  // The header first: a file without one would be stored without a name.
  uint8_t head[kFileHeaderScan];
  const uint32_t headSize = size < kFileHeaderScan ? size : kFileHeaderScan;
  if (p.ReadFile(file, head, headSize) != headSize) {
    p.CloseFile(file);
    return kImportShortRead;
  }
  if (!IsCompleteFileHeader(head, headSize)) {
    p.CloseFile(file);
    return kImportNoHeader;
  }
  RunStorageToIdle(s);

  // The stored file is replaced only when the new content will fit;
  // otherwise both stay as they are and the import is tried again next start.
  const int old = replaced;
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
  uint32_t h = ResourceHash(kResourceHashStart, head, headSize);
  WritePieces(s, head, headSize);
  const bool whole = CopyRest(s, p, file, size - headSize, &h);
  p.CloseFile(file);
  RunStorageToIdle(s);
  if (hash) *hash = h;
  return whole ? kImportStored : kImportShortRead;
}

void ImportResourceFiles(Storage& s, Files& p, Window& window) {
  ResourceImport& r = s.resources;
  std::memset(r.taken, 0, sizeof r.taken);
  char pattern[kPathCapacity];
  r.count = JoinPath(p.DataFolder(), p.PathSeparator(), kResourcePattern, pattern)
                ? ListFiles(p, pattern, r.list)
                : 0;
  Notice notice;
  for (uint16_t i = 0; i < r.count; ++i) {
    const FolderEntry& entry = r.list.entries[i];
    const char* name = entry.name;
    if (IsDotEntry(name)) continue;
    char path[kPathCapacity];
    if (entry.folder) {
      notice.Add("\"%s\" is a folder.", name);
      continue;
    }
    if (!JoinPath(p.DataFolder(), p.PathSeparator(), name, path)) {
      notice.Add("\"%s\" has a name too long to be opened.", name);
      continue;
    }
    const int result = ImportResourceFile(s, p, path, name, &r.hash[i]);
    switch (result) {
      case kImportStored:
        r.taken[i] = 1;
        break;
      case kImportNoHeader: {
        char bad[kPathCapacity];  // JoinPath left room for the suffix
        const size_t n = std::strlen(path);
        std::memcpy(bad, path, n);
        std::memcpy(bad + n, kBadSuffix, sizeof kBadSuffix);
        if (p.RenameToNew(path, bad)) {
          notice.Add("\"%s\" is not a resource file; it was renamed to \"%s%s\".", name, name,
                     kBadSuffix);
        } else {
          notice.Add("\"%s\" is not a resource file.", name);
        }
        break;
      }
      default:  // no room, too large, not readable: stays for the next start
        SayNotTaken(notice, result, name);
        break;
    }
  }
  notice.Show(window, p.DataFolder());
}

void TakeProgramResourceFiles(Storage& s, Files& p, Window& window, StoredFileLoads loads) {
  const char* folder = p.ResourceFolder();
  char pattern[kPathCapacity];
  if (folder[0] == 0 || !JoinPath(folder, p.PathSeparator(), kProgramResourcePattern, pattern)) {
    return;
  }
  FileList list;
  const uint16_t count = ListFiles(p, pattern, list);
  Notice notice;
  for (uint16_t i = 0; i < count; ++i) {
    const char* name = list.entries[i].name;
    char path[kPathCapacity];
    if (list.entries[i].folder || !JoinPath(folder, p.PathSeparator(), name, path)) continue;
    char type[kTypeCapacity], version[kVersionCapacity];
    if (!ReadTypeAndVersion(p, path, type, version)) {
      SayNotTaken(notice, kImportNoHeader, name);
      continue;
    }
    char storedName[kPathCapacity];
    StoredNameOf(name, storedName);
    RunStorageToIdle(s);
    int own = -1;
    for (int k = StorageFindFile(s, storedName); k >= 0 && own < 0;
         k = StorageFindFileFrom(s, storedName, static_cast<uint16_t>(k + 1))) {
      char storedType[kTypeCapacity];
      StorageReadField(s, static_cast<uint16_t>(k), kFieldType, storedType);
      if (CompareText(storedType, type, kTypeCapacity) == 0 && loads(s, static_cast<uint16_t>(k))) own = k;
    }
    if (own >= 0) {
      char storedVersion[kVersionCapacity];
      StorageReadField(s, static_cast<uint16_t>(own), kFieldVersion, storedVersion);
      if (CompareText(storedVersion, version, kVersionCapacity) == 0) continue;
    }
    const int result = ImportResourceFileOver(s, p, path, own, nullptr);
    if (result != kImportStored) SayNotTaken(notice, result, name);
  }
  notice.Show(window, folder);
}

void RemoveImportedResourceFiles(Storage& s, Files& p) {
  ResourceImport& r = s.resources;
  uint8_t chunk[kBlockSize];
  for (uint16_t i = 0; i < r.count; ++i) {
    if (!r.taken[i]) continue;
    r.taken[i] = 0;
    char path[kPathCapacity];
    if (!JoinPath(p.DataFolder(), p.PathSeparator(), r.list.entries[i].name, path)) continue;
    const int file = p.OpenRead(path);
    if (file == kNoFile) continue;
    uint32_t hash = kResourceHashStart;
    for (;;) {
      const uint32_t n = p.ReadFile(file, chunk, sizeof chunk);
      hash = ResourceHash(hash, chunk, n);
      if (n < sizeof chunk) break;
    }
    p.CloseFile(file);
    if (hash == r.hash[i]) p.DeleteFile(path);
  }
}

}  // namespace trelvan
