// The files service of the tests: real files in a private temporary folder
// through the C and C++ standard libraries, with a settable free disk space
// and failures a test can arm. Paths are compared as the program builds them
// (folder, "/", name).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace trelvan {

class FakeFiles : public Files {
 public:
  // Uses `dataFolder` when given, else makes a fresh temporary folder that is
  // removed again with the service.
  explicit FakeFiles(const std::string& dataFolder = "");
  ~FakeFiles() override;
  FakeFiles(const FakeFiles&) = delete;
  FakeFiles& operator=(const FakeFiles&) = delete;

  char PathSeparator() const override { return '/'; }
  const char* DataFolder() const override { return dataFolder_.c_str(); }
  const char* ResourceFolder() const override { return resourceFolder.c_str(); }
  const char* RootFolder() const override { return root.c_str(); }
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
  bool DeleteFile(const char* path) override;
  bool RenameFile(const char* from, const char* to) override;
  bool RenameToNew(const char* from, const char* to) override;
  bool PathAttributes(const char* path, PathInfo* out) override;
  bool CopyAttributes(const char* from, const char* to) override;
  uint16_t ListFolder(const char* folder, const char* pattern, FolderEntry* out,
                      uint16_t capacity) override;
  uint32_t DiskFreeMegabytes() override { return freeMegabytes; }
  bool SyncFolder(const char* folder) override;
  bool LinkTarget(const char* path, char* out, uint32_t capacity) override;
  // Maps as the program's files service does, unless a read is to fail:
  // failOpenRead, an unreadable file, a read budget.
  bool MapFileCopy(const char* path, void* at, uint32_t size) override;
  bool MappedFileLost() override;

  // A path inside the data folder.
  std::string DataPath(const std::string& name) const { return dataFolder_ + "/" + name; }

  // ---- what a test sets ----
  uint32_t freeMegabytes = 100000;
  std::string root = "/";         /**< RootFolder() */
  std::vector<std::string> drives;  /**< ListDrives(): the drives' roots; none: one root */
  std::string resourceFolder;     /**< ResourceFolder(): none unless a test names one */
  int64_t writeBudget = -1;       /**< bytes all further writes may still write; -1 unlimited */
  int64_t writeCalls = -1;        /**< writes that may still be made (a cut after them); -1 unlimited */
  int64_t readBudget = -1;        /**< bytes all further reads may still read; 0: reads fail */
  bool failOpenRead = false;      /**< OpenRead fails */
  std::set<std::string> unreadable;  /**< files OpenRead does not open */
  bool failOpenWrite = false;     /**< OpenWrite fails */
  bool failFlush = false;         /**< FlushFile fails (the bytes stay written) */
  bool failRename = false;        /**< RenameFile fails */
  bool failDelete = false;        /**< DeleteFile fails */
  // Files and folders that refuse change, as a read-only attribute or a
  // folder without write permission would: such a file cannot be opened for
  // writing, deleted or replaced by a rename (it may itself be renamed), and
  // in such a folder nothing can be created, deleted or renamed.
  // PathAttributes reports them read-only.
  std::set<std::string> readOnly;

  // ---- what a test reads ----
  std::atomic<int> flushes{0};            /**< FlushFile calls */
  std::vector<std::string> folderSyncs;  /**< SyncFolder calls, in order */

 protected:
  std::FILE* Stream(int file) const;  // null for a handle not open

 private:
  bool Refuses(const std::string& path) const;  // read-only itself or in a read-only folder
  std::string dataFolder_;
  bool ownsFolder_ = false;
  int Store(std::FILE* f);
  // By handle; null when free. Fixed, with atomic slots (files.h).
  std::atomic<std::FILE*> streams_[kOpenFileCapacity];
};

}  // namespace trelvan
