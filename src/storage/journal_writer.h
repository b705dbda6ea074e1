// The journal's writer: turns the blocks the tick hands over into records
// (journal_format.h), appends them to the journal file and makes each
// commit durable. It runs on a thread of its own beside the tick
// (StartJournalWriter), or, where a test drives it, one JournalWriterStep at
// a time on the caller's thread.
//
// Thread contract (the writer thread and the window's thread, the tick):
// - The slots form a ring with one producer and one consumer. The tick
//   fills the slots from `head` on, up to `tail` + kJournalSlots, and then
//   publishes them by storing `head` (release). The writer loads `head`
//   (acquire), reads the slots from `tail` to it and gives them back by
//   storing `tail` (release). Neither touches a slot the other owns.
// - The writer never reads the storage image: a slot holds a copy of one
//   block as stored, or a commit of the blocks published before it.
// - `file` and `files` are set before the thread starts and not changed
//   until it is joined; the writer calls only WriteFile and FlushFile on
//   that one handle (files.h says the backends allow it).
// - `durable` (release) counts the commits whose records are written and
//   flushed; `bytes` the bytes written. The tick only reads them.
// - `failed` (release) is set once a write or flush fails; from then on
//   the writer drops what it is given, and the tick stops using the journal.
// - `stop` (release), set by the tick, ends the thread once every published
//   slot is written; StopJournalWriter sets it and joins.
// No lock is taken on either side; the tick never waits on the writer
// except in DrainJournalWriter, which the exit and a fold use.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/files.h"
#include "platform/threads.h"
#include "storage/journal_format.h"

namespace trelvan {

// 16 MiB of blocks in flight; a commit is at most kJournalMaxCommitBlocks,
// so one always fits the ring, and the start-up reads it back whole in the
// ring's memory.
constexpr uint32_t kJournalSlots = 4096;
constexpr uint32_t kJournalMaxCommitBlocks = kJournalSlots - 128;
constexpr uint32_t kJournalCommitSlot = 0xFFFFFFFF;  // JournalSlot::block of a commit

struct JournalSlot {
  uint32_t block;   /**< the block's number, or kJournalCommitSlot */
  uint32_t blocks;  /**< a commit: the block slots published since the last one */
  uint8_t data[kJournalBlockDataSize];  /**< the block as stored */
};

struct JournalWriter {
  // ---- shared (see the contract above) ----
  std::atomic<uint32_t> head{0};
  std::atomic<uint32_t> tail{0};
  std::atomic<uint32_t> durable{0};
  std::atomic<uint64_t> bytes{0};
  std::atomic<uint8_t> failed{0};
  std::atomic<uint8_t> stop{0};

  // ---- set before the start ----
  Files* files = nullptr;
  int file = kNoFile;
  Threads* threads = nullptr;
  intptr_t thread = kNoThread;

  // ---- the writer's own ----
  uint32_t sequence = 0;                 /**< the last commit written */
  uint8_t shadow[kJournalStampBytes];    /**< blocks 0 to 3 as of the last record */
  uint8_t out[64 * kJournalBlockRecordSize];  /**< records on their way to the file */

  // ---- the ring ----
  JournalSlot slots[kJournalSlots];
};

// Readies `w` to append to the open `file`, whose header is written, with
// the base's blocks 0 to 3 (`blocks0to3`, as stored) for the commits' stamps.
void ResetJournalWriter(JournalWriter& w, Files& files, int file, const uint8_t* blocks0to3);
// Writes what is published, up to and including the next commit (flushed).
// False when there was nothing to write.
bool JournalWriterStep(JournalWriter& w);
// Starts the thread that runs the steps; false when no thread could be
// made (the caller then runs the steps itself).
bool StartJournalWriter(JournalWriter& w, Threads& threads);
// Waits until every published slot is written (on the caller's thread when
// no thread runs).
void DrainJournalWriter(JournalWriter& w);
// Drains, then ends and joins the thread.
void StopJournalWriter(JournalWriter& w);

}  // namespace trelvan
