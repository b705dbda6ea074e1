#include "platform/linux/proc_processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace trelvan {

namespace {

// True when the base name of process `pid`'s argv[0] is `name`.
bool ProcessIs(const char* pid, const char* name) {
  char path[300];
  std::snprintf(path, sizeof path, "/proc/%s/cmdline", pid);
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char line[512];
  const ssize_t n = ::read(fd, line, sizeof line - 1);
  ::close(fd);
  if (n <= 0) return false;
  line[n] = 0;  // argv[0] ends at its own zero byte
  const char* slash = std::strrchr(line, '/');
  const char* base = slash ? slash + 1 : line;
  return std::strncmp(base, name, 32) == 0;
}

}  // namespace

bool ProcProcesses::IsRunning(const char* name) {
  char pid[24];
  if (lastFound_ > 0) {
    std::snprintf(pid, sizeof pid, "%ld", lastFound_);
    if (ProcessIs(pid, name)) return true;
    lastFound_ = -1;
  }
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  while (dirent* e = ::readdir(proc)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    if (ProcessIs(e->d_name, name)) {
      lastFound_ = std::strtol(e->d_name, nullptr, 10);
      break;
    }
  }
  ::closedir(proc);
  return lastFound_ > 0;
}

}  // namespace trelvan
