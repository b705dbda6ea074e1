// <windows.h> for the front end. Its DeleteFile macro would rename the
// Files method of that name in these files only, so it goes.
// FindFunction looks up a function that newer systems have, so the program
// still starts where it is missing.
#pragma once

#include <windows.h>

#undef DeleteFile

// The function `name` of `module`; null when either is missing.
template <typename Function>
Function FindFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}
