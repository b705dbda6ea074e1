// The update server the user chose on the setup page, kept as one line
// "server=NAME:PORT" in the data folder's settings file (never in
// "Setup400", whose two bytes are fixed). TRELVAN_SERVER wins over it.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace trelvan {

// A host name of up to 63 characters (one DNS label's most, and what the
// keyboard's entry field shows whole) or a dotted IPv4 address.
constexpr int kServerNameCapacity = 64;
constexpr uint16_t kUsualServerPort = 4608;
constexpr char kSettingsFileName[] = "Settings.ini";
constexpr uint32_t kSettingsFileMost = 4096;  // a longer file is no file of ours

struct ServerChoice {
  char name[kServerNameCapacity];  /**< empty: no server chosen */
  uint16_t port;
};

// A host name (labels of letters, digits and "-", not starting or ending
// with "-", joined by dots) or a dotted IPv4 address.
bool ValidServerName(const char* name);
// "NAME:PORT" with a valid name and a port of 1 to 65535.
bool ParseServerChoice(const char* text, ServerChoice& out);

// The choice in the settings file; false (and no server) when there is no
// file or it names none.
bool ReadServerChoice(Files& files, ServerChoice& out);
// Writes the file through a temporary beside it, so a cut leaves the old
// file or the new one; an empty name removes the line. False when the file
// could not be written.
bool WriteServerChoice(Files& files, const ServerChoice& choice);

}  // namespace trelvan
