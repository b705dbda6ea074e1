// Message boxes on Linux show each line as one row as wide as its text, so
// a long message grew wider than the screen: its text is broken into lines
// first.
#pragma once

#include <cstddef>
#include <string>

namespace trelvan {

constexpr size_t kMessageBoxColumns = 60;  // about 480 pixels in the usual dialog font

// `text` with its blanks turned into line breaks so that no line passes
// `columns` characters; a longer word is broken inside. Line breaks already
// in the text are kept.
std::string BreakMessageLines(const char* text, size_t columns = kMessageBoxColumns);

}  // namespace trelvan
