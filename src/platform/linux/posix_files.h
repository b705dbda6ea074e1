// The files service on POSIX: file descriptors behind small handles, the
// folder listing with fnmatch, free space with statvfs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace trelvan {

class PosixFiles : public Files {
 public:
  explicit PosixFiles(std::string dataFolder, std::string resourceFolder = "");
  ~PosixFiles() override;

  char PathSeparator() const override { return '/'; }
  const char* DataFolder() const override { return dataFolder_.c_str(); }
  const char* ResourceFolder() const override { return resourceFolder_.c_str(); }
  const char* RootFolder() const override { return "/"; }
  const char* StartFolder() const override { return startFolder_.c_str(); }
  int OpenRead(const char* path) override;
  int OpenWrite(const char* path) override;
  int OpenUpdate(const char* path) override;
  uint32_t ReadFile(int file, void* out, uint32_t count) override;
  uint32_t WriteFile(int file, const void* data, uint32_t count) override;
  uint32_t WriteFileAt(int file, uint64_t offset, const void* data, uint32_t count) override;
  bool FlushFile(int file) override;
  bool CloseFile(int file) override;
  bool FileSize(int file, uint32_t* size) override;
  bool MapFileCopy(const char* path, void* at, uint32_t size) override;
  bool MappedFileLost() override;
  bool DeleteFile(const char* path) override;
  bool RenameFile(const char* from, const char* to) override;
  bool RenameToNew(const char* from, const char* to) override;
  bool PathAttributes(const char* path, PathInfo* out) override;
  bool CopyAttributes(const char* from, const char* to) override;
  uint16_t ListFolder(const char* folder, const char* pattern, FolderEntry* out,
                      uint16_t capacity) override;
  uint32_t DiskFreeMegabytes() override;
  bool SyncFolder(const char* folder) override;
  bool LinkTarget(const char* path, char* out, uint32_t capacity) override;

 private:
  int Descriptor(int file) const;
  std::string dataFolder_;
  std::string resourceFolder_;
  std::string startFolder_;  // $HOME with its "/", or "/"
  // By handle; -1 when free. A fixed table whose slots are atomic: the
  // journal's writer thread writes through its handle while the window's
  // thread opens and closes others (files.h).
  std::atomic<int> descriptors_[kOpenFileCapacity];
  int Store(int fd);
};

// The data folder: TRELVAN_DATA_DIR, else $XDG_DATA_HOME/Trelvan Assistant,
// else ~/.local/share/Trelvan Assistant with the home from HOME or the
// password database; empty when there is no home. MakeFolders makes every
// missing folder of it.
std::string LinuxDataFolder();
void MakeFolders(const std::string& folder);

// The program's own page files: TRELVAN_RESOURCE_DIR, else the package's
// share/trelvan-assistant beside the program's bin folder, else, run from
// the build, the build's resources folder; "" when none of them exists.
std::string LinuxResourceFolder();
// The folder of the running program; "" when it cannot be read.
std::string LinuxProgramFolder();

}  // namespace trelvan
