#include "storage/whole_file.h"

#include <cstring>

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

bool WritePieces(Storage& s, const uint8_t* bytes, uint32_t size) {
  for (uint32_t at = 0; at < size; at += kUnitSize) {
    const uint32_t piece = size - at < kUnitSize ? size - at : kUnitSize;
    if (StorageWriteData(s, bytes + at, piece) != kStorageAccepted) return false;
    RunStorageToIdle(s);
  }
  return true;
}

}  // namespace

bool StorageWriteWholeFile(Storage& s, const char* name, const uint8_t* header, uint32_t headerSize,
                           const uint8_t* data, uint32_t dataSize) {
  const uint64_t total = uint64_t{headerSize} + dataSize;
  if (total > kImageSize) return false;
  RunStorageToIdle(s);
  const int old = StorageFindFile(s, name);
  const uint32_t oldBlocks = old >= 0 ? BlocksFor(StorageFileSize(s, static_cast<uint16_t>(old))) : 0;
  const FileSystem& fs = s.fs;
  const bool tableRoom = fs.header.fileCount < kTableEntries || old >= 0;
  if (!tableRoom || BlocksFor(static_cast<uint32_t>(total)) > uint32_t{fs.header.freeBlocks} + oldBlocks) {
    return false;
  }
  if (old >= 0) {
    if (StorageDeleteFile(s, static_cast<uint16_t>(old)) != kStorageAccepted) return false;
    RunStorageToIdle(s);
  }
  if (StorageCreateFile(s, static_cast<uint32_t>(total)) != kStorageAccepted) return false;
  RunStorageToIdle(s);
  const bool written = WritePieces(s, header, headerSize) && WritePieces(s, data, dataSize);
  RunStorageToIdle(s);
  return written;
}

bool StorageDeleteNamedFile(Storage& s, const char* name) {
  RunStorageToIdle(s);
  const int index = StorageFindFile(s, name);
  if (index < 0 || StorageDeleteFile(s, static_cast<uint16_t>(index)) != kStorageAccepted) {
    return false;
  }
  RunStorageToIdle(s);
  return true;
}

bool StorageWriteRecord(Storage& s, const char* name, const char* extra, const char* type,
                        const char* version, const uint8_t* data, uint32_t dataSize) {
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name, extra, type, version);
  if (h < 0) return false;
  return StorageWriteWholeFile(s, name, header, static_cast<uint32_t>(h), data, dataSize);
}

uint32_t BuildReplacementMark(const char* name, uint8_t* out) {
  const uint32_t nameSize = TextLength(name) + 1u;
  const int h = StorageBuildHeader(out, kReplacementMarkName, "", "Mark", "1.00");
  if (h < 0 || nameSize > 32 || h + nameSize > kReplacementMarkCapacity) return 0;
  std::memcpy(out + h, name, nameSize);
  return static_cast<uint32_t>(h) + nameSize;
}

void FinishCutReplacement(Storage& s) {
  RunStorageToIdle(s);
  const int mark = StorageFindFile(s, kReplacementMarkName);
  if (mark < 0) return;
  char name[32] = {};
  const uint16_t m = static_cast<uint16_t>(mark);
  const uint32_t at = StorageHeaderLength(s, m);
  const uint32_t size = StorageFileSize(s, m);
  if (size > at) StorageReadData(s, m, at, reinterpret_cast<uint8_t*>(name), size - at < 31 ? size - at : 31);
  // The new file is the last of its name; each older one goes.
  char field[32];
  for (;;) {
    int first = -1, count = 0;
    for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) {
      if (StorageReadField(s, i, kFieldName, field) == 0 || CompareText(field, name, 32) != 0) continue;
      if (first < 0) first = i;
      ++count;
    }
    if (count < 2 || StorageDeleteFile(s, static_cast<uint16_t>(first)) != kStorageAccepted) break;
    RunStorageToIdle(s);
  }
  StorageDeleteNamedFile(s, kReplacementMarkName);
}

}  // namespace trelvan
