// The test platform: real files in a private temporary folder, recorded
// message boxes, frames and invalidations, a settable free disk space, and
// failures a test can arm (a write that stops half-way, a failing open or
// rename).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/posix_files.h"

namespace trelvan {

class FakePlatform : public PosixFilePlatform {
 public:
  // Uses `dataFolder` when given, else makes a fresh temporary folder that is
  // removed again with the platform.
  explicit FakePlatform(const std::string& dataFolder = "");
  ~FakePlatform() override;

  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override { messages.emplace_back(text); }
  void StopTimer() override { timerStopped = true; }
  void Sleep(uint32_t ms) override { sleptMs += ms; }
  void PostQuit(int code) override {
    quitPosted = true;
    quitCode = code;
  }

  int OpenWrite(const char* path) override;
  uint32_t WriteFile(int file, const void* data, uint32_t count) override;
  bool RenameFile(const char* from, const char* to) override;
  uint32_t DiskFreeMegabytes() override { return freeMegabytes; }
  bool AcquireSingleInstance(const char*) override { return !otherCopyRunning; }

  // A path inside the data folder.
  std::string DataPath(const std::string& name) const { return dataFolder_ + "/" + name; }

  // ---- what a test sets ----
  uint32_t freeMegabytes = 100000;
  int64_t writeBudget = -1;    /**< bytes all further writes may still write; -1 unlimited */
  bool failOpenWrite = false;  /**< OpenWrite fails */
  bool failRename = false;     /**< RenameFile fails */
  bool otherCopyRunning = false;  /**< AcquireSingleInstance finds the lock taken */

  // ---- what a test reads ----
  std::vector<std::string> messages;  /**< message boxes, in order */
  std::vector<uint8_t> lastFrame;     /**< the last presented frame */
  int presentCount = 0;
  int invalidateCount = 0;
  int invalidated[4] = {0, 0, 0, 0};  /**< the last invalidated rectangle */
  bool timerStopped = false;
  bool quitPosted = false;
  int quitCode = -1;
  uint32_t sleptMs = 0;

 private:
  bool ownsFolder_ = false;
};

}  // namespace trelvan
