// The files service: files and folders of the PC, free disk space, and the
// two folders the program starts from (its data folder and the root of the
// file browser). Paths are native and zero-terminated; the core joins them
// with PathSeparator().
#pragma once

#include <cstdint>

namespace trelvan {

// A folder entry as the directory search returns it.
struct FolderEntry {
  char name[256];   /**< file or folder name, zero-terminated */
  uint8_t folder;   /**< 1: a folder */
  uint8_t hidden;   /**< 1: hidden or system attribute */
};

// What PathAttributes tells about a path that exists.
struct PathInfo {
  uint8_t folder;    /**< 1: a folder */
  // 1: a file that may not be written or replaced (its read-only attribute,
  // or on Linux no write permission); a folder nothing may be made in (on
  // Linux no write permission; Windows does not say, so never for a folder).
  uint8_t readOnly;
  uint64_t size;     /**< bytes of a file; 0 for a folder */
};

constexpr int kNoFile = -1;  // returned by the open calls on failure
// Files open at once. The journal keeps one open for the whole run; the
// others are open only inside one call of the core.
constexpr int kOpenFileCapacity = 64;

inline unsigned char FoldLetter(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}

// "*" and "?" over a whole name; letters as they are, or without regard to
// case (as Windows matches them) when foldCase is set.
inline bool MatchesPattern(const char* pattern, const char* name, bool foldCase) {
  const char* star = nullptr;  // the latest "*": the one place to go back to
  const char* resume = nullptr;
  while (*name) {
    const bool same = foldCase ? FoldLetter(*pattern) == FoldLetter(*name) : *pattern == *name;
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && same)) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == 0;
}

// Name order of folder listings on every system: letters compared without
// regard to case, then (for names that differ only in case) as they are.
inline int CompareEntryNames(const char* a, const char* b) {
  int asTheyAre = 0;  // the first difference of letter case decides a tie
  for (;; ++a, ++b) {
    const unsigned char la = FoldLetter(*a), lb = FoldLetter(*b);
    if (la != lb) return la < lb ? -1 : 1;
    if (!asTheyAre && *a != *b) {
      asTheyAre = static_cast<unsigned char>(*a) < static_cast<unsigned char>(*b) ? -1 : 1;
    }
    if (*a == 0) return asTheyAre;
  }
}

// Puts `entry` into out[0..*count) kept in name order, keeping the first
// `capacity` of all the entries it is given: a folder listing of any size
// leaves the same first names.
inline void KeepInNameOrder(FolderEntry* out, uint16_t* count, uint16_t capacity,
                            const FolderEntry& entry) {
  uint16_t at = *count;
  while (at > 0 && CompareEntryNames(entry.name, out[at - 1].name) < 0) --at;
  if (at >= capacity) return;
  const uint16_t last = *count < capacity ? *count : static_cast<uint16_t>(capacity - 1);
  for (uint16_t i = last; i > at; --i) out[i] = out[i - 1];
  out[at] = entry;
  if (*count < capacity) ++*count;
}

// A drive's root as a path ("E:\"; the tests' stand-in takes folders of
// any name), as long as any path the browser keeps.
constexpr int kDriveRootCapacity = 128;

// The roots of the drives whose bits are set in `mask` (bit 0 "A:\", bit 1
// "B:\", ... as the system's drive mask has them), in order, at most
// `capacity`; returns how many.
inline uint16_t DriveRoots(uint32_t mask, char (*out)[kDriveRootCapacity], uint16_t capacity) {
  uint16_t count = 0;
  for (int d = 0; d < 26 && count < capacity; ++d) {
    if (!(mask & (1u << d))) continue;
    out[count][0] = static_cast<char>('A' + d);
    out[count][1] = ':';
    out[count][2] = '\\';
    out[count][3] = 0;
    ++count;
  }
  return count;
}

// Threads: every call is made on the window's thread, except that the
// journal's writer thread calls WriteFile and FlushFile on the one handle it
// is given, while the window's thread opens, uses and closes others. The
// handle table is fixed, so neither disturbs the other.
class Files {
 public:
  virtual ~Files() = default;

