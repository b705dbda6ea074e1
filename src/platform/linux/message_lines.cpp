#include "platform/linux/message_lines.h"

namespace trelvan {

std::string BreakMessageLines(const char* text, size_t columns) {
  std::string out;
  size_t lineStart = 0;  // where the current line begins in `out`
  size_t lastBlank = std::string::npos;
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') {
      out += '\n';
      lineStart = out.size();
      lastBlank = std::string::npos;
      continue;
    }
    if (out.size() - lineStart == columns) {
      if (*p == ' ') {  // the blank at the edge becomes the break
        out += '\n';
        lineStart = out.size();
        lastBlank = std::string::npos;
        continue;
      }
      if (lastBlank != std::string::npos) {
        out[lastBlank] = '\n';
        lineStart = lastBlank + 1;
      } else {
        out += '\n';
        lineStart = out.size();
      }
      lastBlank = std::string::npos;
    }
    if (*p == ' ') lastBlank = out.size();
    out += *p;
  }
  return out;
}

}  // namespace trelvan
