// The flash file system inside the storage image.
//
// Block 0 and block 1 hold alternating copies of a 16-byte header, blocks 2
// and 3 alternating copies of the file table (512 entries of start block and
// size), and the files lie back to back from block 4 in table order, each
// beginning with a FileHeader of strings (0x02, name, field 1, type, version,
// field 4, 0x03).
//
// Every change runs as the StorageStep state machine, one table entry, one
// 256-byte unit, one block erase or one block move per call. A creation only
// becomes visible with the header write that switches tables; a deletion
// writes a header after every block it moves, so an interrupted compaction
// resumes at the next start.
//
// Result codes of the changing operations:
//   0 accepted
//   1 not enough free blocks (StorageCreateFile)
//   2 more bytes than the declared size remains (StorageWriteData); none
//     of them is taken, so the write that completes the file stores only its own
//   6 busy: the machine is not idle, or an accepted creation or deletion
//     has not yet been taken up by StorageStep (StorageCreateFile,
//     StorageDeleteFile)
//   7 more than 256 bytes in one call (StorageWriteData)
//   8 busy: the machine is not waiting for data (StorageWriteData)
//   9 the file table is full: 512 files are stored (StorageCreateFile)
//  10 no file has that table index (StorageDeleteFile)
#pragma once

#include <cstdint>

#include "storage/storage.h"

namespace trelvan {

enum StorageResult : int {
  kStorageAccepted = 0,
  kStorageNoSpace = 1,
  kStorageTooMuchData = 2,
  kStorageBusy = 6,
  kStorageCountTooLarge = 7,
  kStorageNotWaiting = 8,
  kStorageTableFull = 9,
  kStorageNoSuchFile = 10,
};

constexpr uint8_t kFieldName = 0;
constexpr uint8_t kFieldExtra = 1;
constexpr uint8_t kFieldType = 2;
constexpr uint8_t kFieldVersion = 3;
constexpr uint8_t kFieldLast = 4;
constexpr uint16_t kFileHeaderMaxLength = 202;  // the longest FileHeader

struct FileTableEntry {
  uint32_t startBlock;
  uint32_t size;  /**< bytes, FileHeader included */
};

// ---- start-up -------------------------------------------------------------------
// LoadStorage, then a fresh file system state with the header loaded.
void StorageInit(Storage& s, Files& p);
// The file system state a new process has for the image in memory: staging
// reset, flags clear, state 0, the current header copy loaded (or, when no
// copy is valid, blocks 0 to 3 erased and a fresh header).
void StorageMount(Storage& s);
// Erases blocks 0 to 3 and sets up a fresh header in memory.
void FormatStorage(Storage& s);
// A whole erased image with an empty file system, read from no file: what
// the tools build storage files in.
void StartFreshStorage(Storage& s);

// ---- changes ----------------------------------------------------------------------
int StorageCreateFile(Storage& s, uint32_t size);
int StorageWriteData(Storage& s, const uint8_t* data, uint32_t count);
int StorageDeleteFile(Storage& s, uint16_t index);
// 1 while work remains that can be done now; 0 when idle or waiting for data.
int StorageStep(Storage& s);
// StorageStep until it returns 0, ending in the same image and changed
// blocks; a move's erases that its copies overwrite at once are left out.
void RunStorageToIdle(Storage& s);

// ---- reads --------------------------------------------------------------------------
// A file's FileHeader is looked for in its first 256 bytes and never beyond
// its size: a file of 0 bytes has no header and no name.
int StorageFindFile(const Storage& s, const char* name);  // index or -1
// The first file of that name at table index `first` or later; -1 when none.
int StorageFindFileFrom(const Storage& s, const char* name, uint16_t first);
// 0 when the file does not begin with 0x02; else the field's length with its
// zero byte, the field copied to `out` cut to 31 (127 for field 1, 6 for
// field 3) characters and terminated.
uint16_t StorageReadField(const Storage& s, uint16_t index, uint8_t field, char* out);
// Offset of the first data byte: after the first 0x03 of the header bytes,
// or after all of them when there is none.
uint16_t StorageHeaderLength(const Storage& s, uint16_t index);
uint32_t StorageFileStartBlock(const Storage& s, uint16_t index);
uint32_t StorageFileSize(const Storage& s, uint16_t index);
uint32_t StorageReadData(const Storage& s, uint16_t index, uint32_t offset, uint8_t* out,
                         uint32_t count);
// Writes a FileHeader (field 4 empty) into `out` (at least 202 bytes) and
// returns its length, or -1 when the strings together exceed 256 characters.
int StorageBuildHeader(uint8_t* out, const char* name, const char* extra, const char* type,
                       const char* version);

// Whether `bytes` (a file's first `count` bytes) begin with a complete
// FileHeader inside the 256 bytes readers look at: 0x02, a name of 1 to 31
// characters, field 1 of at most 127, a type of at most 31, a version of at
// most 6, field 4 of at most 31, each ended by a zero byte, then 0x03, with
// no 0x03 before it.
bool IsCompleteFileHeader(const uint8_t* bytes, uint32_t count);
// The same test; the offset of the first data byte (after the 0x03) when it
// holds, 0 when not.
uint32_t CompleteFileHeaderLength(const uint8_t* bytes, uint32_t count);

// ---- header records ---------------------------------------------------------------
// Header selection: block 0 if its copy is valid, else block 1, else -1.
int SelectHeader(const Storage& s, StorageHeader* out);
void ReadHeaderRecord(const Storage& s, uint16_t block, StorageHeader* out);
// Programs the 16 bytes at the start of `block` (which must be erased).
void WriteHeaderRecord(Storage& s, uint16_t block, const StorageHeader& h);
FileTableEntry ReadTableEntry(const Storage& s, uint16_t tableBlock, uint32_t index);
inline uint16_t CurrentTableBlock(const Storage& s) {
  return s.fs.header.activeTable == 0 ? kTableBlock0 : kTableBlock1;
}

}  // namespace trelvan
