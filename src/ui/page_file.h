// Page files and picture collections in the storage, read through the page
// codec: a stored file's data bytes as a PageReader.
#pragma once

#include <cstdint>

#include "storage/storage.h"
#include "ui/page_codec.h"

namespace trelvan {

struct PageFile {
  const Storage* storage;
  uint16_t index;      /**< table index in the storage */
  uint32_t dataStart;  /**< offset of the first data byte from the file's start */
  uint32_t dataSize;   /**< bytes from there to the file's end */
};

// The first stored file of that name that loads as a page file or picture
// collection (PageDataLoads): a namesake that does not (a file the handheld
// pushed, a damaged one) is passed over and kept as it is. False when none
// does.
bool OpenPageFile(const Storage& s, const char* name, PageFile* out);
// Whether stored file `index` loads as a page file or picture collection.
bool StoredPageLoads(const Storage& s, uint16_t index);
// Reads the file's data; `f` must outlive the reader.
PageReader PageFileReader(const PageFile& f);

}  // namespace trelvan
