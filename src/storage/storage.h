// The storage mirror: a 128 MB flash-like image held scrambled with a
// 256-byte key, and the state of the small file system that lives in it.
//
// Everything lives in one Storage object owned by the Assistant; every
// operation takes it first. The image is a plain member array, so it is
// allocated exactly once, together with the Assistant.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace trelvan {

// ---- geometry ---------------------------------------------------------------
constexpr uint32_t kImageSize = 0x8000000;  // 134,217,728 bytes
constexpr uint32_t kImageMask = kImageSize - 1;
constexpr uint32_t kBlockSize = 4096;
constexpr uint32_t kBlockCount = kImageSize / kBlockSize;  // 32,768
constexpr uint32_t kUnitSize = 256;                         // one flush, one key period
constexpr uint32_t kKeySize = 256;
constexpr uint16_t kHeaderBlockA = 0;
constexpr uint16_t kHeaderBlockB = 1;
constexpr uint16_t kTableBlock0 = 2;
constexpr uint16_t kTableBlock1 = 3;
constexpr uint16_t kFirstFileBlock = 4;
constexpr uint16_t kFileBlocks = kBlockCount - kFirstFileBlock;  // 32,764
constexpr uint16_t kTableEntries = kBlockSize / 8;              // 512
constexpr uint32_t kHeaderBytes = 16;
constexpr uint32_t kFileHeaderScan = 256;  // readers look this far for a FileHeader
constexpr uint32_t kLegacyImageSize = 32768000;
constexpr uint16_t kLegacyFreeBlockAddition = 24573;  // 0x5FFD, as the handheld expects
// The image's alignment: the page size a file is mapped in on the systems
// the program runs on (a system of larger pages reads the file instead).
constexpr uint32_t kImageAlignment = 4096;
constexpr uint16_t kFileListCapacity = 100;
// A path as the system takes it: Linux's PATH_MAX; on Windows, in UTF-8, as
// long as most long paths. A longer data folder is refused, never cut.
constexpr uint16_t kPathCapacity = 4096;

// Blocks a file of `size` bytes occupies.
inline uint32_t BlocksFor(uint32_t size) {
  return size / kBlockSize + (size % kBlockSize != 0 ? 1u : 0u);
}

// The key constant: 256 printable characters. Images are readable only by a
// build with the same key.
extern const char kStorageKey[kKeySize + 1];

// ---- file system records ------------------------------------------------------

// The 16-byte header record at the start of block 0 or block 1, in memory.
struct StorageHeader {
  uint8_t validMark;        /**< 0xFF while current; 0x00 once a newer copy exists */
  uint8_t writtenMark;      /**< 0x00 in every written copy (erased reads 0xFF) */
  uint8_t activeTable;      /**< 0: the current table is block 2; 1: block 3 */
  uint8_t reserved3;        /**< carried along unchanged */
  uint16_t freeBlocks;      /**< blocks not allocated to any file */
  uint16_t fileCount;       /**< valid entries in the current table */
  uint8_t movePending;      /**< 1 while a compaction is unfinished */
  uint8_t reserved9;        /**< carried along unchanged */
  uint16_t moveNextBlock;   /**< block that receives the next moved block */
  uint16_t moveBlocksLeft;  /**< blocks still to move */
  uint16_t moveGap;         /**< distance from each source block to its destination */
};

struct StagingBuffer {
  uint8_t data[kUnitSize];  /**< 0xFF where nothing was staged */
  uint8_t count;            /**< fill count; the 256th byte wraps it to 0 */
  uint8_t full;             /**< 1: all 256 bytes staged, waiting for the flush */
  uint8_t active;           /**< 1: receives the next byte (exactly one is active) */
  uint32_t target;          /**< image offset of its 256-byte unit */
};

// The states of StorageStep (FileSystem::state). 1 and 2 are never entered.
enum StorageState : uint8_t {
  kStateStart = 0,             /**< after mounting: resume a move, or go idle */
  kStateIdle = 3,              /**< takes up a requested creation or deletion */
  kStateCreatePrepareCopy = 4,
  kStateCreateCopyEntry = 5,   /**< one table entry per step, then the new one */
  kStateCreateCopied = 6,
  kStateWaitForData = 7,       /**< StorageWriteData is accepted only here */
  kStateBlockErased = 8,
  kStateFlushFirst = 9,
  kStateFlushMore = 10,        /**< flushes on; switches tables after the last */
  kStateCreateChooseHeader = 11,
  kStateCreateWriteHeader = 12,
  kStateCreateDone = 13,
  kStateDeletePrepareCopy = 14,
  kStateDeleteCopyEntry = 15,  /**< one table entry per step, compacting */
  kStateDeleteFlipTable = 16,
  kStateMoveChooseHeader = 17, /**< a header after the copy and after each move */
  kStateMoveWriteHeader = 18,
  kStateMoveHeaderWritten = 19,
  kStateMoveNext = 20,         /**< erases the next target block, or ends */
  kStateMoveBlock = 21,
};

// Working state of the table copy (states 4/5 and 14/15).
struct TableCopy {
  uint32_t entriesToCopy;
  uint16_t sourceBlock, destinationBlock;
  uint32_t sourceIndex, destinationIndex;
  uint32_t runningStart;
  uint32_t previousBlockCount;
  uint8_t compacting;
  uint32_t lastStart, lastSize;  /**< the last copied entry (creation) */
};

