// The calling convention of functions fetched from a dynamic library: the
// serial driver library's functions are WINAPI (stdcall) on 32-bit
// Windows, plain C elsewhere.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define TRELVAN_LIBRARY_CALL __stdcall
#else
#define TRELVAN_LIBRARY_CALL
#endif
