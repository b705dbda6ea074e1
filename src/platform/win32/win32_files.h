// The files service on Windows: the same handle table as the POSIX side,
// over CreateFileW handles, with UTF-8 paths.
#pragma once

#include "platform/win32/win32_windows.h"

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace trelvan {

class Win32Files : public Files {
 public:
  Win32Files(std::string dataFolder, std::string resourceFolder)
      : dataFolder_(std::move(dataFolder)), resourceFolder_(std::move(resourceFolder)) {
    for (std::atomic<HANDLE>& h : handles_) h.store(INVALID_HANDLE_VALUE);
  }
  ~Win32Files() override;

  char PathSeparator() const override { return '\\'; }
  const char* DataFolder() const override { return dataFolder_.c_str(); }
  const char* ResourceFolder() const override { return resourceFolder_.c_str(); }
  const char* RootFolder() const override { return "C:\\"; }
  uint16_t ListDrives(char (*out)[kDriveRootCapacity], uint16_t capacity) override;
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
  bool DeleteFile(const char* path) override;
  bool RenameFile(const char* from, const char* to) override;
  bool RenameToNew(const char* from, const char* to) override;
  bool PathAttributes(const char* path, PathInfo* out) override;
  bool CopyAttributes(const char* from, const char* to) override;
  uint16_t ListFolder(const char* folder, const char* pattern, FolderEntry* out,
                      uint16_t capacity) override;
  // Free space of drive C: (the data folder's drive on a normal install).
  uint32_t DiskFreeMegabytes() override;
  // NTFS keeps its folders' entries durable by itself.
  bool SyncFolder(const char*) override { return true; }
  // Links are an administrator's tool on Windows: the save replaces the path itself.
  bool LinkTarget(const char*, char*, uint32_t) override { return false; }

 private:
  std::string dataFolder_;
  std::string resourceFolder_;
  int Store(HANDLE handle);
  HANDLE Handle(int file) const;
  bool IsMapped(const std::wstring& path) const;
  void HoldMapped();
  void LetMappedGo(const std::wstring& path);
  // By handle; INVALID_HANDLE_VALUE when free. Fixed, with atomic slots, as
  // the journal's writer thread writes through one of them (files.h).
  std::atomic<HANDLE> handles_[kOpenFileCapacity];
  // The file mapped over the image (MapFileCopy). It is held open, shared
  // with readers only, so no other program writes, shortens, renames or
  // removes it meanwhile (Windows itself refuses to shorten a file that has
  // a view); told apart from other paths by its identity.
  struct MappedFile {
    void* at = nullptr;  // null: nothing is mapped
    uint32_t size = 0;
    HANDLE held = INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION identity = {};
    std::wstring path;
    int update = kNoFile;  // the program's own handle writing it in place
  } mapped_;
};


// The data folder: TRELVAN_DATA_DIR when set, else
// c:\ProgramData\Varnholt\Trelvan Assistant. Every missing level is created.
std::string WindowsDataFolder();

// The program's own page files: TRELVAN_RESOURCE_DIR when set, else the
// folder the program itself was started from.
std::string WindowsResourceFolder();

}  // namespace trelvan