// Everything of the file system that lives in memory only. A fresh process
// starts from FileSystem{}; StorageInit then loads the header.
struct FileSystem {
  StorageHeader header{};
  uint32_t deleteIndex = 0;  /**< table index being deleted */
  uint32_t newFileSize = 0;  /**< size of the file being created */
  uint8_t appendMode = 0;    /**< 1: a creation's table copy; 0: a deletion's */
  StorageState state = kStateStart;

  StagingBuffer staging[2]{};
  uint32_t flushPointer = 0;     /**< image offset of the next unit to program */
  uint32_t bytesToAccept = 0;    /**< still expected from the caller */
  int64_t bytesToFlush = 0;      /**< still to be programmed; may go below 0 */
  int32_t lastErasedBlock = -1;  /**< -1: none */

  uint8_t createRequested = 0;
  uint8_t deleteRequested = 0;
  uint8_t blockErased = 0;
  uint8_t flushRequested = 0;
  uint8_t moreToFlush = 0;
  uint8_t allFlushed = 0;
  uint8_t headerTarget = 0;  /**< 0: next header goes to block 0; 1: block 1 */
  // 1 once header block 0 or 1 was erased whole by this file system state:
  // only its record's bytes have been programmed since (see EraseHeaderBlock).
  uint8_t headerBlockClean[2] = {0, 0};

  TableCopy copy{};
};

// One name of a folder listing.
struct FileList {
  FolderEntry entries[kFileListCapacity];
};

// The resource files of the start-up's import. A file taken in stays in the
// folder until an exit save has written the storage that holds it.
struct ResourceImport {
  FileList list;       /**< the names found, in folder order */
  uint16_t count = 0;  /**< names in `list` */
  uint8_t taken[kFileListCapacity] = {};  /**< 1: its content is stored */
  // The hash of each content taken in: a file is removed only while it
  // still holds it.
  uint32_t hash[kFileListCapacity];
};

// How the start-up found the image files.
enum StorageLoadResult : uint8_t {
  kLoadNoFile = 0,   /**< neither file: an erased image */
  kLoadStorageFile,  /**< the storage file */
  kLoadLegacyFile,   /**< the legacy file, converted */
  kLoadUnreadable,   /**< `loadedFrom` is there but could not be read */
  kLoadWrongSize,    /**< `loadedFrom` has the wrong size */
  kLoadDamaged,      /**< `loadedFrom` breaks a rule of the file system */
  kLoadPathTooLong,  /**< the data folder's path leaves no room for the file names */
};

// The blocks changed since the journal last took them: the flash layer
// (flash.h and the byte operation below) marks every block it erases,
// programs or copies into.
struct ChangedBlocks {
  uint64_t bits[kBlockCount / 64];  /**< bit b: block b is in `list` */
  uint16_t list[kBlockCount];       /**< the changed blocks, in the order first changed */
  uint32_t count;
};

inline void MarkBlockChanged(ChangedBlocks& c, uint32_t block) {
  uint64_t& word = c.bits[block / 64];
  const uint64_t bit = uint64_t{1} << (block % 64);
  if (word & bit) return;
  word |= bit;
  c.list[c.count++] = static_cast<uint16_t>(block);
}

struct Storage {
  // The scrambled image. Not initialised here: LoadStorage maps, fills or
  // erases it, so an Assistant costs no 128 MB clear before its start-up.
  // Page-aligned, so the storage file can be mapped over it.
  alignas(kImageAlignment) uint8_t image[kImageSize];
  uint8_t key[kKeySize];               /**< working copy of kStorageKey */
  uint8_t erasedBlock[kBlockSize];     /**< an erased block, as stored */
  char path[kPathCapacity] = {};       /**< the storage file's path */
  uint8_t imageLoaded = 0;             /**< 1 once an image file was read */
  uint8_t loadResult = kLoadNoFile;    /**< StorageLoadResult */
  char loadedFrom[kPathCapacity] = {}; /**< the image file read, or found unusable */
  char loadProblem[kPathCapacity] = {};  /**< the first broken rule of a damaged file */
  uint8_t keepFile = 0;  /**< 1: an unusable file could not be set aside; never save over it */
  uint8_t saveCut = 0;   /**< 1: the file is one an in-place save was cut in; the journal mends it */
  FileSystem fs;
  ResourceImport resources;
  ChangedBlocks changed{};  /**< since the journal last took them */
};

// ---- the two byte operations ------------------------------------------------
// Offsets wrap within the image, so no offset from a damaged table can reach
// outside it.

inline uint8_t ReadPlainByte(const Storage& s, uint32_t offset) {
  offset &= kImageMask;
  return static_cast<uint8_t>(s.image[offset] - s.key[offset % kKeySize]);
}

// Flash programming: bits can only be cleared. Programming an erased byte
// stores the value exactly; programming 0x00 onto plain 0xFF gives 0x00.
inline void ProgramPlainByte(Storage& s, uint32_t offset, uint8_t plain) {
  offset &= kImageMask;
  const uint8_t k = s.key[offset % kKeySize];
  const uint8_t old = static_cast<uint8_t>(s.image[offset] - k);
  s.image[offset] = static_cast<uint8_t>(static_cast<uint8_t>(plain + k) & old);
  MarkBlockChanged(s.changed, offset / kBlockSize);
}

}  // namespace trelvan
