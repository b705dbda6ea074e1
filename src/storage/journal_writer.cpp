#include "storage/journal_writer.h"

#include <cstring>

namespace trelvan {

namespace {

constexpr uint32_t kIdlePauseMs = 2;

bool Write(JournalWriter& w, uint32_t count) {
  if (count == 0) return true;
  if (w.files->WriteFile(w.file, w.out, count) != count) return false;
  w.bytes.fetch_add(count, std::memory_order_release);
  return true;
}

void RunWriter(void* p) {
  JournalWriter& w = *static_cast<JournalWriter*>(p);
  for (;;) {
    if (JournalWriterStep(w)) continue;
    // Nothing published: the stop is only taken once all of it is written.
    if (w.stop.load(std::memory_order_acquire) &&
        w.head.load(std::memory_order_acquire) == w.tail.load(std::memory_order_relaxed)) {
      return;
    }
    w.threads->Pause(kIdlePauseMs);
  }
}

}  // namespace

void ResetJournalWriter(JournalWriter& w, Files& files, int file, const uint8_t* blocks0to3) {
  w.head.store(0, std::memory_order_relaxed);
  w.tail.store(0, std::memory_order_relaxed);
  w.durable.store(0, std::memory_order_relaxed);
  w.bytes.store(kJournalHeaderSize, std::memory_order_relaxed);
  w.failed.store(0, std::memory_order_relaxed);
  w.stop.store(0, std::memory_order_relaxed);
  w.files = &files;
  w.file = file;
  w.threads = nullptr;
  w.thread = kNoThread;
  w.sequence = 0;
  std::memcpy(w.shadow, blocks0to3, kJournalStampBytes);
}

bool JournalWriterStep(JournalWriter& w) {
  const uint32_t head = w.head.load(std::memory_order_acquire);
  uint32_t tail = w.tail.load(std::memory_order_relaxed);
  if (head == tail) return false;
  if (w.failed.load(std::memory_order_relaxed)) {
    w.tail.store(head, std::memory_order_release);
    return true;
  }
  uint32_t n = 0;
  bool ok = true, committed = false;
  while (tail != head && ok && !committed) {
    const JournalSlot& slot = w.slots[tail % kJournalSlots];
    if (slot.block == kJournalCommitSlot) {
      if (n + kJournalCommitSize > sizeof w.out) {
        ok = Write(w, n);
        n = 0;
      }
      EncodeCommitRecord(w.sequence + 1, slot.blocks, JournalStamp(w.shadow), w.out + n);
      n += kJournalCommitSize;
      ok = ok && Write(w, n) && w.files->FlushFile(w.file);
      n = 0;
      committed = true;
    } else {
      if (n + kJournalBlockRecordSize > sizeof w.out) {
        ok = Write(w, n);
        n = 0;
      }
      EncodeBlockRecord(slot.block, slot.data, w.out + n);
      n += kJournalBlockRecordSize;
      if (slot.block < kJournalStampBytes / kJournalBlockDataSize) {
        std::memcpy(w.shadow + slot.block * kJournalBlockDataSize, slot.data,
                    kJournalBlockDataSize);
      }
    }
    ++tail;
  }
  ok = ok && Write(w, n);
  if (!ok) {
    w.failed.store(1, std::memory_order_release);
    tail = head;
  } else if (committed) {
    ++w.sequence;
    w.durable.store(w.sequence, std::memory_order_release);
  }
  w.tail.store(tail, std::memory_order_release);
  return true;
}

bool StartJournalWriter(JournalWriter& w, Threads& threads) {
  w.threads = &threads;
  w.thread = threads.Start(RunWriter, &w);
  if (w.thread == kNoThread) w.threads = nullptr;
  return w.thread != kNoThread;
}

void DrainJournalWriter(JournalWriter& w) {
  while (w.head.load(std::memory_order_acquire) != w.tail.load(std::memory_order_acquire)) {
    if (w.thread == kNoThread) {
      JournalWriterStep(w);
    } else {
      w.threads->Pause(1);
    }
  }
}

void StopJournalWriter(JournalWriter& w) {
  DrainJournalWriter(w);
  if (w.thread == kNoThread) return;
  w.stop.store(1, std::memory_order_release);
  w.threads->Join(w.thread);
  w.thread = kNoThread;
  w.threads = nullptr;
}

}  // namespace trelvan
