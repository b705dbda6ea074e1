#include "shell/startup.h"

#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/resource_files.h"

namespace trelvan {

void StartUp(Assistant& a) {
  const bool onlyCopy = a.platform.instance.AcquireSingleInstance("TrelvanAssistantGlobalMutex");
  if (!onlyCopy) {
    a.platform.window.ShowMessageBox(
        "Only one instance of this program is allowed to run at a time - Program already running!");
    a.shell.QuitRequested = 1;
    a.shell.SecondCopy = 1;
  }
  StorageInit(a.storage, a.platform.files);
  a.frame.width = kFrameWidth;
  a.frame.height = kFrameHeight;
  if (!a.storage.imageLoaded) {
    FormatStorage(a.storage);
    RunStorageToIdle(a.storage);
  }
  // A second copy leaves the resource files to the first: its own import
  // would delete them while the first copy's save overwrites what it stored.
  if (onlyCopy) ImportResourceFiles(a.storage, a.platform.files, a.platform.window);
  ReadSetupRecord(a.storage, a.setup);
  CheckRevisionRecord(a.storage);
  ClearSelection(a.link.transfer);
  a.ui.pages.CurrentPage = kMainPage;
}

}  // namespace trelvan
