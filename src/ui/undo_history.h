// The editors' Undo and Redo: a ring of the states before the last changes,
// each a whole copy of the edited record (a project, a light effect). Undo
// swaps the record with the newest kept state, so the state it leaves
// becomes the first to redo; a new change forgets what could be redone.
#pragma once

#include <cstdint>
#include <utility>

namespace trelvan {

// Steps each editor can go back: the 32 a user expects of an editor.
constexpr uint16_t kUndoSteps = 32;

template <typename T>
struct UndoHistory {
  T steps[kUndoSteps];
  uint16_t first;      /**< ring index of the oldest state kept */
  uint16_t undoCount;  /**< states to undo to, from `first` on */
  uint16_t redoCount;  /**< states to redo to, right after them, the nearest first */
};

// Before a change: `current` is kept as the state Undo goes back to. The
// oldest state goes when all kUndoSteps are taken.
template <typename T>
void KeepStep(UndoHistory<T>& h, const T& current) {
  h.steps[(h.first + h.undoCount) % kUndoSteps] = current;
  if (h.undoCount == kUndoSteps) {
    h.first = static_cast<uint16_t>((h.first + 1) % kUndoSteps);
  } else {
    ++h.undoCount;
  }
  h.redoCount = 0;
}

// False, changing nothing, when there is no step to take back.
template <typename T>
bool UndoStep(UndoHistory<T>& h, T& current) {
  if (h.undoCount == 0) return false;
  --h.undoCount;
  ++h.redoCount;
  std::swap(current, h.steps[(h.first + h.undoCount) % kUndoSteps]);
  return true;
}

template <typename T>
bool RedoStep(UndoHistory<T>& h, T& current) {
  if (h.redoCount == 0) return false;
  std::swap(current, h.steps[(h.first + h.undoCount) % kUndoSteps]);
  ++h.undoCount;
  --h.redoCount;
  return true;
}

// A change given up that left the record as it was: its kept state goes,
// so Undo never takes a step that changes nothing.
template <typename T>
void DropNewestStep(UndoHistory<T>& h) {
  if (h.undoCount > 0) --h.undoCount;
}
template <typename T>
const T* NewestStep(const UndoHistory<T>& h) {
  return h.undoCount ? &h.steps[(h.first + h.undoCount - 1) % kUndoSteps] : nullptr;
}

// Another record is opened: nothing of the last one can be undone.
template <typename T>
void ForgetSteps(UndoHistory<T>& h) {
  h.undoCount = 0;
  h.redoCount = 0;
}

}  // namespace trelvan
