#include "storage/whole_file.h"

#include <cstring>

#include "storage/file_system.h"

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

void KeepNewestOfEachName(Storage& s) {
  RunStorageToIdle(s);
  // The names read once; a deletion moves the later ones down with the table.
  char names[kTableEntries][32];
  uint16_t count = s.fs.header.fileCount;
  for (uint16_t i = 0; i < count; ++i) {
    if (StorageReadField(s, i, kFieldName, names[i]) == 0) names[i][0] = 0;
  }
  for (uint16_t i = 0; i < count;) {
    bool replaced = false;
    for (uint16_t j = static_cast<uint16_t>(i + 1); j < count && names[i][0] && !replaced; ++j) {
      replaced = std::strcmp(names[i], names[j]) == 0;
    }
    if (!replaced || StorageDeleteFile(s, i) != kStorageAccepted) {
      ++i;
      continue;
    }
    RunStorageToIdle(s);
    --count;
    std::memmove(names[i], names[i + 1], sizeof names[0] * (count - i));
  }
}

}  // namespace trelvan
