#include "shell/startup.h"

#include <cstdio>

#include "shell/assistant.h"
#include "shell/unsaved_work.h"
#include "storage/file_system.h"
#include "storage/journal.h"
#include "storage/journal_save.h"
#include "storage/resource_files.h"
#include "storage/storage_image.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/page_file.h"

namespace trelvan {

namespace {

// A storage file that cannot be used is set aside, never saved over, and
// the user is told where it went.
void SetAsideUnusableStorage(Assistant& a) {
  Storage& s = a.storage;
  const char* problem;
  switch (s.loadResult) {
    case kLoadUnreadable: problem = "could not be read"; break;
    case kLoadWrongSize: problem = "has the wrong size"; break;
    case kLoadDamaged: problem = "is damaged"; break;
    default: return;
  }
  const bool legacy = CompareText(s.loadedFrom, s.path, kPathCapacity) != 0;
  const char* which = legacy ? "The old storage file" : "The storage file";
  char aside[kSetAsidePathCapacity];
  char message[kSetAsidePathCapacity + kPathCapacity + 160];
  if (SetAsideUnusableFile(s, a.platform.files, aside)) {
    std::snprintf(message, sizeof message,
                  "%s %s, so it was set aside as \"%s\" and a new, empty storage was started.",
                  which, problem, aside);
  } else {
    std::snprintf(message, sizeof message,
                  "%s \"%s\" %s and could not be set aside. A new, empty storage was started; "
                  "the file is left as it is.",
                  which, s.loadedFrom, problem);
  }
  a.platform.window.ShowMessageBox(message);
}

// Says, in one message box, what became of the journal a run left.
void SayJournal(Assistant& a, const char* text, const char* path, const char* aside) {
  char message[3 * kJournalPathCapacity + 400];
  std::snprintf(message, sizeof message, text, path, aside);
  EndOnWholeCharacter(message);
  a.platform.window.ShowMessageBox(message);
}

// Applies the changes an earlier run left in the journal and saves them
// into the storage file; a journal of another storage is set aside unused.
// Then takes the base of this run's journal: true when there is one.
bool RecoverJournal(Assistant& a) {
  Storage& s = a.storage;
  Journal& j = a.journal;
  Files& files = a.platform.files;
  const JournalRecovery r = ReplayJournal(s, j, files);
  char aside[kJournalPathCapacity + 16] = "";
  switch (r.found) {
    case JournalFound::kForeign:
    case JournalFound::kDamaged:
      if (!SetJournalAside(j, files, aside)) {
        SayJournal(a,
                   "Changes left by an earlier run in \"%s\" do not belong to this storage file, "
                   "so they were not used. The file could not be moved out of the way, so "
                   "changes made now are kept only when the program ends normally.%s",
                   j.path, "");
        return false;
      }
      SayJournal(a,
                 r.found == JournalFound::kForeign
                     ? "Changes left by an earlier run in \"%s\" belong to another copy of the "
                       "storage file, so they were not used. They were set aside as \"%s\"."
                     : "The record of changes \"%s\" left by an earlier run is damaged, so it "
                       "was not used. It was set aside as \"%s\".",
                 j.path, aside);
      break;
    case JournalFound::kReplayed: {
      SaveFailure why = kSaveDone;
      if (r.commits > 0 && !SaveReplayedJournal(s, j, files, r, &why)) {
        char message[kPathCapacity + 320];
        std::snprintf(message, sizeof message,
                      "The changes of the last run, which did not end normally, were recovered, "
                      "but they could not be saved to \"%s\": %s. They stay beside it and are "
                      "saved when the program ends.",
                      s.path, SaveFailureText(why));
        EndOnWholeCharacter(message);
        a.platform.window.ShowMessageBox(message);
        return false;
      }
      if (r.commits > 0) s.loadResult = kLoadStorageFile;
      if (!r.tornTail) {
        RemoveJournal(j, files);
      } else if (SetJournalAside(j, files, aside)) {
        SayJournal(a,
                   "The last run did not end normally. Its changes were recovered up to the last "
                   "one written whole; the unfinished rest in \"%s\" was left out and set aside "
                   "as \"%s\".",
                   j.path, aside);
      } else {
        return false;  // the journal's path stays taken; the exit save removes it
      }
      break;
    }
    case JournalFound::kNone:
    case JournalFound::kAlreadySaved:
      break;
  }
  if (s.imageLoaded && s.loadResult == kLoadLegacyFile) {
    // The legacy file is never changed: the storage file becomes the base.
    if (!SaveStorage(s, files)) return false;
    s.loadResult = kLoadStorageFile;
  }
  TakeJournalBase(s, j, s.imageLoaded ? kJournalBaseFile : kJournalBaseErased);
  return true;
}

}  // namespace

void StartUp(Assistant& a) {
  const bool onlyCopy = a.platform.instance.AcquireSingleInstance("TrelvanAssistantGlobalMutex");
  if (!onlyCopy) {
    a.platform.window.ShowMessageBox(
        "Only one instance of this program is allowed to run at a time - Program already running!");
    a.input.QuitRequested = 1;
    a.shell.SecondCopy = 1;
  }
  StorageInit(a.storage, a.platform.files);
  if (a.storage.loadResult == kLoadPathTooLong) {
    char message[kPathCapacity + 192];
    std::snprintf(message, sizeof message,
                  "The data folder \"%s\" has a path too long for the storage file's name "
                  "(at most %u bytes in all). Nothing was read or written; choose a folder with "
                  "a shorter path.",
                  a.platform.files.DataFolder(), static_cast<unsigned>(kPathCapacity - 1));
    EndOnWholeCharacter(message);
    a.platform.window.ShowMessageBox(message);
    a.input.QuitRequested = 1;
    a.shell.FolderRefused = 1;
  }
  PathInfo folder;
  if (!a.shell.FolderRefused &&
      (!a.platform.files.PathAttributes(a.platform.files.DataFolder(), &folder) || !folder.folder)) {
    // Nothing the session does could be kept: said now, not at the exit.
    char message[kPathCapacity + 192];
    std::snprintf(message, sizeof message,
                  "The data folder \"%s\" does not exist and could not be made, so nothing could "
                  "be read or kept. Make the folder, or free its name, and start again.",
                  a.platform.files.DataFolder());
    EndOnWholeCharacter(message);
    a.platform.window.ShowMessageBox(message);
    a.input.QuitRequested = 1;
    a.shell.FolderRefused = 1;
  }
  const bool ownsFolder = onlyCopy && !a.shell.FolderRefused;
  a.frame.width = kFrameWidth;
  a.frame.height = kFrameHeight;
  // The data folder belongs to the running copy: a second one changes nothing
  // in it (it would delete the first copy's save under way, or the resource
  // files while the first copy's save overwrites what it stored).
  bool journal = false;
  if (ownsFolder) {
    RemoveStaleTemporary(a.storage, a.platform.files);
    SetAsideUnusableStorage(a);
    journal = !a.storage.keepFile && RecoverJournal(a);
  }
  // After the journal's replay: the journal's base is the storage as loaded.
  if (a.storage.imageLoaded) FinishCutReplacement(a.storage);
  if (!a.storage.imageLoaded) {
    FormatStorage(a.storage);
    RunStorageToIdle(a.storage);
  }
  if (ownsFolder) {
    ImportResourceFiles(a.storage, a.platform.files, a.platform.window);
    TakeProgramResourceFiles(a.storage, a.platform.files, a.platform.window, StoredPageLoads);
  }
  ReadSetupRecord(a.storage, a.setup);
  CheckRevisionRecord(a.storage);
  ClearSelection(a.link.transfer);
  a.ui.pages.CurrentPage = kMainPage;
  // The start-up's own changes (a format, the imports, the records) are the
  // journal's first commit, on the first tick.
  if (journal) StartJournal(a.storage, a.journal, a.platform.files, &a.platform.threads);
  OfferDraft(a);
}

}  // namespace trelvan
