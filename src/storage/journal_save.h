// The save that ends a journal: at the exit, when a journal is folded in,
// and in the storage inspector.
#pragma once

#include "platform/files.h"
#include "storage/journal.h"
#include "storage/storage_image.h"

namespace trelvan {

// Past this many changed blocks the file is written whole, through a
// temporary: in place would take about as long.
constexpr uint32_t kInPlaceBlockLimit = kBlockCount / 2;

// Commits what is marked (FinishJournal), then writes the storage file.
// When the journal holds every block changed since the file was last
// written, and the file is still the journal's base, only those blocks are
// written, in place, in this order:
//   1. a save record ends the journal, flushed;
//   2. the changed blocks from 4 on, then the file flushed;
//   3. the changed blocks among 0 to 3, then the file flushed;
//   4. the journal removed, its folder synced.
// A cut anywhere before 4 leaves the journal to mend the file at the next
// start (InPlaceSaveWasCut, ReplayJournal). Otherwise the file is written
// whole (SaveStorage). The journal is removed once the file holds the
// image; false, with the reason in `why`, when the file does not.
bool SaveWithJournal(Storage& s, Journal& j, Files& p, SaveFailure* why = nullptr);
// The same after FinishJournal.
bool SaveFinishedJournal(Storage& s, Journal& j, Files& p, SaveFailure* why = nullptr);
// At the start, after ReplayJournal: the replayed journal, still on disk,
// is the log of the same in-place save of the blocks it held (with a save
// record appended), so a start that recovers a killed run's changes writes
// only those. The file is written whole where the journal cannot serve
// (r.inPlace). The caller removes the journal.
bool SaveReplayedJournal(Storage& s, Journal& j, Files& p, const JournalRecovery& r,
                         SaveFailure* why);

}  // namespace trelvan
