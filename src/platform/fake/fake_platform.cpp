#include "platform/fake/fake_platform.h"

#include <stdlib.h>

#include <filesystem>

namespace trelvan {

namespace {
std::string MakeTemporaryFolder() {
  char pattern[] = "/tmp/trelvan-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made ? made : "";
}
}  // namespace

FakePlatform::FakePlatform(const std::string& dataFolder)
    : PosixFilePlatform(dataFolder.empty() ? MakeTemporaryFolder() : dataFolder) {
  ownsFolder_ = dataFolder.empty() && !dataFolder_.empty();
}

FakePlatform::~FakePlatform() {
  if (ownsFolder_) {
    std::error_code ignored;
    std::filesystem::remove_all(dataFolder_, ignored);
  }
}

void FakePlatform::PresentFrame(const uint8_t* bgr0, int width, int height) {
  lastFrame.assign(bgr0, bgr0 + static_cast<size_t>(width) * height * 4);
  ++presentCount;
}

void FakePlatform::InvalidateRect(int left, int top, int right, int bottom) {
  invalidated[0] = left;
  invalidated[1] = top;
  invalidated[2] = right;
  invalidated[3] = bottom;
  ++invalidateCount;
}

int FakePlatform::OpenWrite(const char* path) {
  return failOpenWrite ? kNoFile : PosixFilePlatform::OpenWrite(path);
}

uint32_t FakePlatform::WriteFile(int file, const void* data, uint32_t count) {
  uint32_t allowed = count;
  if (writeBudget >= 0 && writeBudget < count) allowed = static_cast<uint32_t>(writeBudget);
  const uint32_t written = PosixFilePlatform::WriteFile(file, data, allowed);
  if (writeBudget >= 0) writeBudget -= written;
  return written;
}

bool FakePlatform::RenameFile(const char* from, const char* to) {
  return !failRename && PosixFilePlatform::RenameFile(from, to);
}

}  // namespace trelvan
