#include "platform/fake/fake_files.h"

#include <cstring>
#include <filesystem>
#include <random>

#include "platform/linux/mapped_file.h"

namespace trelvan {

namespace fs = std::filesystem;

namespace {

std::string MakeTemporaryFolder() {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) return "";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path folder = base / ("trelvan-test-" + std::to_string(random()));
    if (fs::create_directory(folder, error)) return folder.string();
  }
  return "";
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// Takes up to `count` from a budget (-1: unlimited).
uint32_t Allow(int64_t budget, uint32_t count) {
  return budget >= 0 && budget < count ? static_cast<uint32_t>(budget) : count;
}

}  // namespace

FakeFiles::FakeFiles(const std::string& dataFolder)
    : dataFolder_(dataFolder.empty() ? MakeTemporaryFolder() : dataFolder) {
  ownsFolder_ = dataFolder.empty() && !dataFolder_.empty();
  for (std::atomic<std::FILE*>& f : streams_) f.store(nullptr);
}

FakeFiles::~FakeFiles() {
  for (std::atomic<std::FILE*>& f : streams_) {
    if (f.load()) std::fclose(f.load());
  }
  if (ownsFolder_) {
    std::error_code ignored;
    fs::remove_all(dataFolder_, ignored);
  }
}

std::FILE* FakeFiles::Stream(int file) const {
  if (file < 0 || file >= kOpenFileCapacity) return nullptr;
  return streams_[file].load(std::memory_order_acquire);
}

int FakeFiles::Store(std::FILE* f) {
  for (int i = 0; i < kOpenFileCapacity; ++i) {
    if (!streams_[i].load(std::memory_order_relaxed)) {
      streams_[i].store(f, std::memory_order_release);
      return i;
    }
  }
  std::fclose(f);
  return kNoFile;
}

bool FakeFiles::Refuses(const std::string& path) const {
  return readOnly.count(path) != 0 || readOnly.count(FolderOf(path)) != 0;
}

int FakeFiles::OpenRead(const char* path) {
  std::error_code error;
  if (failOpenRead || unreadable.count(path) || !fs::is_regular_file(path, error)) return kNoFile;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return kNoFile;
  return Store(f);
}

int FakeFiles::OpenWrite(const char* path) {
  if (failOpenWrite || Refuses(path)) return kNoFile;
  std::FILE* f = std::fopen(path, "wbx");  // exclusive: nothing, not even a link, may be there
  if (!f) return kNoFile;
  return Store(f);
}

int FakeFiles::OpenUpdate(const char* path) {
  std::error_code error;
  if (failOpenWrite || Refuses(path) || !fs::is_regular_file(path, error)) return kNoFile;
  std::FILE* f = std::fopen(path, "r+b");  // follows a link, as the systems' calls do
  if (!f) return kNoFile;
  return Store(f);
}

bool FakeFiles::MapFileCopy(const char* path, void* at, uint32_t size) {
  if (failOpenRead || unreadable.count(path) || readBudget >= 0) return false;
  return MapFileCopyOver(path, at, size);
}

bool FakeFiles::MappedFileLost() { return MappedFileWasLost(); }

uint32_t FakeFiles::ReadFile(int file, void* out, uint32_t count) {
  std::FILE* f = Stream(file);
  if (!f) return 0;
  const uint32_t n = static_cast<uint32_t>(std::fread(out, 1, Allow(readBudget, count), f));
  if (readBudget >= 0) readBudget -= n;
  return n;
}

uint32_t FakeFiles::WriteFile(int file, const void* data, uint32_t count) {
  std::FILE* f = Stream(file);
  if (!f || writeCalls == 0) return 0;
  if (writeCalls > 0) --writeCalls;
  const uint32_t n = static_cast<uint32_t>(std::fwrite(data, 1, Allow(writeBudget, count), f));
  if (writeBudget >= 0) writeBudget -= n;
  return n;
}

uint32_t FakeFiles::WriteFileAt(int file, uint64_t offset, const void* data, uint32_t count) {
  std::FILE* f = Stream(file);
  if (!f || std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  return FakeFiles::WriteFile(file, data, count);
}

bool FakeFiles::FlushFile(int file) {
  std::FILE* f = Stream(file);
  ++flushes;
  return f && std::fflush(f) == 0 && !failFlush;
}

bool FakeFiles::LinkTarget(const char* path, char* out, uint32_t capacity) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return false;
  const std::string target = fs::canonical(path, error).string();
  if (error || target.size() >= capacity) return false;
  std::memcpy(out, target.c_str(), target.size() + 1);
  return true;
}

uint16_t FakeFiles::ListDrives(char (*out)[kDriveRootCapacity], uint16_t capacity) {
  uint16_t count = 0;
  for (const std::string& root : drives) {
    if (count >= capacity || root.size() >= kDriveRootCapacity) break;
    std::snprintf(out[count++], kDriveRootCapacity, "%s", root.c_str());
  }
  return count;
}

bool FakeFiles::SyncFolder(const char* folder) {
  folderSyncs.push_back(folder);
  std::error_code error;
  return fs::is_directory(folder, error);
}

bool FakeFiles::CloseFile(int file) {
  std::FILE* f = Stream(file);
  if (!f) return false;
  streams_[file].store(nullptr, std::memory_order_release);
  return std::fclose(f) == 0;
}

bool FakeFiles::FileSize(int file, uint32_t* size) {
  std::FILE* f = Stream(file);
  if (!f) return false;
  const long at = std::ftell(f);
  if (at < 0 || std::fseek(f, 0, SEEK_END) != 0) return false;
  const long end = std::ftell(f);
  std::fseek(f, at, SEEK_SET);
  if (end < 0 || static_cast<unsigned long>(end) > 0xFFFFFFFFul) return false;
  *size = static_cast<uint32_t>(end);
  return true;
}

bool FakeFiles::DeleteFile(const char* path) {
  std::error_code error;
  if (failDelete || Refuses(path) || fs::is_directory(fs::symlink_status(path, error))) return false;
  return std::remove(path) == 0;
}

bool FakeFiles::RenameFile(const char* from, const char* to) {
  // A read-only file may move; it may not be replaced.
  if (failRename || readOnly.count(FolderOf(from)) != 0 || Refuses(to)) return false;
  return std::rename(from, to) == 0;
}

bool FakeFiles::RenameToNew(const char* from, const char* to) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(to, error))) return false;
  return RenameFile(from, to);
}

bool FakeFiles::PathAttributes(const char* path, PathInfo* out) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) return false;
  out->folder = fs::is_directory(status);
  out->readOnly = readOnly.count(path) != 0;
  out->size = fs::is_regular_file(status) ? fs::file_size(path, error) : 0;
  return true;
}

bool FakeFiles::CopyAttributes(const char* from, const char* to) {
  std::error_code error;
  fs::permissions(to, fs::status(from, error).permissions(), error);
  return !error;
}

uint16_t FakeFiles::ListFolder(const char* folder, const char* pattern, FolderEntry* out,
                               uint16_t capacity) {
  std::error_code error;
  uint16_t count = 0;
  FolderEntry entry;
  for (fs::directory_iterator it(folder, error), end; !error && capacity > 0 && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!MatchesPattern(pattern, name.c_str(), false)) continue;
    std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
    std::error_code ignored;
    entry.folder = it->is_directory(ignored);
    entry.hidden = name[0] == '.';
    KeepInNameOrder(out, &count, capacity, entry);
  }
  return count;
}

}  // namespace trelvan
