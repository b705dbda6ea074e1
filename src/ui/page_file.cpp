#include "ui/page_file.h"

#include "storage/file_system.h"

namespace trelvan {

namespace {

bool ReadStored(const void* source, uint64_t offset, void* out, uint32_t count) {
  const PageFile& f = *static_cast<const PageFile*>(source);
  if (offset + count > f.dataSize) return false;
  StorageReadData(*f.storage, f.index, f.dataStart + static_cast<uint32_t>(offset),
                  static_cast<uint8_t*>(out), count);
  return true;
}

}  // namespace

bool OpenPageFile(const Storage& s, const char* name, PageFile* out) {
  const int index = StorageFindFile(s, name);
  if (index < 0) return false;
  out->storage = &s;
  out->index = static_cast<uint16_t>(index);
  const uint32_t size = StorageFileSize(s, out->index);
  out->dataStart = StorageHeaderLength(s, out->index);
  out->dataSize = size > out->dataStart ? size - out->dataStart : 0;
  return true;
}

PageReader PageFileReader(const PageFile& f) { return PageReader{ReadStored, &f}; }

}  // namespace trelvan
