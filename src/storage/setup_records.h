// The program's own records in the storage: "Setup400" with the two setup
// bytes, and "Revision" with the revision that last used the storage.
#pragma once

#include <cstdint>

namespace trelvan {

struct Storage;

constexpr const char* kProgramRevision = "4.01";

struct SetupValues {
  uint8_t keyboardLayout;      /**< 0: alphabetical on-screen keys; else QWERTY */
  uint8_t useOlderUsbDrivers;  /**< 1: the handheld through the serial driver library; 0: USB HID */
};

// Both bytes from "Setup400", or 0 and 0 when it is missing.
void ReadSetupRecord(Storage& s, SetupValues& setup);
// Replaces "Setup400" with `setup`; false when the storage refused it.
bool WriteSetupRecord(Storage& s, const SetupValues& setup);
// Replaces "Revision" with this program's revision; false when refused.
bool WriteRevisionRecord(Storage& s);
// Writes "Revision" unless it already holds this program's revision.
void CheckRevisionRecord(Storage& s);

}  // namespace trelvan
