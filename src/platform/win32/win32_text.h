// Text between the core's 8-bit strings and the 16-bit strings of the
// Windows calls.
#pragma once

#include <string>

namespace trelvan {

// UTF-8 to UTF-16; text that is not valid UTF-8 is taken in the ANSI code
// page instead, so older 8-bit names still arrive.
std::wstring Widen(const char* text);
// UTF-16 to UTF-8.
std::string Narrow(const wchar_t* text);

}  // namespace trelvan
