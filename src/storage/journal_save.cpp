#include "storage/journal_save.h"

#include <algorithm>
#include <cstring>

namespace trelvan {

namespace {

// Writes the blocks of the ascending `list` from the image into the file at
// their offsets, a run of neighbours in one write unless `single`.
bool WriteBlocks(const Storage& s, Files& p, int file, const uint16_t* list, uint32_t count,
                 bool single) {
  for (uint32_t i = 0; i < count;) {
    uint32_t end = i + 1;
    while (!single && end < count && list[end] == list[end - 1] + 1) ++end;
    const uint64_t at = uint64_t{list[i]} * kBlockSize;
    const uint32_t bytes = (end - i) * kBlockSize;
    if (p.WriteFileAt(file, at, s.image + at, bytes) != bytes) return false;
    i = end;
  }
  return true;
}

bool AppendSaveRecord(Files& p, const char* journal, const JournalSaveMark& mark) {
  const int f = p.OpenUpdate(journal);
  if (f == kNoFile) return false;
  uint8_t record[kJournalSaveSize];
  EncodeSaveRecord(mark, record);
  uint32_t size = 0;
  const bool done = p.FileSize(f, &size) &&
                    p.WriteFileAt(f, size, record, sizeof record) == sizeof record &&
                    p.FlushFile(f);
  return p.CloseFile(f) && done;
}

// The in-place way, the save record naming `commits` as the journal's last.
// False when it could not begin (the file is then as it was); true once it
// wrote into the file, `*failure` saying how it ended.
bool WriteInPlace(Storage& s, Journal& j, Files& p, uint32_t commits, SaveFailure* failure) {
  char resolved[kPathCapacity];
  const char* target = StorageSaveTarget(s, p, resolved);
  PathInfo info;
  if (!p.PathAttributes(target, &info) || info.folder || info.readOnly || info.size != kImageSize) {
    return false;
  }
  // The file must still be the base the journal's blocks were taken from.
  uint8_t before[kJournalStampBytes];
  const int f = p.OpenRead(target);
  if (f == kNoFile) return false;
  const bool read = p.ReadFile(f, before, sizeof before) == sizeof before;
  p.CloseFile(f);
  if (!read || JournalStamp(before) != j.baseStamp) return false;
  if (p.MappedFileLost()) {
    *failure = kSaveImageLost;
    return true;
  }
  *failure = kSaveDone;
  ChangedBlocks& c = j.unsaved;
  if (c.count == 0) return true;  // the file already holds the image

  JournalSaveMark mark;
  mark.sequence = commits;
  for (uint32_t b = 0; b < kJournalStampBlocks; ++b) {
    mark.before[b] = JournalBlockHash(before + b * kBlockSize);
    mark.after[b] = JournalBlockHash(s.image + b * kBlockSize);
  }
  if (!AppendSaveRecord(p, j.path, mark)) return false;
  const int file = p.OpenUpdate(target);
  if (file == kNoFile) return false;
  // Blocks 0 to 3 name the storage: they go last, so until they are written
  // the file is still the journal's base. They go one by one, as a write
  // torn by a power cut may leave them; the save record knows each mix.
  std::sort(c.list, c.list + c.count);
  const uint32_t named = static_cast<uint32_t>(
      std::lower_bound(c.list, c.list + c.count, kFirstFileBlock) - c.list);
  if (!WriteBlocks(s, p, file, c.list + named, c.count - named, false)) {
    *failure = kSaveNotWritten;
  } else if (!p.FlushFile(file)) {
    *failure = kSaveNotFlushed;
  } else if (!WriteBlocks(s, p, file, c.list, named, true)) {
    *failure = kSaveNotWritten;
  } else if (!p.FlushFile(file)) {
    *failure = kSaveNotFlushed;
  }
  if (!p.CloseFile(file) && *failure == kSaveDone) *failure = kSaveNotWritten;
  if (p.MappedFileLost()) *failure = kSaveImageLost;
  return true;
}

}  // namespace

bool SaveWithJournal(Storage& s, Journal& j, Files& p, SaveFailure* why) {
  FinishJournal(s, j);
  return SaveFinishedJournal(s, j, p, why);
}

bool SaveFinishedJournal(Storage& s, Journal& j, Files& p, SaveFailure* why) {
  const bool inPlace = JournalHoldsEveryChange(s, j) && j.unsaved.count <= kInPlaceBlockLimit;
  SaveFailure failure = kSaveDone;
  if (!inPlace || !WriteInPlace(s, j, p, j.writer.durable.load(std::memory_order_acquire), &failure)) {
    SaveStorage(s, p, &failure);
  }
  if (failure == kSaveDone) RemoveJournal(j, p);
  if (why) *why = failure;
  return failure == kSaveDone;
}

bool SaveReplayedJournal(Storage& s, Journal& j, Files& p, const JournalRecovery& r,
                         SaveFailure* why) {
  const bool inPlace = r.inPlace && j.unsaved.count <= kInPlaceBlockLimit;
  SaveFailure failure = kSaveDone;
  if (!inPlace || !WriteInPlace(s, j, p, r.commits, &failure)) SaveStorage(s, p, &failure);
  if (why) *why = failure;
  return failure == kSaveDone;
}

}  // namespace trelvan
