#include "platform/win32/win32_text.h"

#include "platform/win32/win32_windows.h"

namespace trelvan {

std::wstring Widen(const char* text) {
  if (!text || !*text) return std::wstring();
  UINT codePage = CP_UTF8;
  DWORD flags = MB_ERR_INVALID_CHARS;
  int length = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
  if (length <= 0) {
    codePage = CP_ACP;
    flags = 0;
    length = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
  }
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text, -1, &out[0], length);
  out.resize(static_cast<size_t>(length - 1));  // the terminator
  return out;
}

std::string Narrow(const wchar_t* text) {
  if (!text || !*text) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], length, nullptr, nullptr);
  out.resize(static_cast<size_t>(length - 1));
  return out;
}

}  // namespace trelvan
