#include "storage/file_system.h"

#include <cstring>
#include <initializer_list>

#include "storage/bytes.h"
#include "storage/storage_image.h"
#include "storage/text.h"

namespace trelvan {

namespace {

const uint16_t kFieldLimits[kFieldLast + 1] = {31, 127, 31, 6, 31};

constexpr uint8_t kStartMark = 0x02;
constexpr uint8_t kEndMark = 0x03;

inline uint32_t BlockOffset(uint32_t block) { return block * kBlockSize; }

void EncodeHeader(const StorageHeader& h, uint8_t* out) {
  out[0] = h.validMark;
  out[1] = h.writtenMark;
  out[2] = h.activeTable;
  out[3] = h.reserved3;
  WriteU16LE(out + 4, h.freeBlocks);
  WriteU16LE(out + 6, h.fileCount);
  out[8] = h.movePending;
  out[9] = h.reserved9;
  WriteU16LE(out + 10, h.moveNextBlock);
  WriteU16LE(out + 12, h.moveBlocksLeft);
  WriteU16LE(out + 14, h.moveGap);
}

void DecodeHeader(const uint8_t* in, StorageHeader* h) {
  h->validMark = in[0];
  h->writtenMark = in[1];
  h->activeTable = in[2];
  h->reserved3 = in[3];
  h->freeBlocks = ReadU16LE(in + 4);
  h->fileCount = ReadU16LE(in + 6);
  h->movePending = in[8];
  h->reserved9 = in[9];
  h->moveNextBlock = ReadU16LE(in + 10);
  h->moveBlocksLeft = ReadU16LE(in + 12);
  h->moveGap = ReadU16LE(in + 14);
}

StorageHeader FreshHeader() {
  StorageHeader h{};
  h.validMark = 0xFF;
  h.writtenMark = 0x00;
  h.freeBlocks = kFileBlocks;
  return h;
}

void LoadHeader(Storage& s) {
  StorageHeader h;
  if (SelectHeader(s, &h) >= 0) {
    s.fs.header = h;
    s.fs.state = kStateStart;
  } else {
    s.fs.header = FreshHeader();
  }
}

void ResetStagingBuffer(StagingBuffer& b) {
  std::memset(b.data, 0xFF, sizeof b.data);
  b.count = 0;
  b.full = 0;
}

void ResetStaging(FileSystem& fs) {
  for (StagingBuffer& b : fs.staging) {
    ResetStagingBuffer(b);
    b.target = 0;
    b.active = 0;
  }
  fs.staging[0].active = 1;
}

void ClearRequests(FileSystem& fs) {
  fs.createRequested = fs.deleteRequested = fs.blockErased = 0;
  fs.flushRequested = fs.moreToFlush = fs.allFlushed = 0;
  fs.headerTarget = 0;
}

void WriteTableEntry(Storage& s, uint16_t tableBlock, uint32_t index, const FileTableEntry& e) {
  uint8_t bytes[8];
  WriteU32LE(bytes, e.startBlock);
  WriteU32LE(bytes + 4, e.size);
  ProgramPlain(s, BlockOffset(tableBlock) + index * 8, bytes, sizeof bytes);
}

uint16_t InactiveTableBlock(const Storage& s) {
  return s.fs.header.activeTable == 0 ? kTableBlock1 : kTableBlock0;
}

void FlipActiveTable(FileSystem& fs) { fs.header.activeTable = fs.header.activeTable == 0 ? 1 : 0; }

// Start block of a file appended behind the current table's last entry.
uint32_t NextStartBlock(const Storage& s) {
  const uint16_t count = s.fs.header.fileCount;
  if (count == 0) return kFirstFileBlock;
  const FileTableEntry last = ReadTableEntry(s, CurrentTableBlock(s), count - 1u);
  return last.startBlock + BlocksFor(last.size);
}

// ---- state machine actions ---------------------------------------------------

void PrepareTableCopy(Storage& s) {
  TableCopy& c = s.fs.copy;
  c = TableCopy{};
  c.entriesToCopy = s.fs.header.fileCount;
  c.sourceBlock = CurrentTableBlock(s);
  c.destinationBlock = InactiveTableBlock(s);
}

// Creation: copies one entry unchanged, or appends the new file's entry.
bool CopyEntryAppending(Storage& s) {
  TableCopy& c = s.fs.copy;
  if (c.entriesToCopy > 0) {
    const FileTableEntry e = ReadTableEntry(s, c.sourceBlock, c.sourceIndex);
    WriteTableEntry(s, c.destinationBlock, c.destinationIndex, e);
    c.lastStart = e.startBlock;
    c.lastSize = e.size;
    ++c.sourceIndex;
    ++c.destinationIndex;
    --c.entriesToCopy;
    return false;
  }
  FileTableEntry added;
  added.startBlock = s.fs.header.fileCount == 0
                         ? kFirstFileBlock
                         : static_cast<uint16_t>(c.lastStart + BlocksFor(c.lastSize));
  added.size = s.fs.newFileSize;
  WriteTableEntry(s, c.destinationBlock, c.destinationIndex, added);
  s.fs.header.fileCount = static_cast<uint16_t>(s.fs.header.fileCount + 1);
  return true;
}

// Deletion: skips the deleted entry and pulls every later one down behind
// its predecessor.
bool CopyEntryCompacting(Storage& s) {
  TableCopy& c = s.fs.copy;
  if (c.entriesToCopy == 0) return true;
  const FileTableEntry e = ReadTableEntry(s, c.sourceBlock, c.sourceIndex);
  if (c.compacting) {
    c.runningStart += c.previousBlockCount;
    c.previousBlockCount = BlocksFor(e.size);
  } else {
    c.runningStart = e.startBlock;
  }
  if (c.sourceIndex == s.fs.deleteIndex) {
    c.previousBlockCount = 0;
    c.compacting = 1;
    c.runningStart = e.startBlock;
    ++c.sourceIndex;
    return false;
  }
  WriteTableEntry(s, c.destinationBlock, c.destinationIndex, {c.runningStart, e.size});
  ++c.sourceIndex;
  ++c.destinationIndex;
  --c.entriesToCopy;
  return false;
}

// Header blocks only ever have their record's bytes programmed (the record,
// and byte 0 when a newer copy takes over). Once a block was erased whole,
// erasing those bytes again leaves it as a whole erase would, at a 256th of
// the cost: a deletion writes a header after every block it moves, so this
// keeps the moves near memmove speed.
void EraseHeaderBlock(Storage& s, uint16_t block) {
  uint8_t& clean = s.fs.headerBlockClean[block == kHeaderBlockA ? 0 : 1];
  if (clean) {
    EraseBlockFront(s, block, kHeaderBytes);
  } else {
    EraseBlock(s, block);
    clean = 1;
  }
}

void ChooseHeaderTarget(Storage& s) {
  switch (SelectHeader(s, nullptr)) {
    case 0:
      EraseHeaderBlock(s, kHeaderBlockB);
      s.fs.headerTarget = 1;
      break;
    case 1:
      EraseHeaderBlock(s, kHeaderBlockA);
      s.fs.headerTarget = 0;
      break;
    default:
      break;  // no current copy: erase nothing, keep the target
  }
}

// The new copy becomes current and the old one invalid.
void WriteHeader(Storage& s) {
  const uint16_t target = s.fs.headerTarget ? kHeaderBlockB : kHeaderBlockA;
  const uint16_t other = s.fs.headerTarget ? kHeaderBlockA : kHeaderBlockB;
  WriteHeaderRecord(s, target, s.fs.header);
  ProgramPlainByte(s, BlockOffset(other), 0x00);
}

void FlushOneBuffer(Storage& s) {
  FileSystem& fs = s.fs;
  StagingBuffer* b = fs.staging[0].full   ? &fs.staging[0]
                     : fs.staging[1].full ? &fs.staging[1]
                     : fs.staging[0].active ? &fs.staging[0]
                                            : &fs.staging[1];
  // A file of 0 bytes has no unit to program: its start may lie one past the
  // image's last block, which the offset wrap would turn into the header.
  if (fs.bytesToFlush > 0) {
    // A final piece that completes one unit and starts another can carry the
    // flush into a block no StorageWriteData call has erased yet.
    const int32_t block = static_cast<int32_t>((b->target & kImageMask) / kBlockSize);
    if (block != fs.lastErasedBlock) {
      EraseBlock(s, static_cast<uint16_t>(block));
      fs.lastErasedBlock = block;
    }
    ProgramPlain(s, b->target, b->data, kUnitSize);
  }
  b->full = 0;
  fs.flushPointer += kUnitSize;
  fs.bytesToFlush -= kUnitSize;
  if (fs.bytesToAccept != 0) return;
  if (fs.bytesToFlush > 0) {
    fs.moreToFlush = 1;
  } else {
    fs.allFlushed = 1;
  }
}

void MoveOneBlock(Storage& s) {
  StorageHeader& h = s.fs.header;
  // The destination was erased by the step before (state 20), or the erase
  // was left out there because this copy followed at once.
  CopyBlock(s, static_cast<uint16_t>(h.moveNextBlock % kBlockCount),
            static_cast<uint16_t>((h.moveNextBlock + h.moveGap) % kBlockCount));
  ++h.moveNextBlock;
  --h.moveBlocksLeft;
  if (h.moveBlocksLeft == 0) h.movePending = 0;
}

// The bytes of a file that may hold its FileHeader: the first 256, never
// beyond its size. A file of 0 bytes has none: its start block is the next
// file's, whose header is not its own.
uint32_t ReadHead(const Storage& s, uint16_t index, uint8_t* head) {
  const FileTableEntry e = ReadTableEntry(s, CurrentTableBlock(s), index);
  const uint32_t n = e.size < kFileHeaderScan ? e.size : kFileHeaderScan;
  ReadPlain(s, BlockOffset(e.startBlock), head, n);
  return n;
}

// Field scan of a file's head; `complete` tells whether the field ended
// inside it (and was copied).
uint16_t ScanField(const Storage& s, uint16_t index, uint8_t field, char* out, bool* complete) {
  *complete = false;
  uint8_t head[kFileHeaderScan];
  const uint32_t n = ReadHead(s, index, head);
  if (n == 0 || head[0] != kStartMark) return 0;
  uint32_t fieldNumber = 0;
  uint32_t begin = 1;
  for (uint32_t i = 1; i < n; ++i) {
    if (head[i] != 0) continue;
    if (fieldNumber == field) {
      const uint32_t length = i - begin;
      const uint32_t limit = field <= kFieldLast ? kFieldLimits[field] : 31;
      const uint32_t copied = length < limit ? length : limit;
      std::memcpy(out, head + begin, copied);
      out[copied] = 0;
      *complete = true;
      return static_cast<uint16_t>(length + 1);
    }
    ++fieldNumber;
    begin = i + 1;
  }
  return static_cast<uint16_t>(n - begin);
}

}  // namespace

// ---- header records -------------------------------------------------------------

void ReadHeaderRecord(const Storage& s, uint16_t block, StorageHeader* out) {
  uint8_t bytes[kHeaderBytes];
  ReadPlain(s, BlockOffset(block), bytes, sizeof bytes);
  DecodeHeader(bytes, out);
}

void WriteHeaderRecord(Storage& s, uint16_t block, const StorageHeader& h) {
  uint8_t bytes[kHeaderBytes];
  EncodeHeader(h, bytes);
  ProgramPlain(s, BlockOffset(block), bytes, sizeof bytes);
}

int SelectHeader(const Storage& s, StorageHeader* out) {
  for (uint16_t block : {kHeaderBlockA, kHeaderBlockB}) {
    StorageHeader h;
    ReadHeaderRecord(s, block, &h);
    if (h.validMark == 0xFF && h.writtenMark == 0x00) {
      if (out) *out = h;
      return block;
    }
  }
  return -1;
}

FileTableEntry ReadTableEntry(const Storage& s, uint16_t tableBlock, uint32_t index) {
  uint8_t bytes[8];
  ReadPlain(s, BlockOffset(tableBlock) + index * 8, bytes, sizeof bytes);
  return {ReadU32LE(bytes), ReadU32LE(bytes + 4)};
}

// ---- start-up -------------------------------------------------------------------

void StorageMount(Storage& s) {
  s.fs = FileSystem{};
  ResetStaging(s.fs);
  // Without a valid header copy the storage counts as empty; its bookkeeping
  // blocks may still hold old bytes (a damaged file, a legacy file without a
  // header), and a header or table programmed over them would not read back.
  if (SelectHeader(s, nullptr) < 0) {
    for (uint16_t b = kHeaderBlockA; b <= kTableBlock1; ++b) EraseBlock(s, b);
    s.fs.headerBlockClean[0] = s.fs.headerBlockClean[1] = 1;
  }
  LoadHeader(s);
  ClearRequests(s.fs);
}

void StorageInit(Storage& s, Files& p) {
  LoadStorage(s, p);
  // A file left by a cut in-place save is mounted once the journal's replay
  // has mended it: a mount now could erase its bookkeeping blocks.
  if (!s.saveCut) StorageMount(s);
}

void FormatStorage(Storage& s) {
  for (uint16_t b = kHeaderBlockA; b <= kTableBlock1; ++b) EraseBlock(s, b);
  s.fs.headerBlockClean[0] = s.fs.headerBlockClean[1] = 1;
  LoadHeader(s);
}

// ---- changes --------------------------------------------------------------------

// Idle and no accepted request still waiting for its first step: a second
// request in between would overwrite the first one's working fields.
static bool ReadyForRequest(const FileSystem& fs) {
  return fs.state == kStateIdle && !fs.createRequested && !fs.deleteRequested;
}

int StorageCreateFile(Storage& s, uint32_t size) {
  FileSystem& fs = s.fs;
  if (!ReadyForRequest(fs)) return kStorageBusy;
  if (static_cast<uint64_t>(fs.header.freeBlocks) * kBlockSize < size) return kStorageNoSpace;
  if (fs.header.fileCount >= kTableEntries) return kStorageTableFull;
  ResetStaging(fs);
  fs.header.freeBlocks = static_cast<uint16_t>(fs.header.freeBlocks - BlocksFor(size));
  fs.flushPointer = NextStartBlock(s) * kBlockSize;
  fs.staging[0].target = fs.flushPointer;
  fs.bytesToFlush = size;
  fs.bytesToAccept = size;
  fs.newFileSize = size;
  fs.deleteIndex = 0;
  fs.appendMode = 1;
  fs.lastErasedBlock = -1;
  fs.createRequested = 1;
  return kStorageAccepted;
}

int StorageWriteData(Storage& s, const uint8_t* data, uint32_t count) {
  FileSystem& fs = s.fs;
  if (count > kUnitSize) return kStorageCountTooLarge;
  if (fs.state != kStateWaitForData) return kStorageNotWaiting;
  // A refused write changes nothing: bytes staged past the file's size would
  // be stored by the write that completes it.
  if (count > fs.bytesToAccept) return kStorageTooMuchData;
  for (uint32_t i = 0; i < count; ++i) {
    StagingBuffer& b = fs.staging[0].active ? fs.staging[0] : fs.staging[1];
    StagingBuffer& other = &b == &fs.staging[0] ? fs.staging[1] : fs.staging[0];
    b.data[b.count] = data[i];
    b.count = static_cast<uint8_t>(b.count + 1);
    if (b.count == 0) {  // the 256th byte
      b.full = 1;
      ResetStagingBuffer(other);
      other.target = b.target + kUnitSize;
      b.active = 0;
      other.active = 1;
    }
  }
  fs.bytesToAccept -= count;
  const bool flushNow = fs.bytesToAccept == 0 || fs.staging[0].full || fs.staging[1].full;
  const int32_t block = static_cast<int32_t>((fs.flushPointer & kImageMask) / kBlockSize);
  if (fs.bytesToFlush > 0 && block != fs.lastErasedBlock) {  // 0 bytes: no block to erase
    EraseBlock(s, static_cast<uint16_t>(block));
    fs.blockErased = 1;
    fs.lastErasedBlock = block;
  }
  if (flushNow) fs.flushRequested = 1;
  return kStorageAccepted;
}

int StorageDeleteFile(Storage& s, uint16_t index) {
  FileSystem& fs = s.fs;
  StorageHeader& h = fs.header;
  if (!ReadyForRequest(fs)) return kStorageBusy;
  if (index >= h.fileCount) return kStorageNoSuchFile;
  const uint16_t table = CurrentTableBlock(s);
  const FileTableEntry deleted = ReadTableEntry(s, table, index);
  const uint32_t n = BlocksFor(deleted.size);
  const int last = static_cast<int>(h.fileCount) - 1;
  const uint32_t gap = index + 1 <= last ? n : 0;
  uint16_t after = 0;
  for (int i = index + 1; i <= last; ++i) {
    after = static_cast<uint16_t>(after + BlocksFor(ReadTableEntry(s, table, static_cast<uint32_t>(i)).size));
  }
  h.moveNextBlock = static_cast<uint16_t>(deleted.startBlock);
  h.movePending = after != 0 ? 1 : 0;
  h.freeBlocks = static_cast<uint16_t>(h.freeBlocks + n);
  h.fileCount = static_cast<uint16_t>(h.fileCount - 1);
  h.moveGap = static_cast<uint16_t>(gap);
  h.moveBlocksLeft = after;
  fs.deleteIndex = index;
  fs.newFileSize = 0;
  fs.appendMode = 0;
  ChooseHeaderTarget(s);
  fs.deleteRequested = 1;
  return kStorageAccepted;
}

namespace {

// One step of the machine. `nextFollows`: the caller takes the next step at
// once, with nothing reading the image in between (RunStorageToIdle).
int Step(Storage& s, bool nextFollows) {
  FileSystem& fs = s.fs;
  switch (fs.state) {
    case kStateStart:
      fs.state = fs.header.movePending == 1 ? kStateMoveNext : kStateIdle;
      return 1;
    case kStateIdle:
      if (fs.createRequested) {
        fs.createRequested = 0;
        EraseBlock(s, InactiveTableBlock(s));
        fs.state = kStateCreatePrepareCopy;
        return 1;
      }
      if (fs.deleteRequested) {
        fs.deleteRequested = 0;
        EraseBlock(s, InactiveTableBlock(s));
        fs.state = kStateDeletePrepareCopy;
        return 1;
      }
      return 0;
    case kStateCreatePrepareCopy:
      PrepareTableCopy(s);
      fs.state = kStateCreateCopyEntry;
      return 1;
    case kStateCreateCopyEntry:
      if (CopyEntryAppending(s)) fs.state = kStateCreateCopied;
      return 1;
    case kStateCreateCopied:
      fs.state = kStateWaitForData;
      return 0;
    case kStateWaitForData:
      if (fs.blockErased) {
        fs.blockErased = 0;
        fs.state = kStateBlockErased;
        return 1;
      }
      if (fs.flushRequested) {
        fs.flushRequested = 0;
        fs.state = kStateFlushFirst;
        return 1;
      }
      return 0;
    case kStateBlockErased:
      if (fs.flushRequested) {
        fs.flushRequested = 0;
        fs.state = kStateFlushFirst;
        return 1;
      }
      fs.state = kStateWaitForData;
      return 0;
    case kStateFlushFirst:
      FlushOneBuffer(s);
      fs.state = kStateFlushMore;
      return 1;
    case kStateFlushMore:
      if (fs.moreToFlush) {
        fs.moreToFlush = 0;
        FlushOneBuffer(s);
      } else if (fs.allFlushed) {
        fs.allFlushed = 0;
        FlipActiveTable(fs);
        fs.state = kStateCreateChooseHeader;
      } else {
        fs.state = kStateWaitForData;
      }
      return 1;
    case kStateCreateChooseHeader:
      ChooseHeaderTarget(s);
      fs.state = kStateCreateWriteHeader;
      return 1;
    case kStateCreateWriteHeader:
      WriteHeader(s);
      fs.state = kStateCreateDone;
      return 1;
    case kStateCreateDone:
      fs.state = kStateIdle;
      return 0;
    case kStateDeletePrepareCopy:
      PrepareTableCopy(s);
      fs.state = kStateDeleteCopyEntry;
      return 1;
    case kStateDeleteCopyEntry:
      if (CopyEntryCompacting(s)) fs.state = kStateDeleteFlipTable;
      return 1;
    case kStateDeleteFlipTable:
      FlipActiveTable(fs);
      fs.state = kStateMoveChooseHeader;
      return 1;
    case kStateMoveChooseHeader:
      ChooseHeaderTarget(s);
      fs.state = kStateMoveWriteHeader;
      return 1;
    case kStateMoveWriteHeader:
      WriteHeader(s);
      fs.state = kStateMoveHeaderWritten;
      return 1;
    case kStateMoveHeaderWritten:
      fs.state = kStateMoveNext;
      return 1;
    case kStateMoveNext:
      if (fs.header.moveGap != 0 && fs.header.moveBlocksLeft != 0) {
        // The next step copies a whole block from elsewhere over this one
        // (a gap of the whole image would copy it onto itself). When that
        // step follows at once, nothing can read the erased block in
        // between: the erase would only be overwritten, so it is left out
        // (the copy marks the block changed as the erase would have).
        if (!nextFollows || fs.header.moveGap % kBlockCount == 0) {
          EraseBlock(s, fs.header.moveNextBlock);
        }
        fs.state = kStateMoveBlock;
        return 1;
      }
      fs.state = kStateIdle;
      return 0;
    case kStateMoveBlock:
      MoveOneBlock(s);
      fs.state = kStateMoveChooseHeader;
      return 1;
    default:  // states 1 and 2 are never entered
      return 0;
  }
}

}  // namespace

int StorageStep(Storage& s) { return Step(s, false); }

void RunStorageToIdle(Storage& s) {
  while (Step(s, true) != 0) {
  }
}

void StartFreshStorage(Storage& s) {
  PrepareKey(s);
  EraseImage(s);
  StorageMount(s);
  FormatStorage(s);
  RunStorageToIdle(s);
}

// ---- reads ----------------------------------------------------------------------

uint32_t StorageFileStartBlock(const Storage& s, uint16_t index) {
  return ReadTableEntry(s, CurrentTableBlock(s), index).startBlock;
}

uint32_t StorageFileSize(const Storage& s, uint16_t index) {
  return ReadTableEntry(s, CurrentTableBlock(s), index).size;
}

uint32_t StorageReadData(const Storage& s, uint16_t index, uint32_t offset, uint8_t* out,
                         uint32_t count) {
  ReadPlain(s, BlockOffset(StorageFileStartBlock(s, index)) + offset, out, count);
  return count;
}

uint16_t StorageReadField(const Storage& s, uint16_t index, uint8_t field, char* out) {
  bool complete;
  return ScanField(s, index, field, out, &complete);
}

uint16_t StorageHeaderLength(const Storage& s, uint16_t index) {
  uint8_t head[kFileHeaderScan];
  const uint32_t n = ReadHead(s, index, head);
  for (uint16_t i = 0; i < n; ++i) {
    if (head[i] == kEndMark) return static_cast<uint16_t>(i + 1);
  }
  return static_cast<uint16_t>(n);  // no end mark: the data begin after the bytes looked at
}

int StorageFindFile(const Storage& s, const char* name) { return StorageFindFileFrom(s, name, 0); }

int StorageFindFileFrom(const Storage& s, const char* name, uint16_t first) {
  char field[32];
  for (uint16_t i = first; i < s.fs.header.fileCount; ++i) {
    bool complete;
    ScanField(s, i, kFieldName, field, &complete);
    if (complete && CompareText(field, name, 32) == 0) return i;
  }
  return -1;
}

bool IsCompleteFileHeader(const uint8_t* bytes, uint32_t count) {
  return CompleteFileHeaderLength(bytes, count) != 0;
}

uint32_t CompleteFileHeaderLength(const uint8_t* bytes, uint32_t count) {
  const uint32_t n = count < kFileHeaderScan ? count : kFileHeaderScan;
  if (n == 0 || bytes[0] != kStartMark) return 0;
  uint32_t at = 1;
  for (uint8_t field = 0; field <= kFieldLast; ++field) {
    const uint32_t begin = at;
    while (at < n && bytes[at] != 0) {
      if (bytes[at] == kEndMark) return 0;  // the data would seem to begin here
      ++at;
    }
    const uint32_t length = at - begin;
    if (at == n || length > kFieldLimits[field] || (field == kFieldName && length == 0)) {
      return 0;
    }
    ++at;  // the zero byte
  }
  return at < n && bytes[at] == kEndMark ? at + 1 : 0;
}

int StorageBuildHeader(uint8_t* out, const char* name, const char* extra, const char* type,
                       const char* version) {
  const uint32_t total = static_cast<uint32_t>(TextLength(name)) + TextLength(extra) +
                         TextLength(type) + TextLength(version);  // field 4 adds nothing
  if (total > 256) return -1;
  char* text = reinterpret_cast<char*>(out);
  uint16_t n = 0;
  out[n++] = kStartMark;
  n = static_cast<uint16_t>(n + CopyText(name, text + n, kFieldLimits[0] + 1));
  n = static_cast<uint16_t>(n + CopyText(extra, text + n, kFieldLimits[1] + 1));
  n = static_cast<uint16_t>(n + CopyText(type, text + n, kFieldLimits[2] + 1));
  n = static_cast<uint16_t>(n + CopyText(version, text + n, kFieldLimits[3] + 1));
  out[n++] = 0;  // field 4, empty
  out[n++] = kEndMark;
  return n;
}

}  // namespace trelvan
