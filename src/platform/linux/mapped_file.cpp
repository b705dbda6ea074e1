#include "platform/linux/mapped_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

namespace trelvan {

namespace {

// The mapped ranges the guard answers for. A range stays guarded for the
// process's life: the memory under it may be handed out again after the
// mapping's owner is gone, and a page the guard replaces is plain memory.
constexpr int kGuardedCapacity = 8;
std::atomic<uintptr_t> guardedStart[kGuardedCapacity];
std::atomic<uintptr_t> guardedEnd[kGuardedCapacity];
std::atomic<int> guardedCount{0};
// The file mapped at each range, kept open to see its size: the system
// reads a lost page for a write(2) without SIGBUS, failing the write.
int mappedFile[kGuardedCapacity] = {-1, -1, -1, -1, -1, -1, -1, -1};
std::atomic<bool> lost{false};
std::atomic<uintptr_t> pageSize{4096};  // read once, outside the handler

bool Guarded(uintptr_t address) {
  const int n = guardedCount.load(std::memory_order_acquire);
  for (int i = 0; i < n && i < kGuardedCapacity; ++i) {
    if (address >= guardedStart[i].load() && address < guardedEnd[i].load()) return true;
  }
  return false;
}

// Anonymous private memory over [at, at + size): what the memory holds
// when a mapping cannot stay.
bool PlainMemoryOver(void* at, size_t size) {
  return mmap(at, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED | MAP_ANONYMOUS, -1, 0) == at;
}

void OnBusError(int signal, siginfo_t* info, void*) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (Guarded(address)) {
    const uintptr_t page = pageSize.load();
    if (PlainMemoryOver(reinterpret_cast<void*>(address & ~(page - 1)), page)) {
      lost.store(true);
      return;  // the access runs again and reads zero bytes
    }
  }
  // Not ours: the default action, as if no handler were there.
  struct sigaction plain = {};
  plain.sa_handler = SIG_DFL;
  sigaction(signal, &plain, nullptr);
  raise(signal);
}

bool InstallGuard() {
  static const bool installed = [] {
    pageSize.store(static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)));
    struct sigaction action = {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGBUS, &action, nullptr) == 0;
  }();
  return installed;
}

// The range's slot, added when new; -1 when all are taken.
int GuardedSlot(void* at, uint32_t size) {
  const uintptr_t start = reinterpret_cast<uintptr_t>(at), end = start + size;
  const int n = guardedCount.load();
  for (int i = 0; i < n; ++i) {
    if (guardedStart[i].load() == start && guardedEnd[i].load() == end) return i;
  }
  if (n >= kGuardedCapacity) return -1;
  guardedStart[n].store(start);
  guardedEnd[n].store(end);
  guardedCount.store(n + 1, std::memory_order_release);
  return n;
}

}  // namespace

bool MapFileCopyOver(const char* path, void* at, uint32_t size) {
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  if (reinterpret_cast<uintptr_t>(at) % page != 0 || size % page != 0 || size == 0) return false;
  const int slot = InstallGuard() ? GuardedSlot(at, size) : -1;
  if (slot < 0) return false;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool mapped = false;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == static_cast<off_t>(size)) {
    mapped = mmap(at, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, fd, 0) == at;
    // A failed fixed mapping may have taken the memory's pages away.
    if (!mapped) PlainMemoryOver(at, size);
  }
  if (!mapped) {
    close(fd);
    return false;
  }
  // A new mapping over the range replaces the one before.
  if (mappedFile[slot] >= 0) close(mappedFile[slot]);
  mappedFile[slot] = fd;
  return true;
}

bool MappedFileWasLost() {
  if (lost.load()) return true;
  const int n = guardedCount.load();
  for (int i = 0; i < n; ++i) {
    struct stat st;
    const off_t size = static_cast<off_t>(guardedEnd[i].load() - guardedStart[i].load());
    if (mappedFile[i] >= 0 && fstat(mappedFile[i], &st) == 0 && st.st_size < size) {
      lost.store(true);
      return true;
    }
  }
  return false;
}

}  // namespace trelvan
