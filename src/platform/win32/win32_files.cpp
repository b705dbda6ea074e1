#include "platform/win32/win32_files.h"

#include <cstdio>

#include "platform/win32/win32_mapped_file.h"
#include "platform/win32/win32_text.h"

namespace trelvan {

namespace {

constexpr wchar_t kDefaultDataFolder[] = L"c:\\ProgramData\\Varnholt\\Trelvan Assistant";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A full path with a drive letter as the wide path the Win32 calls take
// beyond MAX_PATH: "\\?\" before it and backslashes throughout (such a path
// is not parsed, so "/" would not separate). Other paths as they are.
std::wstring LongPath(const char* path) {
  std::wstring wide = Widen(path);
  if (wide.size() < 3 || wide[1] != L':' || !IsSeparator(wide[2])) return wide;
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return L"\\\\?\\" + wide;
}

bool SameFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& identity) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(file, &info) &&
         info.dwVolumeSerialNumber == identity.dwVolumeSerialNumber &&
         info.nFileIndexHigh == identity.nFileIndexHigh &&
         info.nFileIndexLow == identity.nFileIndexLow;
}

}  // namespace

Win32Files::~Win32Files() {
  for (std::atomic<HANDLE>& h : handles_) {
    if (h.load() != INVALID_HANDLE_VALUE) CloseHandle(h.load());
  }
  if (mapped_.held != INVALID_HANDLE_VALUE) CloseHandle(mapped_.held);
}

int Win32Files::Store(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return kNoFile;
  for (int i = 0; i < kOpenFileCapacity; ++i) {
    if (handles_[i].load(std::memory_order_relaxed) == INVALID_HANDLE_VALUE) {
      handles_[i].store(handle, std::memory_order_release);
      return i;
    }
  }
  CloseHandle(handle);
  return kNoFile;
}

HANDLE Win32Files::Handle(int file) const {
  if (file < 0 || file >= kOpenFileCapacity) return INVALID_HANDLE_VALUE;
  return handles_[file].load(std::memory_order_acquire);
}

int Win32Files::OpenRead(const char* path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, so only
  // regular files come back.
  const HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return Store(h);
}

int Win32Files::OpenWrite(const char* path) {
  // CREATE_NEW fails on anything there, a link included, so nothing is
  // written through a link.
  const HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  return Store(h);
}

int Win32Files::OpenUpdate(const char* path) {
  // A link is followed: the write reaches its target. Readers may share the
  // file; no other writer may.
  const std::wstring wide = LongPath(path);
  const auto open = [&wide] {
    return CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE h = open();
  if (h != INVALID_HANDLE_VALUE || mapped_.held == INVALID_HANDLE_VALUE || !IsMapped(wide)) {
    return Store(h);
  }
  // The program's own save in place into the mapped file: the hold steps
  // aside while the write lasts (its handle refuses other writers too) and
  // comes back when the file is closed.
  CloseHandle(mapped_.held);
  mapped_.held = INVALID_HANDLE_VALUE;
  const int file = Store(open());
  if (file == kNoFile) {
    HoldMapped();
  } else {
    mapped_.update = file;
  }
  return file;
}

uint32_t Win32Files::ReadFile(int file, void* out, uint32_t count) {
  const HANDLE h = Handle(file);
  uint32_t done = 0;
  while (h != INVALID_HANDLE_VALUE && done < count) {
    DWORD n = 0;
    if (!::ReadFile(h, static_cast<char*>(out) + done, count - done, &n, nullptr) || n == 0) break;
    done += n;
  }
  return done;
}

uint32_t Win32Files::WriteFile(int file, const void* data, uint32_t count) {
  const HANDLE h = Handle(file);
  uint32_t done = 0;
  while (h != INVALID_HANDLE_VALUE && done < count) {
    DWORD n = 0;
    if (!::WriteFile(h, static_cast<const char*>(data) + done, count - done, &n, nullptr) ||
        n == 0) {
      break;
    }
    done += n;
  }
  return done;
}

uint32_t Win32Files::WriteFileAt(int file, uint64_t offset, const void* data, uint32_t count) {
  const HANDLE h = Handle(file);
  uint32_t done = 0;
  while (h != INVALID_HANDLE_VALUE && done < count) {
    // A synchronous handle writes at the offset its OVERLAPPED names.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    DWORD n = 0;
    if (!::WriteFile(h, static_cast<const char*>(data) + done, count - done, &n, &at) || n == 0) {
      break;
    }
    done += n;
  }
  return done;
}

bool Win32Files::FlushFile(int file) {
  const HANDLE h = Handle(file);
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

bool Win32Files::CloseFile(int file) {
  const HANDLE h = Handle(file);
  if (h == INVALID_HANDLE_VALUE) return false;
  handles_[file].store(INVALID_HANDLE_VALUE, std::memory_order_release);
  const bool closed = CloseHandle(h) != 0;
  if (file == mapped_.update) {
    mapped_.update = kNoFile;
    HoldMapped();
  }
  return closed;
}

bool Win32Files::FileSize(int file, uint32_t* size) {
  const HANDLE h = Handle(file);
  LARGE_INTEGER s;
  if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &s)) return false;
  if (s.QuadPart < 0 || s.QuadPart > 0xFFFFFFFFll) return false;  // beyond 32 bits
  *size = static_cast<uint32_t>(s.QuadPart);
  return true;
}

