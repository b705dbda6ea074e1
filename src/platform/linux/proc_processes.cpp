#include "platform/linux/proc_processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace trelvan {

bool ProcProcesses::IsRunning(const char* name) {
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  bool found = false;
  while (dirent* e = ::readdir(proc)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    char path[300];
    std::snprintf(path, sizeof path, "/proc/%s/cmdline", e->d_name);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    char line[512];
    const ssize_t n = ::read(fd, line, sizeof line - 1);
    ::close(fd);
    if (n <= 0) continue;
    line[n] = 0;  // argv[0] ends at its own zero byte
    const char* slash = std::strrchr(line, '/');
    const char* base = slash ? slash + 1 : line;
    if (std::strncmp(base, name, 32) == 0) {
      found = true;
      break;
    }
  }
  ::closedir(proc);
  return found;
}

}  // namespace trelvan