  virtual char PathSeparator() const = 0;
  virtual const char* DataFolder() const = 0;  // no trailing separator
  // The program's own page files and picture collections (no trailing
  // separator); "" when it has none.
  virtual const char* ResourceFolder() const = 0;
  // Where the file browser starts when it knows no folder: "C:\" on
  // Windows, "/" on Linux. Ends in the separator.
  virtual const char* RootFolder() const = 0;
  // Where it opens when nothing is remembered: the root, or on Linux the
  // user's home folder. Ends in the separator.
  virtual const char* StartFolder() const { return RootFolder(); }
  // The drives' roots the browser offers above a root, so another drive (a
  // USB stick) can be reached; 0 where the system has one root.
  virtual uint16_t ListDrives(char (*/*out*/)[kDriveRootCapacity], uint16_t /*capacity*/) { return 0; }

  virtual int OpenRead(const char* path) = 0;   // regular files only; kNoFile on failure
  // Creates a new file; fails when anything is at `path`, a link included,
  // so a write never lands where a link planted there points.
  virtual int OpenWrite(const char* path) = 0;
  // Opens an existing regular file for writing in place, at offsets
  // (WriteFileAt), keeping its length; a link is followed, so the write
  // reaches its target and the link stays one. kNoFile on failure.
  virtual int OpenUpdate(const char* path) = 0;
  // All return the bytes moved; fewer than `count` at the end or on failure.
  virtual uint32_t ReadFile(int file, void* out, uint32_t count) = 0;
  virtual uint32_t WriteFile(int file, const void* data, uint32_t count) = 0;
  virtual uint32_t WriteFileAt(int file, uint64_t offset, const void* data, uint32_t count) = 0;
  virtual bool FlushFile(int file) = 0;  // through to the disk
  virtual bool CloseFile(int file) = 0;
  virtual bool FileSize(int file, uint32_t* size) = 0;  // false beyond 32 bits
  // Maps the file at `path`, exactly `size` bytes, copy-on-write over the
  // page-aligned memory at `at`: each page is read from the file when it is
  // first touched, and writes stay in memory, never reaching the file.
  // False, with the memory as it was, when the file has another size or the
  // system cannot map it; the caller then reads the file instead.
  virtual bool MapFileCopy(const char* /*path*/, void* /*at*/, uint32_t /*size*/) { return false; }
  // True once another program shortened a mapped file while the program
  // ran: the pages it took away now read as zero bytes, so the memory is
  // no longer what the file held.
  virtual bool MappedFileLost() { return false; }
  // Removes a file or a link (never the link's target); not a folder.
  virtual bool DeleteFile(const char* path) = 0;
  // Both move `from` itself (a link stays a link). RenameFile replaces
  // whatever is at `to`; RenameToNew fails when anything, a link included,
  // is there.
  virtual bool RenameFile(const char* from, const char* to) = 0;
  virtual bool RenameToNew(const char* from, const char* to) = 0;
  // False when nothing is at `path`.
  virtual bool PathAttributes(const char* path, PathInfo* out) = 0;
  // Gives the file `to` the permissions of the file `from` (POSIX mode bits,
  // Windows attributes), so a file written to replace another keeps them.
  virtual bool CopyAttributes(const char* from, const char* to) = 0;
  // Lists `folder`: the entries whose names match `pattern` ("*" and "?"
  // wildcards) in name order without regard to letter case, and of more than
  // `capacity` the first `capacity` of that order (KeepInNameOrder).
  virtual uint16_t ListFolder(const char* folder, const char* pattern, FolderEntry* out,
                              uint16_t capacity) = 0;
  // Free space of the data folder's disk in whole MiB; 0 when unknown.
  virtual uint32_t DiskFreeMegabytes() = 0;
  // The full path of the file a symbolic link at `path` finally leads to,
  // into `capacity` bytes; false when `path` is no link (or a dangling one).
  virtual bool LinkTarget(const char* path, char* out, uint32_t capacity) = 0;
  // Makes the folder's entries durable (a file renamed or made in it);
  // true where the system keeps them durable by itself.
  virtual bool SyncFolder(const char* folder) = 0;
};

}  // namespace trelvan
