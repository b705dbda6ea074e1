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

PageFile StoredPage(const Storage& s, uint16_t index) {
  PageFile f;
  f.storage = &s;
  f.index = index;
  const uint32_t size = StorageFileSize(s, index);
  f.dataStart = StorageHeaderLength(s, index);
  f.dataSize = size > f.dataStart ? size - f.dataStart : 0;
  return f;
}

}  // namespace

bool StoredPageLoads(const Storage& s, uint16_t index) {
  const PageFile f = StoredPage(s, index);
  return PageDataLoads(PageFileReader(f));
}

bool OpenPageFile(const Storage& s, const char* name, PageFile* out) {
  for (int i = StorageFindFile(s, name); i >= 0;
       i = StorageFindFileFrom(s, name, static_cast<uint16_t>(i + 1))) {
    if (StoredPageLoads(s, static_cast<uint16_t>(i))) {
      *out = StoredPage(s, static_cast<uint16_t>(i));
      return true;
    }
  }
  return false;
}

PageReader PageFileReader(const PageFile& f) { return PageReader{ReadStored, &f}; }

}  // namespace trelvan
