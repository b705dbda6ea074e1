// File services on POSIX, shared by the Linux front end and the fake
// platform of the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace trelvan {

class PosixFilePlatform : public Platform {
 public:
  explicit PosixFilePlatform(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}
  ~PosixFilePlatform() override;

  char PathSeparator() const override { return '/'; }
  const char* DataFolder() const override { return dataFolder_.c_str(); }
  int OpenRead(const char* path) override;
  int OpenWrite(const char* path) override;
  uint32_t ReadFile(int file, void* out, uint32_t count) override;
  uint32_t WriteFile(int file, const void* data, uint32_t count) override;
  bool FlushFile(int file) override;
  bool CloseFile(int file) override;
  bool FileSize(int file, uint32_t* size) override;
  bool DeleteFile(const char* path) override;
  bool RenameFile(const char* from, const char* to) override;
  uint16_t ListFolder(const char* folder, const char* pattern, FolderEntry* out,
                      uint16_t capacity) override;
  uint32_t DiskFreeMegabytes() override;
  // A lock file "NAME.lock" in the data folder, held open with flock until
  // the process ends.
  bool AcquireSingleInstance(const char* name) override;

 protected:
  std::string dataFolder_;

 private:
  int Descriptor(int file) const;
  std::vector<int> descriptors_;  // by handle; -1 once closed
};

}  // namespace trelvan
