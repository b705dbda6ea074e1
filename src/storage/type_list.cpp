#include "storage/type_list.h"

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

uint16_t ListFilesOfType(const Storage& s, const char* type, char (*names)[kTypeListNameCapacity],
                         uint16_t capacity, uint16_t skip, uint16_t* total) {
  uint16_t count = 0, seen = 0;
  char field[kTypeListNameCapacity];
  for (uint16_t i = 0; i < s.fs.header.fileCount && (total || count < capacity); ++i) {
    if (!StorageReadField(s, i, kFieldType, field)) continue;
    if (CompareText(field, type, kTypeListNameCapacity) != 0) continue;
    if (!StorageReadField(s, i, kFieldName, field)) continue;
    if (seen++ < skip || count >= capacity) continue;
    CopyText(field, names[count++], kTypeListNameCapacity);
  }
  if (total) *total = seen;
  return count;
}

}  // namespace trelvan
