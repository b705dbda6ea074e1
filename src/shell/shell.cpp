#include "shell/shell.h"

#include <cstdio>

#include "shell/assistant.h"
#include "shell/unsaved_work.h"
#include "shell/page_table.h"
#include "shell/services.h"
#include "shell/startup.h"
#include "storage/file_system.h"
#include "storage/journal.h"
#include "storage/journal_save.h"
#include "storage/resource_files.h"
#include "storage/storage_image.h"
#include "storage/text.h"

namespace trelvan {

namespace {

constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkY = 'Y';
constexpr uint32_t kVkZ = 'Z';
constexpr uint32_t kVkF1 = 0x70;
constexpr char kNoGuide[] = "The user's guide could not be opened: it is not installed beside the program.";
constexpr int32_t kRepaintIntervalMs = 100;

}  // namespace

int RepaintDue(Assistant& a) {
  a.shell.RepaintCounter += kTickMilliseconds;
  if (a.shell.RepaintCounter < kRepaintIntervalMs) return 0;
  a.shell.RepaintCounter = 0;
  if (!a.frame.FrameDirty) return 0;
  ++a.shell.RepaintCount;
  return 1;
}

namespace {

// Another program shortened the storage file under the mapped image: what
// it took away now reads as zero bytes, so the image is no longer the
// storage. It is never saved over the file; the program says so and ends.
void EndOnLostStorage(Assistant& a) {
  a.shell.StorageLost = 1;
  a.storage.keepFile = 1;
  char message[kPathCapacity + 320];
  std::snprintf(message, sizeof message,
                "Another program shortened the storage file \"%s\" while the assistant was "
                "running, so part of the storage in memory was lost. The assistant ends now "
                "and does not save over the file; the changes of this session may be missing.",
                a.storage.path);
  EndOnWholeCharacter(message);
  a.platform.window.ShowMessageBox(message);
  a.input.QuitRequested = 1;
}

}  // namespace

void TimerTick(Assistant& a) {
  Input& s = a.input;
  if (!a.shell.StorageLost && a.platform.files.MappedFileLost()) {
    EndOnLostStorage(a);
    return;
  }
  StorageStep(a.storage);
  UpdateSoftTimers(s);
  TakeDraftAnswer(a);
  if (s.PointerEvent.pending) {
    s.PointerEvent.pending = 0;
    DispatchPageEvent(a, kPagePointerEvent);
    TakeWaitingPointerEvent(s);
  }
  if (s.PageTimer.expired) {
    s.PageTimer.expired = 0;
    s.PageTimer.elapsed = 0;
    DispatchPageEvent(a, kPageTimerEvent);
  }
  if (!a.ShellStarted) {
    // The start page is shown before the services open the handheld's
    // links and the server's socket, not after.
    BlitFrameBuffer(a.frame, a.platform.window);
    a.ShellStarted = 1;
    StartServices(a);
  }
  ServiceChannels(a);
  KeepChangesOnDisk(a);
  KeepDraft(a, false);
  s.Edit = kEditNone;  // a command the page shown had no use for
}

namespace {

void SayStorageNotSaved(Assistant& a, SaveFailure why, const char* after) {
  char message[kPathCapacity + 320];
  std::snprintf(message, sizeof message, "The storage could not be saved to \"%s\": %s.%s",
                a.storage.path, SaveFailureText(why), after);
  EndOnWholeCharacter(message);
  a.platform.window.ShowMessageBox(message);
}

}  // namespace

void KeepChangesOnDisk(Assistant& a) {
  Journal& j = a.journal;
  switch (JournalTick(a.storage, j)) {
    case JournalTickResult::kQuiet:
      return;
    case JournalTickResult::kFailed: {
      char message[kJournalPathCapacity + 200];
      std::snprintf(message, sizeof message,
                    "Changes can no longer be written to \"%s\" beside the storage file; they "
                    "are saved when the program ends.",
                    j.path);
      EndOnWholeCharacter(message);
      a.platform.window.ShowMessageBox(message);
      return;
    }
    case JournalTickResult::kFoldDue: {
      // A save takes the journal's changes in; a new journal begins on it.
      SaveFailure why = kSaveDone;
      if (!SaveWithJournal(a.storage, j, a.platform.files, &why)) {
        SayStorageNotSaved(a, why, " The changes made until now are kept beside it; later ones "
                                   "are saved when the program ends.");
        return;
      }
      TakeJournalBase(a.storage, j, kJournalBaseFile);
      StartJournal(a.storage, j, a.platform.files, &a.platform.threads);
      return;
    }
  }
}

uint32_t DiskFreeMegabytes(Assistant& a) { return a.platform.files.DiskFreeMegabytes(); }

void ExitSequence(Assistant& a) {
  Shell& s = a.shell;
  a.input.QuitRequested = 0;
  // Work an editor still holds stays beside the storage, answered or not.
  KeepDraft(a, true);
  const uint32_t free = DiskFreeMegabytes(a);
  if (free < kDiskLowWarnMegabytes && !s.DiskLowWarned) {
    s.DiskLowWarned = 1;
    a.platform.window.ShowMessageBox("Disk Memory is very low!");
  }
  // The status says whether this run's storage reached the disk.
  int status = 0;
  if (s.FolderRefused || s.StorageLost) {
    status = 1;
  } else if (s.SecondCopy) {
    // The running copy owns the storage file.
  } else if (free > kDiskSaveMegabytes) {
    // Whatever the save does, the journal holds every change first.
    SaveFailure why = kSaveDone;
    if (SaveWithJournal(a.storage, a.journal, a.platform.files, &why)) {
      // Only now are the resource files it took in safe to remove.
      RemoveImportedResourceFiles(a.storage, a.platform.files);
    } else {
      // A save cut in place leaves the file for the journal to mend.
      SayStorageNotSaved(a, why,
                         JournalHoldsEveryChange(a.storage, a.journal)
                             ? " The changes are kept beside it; the next start saves them."
                             : " Any earlier storage file there is unchanged.");
      status = 1;
    }
  } else {
    FinishJournal(a.storage, a.journal);
    a.platform.window.ShowMessageBox("Disk Memory too low to save error!");
    status = 1;
  }
  a.platform.window.StopTimer();
  a.platform.window.Sleep(100);
  CloseChannels(a);
  a.platform.window.Sleep(100);
  a.platform.window.PostQuit(status);
}

void MainWindowCreated(Assistant& a) {
  ClearFrameBuffer(a.frame);
  StartUp(a);
}

void MainWindowMessage(Assistant& a, Message message, uint32_t key, uint32_t x, uint32_t y) {
  Input& s = a.input;
  switch (message) {
    case Message::MouseMove:
      QueuePointerEvent(s, kPointerMoved, static_cast<int32_t>(x), static_cast<int32_t>(y), 0);
      break;
    case Message::LeftButtonDown:
      PointerPressed(s, static_cast<int32_t>(x), static_cast<int32_t>(y), 0);
      break;
    case Message::RightButtonDown:
      PointerPressed(s, static_cast<int32_t>(x), static_cast<int32_t>(y), 1);
      break;
    case Message::LeftButtonUp:
    case Message::RightButtonUp:
      QueuePointerEvent(s, kPointerReleased, LatestPointerEvent(s).x, LatestPointerEvent(s).y, 0);
      break;
    case Message::MouseWheel:
      PointerWheel(s, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(key));
      break;
    case Message::KeyDown:
      if (key == kVkShift) {
        s.ShiftDown = 1;
      } else if (key == kVkControl) {
        s.CtrlDown = 1;
      } else if (s.CtrlDown) {
        // Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z; no other shortcut types a character
        if (key == kVkZ) s.Edit = s.ShiftDown ? kEditRedo : kEditUndo;
        if (key == kVkY) s.Edit = kEditRedo;
      } else if (key == kVkF1) {
        // on every page; the key is no character for a keyboard page
        if (!a.platform.window.OpenGuide()) a.platform.window.ShowMessageBox(kNoGuide);
      } else {
        AppendKey(s.KeyQueue, MapKeyToCharacter(key, s.ShiftDown));
      }
      break;
    case Message::KeyUp:
      if (key == kVkShift) s.ShiftDown = 0;
      if (key == kVkControl) s.CtrlDown = 0;
      BlitFrameBuffer(a.frame, a.platform.window);
      break;
    case Message::Timer:
      if (RepaintDue(a)) {
        const FrameRect& r = a.frame.dirtyRect;
        a.platform.window.InvalidateRect(r.left, r.top, r.right, r.bottom);
        a.frame.FrameDirty = 0;
      }
      TimerTick(a);
      break;
    case Message::Paint:
      BlitFrameBuffer(a.frame, a.platform.window);
      break;
    case Message::Close:
      if (!AskBeforeClosing(a)) s.QuitRequested = 1;
      break;
    case Message::Destroy:
      s.QuitRequested = 1;  // the exit sequence below posts the quit with its status
      break;
  }
  if (s.QuitRequested) ExitSequence(a);
}

}  // namespace trelvan
