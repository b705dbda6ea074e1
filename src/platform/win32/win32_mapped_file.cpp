#include "platform/win32/win32_mapped_file.h"

#include <cstring>

namespace trelvan {

namespace {

constexpr size_t kGranularity = 65536;  // where allocations and views begin
// The placeholder flags, newer than the headers of some toolchains.
constexpr ULONG kReservePlaceholder = 0x00040000;
constexpr ULONG kReplacePlaceholder = 0x00004000;
constexpr ULONG kPreservePlaceholder = 0x00000002;

using VirtualAlloc2Function = PVOID(WINAPI*)(HANDLE, PVOID, SIZE_T, ULONG, ULONG, void*, ULONG);
using MapViewOfFile3Function = PVOID(WINAPI*)(HANDLE, HANDLE, PVOID, ULONG64, SIZE_T, ULONG,
                                              ULONG, void*, ULONG);
using UnmapViewOfFile2Function = BOOL(WINAPI*)(HANDLE, PVOID, ULONG);

struct PlaceholderCalls {
  VirtualAlloc2Function alloc;
  MapViewOfFile3Function map;
  UnmapViewOfFile2Function unmap;
};

const PlaceholderCalls& Placeholders() {
  static const PlaceholderCalls calls = [] {
    const HMODULE kernel = GetModuleHandleW(L"kernelbase.dll");
    return PlaceholderCalls{FindFunction<VirtualAlloc2Function>(kernel, "VirtualAlloc2"),
                            FindFunction<MapViewOfFile3Function>(kernel, "MapViewOfFile3"),
                            FindFunction<UnmapViewOfFile2Function>(kernel, "UnmapViewOfFile2")};
  }();
  return calls;
}

size_t RoundUp(size_t n) { return (n + kGranularity - 1) / kGranularity * kGranularity; }

// True when [at, at + size) is exactly one allocation or view; `type` says
// which (MEM_PRIVATE, MEM_MAPPED).
bool OwnAllocation(void* at, size_t size, DWORD* type) {
  char* const start = static_cast<char*>(at);
  MEMORY_BASIC_INFORMATION first, last, after;
  if (!VirtualQuery(start, &first, sizeof first) || first.AllocationBase != at ||
      first.State != MEM_COMMIT || !VirtualQuery(start + size - 1, &last, sizeof last) ||
      last.AllocationBase != at) {
    return false;
  }
  *type = first.Type;
  return !VirtualQuery(start + size, &after, sizeof after) || after.AllocationBase != at;
}

// Gives up the allocation or view at `at`, leaving a placeholder where it
// replaced one, else free address space. Each way fails, keeping what is
// there, where it does not apply; the two calls below try both in turn.
bool GiveUp(void* at, size_t size, DWORD type) {
  const PlaceholderCalls& calls = Placeholders();
  if (type == MEM_MAPPED) {
    return (calls.unmap && calls.unmap(GetCurrentProcess(), at, kPreservePlaceholder)) ||
           UnmapViewOfFile(at);
  }
  return VirtualFree(at, size, MEM_RELEASE | kPreservePlaceholder) ||
         VirtualFree(at, 0, MEM_RELEASE);
}

bool PutMemory(void* at, size_t size) {
  const PlaceholderCalls& calls = Placeholders();
  const ULONG replace = MEM_RESERVE | MEM_COMMIT | kReplacePlaceholder;
  return (calls.alloc &&
          calls.alloc(nullptr, at, size, replace, PAGE_READWRITE, nullptr, 0) == at) ||
         VirtualAlloc(at, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE) == at;
}

bool PutView(HANDLE section, void* at, size_t size) {
  const PlaceholderCalls& calls = Placeholders();
  return (calls.map && calls.map(section, GetCurrentProcess(), at, 0, size, kReplacePlaceholder,
                                 PAGE_WRITECOPY, nullptr, 0) == at) ||
         MapViewOfFileEx(section, FILE_MAP_COPY, 0, 0, size, at) == at;
}

// The parts as placeholders turned into memory; false, with nothing held,
// where the system has no placeholders.
bool PlaceholderParts(size_t total, char** parts, const size_t* lengths, int count) {
  const PlaceholderCalls& calls = Placeholders();
  if (!calls.alloc || !calls.map || !calls.unmap) return false;
  char* region = static_cast<char*>(calls.alloc(nullptr, nullptr, total,
                                                MEM_RESERVE | kReservePlaceholder, PAGE_NOACCESS,
                                                nullptr, 0));
  if (!region) return false;
  // Split off each part but the last, then put memory in each.
  bool made = true;
  char* at = region;
  for (int i = 0; i < count; ++i) {
    parts[i] = at;
    if (i + 1 < count) {
      made = made && VirtualFree(at, lengths[i], MEM_RELEASE | kPreservePlaceholder);
    }
    at += lengths[i];
  }
  for (int i = 0; i < count && made; ++i) made = PutMemory(parts[i], lengths[i]);
  if (!made) {
    for (int i = 0; i < count; ++i) VirtualFree(parts[i], 0, MEM_RELEASE);
  }
  return made;
}

// The parts as plain allocations side by side, at an address found free a
// moment before; false, with nothing held, when another thread took it.
bool PlainParts(size_t total, char** parts, const size_t* lengths, int count) {
  char* region = static_cast<char*>(VirtualAlloc(nullptr, total, MEM_RESERVE, PAGE_NOACCESS));
  if (!region) return false;
  VirtualFree(region, 0, MEM_RELEASE);
  int made = 0;
  for (char* at = region; made < count; at += lengths[made++]) {
    parts[made] = static_cast<char*>(
        VirtualAlloc(at, lengths[made], MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (parts[made] != at) break;
  }
  if (made == count) return true;
  for (int i = 0; i < made; ++i) VirtualFree(parts[i], 0, MEM_RELEASE);
  return false;
}

}  // namespace

MappableMemory::MappableMemory(size_t length, size_t offset, size_t size) {
  // The range begins on a boundary when this much comes before the object.
  const size_t pad = (kGranularity - offset % kGranularity) % kGranularity;
  size_t lengths[3];
  int count = 0;
  if (pad + offset > 0) lengths[count++] = pad + offset;
  lengths[count++] = size;
  if (length > offset + size) lengths[count++] = RoundUp(length - offset - size);
  size_t total = 0;
  for (int i = 0; i < count; ++i) total += lengths[i];
  bool made = PlaceholderParts(total, parts_, lengths, count);
  for (int tries = 0; !made && tries < 8; ++tries) made = PlainParts(total, parts_, lengths, count);
  if (made) {
    partCount_ = count;
    base_ = parts_[0] + pad;
    return;
  }
  parts_[0] = static_cast<char*>(
      VirtualAlloc(nullptr, length, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  partCount_ = parts_[0] ? 1 : 0;
  base_ = parts_[0];
}

MappableMemory::~MappableMemory() {
  for (int i = 0; i < partCount_; ++i) {
    MEMORY_BASIC_INFORMATION m;
    if (VirtualQuery(parts_[i], &m, sizeof m) && m.Type == MEM_MAPPED) {
      UnmapViewOfFile(parts_[i]);
    } else {
      VirtualFree(parts_[i], 0, MEM_RELEASE);
    }
  }
}

bool MapViewOver(HANDLE file, void* at, uint32_t size) {
  DWORD type = 0;
  if (reinterpret_cast<uintptr_t>(at) % kGranularity != 0 || size % kGranularity != 0 ||
      size == 0 || !OwnAllocation(at, size, &type)) {
    return false;
  }
  const HANDLE section = CreateFileMappingW(file, nullptr, PAGE_WRITECOPY, 0, 0, nullptr);
  if (!section) return false;
  const bool gaveUp = GiveUp(at, size, type);
  const bool mapped = gaveUp && PutView(section, at, size);
  if (gaveUp && !mapped) PutMemory(at, size);
  CloseHandle(section);  // the view keeps it
  return mapped;
}

bool KeepViewAsMemory(void* at, uint32_t size) {
  DWORD type = 0;
  if (!OwnAllocation(at, size, &type) || type != MEM_MAPPED) return true;
  void* copy = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!copy) return false;
  std::memcpy(copy, at, size);
  const bool kept = GiveUp(at, size, type) && PutMemory(at, size);
  if (kept) std::memcpy(at, copy, size);
  VirtualFree(copy, 0, MEM_RELEASE);
  return kept;
}

}  // namespace trelvan
