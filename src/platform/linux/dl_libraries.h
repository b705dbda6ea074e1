// The libraries service on Linux: dlopen. A Windows library name "Name.dll"
// is looked for as "libname.so" (the serial driver's "Ftd2xx.dll" as
// "libftd2xx.so"), on the loader's usual path.
#pragma once

#include "platform/libraries.h"

namespace trelvan {

class DlLibraries : public Libraries {
 public:
  void* Load(const char* name) override;
  void* Function(void* library, const char* name) override;
};

}  // namespace trelvan
