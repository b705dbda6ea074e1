#include "storage/setup_records.h"

#include <cstring>

#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/whole_file.h"

namespace trelvan {

namespace {

constexpr const char* kSetupName = "Setup400";
constexpr const char* kRevisionName = "Revision";
constexpr uint32_t kRevisionDataSize = 7;  // "4.01", its zero and two zero bytes

}  // namespace

void ReadSetupRecord(Storage& s, SetupValues& setup) {
  RunStorageToIdle(s);
  const int index = StorageFindFile(s, kSetupName);
  if (index < 0) {
    setup = SetupValues{0, 0};
    return;
  }
  const uint16_t i = static_cast<uint16_t>(index);
  uint8_t bytes[2] = {0, 0};
  const uint16_t start = StorageHeaderLength(s, i);
  if (StorageFileSize(s, i) >= uint32_t{start} + 2) StorageReadData(s, i, start, bytes, 2);
  setup.keyboardLayout = bytes[0];
  setup.useOlderUsbDrivers = bytes[1];
}

bool WriteSetupRecord(Storage& s, const SetupValues& setup) {
  const uint8_t values[2] = {setup.keyboardLayout, setup.useOlderUsbDrivers};
  return StorageWriteRecord(s, kSetupName, "", "Setup", "2.00", values, 2);
}

bool WriteRevisionRecord(Storage& s) {
  uint8_t data[kRevisionDataSize] = {};
  CopyText(kProgramRevision, reinterpret_cast<char*>(data), kRevisionDataSize);
  return StorageWriteRecord(s, kRevisionName, "", "Revision", "1.00", data, kRevisionDataSize);
}

void CheckRevisionRecord(Storage& s) {
  const int index = StorageFindFile(s, kRevisionName);
  if (index < 0) {
    WriteRevisionRecord(s);
    return;
  }
  // The record is this revision when its seven data bytes begin with
  // "4.01" and a zero byte; a shorter record is not.
  const uint16_t i = static_cast<uint16_t>(index);
  uint8_t stored[kRevisionDataSize] = {};
  const uint16_t start = StorageHeaderLength(s, i);
  const uint32_t size = StorageFileSize(s, i);
  const bool complete = size >= start && size - start >= kRevisionDataSize;
  if (complete) StorageReadData(s, i, start, stored, kRevisionDataSize);
  const uint16_t textSize = static_cast<uint16_t>(TextLength(kProgramRevision) + 1);
  if (!complete || std::memcmp(stored, kProgramRevision, textSize) != 0) WriteRevisionRecord(s);
}

}  // namespace trelvan
