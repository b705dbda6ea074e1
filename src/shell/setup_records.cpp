#include "shell/setup_records.h"

#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

constexpr const char* kSetupName = "Setup400";
constexpr const char* kRevisionName = "Revision";
constexpr uint32_t kRevisionDataSize = 7;  // "4.01", its zero and two zero bytes

void DeleteIfStored(Storage& s, const char* name) {
  const int index = StorageFindFile(s, name);
  if (index >= 0) {
    StorageDeleteFile(s, static_cast<uint16_t>(index));
    RunStorageToIdle(s);
  }
}

}  // namespace

void ReadSetupRecord(Assistant& a) {
  Storage& s = a.storage;
  RunStorageToIdle(s);
  const int index = StorageFindFile(s, kSetupName);
  if (index < 0) {
    a.setup = SetupValues{0, 0};
    return;
  }
  const uint16_t i = static_cast<uint16_t>(index);
  uint8_t bytes[2] = {0, 0};
  const uint16_t start = StorageHeaderLength(s, i);
  if (StorageFileSize(s, i) >= uint32_t{start} + 2) StorageReadData(s, i, start, bytes, 2);
  a.setup.keyboardLayout = bytes[0];
  a.setup.useOlderUsbDrivers = bytes[1];
}

void WriteSetupRecord(Assistant& a) {
  Storage& s = a.storage;
  RunStorageToIdle(s);
  DeleteIfStored(s, kSetupName);
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, kSetupName, "", "Setup", "2.00");
  RunStorageToIdle(s);
  if (StorageCreateFile(s, static_cast<uint32_t>(h) + 2) != kStorageAccepted) return;
  RunStorageToIdle(s);
  StorageWriteData(s, header, static_cast<uint32_t>(h));
  RunStorageToIdle(s);
  const uint8_t values[2] = {a.setup.keyboardLayout, a.setup.useOlderUsbDrivers};
  StorageWriteData(s, values, 2);
  RunStorageToIdle(s);
}

void WriteRevisionRecord(Assistant& a) {
  Storage& s = a.storage;
  DeleteIfStored(s, kRevisionName);
  uint8_t buffer[kFileHeaderMaxLength + kRevisionDataSize] = {};
  const int h = StorageBuildHeader(buffer, kRevisionName, "", "Revision", "1.00");
  CopyText(kProgramRevision, reinterpret_cast<char*>(buffer + h), 7);
  const uint32_t size = static_cast<uint32_t>(h) + kRevisionDataSize;
  if (StorageCreateFile(s, size) != kStorageAccepted) return;
  RunStorageToIdle(s);
  StorageWriteData(s, buffer, size);
  RunStorageToIdle(s);
}

void CheckRevisionRecord(Assistant& a) {
  Storage& s = a.storage;
  const int index = StorageFindFile(s, kRevisionName);
  if (index < 0) {
    WriteRevisionRecord(a);
    return;
  }
  const uint16_t i = static_cast<uint16_t>(index);
  char stored[kRevisionDataSize + 1] = {};
  const uint16_t start = StorageHeaderLength(s, i);
  const uint32_t size = StorageFileSize(s, i);
  const uint32_t available = size > start ? size - start : 0;
  StorageReadData(s, i, start, reinterpret_cast<uint8_t*>(stored),
                  available < kRevisionDataSize ? available : kRevisionDataSize);
  if (CompareText(stored, kProgramRevision, kRevisionDataSize) != 0) WriteRevisionRecord(a);
}

}  // namespace trelvan
