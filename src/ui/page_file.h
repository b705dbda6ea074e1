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

// False when no stored file has that name.
bool OpenPageFile(const Storage& s, const char* name, PageFile* out);
// Reads the file's data; `f` must outlive the reader.
PageReader PageFileReader(const PageFile& f);

}  // namespace trelvan
