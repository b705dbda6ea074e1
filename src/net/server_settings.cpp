#include "net/server_settings.h"

#include <cstdio>
#include <cstring>

#include "datagram/datagram_receive.h"
#include "storage/text.h"

namespace trelvan {

namespace {

constexpr char kServerKey[] = "server=";
constexpr char kTemporarySuffix[] = ".new";
constexpr uint32_t kPathMost = 4096;

bool IsLabelCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool SettingsPath(Files& files, char* out, uint32_t capacity, const char* suffix) {
  const int n = std::snprintf(out, capacity, "%s%c%s%s", files.DataFolder(), files.PathSeparator(),
                              kSettingsFileName, suffix);
  return n > 0 && static_cast<uint32_t>(n) < capacity;
}

}  // namespace

bool ValidServerName(const char* name) {
  const size_t length = strnlen(name, kServerNameCapacity);
  if (length == 0 || length >= kServerNameCapacity) return false;
  bool allDigitsAndDots = true;
  size_t labelStart = 0;
  for (size_t i = 0; i <= length; ++i) {
    const char c = name[i];
    if (c == '.' || c == 0) {
      // an empty label, or one that starts or ends with "-"
      if (i == labelStart || name[labelStart] == '-' || name[i - 1] == '-') return false;
      labelStart = i + 1;
      continue;
    }
    if (!IsLabelCharacter(c)) return false;
    if (c < '0' || c > '9') allDigitsAndDots = false;
  }
  // "127.0.0.300" is no address and no host name either
  return !allDigitsAndDots || ParseIpv4(name) != 0;
}

bool ParseServerChoice(const char* text, ServerChoice& out) {
  ServerChoice c{};
  if (!SplitPair(text, c.name, sizeof c.name, &c.port) || c.port == 0 || !ValidServerName(c.name)) {
    return false;
  }
  out = c;
  return true;
}

bool ReadServerChoice(Files& files, ServerChoice& out) {
  out = ServerChoice{};
  char path[kPathMost];
  if (!SettingsPath(files, path, sizeof path, "")) return false;
  const int f = files.OpenRead(path);
  if (f == kNoFile) return false;
  char text[kSettingsFileMost + 1];
  const uint32_t n = files.ReadFile(f, text, kSettingsFileMost + 1);
  files.CloseFile(f);
  if (n > kSettingsFileMost) return false;
  text[n] = 0;
  for (char* line = text; line && *line;) {
    char* end = std::strpbrk(line, "\r\n");
    if (end) *end = 0;
    if (std::strncmp(line, kServerKey, sizeof kServerKey - 1) == 0) {
      return ParseServerChoice(line + sizeof kServerKey - 1, out);
    }
    line = end ? end + 1 : nullptr;
  }
  return false;
}

bool WriteServerChoice(Files& files, const ServerChoice& choice) {
  char path[kPathMost], temporary[kPathMost];
  if (!SettingsPath(files, path, sizeof path, "") ||
      !SettingsPath(files, temporary, sizeof temporary, kTemporarySuffix)) {
    return false;
  }
  char text[kServerNameCapacity + 32] = "";
  if (choice.name[0]) {
    if (!ValidServerName(choice.name) || choice.port == 0) return false;
    FormatText(text, "%s%s:%u\n", kServerKey, choice.name, static_cast<unsigned>(choice.port));
  }
  // a temporary left by a cut write goes first; the new one is made only
  // where nothing is
  files.DeleteFile(temporary);
  const int f = files.OpenWrite(temporary);
  if (f == kNoFile) return false;
  const uint32_t length = static_cast<uint32_t>(std::strlen(text));
  bool ok = files.WriteFile(f, text, length) == length && files.FlushFile(f);
  ok = files.CloseFile(f) && ok;
  ok = ok && files.RenameFile(temporary, path);
  if (!ok) files.DeleteFile(temporary);
  return ok;
}

}  // namespace trelvan
