#include "shell/startup.h"

#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/resource_files.h"

namespace trelvan {

void StartUp(Assistant& a) {
  StorageInit(a.storage, a.platform);
  a.frame.width = kFrameWidth;
  a.frame.height = kFrameHeight;
  if (!a.storage.imageLoaded) {
    FormatStorage(a.storage);
    RunStorageToIdle(a.storage);
  }
  ImportResourceFiles(a.storage, a.platform);
}

}  // namespace trelvan