bool Win32Files::MapFileCopy(const char* path, void* at, uint32_t size) {
  std::wstring wide = LongPath(path);
  const HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER length;
  BY_HANDLE_FILE_INFORMATION identity;
  if (!GetFileSizeEx(h, &length) || length.QuadPart != size ||
      !GetFileInformationByHandle(h, &identity) || !MapViewOver(h, at, size)) {
    CloseHandle(h);
    return false;
  }
  // The program maps one file, the storage: a new mapping takes the place
  // of the one before.
  if (mapped_.held != INVALID_HANDLE_VALUE) CloseHandle(mapped_.held);
  mapped_ = MappedFile{at, size, h, identity, std::move(wide), kNoFile};
  return true;
}

bool Win32Files::IsMapped(const std::wstring& path) const {
  if (!mapped_.at) return false;
  // Opened for its identity only, which no sharing refuses.
  const HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool same = SameFile(h, mapped_.identity);
  CloseHandle(h);
  return same;
}

void Win32Files::HoldMapped() {
  const HANDLE h = CreateFileW(mapped_.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  // Not when another program took the file meanwhile, or its path now
  // names another file.
  if (h != INVALID_HANDLE_VALUE && !SameFile(h, mapped_.identity)) {
    CloseHandle(h);
    return;
  }
  mapped_.held = h;
}

void Win32Files::LetMappedGo(const std::wstring& path) {
  // Windows renames, replaces or removes no file that has a view, so the
  // image keeps its bytes as plain memory first, as a Linux mapping keeps
  // the old file's. Without memory for that the view stays, and the system
  // refuses the change.
  if (!IsMapped(path) || !KeepViewAsMemory(mapped_.at, mapped_.size)) return;
  if (mapped_.held != INVALID_HANDLE_VALUE) CloseHandle(mapped_.held);
  mapped_ = MappedFile{};
}

bool Win32Files::DeleteFile(const char* path) {
  const std::wstring wide = LongPath(path);
  LetMappedGo(wide);
  return DeleteFileW(wide.c_str()) != 0;
}

bool Win32Files::RenameFile(const char* from, const char* to) {
  const std::wstring source = LongPath(from), target = LongPath(to);
  LetMappedGo(source);
  LetMappedGo(target);
  return MoveFileExW(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::RenameToNew(const char* from, const char* to) {
  const std::wstring source = LongPath(from);
  LetMappedGo(source);
  return MoveFileExW(source.c_str(), LongPath(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::PathAttributes(const char* path, PathInfo* out) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
  out->folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // A folder's read-only attribute does not stop files being made in it.
  out->readOnly = !out->folder && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  out->size = out->folder ? 0
                          : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool Win32Files::CopyAttributes(const char* from, const char* to) {
  const DWORD attributes = GetFileAttributesW(LongPath(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // Only these can be set on a file.
  DWORD kept =
      attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY |
                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (kept == 0) kept = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesW(LongPath(to).c_str(), kept) != 0;
}

uint16_t Win32Files::ListFolder(const char* folder, const char* pattern,
                                       FolderEntry* out, uint16_t capacity) {
  if (capacity == 0) return 0;
  // The search lists everything and the pattern is applied here: handed to
  // FindFirstFileW it would also match the short 8.3 names.
  std::wstring search = LongPath(folder);
  if (!search.empty() && !IsSeparator(search.back())) search += L'\\';
  search += L'*';
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW(search.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  uint16_t count = 0;
  FolderEntry entry;
  do {
    const std::string name = Narrow(found.cFileName);
    // A name beyond an entry's room would be cut into another name.
    if (name.empty() || name.size() >= sizeof entry.name ||
        !MatchesPattern(pattern, name.c_str(), true)) {
      continue;
    }
    snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
    const DWORD attributes = found.dwFileAttributes;
    entry.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    KeepInNameOrder(out, &count, capacity, entry);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return count;
}

uint16_t Win32Files::ListDrives(char (*out)[kDriveRootCapacity], uint16_t capacity) {
  return DriveRoots(GetLogicalDrives(), out, capacity);
}

uint32_t Win32Files::DiskFreeMegabytes() {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceW(L"C:\\", &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return 0;
  }
  const unsigned long long bytes = static_cast<unsigned long long>(freeClusters) *
                                   sectorsPerCluster * bytesPerSector;
  const unsigned long long mib = bytes / 1048576ull;
  return mib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(mib);
}

namespace {

// An environment variable; empty when it is not set.
std::wstring Variable(const wchar_t* name) {
  std::wstring value;
  const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
  if (length > 1) {
    value.resize(length);
    const DWORD written = GetEnvironmentVariableW(name, &value[0], length);
    value.resize(written < length ? written : 0);
  }
  return value;
}

}  // namespace

std::string WindowsResourceFolder() {
  std::wstring folder = Variable(L"TRELVAN_RESOURCE_DIR");
  if (folder.empty()) {
    wchar_t exe[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    folder.assign(exe, n);
    while (!folder.empty() && !IsSeparator(folder.back())) folder.pop_back();
  }
  while (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
  return Narrow(folder.c_str());
}

std::string WindowsDataFolder() {
  std::wstring folder = Variable(L"TRELVAN_DATA_DIR");
  if (folder.empty()) folder = kDefaultDataFolder;
  while (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
  // Make every missing level; the drive itself and existing folders just fail.
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || IsSeparator(folder[i])) {
      CreateDirectoryW(LongPath(Narrow(folder.substr(0, i).c_str()).c_str()).c_str(), nullptr);
    }
  }
  return Narrow(folder.c_str());
}

}  // namespace trelvan
