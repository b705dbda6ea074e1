#include "storage/journal.h"

#include <cstdio>
#include <cstring>

#include "storage/file_system.h"
#include "storage/storage_image.h"
#include "storage/text.h"

namespace trelvan {

namespace {

const char kJournalSuffix[] = ".journal";
constexpr uint32_t kReadPiece = 1u << 20;

// What ReadJournal found, and where the last whole commit ends.
struct JournalRead {
  bool opened = false;
  bool headerRead = false;
  JournalHeader header;
  uint32_t commits = 0;
  uint64_t lastStamp = 0;
  uint64_t committedEnd = 0;  /**< file offset after the last whole commit */
  uint64_t size = 0;          /**< bytes read in all */
  bool belongs = false;       /**< its base is the storage loaded: its commits were applied */
  bool saveBegun = false;     /**< a save record follows the last commit */
  JournalSaveMark save;
};

// Reads the journal at `path` through `buffer`. When its base is the storage
// loaded (the file of `loadedStamp`, or an erased image while none was
// read), each whole commit's blocks go into the image as soon as its commit
// record is read: one pass.
// Records are read in pieces; the blocks of the commit under way stay in
// the buffer until its commit arrives (a commit is at most
// kJournalMaxCommitBlocks, which the ring's memory holds).
// Each of blocks 0 to 3 of `image` is the one before the save or the one
// after it, as the save record names them.
bool SaveMarkFits(const JournalSaveMark& mark, const uint8_t* image) {
  for (uint32_t b = 0; b < kJournalStampBlocks; ++b) {
    const uint64_t h = JournalBlockHash(image + b * kBlockSize);
    if (h != mark.before[b] && h != mark.after[b]) return false;
  }
  return true;
}

JournalRead ReadJournal(Storage& s, Files& p, const char* path, uint8_t* buffer, size_t capacity,
                        bool fromFile, uint64_t loadedStamp, bool saveCut, ChangedBlocks& applied) {
  JournalRead r;
  const int f = p.OpenRead(path);
  if (f == kNoFile) return r;
  r.opened = true;
  uint8_t head[kJournalHeaderSize];
  const uint32_t headBytes = p.ReadFile(f, head, sizeof head);
  r.size = headBytes;
  r.committedEnd = headBytes;
  if (!DecodeJournalHeader(head, headBytes, &r.header)) {
    // A journal cut while its header was written holds nothing.
    r.size += p.ReadFile(f, buffer, static_cast<uint32_t>(capacity));
    p.CloseFile(f);
    return r;
  }
  r.headerRead = true;
  r.belongs = r.header.base == kJournalBaseFile
                  ? fromFile && (r.header.stamp == loadedStamp || saveCut)
                  : !s.imageLoaded;
  const bool apply = r.belongs;
  size_t fill = 0, at = 0, pending = 0;  // buffer: [pending, at) waits for its commit
  uint32_t pendingBlocks = 0;
  uint64_t bufferStart = kJournalHeaderSize;  // file offset of buffer[0]
  bool end = false;
  for (;;) {
    JournalRecord record;
    const JournalDecode d =
        DecodeJournalRecord(buffer + at, fill - at, kBlockCount, &record);
    if (d == JournalDecode::kDamaged) break;
    if (d == JournalDecode::kShort) {
      if (end) break;
      if (pending > 0) {  // keep only what still waits for its commit
        std::memmove(buffer, buffer + pending, fill - pending);
        bufferStart += pending;
        fill -= pending;
        at -= pending;
        pending = 0;
      }
      if (fill == capacity) break;  // a commit larger than any the writer makes
      const size_t room = capacity - fill;
      const uint32_t n =
          p.ReadFile(f, buffer + fill, static_cast<uint32_t>(room < kReadPiece ? room : kReadPiece));
      r.size += n;
      fill += n;
      end = n == 0;
      continue;
    }
    at += record.size;
    if (record.kind == JournalRecord::kBlock) {
      ++pendingBlocks;
      continue;
    }
    if (record.kind == JournalRecord::kSave) {
      if (record.save.sequence != r.commits || pendingBlocks != 0 || r.saveBegun) break;
      r.saveBegun = true;
      r.save = record.save;
      pending = at;
      r.committedEnd = bufferStart + at;
      continue;
    }
    if (r.saveBegun) break;  // nothing is appended after a save record
    if (record.sequence != r.commits + 1 || record.blocks != pendingBlocks) break;
    if (apply) {
      // The block records were checked as they were read: only copied here.
      for (size_t b = pending; b + kJournalBlockRecordSize <= at; b += kJournalBlockRecordSize) {
        const uint32_t block = BlockRecordNumber(buffer + b);
        std::memcpy(s.image + static_cast<size_t>(block) * kBlockSize,
                    buffer + b + kJournalBlockHeaderSize, kBlockSize);
        MarkBlockChanged(applied, block);
      }
    }
    ++r.commits;
    r.lastStamp = record.stamp;
    pending = at;
    pendingBlocks = 0;
    r.committedEnd = bufferStart + at;
  }
  // Count what lies beyond the point the reading stopped at.
  while (!end) {
    const uint32_t n = p.ReadFile(f, buffer, static_cast<uint32_t>(capacity < kReadPiece ? capacity : kReadPiece));
    r.size += n;
    end = n == 0;
  }
  p.CloseFile(f);
  return r;
}

}  // namespace

bool InPlaceSaveWasCut(const Storage& s, Files& p) {
  char path[kJournalPathCapacity];
  if (!JournalFilePath(s, path)) return false;
  const int f = p.OpenRead(path);
  if (f == kNoFile) return false;
  // The header, then the file's last kJournalSaveSize bytes, kept in `tail`.
  uint8_t piece[16384], tail[2 * kJournalSaveSize];
  uint32_t kept = 0;
  JournalHeader header;
  bool headerRead = false;
  for (uint32_t n; (n = p.ReadFile(f, piece, sizeof piece)) > 0;) {
    if (!headerRead) headerRead = DecodeJournalHeader(piece, n, &header);
    const uint32_t take = n < kJournalSaveSize ? n : kJournalSaveSize;
    if (kept + take > sizeof tail) {
      std::memmove(tail, tail + kept - (kJournalSaveSize - take), kJournalSaveSize - take);
      kept = kJournalSaveSize - take;
    }
    std::memcpy(tail + kept, piece + n - take, take);
    kept += take;
  }
  p.CloseFile(f);
  JournalRecord mark;
  return headerRead && header.base == kJournalBaseFile && kept >= kJournalSaveSize &&
         DecodeJournalRecord(tail + kept - kJournalSaveSize, kJournalSaveSize, kBlockCount, &mark) ==
             JournalDecode::kRecord &&
         mark.kind == JournalRecord::kSave && SaveMarkFits(mark.save, s.image);
}

void ForgetMarks(ChangedBlocks& c) {
  for (uint32_t i = 0; i < c.count; ++i) c.bits[c.list[i] / 64] = 0;
  c.count = 0;
}

Journal::~Journal() {
  if (writer.thread != kNoThread) StopJournalWriter(writer);
}

bool JournalFilePath(const Storage& s, char* out) {
  const size_t n = std::strlen(s.path);
  if (n == 0 || n + sizeof kJournalSuffix > kJournalPathCapacity) {
    out[0] = 0;
    return false;
  }
  std::memcpy(out, s.path, n);
  std::memcpy(out + n, kJournalSuffix, sizeof kJournalSuffix);
  return true;
}

namespace {

JournalRecovery Replay(Storage& s, Journal& j, Files& p) {
  JournalRecovery result;
  if (!JournalFilePath(s, j.path)) return result;
  PathInfo info;
  if (!p.PathAttributes(j.path, &info) || info.folder) return result;
  ForgetMarks(j.unsaved);
  uint8_t* buffer = reinterpret_cast<uint8_t*>(j.writer.slots);
  const size_t capacity = sizeof j.writer.slots;
  const bool fromFile = s.imageLoaded && s.loadResult == kLoadStorageFile;
  const uint64_t loadedStamp = fromFile ? JournalStamp(s.image) : 0;

  JournalRead head = ReadJournal(s, p, j.path, buffer, capacity, fromFile, loadedStamp, s.saveCut,
                                 j.unsaved);
  if (fromFile && !head.belongs && head.saveBegun && head.header.base == kJournalBaseFile &&
      head.lastStamp != loadedStamp && SaveMarkFits(head.save, s.image)) {
    // An in-place save was cut after its record: the file holds a mix of
    // the old and new blocks, and the commits, applied again, make it whole.
    head = ReadJournal(s, p, j.path, buffer, capacity, fromFile, loadedStamp, true, j.unsaved);
  }
  if (!head.opened) return result;
  if (!head.headerRead) {
    // Cut before its header was whole: nothing was ever committed to it.
    if (head.size < kJournalHeaderSize) {
      p.DeleteFile(j.path);
      return result;
    }
    result.found = JournalFound::kDamaged;
    return result;
  }
  result.commits = head.commits;
  result.tornTail = head.size > head.committedEnd;
  if (!head.belongs) {
    if (head.commits == 0 && !result.tornTail) {
      p.DeleteFile(j.path);
      return result;
    }
    // A save that wrote the journal's last commit into the storage file and
    // was cut before it removed the journal.
    if (fromFile && head.commits > 0 && head.lastStamp == loadedStamp) {
      p.DeleteFile(j.path);
      result.found = JournalFound::kAlreadySaved;
      return result;
    }
    result.found = JournalFound::kForeign;
    return result;
  }
  if (head.commits == 0 && !result.tornTail) {
    p.DeleteFile(j.path);
    return result;
  }
  j.owned = 1;
  result.found = JournalFound::kReplayed;
  // The file is still the journal's base and the journal ends in its last
  // whole commit: the replayed blocks can be saved in place.
  result.inPlace = head.header.base == kJournalBaseFile && !s.saveCut && !head.saveBegun &&
                   !result.tornTail && head.commits > 0;
  j.baseStamp = head.header.stamp;
  if (head.commits > 0) {
    StorageMount(s);
    s.imageLoaded = 1;
  }
  return result;
}

}  // namespace

JournalRecovery ReplayJournal(Storage& s, Journal& j, Files& p) {
  const JournalRecovery result = Replay(s, j, p);
  if (s.saveCut && result.found != JournalFound::kReplayed) {
    // The file was taken for the journal's sake, but the journal did not
    // mend it: it is not used, and nothing is saved over it.
    EraseImage(s);
    StorageMount(s);
    s.imageLoaded = 0;
    s.loadResult = kLoadDamaged;
    s.keepFile = 1;
  }
  s.saveCut = 0;
  return result;
}

bool SetJournalAside(Journal& j, Files& p, char* out) {
  if (!RenameAside(p, j.path, out, kJournalPathCapacity + 16)) return false;
  j.owned = 0;
  return true;
}

void TakeJournalBase(Storage& s, Journal& j, JournalBase kind) {
  j.baseKind = kind;
  j.baseStamp = kind == kJournalBaseFile ? JournalStamp(s.image) : 0;
  std::memcpy(j.writer.shadow, s.image, kJournalStampBytes);
  ForgetMarks(s.changed);
  ForgetMarks(j.unsaved);
}

bool StartJournal(Storage& s, Journal& j, Files& p, Threads* threads) {
  j.active = 0;
  if (!JournalFilePath(s, j.path)) return false;
  const int f = p.OpenWrite(j.path);
  if (f == kNoFile) return false;
  uint8_t header[kJournalHeaderSize];
  JournalHeader h;
  h.base = j.baseKind;
  h.stamp = j.baseStamp;
  EncodeJournalHeader(h, header);
  if (p.WriteFile(f, header, sizeof header) != sizeof header || !p.FlushFile(f) ||
      !p.SyncFolder(p.DataFolder())) {
    p.CloseFile(f);
    p.DeleteFile(j.path);
    return false;
  }
  uint8_t shadow[kJournalStampBytes];
  std::memcpy(shadow, j.writer.shadow, sizeof shadow);
  ResetJournalWriter(j.writer, p, f, shadow);
  j.ticksWaiting = 0;
  j.blocksSinceCommit = 0;
  j.commits = 0;
  j.active = 1;
  j.owned = 1;
  if (threads) StartJournalWriter(j.writer, *threads);
  return true;
}

namespace {

// Hands the marked blocks (as many as the ring has room for) to the writer,
// and a commit once none is left.
void Publish(Storage& s, Journal& j) {
  JournalWriter& w = j.writer;
  ChangedBlocks& c = s.changed;
  uint32_t head = w.head.load(std::memory_order_relaxed);
  const uint32_t used = head - w.tail.load(std::memory_order_acquire);
  uint32_t room = kJournalSlots - used;
  while (c.count > 0 && room > 1) {
    const uint16_t block = c.list[--c.count];
    c.bits[block / 64] &= ~(uint64_t{1} << (block % 64));
    JournalSlot& slot = w.slots[head % kJournalSlots];
    slot.block = block;
    MarkBlockChanged(j.unsaved, block);
    std::memcpy(slot.data, s.image + static_cast<size_t>(block) * kBlockSize, kBlockSize);
    ++head;
    --room;
    ++j.blocksSinceCommit;
  }
  if (c.count == 0 && room > 0) {
    JournalSlot& slot = w.slots[head % kJournalSlots];
    slot.block = kJournalCommitSlot;
    slot.blocks = j.blocksSinceCommit;
    ++head;
    j.blocksSinceCommit = 0;
    j.ticksWaiting = 0;
    ++j.commits;
  }
  w.head.store(head, std::memory_order_release);
}

void CloseJournalFile(Journal& j) {
  StopJournalWriter(j.writer);
  j.writer.files->CloseFile(j.writer.file);
  j.writer.file = kNoFile;
  j.active = 0;
}

}  // namespace

JournalTickResult JournalTick(Storage& s, Journal& j) {
  if (!j.active) return JournalTickResult::kQuiet;
  if (j.writer.failed.load(std::memory_order_acquire)) {
    CloseJournalFile(j);
    return JournalTickResult::kFailed;
  }
  if (s.changed.count == 0 && j.blocksSinceCommit == 0) {
    j.ticksWaiting = 0;
    return JournalTickResult::kQuiet;
  }
  ++j.ticksWaiting;
  if (j.blocksSinceCommit + s.changed.count > kJournalMaxCommitBlocks) {
    return JournalTickResult::kFoldDue;
  }
  const FileSystem& fs = s.fs;
  const bool idle = fs.state == kStateIdle && !fs.createRequested && !fs.deleteRequested;
  // A commit under way goes on every tick until it is handed over whole.
  if (j.blocksSinceCommit == 0 && !idle && j.ticksWaiting < kJournalCommitTicks) {
    return JournalTickResult::kQuiet;
  }
  if (j.blocksSinceCommit == 0 && j.writer.bytes.load(std::memory_order_acquire) > kJournalLimitBytes) {
    return JournalTickResult::kFoldDue;
  }
  Publish(s, j);
  return JournalTickResult::kQuiet;
}

void FinishJournal(Storage& s, Journal& j) {
  if (!j.active) return;
  if (!j.writer.failed.load(std::memory_order_acquire) &&
      j.blocksSinceCommit + s.changed.count <= kJournalMaxCommitBlocks) {
    while (s.changed.count > 0 || j.blocksSinceCommit > 0) {
      Publish(s, j);
      DrainJournalWriter(j.writer);
    }
  }
  CloseJournalFile(j);
}

bool JournalHoldsEveryChange(const Storage& s, const Journal& j) {
  return j.owned && j.baseKind == kJournalBaseFile && !s.keepFile &&
         !j.writer.failed.load(std::memory_order_acquire) && s.changed.count == 0 &&
         j.blocksSinceCommit == 0;
}

void RemoveJournal(Journal& j, Files& p) {
  if (!j.owned) return;
  if (p.DeleteFile(j.path)) p.SyncFolder(p.DataFolder());
  j.owned = 0;
}

}  // namespace trelvan
