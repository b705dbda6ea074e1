#include "platform/linux/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/mapped_file.h"

namespace trelvan {

PosixFiles::PosixFiles(std::string dataFolder, std::string resourceFolder)
    : dataFolder_(std::move(dataFolder)), resourceFolder_(std::move(resourceFolder)), startFolder_("/") {
  for (std::atomic<int>& d : descriptors_) d.store(-1);
  const char* home = getenv("HOME");
  if (home && home[0] == '/') {
    startFolder_ = home;
    if (startFolder_.back() != '/') startFolder_ += '/';
  }
}

namespace {
constexpr uint32_t kWritePiece = 1u << 20;

// A descriptor of the regular file at `path`, or -1: a folder or a device
// is never taken for a file.
int OpenRegularFile(const char* path, int flags) {
  const int fd = open(path, flags | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}
}  // namespace

PosixFiles::~PosixFiles() {
  for (std::atomic<int>& d : descriptors_) {
    if (d.load() >= 0) close(d.load());
  }
}

int PosixFiles::Descriptor(int file) const {
  if (file < 0 || file >= static_cast<int>(kOpenFileCapacity)) return -1;
  return descriptors_[file].load(std::memory_order_acquire);
}

int PosixFiles::Store(int fd) {
  for (int i = 0; i < static_cast<int>(kOpenFileCapacity); ++i) {
    if (descriptors_[i].load(std::memory_order_relaxed) < 0) {
      descriptors_[i].store(fd, std::memory_order_release);
      return i;
    }
  }
  close(fd);
  return kNoFile;
}

int PosixFiles::OpenRead(const char* path) {
  const int fd = OpenRegularFile(path, O_RDONLY);
  return fd < 0 ? kNoFile : Store(fd);
}

int PosixFiles::OpenWrite(const char* path) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return kNoFile;
  return Store(fd);
}

int PosixFiles::OpenUpdate(const char* path) {
  const int fd = OpenRegularFile(path, O_WRONLY);
  return fd < 0 ? kNoFile : Store(fd);
}

uint32_t PosixFiles::ReadFile(int file, void* out, uint32_t count) {
  const int fd = Descriptor(file);
  uint32_t done = 0;
  while (fd >= 0 && done < count) {
    const ssize_t n = read(fd, static_cast<char*>(out) + done, count - done);
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t PosixFiles::WriteFile(int file, const void* data, uint32_t count) {
  const int fd = Descriptor(file);
  uint32_t done = 0;
  while (fd >= 0 && done < count) {
    // A MiB a call: one write of the whole 128 MiB image from its huge pages
    // took several times as long as the same bytes in pieces.
    const uint32_t piece = count - done < kWritePiece ? count - done : kWritePiece;
    const ssize_t n = write(fd, static_cast<const char*>(data) + done, piece);
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t PosixFiles::WriteFileAt(int file, uint64_t offset, const void* data, uint32_t count) {
  const int fd = Descriptor(file);
  uint32_t done = 0;
  while (fd >= 0 && done < count) {
    const uint32_t piece = count - done < kWritePiece ? count - done : kWritePiece;
    const ssize_t n = pwrite(fd, static_cast<const char*>(data) + done, piece,
                             static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

bool PosixFiles::FlushFile(int file) {
  const int fd = Descriptor(file);
  return fd >= 0 && fsync(fd) == 0;
}

bool PosixFiles::CloseFile(int file) {
  const int fd = Descriptor(file);
  if (fd < 0) return false;
  descriptors_[file].store(-1, std::memory_order_release);
  return close(fd) == 0;
}

bool PosixFiles::FileSize(int file, uint32_t* size) {
  const int fd = Descriptor(file);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return false;
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > 0xFFFFFFFFull) return false;
  *size = static_cast<uint32_t>(st.st_size);
  return true;
}

bool PosixFiles::MapFileCopy(const char* path, void* at, uint32_t size) {
  return MapFileCopyOver(path, at, size);
}

bool PosixFiles::MappedFileLost() { return MappedFileWasLost(); }

bool PosixFiles::DeleteFile(const char* path) { return unlink(path) == 0; }

bool PosixFiles::RenameFile(const char* from, const char* to) {
  return rename(from, to) == 0;
}

bool PosixFiles::RenameToNew(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a hard link is made only where nothing
  // is, then the old name goes.
  return link(from, to) == 0 && unlink(from) == 0;
}

bool PosixFiles::PathAttributes(const char* path, PathInfo* out) {
  struct stat st;
  if (stat(path, &st) != 0) return false;
  out->folder = S_ISDIR(st.st_mode);
  // No write bit at all counts as read-only even for root, who could write.
  out->readOnly = access(path, W_OK) != 0 || (st.st_mode & 0222) == 0;
  out->size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

bool PosixFiles::CopyAttributes(const char* from, const char* to) {
  struct stat st;
  if (stat(from, &st) != 0) return false;
  // Through a descriptor of `to` itself: a link put there is not followed.
  const int fd = open(to, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool done = fchmod(fd, st.st_mode & 07777) == 0;
  close(fd);
  return done;
}

uint16_t PosixFiles::ListFolder(const char* folder, const char* pattern,
                                       FolderEntry* out, uint16_t capacity) {
  DIR* dir = opendir(folder);
  if (!dir) return 0;
  uint16_t count = 0;
  FolderEntry entry;
  while (capacity > 0) {
    const dirent* e = readdir(dir);
    if (!e) break;
    if (!MatchesPattern(pattern, e->d_name, false)) continue;
    snprintf(entry.name, sizeof entry.name, "%s", e->d_name);
    // Asked inside the folder itself: no joined path to outgrow a buffer.
    struct stat st;
    entry.folder = fstatat(dirfd(dir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    entry.hidden = e->d_name[0] == '.' && e->d_name[1] != 0 &&
                   !(e->d_name[1] == '.' && e->d_name[2] == 0);
    KeepInNameOrder(out, &count, capacity, entry);
  }
  closedir(dir);
  return count;
}

uint32_t PosixFiles::DiskFreeMegabytes() {
  struct statvfs fs;
  if (statvfs(dataFolder_.c_str(), &fs) != 0) return 0;
  const unsigned long long bytes =
      static_cast<unsigned long long>(fs.f_bavail) * static_cast<unsigned long long>(fs.f_frsize);
  const unsigned long long mib = bytes / 1048576ull;
  return mib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(mib);
}

bool PosixFiles::SyncFolder(const char* folder) {
  const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool done = fsync(fd) == 0;
  close(fd);
  return done;
}

bool PosixFiles::LinkTarget(const char* path, char* out, uint32_t capacity) {
  struct stat st;
  if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  char* target = realpath(path, nullptr);
  if (!target) return false;
  const size_t n = strlen(target);
  const bool fits = n < capacity;
  if (fits) memcpy(out, target, n + 1);
  free(target);
  return fits;
}

std::string LinuxProgramFolder() {
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  exe[n] = 0;
  std::string folder(exe);
  folder.erase(folder.find_last_of('/'));
  return folder;
}

std::string LinuxResourceFolder() {
  if (const char* dir = getenv("TRELVAN_RESOURCE_DIR"); dir && *dir) return dir;
  const std::string folder = LinuxProgramFolder();
  if (folder.empty()) return "";
  const std::string fromBuild = "/src/main/linux";
  const std::string candidates[] = {
      folder + "/../share/trelvan-assistant",
      folder.size() > fromBuild.size() &&
              folder.compare(folder.size() - fromBuild.size(), fromBuild.size(), fromBuild) == 0
          ? folder.substr(0, folder.size() - fromBuild.size()) + "/resources"
          : std::string()};
  struct stat info;
  for (const std::string& c : candidates) {
    if (!c.empty() && stat(c.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return c;
  }
  return "";
}

std::string LinuxDataFolder() {
  std::string folder;
  if (const char* dir = getenv("TRELVAN_DATA_DIR"); dir && *dir) {
    folder = dir;
  } else if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
    folder = std::string(xdg) + "/Trelvan Assistant";
  } else {
    // HOME, else the password database's home of this user; never the
    // folder the program happened to start in.
    // A relative HOME would put the data wherever the program was started.
    const char* home = getenv("HOME");
    if (!home || home[0] != '/') {
      const passwd* user = getpwuid(getuid());
      home = user && user->pw_dir && *user->pw_dir ? user->pw_dir : nullptr;
    }
    if (!home) return std::string();
    folder = std::string(home) + "/.local/share/Trelvan Assistant";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void MakeFolders(const std::string& folder) {
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0755);
  }
}

}  // namespace trelvan
