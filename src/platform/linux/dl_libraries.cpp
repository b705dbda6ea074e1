#include "platform/linux/dl_libraries.h"

#include <dlfcn.h>

#include <cctype>
#include <string>

namespace trelvan {

void* DlLibraries::Load(const char* name) {
  std::string file = name;
  const size_t dot = file.size() >= 4 ? file.size() - 4 : std::string::npos;
  if (dot != std::string::npos && file.compare(dot, 4, ".dll") == 0) {
    std::string base;
    for (size_t i = 0; i < dot; ++i) base += static_cast<char>(std::tolower(file[i]));
    file = "lib" + base + ".so";
  }
  return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DlLibraries::Function(void* library, const char* name) {
  return library ? ::dlsym(library, name) : nullptr;
}

}  // namespace trelvan
