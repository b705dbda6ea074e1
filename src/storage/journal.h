// The journal beside the storage file: every change of the image on disk
// within a second, without writing the 128 MB file.
//
// The storage file (the base) is written only by a save. While the program
// runs, the tick hands the blocks the flash layer marked to the writer
// (journal_writer.h) at each point where the storage machine is idle after a
// change, and at least once a second while changes go on; the writer appends
// them to "<storage file>.journal" with a commit and makes them durable. The
// journal's header names its base by the stamp of the base's blocks 0 to 3
// (or says the base is an erased image, when there was no storage file).
//
// The start-up replays the commits of a journal that belongs to the storage
// it loaded, saves, and begins a new journal on the saved file. A clean exit
// commits, saves and removes the journal; a journal grown past
// kJournalLimitBytes, or a change too large for one commit, is folded in by a
// save the same way.
#pragma once

#include <cstdint>

#include "platform/files.h"
#include "platform/threads.h"
#include "storage/journal_writer.h"
#include "storage/storage.h"

namespace trelvan {

constexpr uint32_t kJournalCommitTicks = 100;         // 1 s of 10 ms ticks
constexpr uint64_t kJournalLimitBytes = 64ull << 20;  // then a save folds it in
constexpr uint32_t kJournalPathCapacity = kPathCapacity + 16;

struct Journal {
  Journal() = default;
  ~Journal();  // stops a writer still running (a test's Assistant that never exits)
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  uint8_t active = 0;          /**< a journal file is open and its writer takes commits */
  uint8_t owned = 0;  /**< the file at `path` is this storage's journal: a save removes it */
  uint32_t baseKind = kJournalBaseErased;  /**< JournalBase of the next journal */
  uint64_t baseStamp = 0;
  uint32_t ticksWaiting = 0;       /**< ticks since the first change not yet committed */
  uint32_t blocksSinceCommit = 0;  /**< block slots published since the last commit */
  uint32_t commits = 0;            /**< commits published into this journal */
  // The blocks handed to this journal since its base: those in which the
  // image differs from the storage file, once every mark is handed over.
  ChangedBlocks unsaved{};
  char path[kJournalPathCapacity] = {};
  JournalWriter writer;  /**< not initialised here: the ring is 16 MiB */
};

// "<storage file>.journal"; false (empty) without a storage path.
bool JournalFilePath(const Storage& s, char* out);

// ---- start-up ---------------------------------------------------------------------

enum class JournalFound : uint8_t {
  kNone,          /**< no journal, or one with nothing committed: removed */
  kReplayed,      /**< its commits are applied to the image */
  kAlreadySaved,  /**< the storage file already holds its last commit: removed */
  kForeign,       /**< it belongs to another storage file: not applied */
  kDamaged,       /**< its header is damaged: not applied */
};
struct JournalRecovery {
  JournalFound found = JournalFound::kNone;
  uint32_t commits = 0;   /**< commits read whole */
  uint8_t tornTail = 0;   /**< bytes after the last whole commit were left out */
  uint8_t inPlace = 0;    /**< the file is the journal's base, which ends in a commit */
};

// After LoadStorage (and the set-aside of an unusable file), before
// anything changes the image: replays `j.path`'s commits onto the image when
// the journal's base is the storage loaded (the same stamp, or an erased
// base while no image file was read), and mounts the result. The blocks
// replayed are marked in `j.unsaved`, the journal's base in `j.baseStamp`. Reads through
// the writer's ring, so it runs while no writer does.
JournalRecovery ReplayJournal(Storage& s, Journal& j, Files& p);

// True when the journal beside the storage file ends in a save record that
// the image's blocks 0 to 3 fit: an in-place save was cut, and the file, a
// mix of old and new blocks, is mended by the journal's replay. LoadStorage
// then takes the file without the start-up's check.
bool InPlaceSaveWasCut(const Storage& s, Files& p);

// Renames the journal aside to "<journal>.damaged" (".2", ... when taken);
// the new path in `out` (kJournalPathCapacity + 16 bytes).
bool SetJournalAside(Journal& j, Files& p, char* out);

// The image as it now is on disk becomes the base of the next journal: the
// storage file just loaded or saved, or (kJournalBaseErased) no file at
// all. Forgets the marks made until now.
void TakeJournalBase(Storage& s, Journal& j, JournalBase kind);

// Creates the journal file (nothing may be at its path) for the base taken
// and starts its writer on `threads` (null: the caller drives the writer).
bool StartJournal(Storage& s, Journal& j, Files& p, Threads* threads);

// ---- every tick -------------------------------------------------------------------

enum class JournalTickResult : uint8_t {
  kQuiet,     /**< nothing to do, or blocks handed over */
  kFoldDue,   /**< the changes are too many for a commit, or the journal is full: fold */
  kFailed,    /**< the writer could not write: the journal is closed, left as it is */
};
JournalTickResult JournalTick(Storage& s, Journal& j);

// ---- saves ------------------------------------------------------------------------

// Before a save: commits what is marked (when it fits one commit), waits
// until it is durable, and closes the journal, which stays on disk. After
// the save succeeded, RemoveJournal; after it failed the journal keeps the
// changes for the next start.
void FinishJournal(Storage& s, Journal& j);
void RemoveJournal(Journal& j, Files& p);

// True when the journal on disk holds every change since its base (the
// storage file): it is this storage's, none of its writes failed, and no
// mark waits. Then a failed save leaves the changes to the next start.
bool JournalHoldsEveryChange(const Storage& s, const Journal& j);

// Forgets the marks of blocks whose contents are as the base holds them.
void ForgetMarks(ChangedBlocks& c);

}  // namespace trelvan
