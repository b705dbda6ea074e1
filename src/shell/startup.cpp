#include "shell/startup.h"

#include <cstdio>

#include "shell/assistant.h"
#include "storage/file_system.h"
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
  const bool ownsFolder = onlyCopy && !a.shell.FolderRefused;
  if (a.storage.imageLoaded) FinishCutReplacement(a.storage);
  a.frame.width = kFrameWidth;
  a.frame.height = kFrameHeight;
  // The data folder belongs to the running copy: a second one changes nothing
  // in it (it would delete the first copy's save under way, or the resource
  // files while the first copy's save overwrites what it stored).
  if (ownsFolder) {
    RemoveStaleTemporary(a.storage, a.platform.files);
    SetAsideUnusableStorage(a);
  }
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
}

}  // namespace trelvan
