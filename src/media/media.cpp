#include "media/media.h"

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

void FillMediaList(MediaList& list, const Storage& s, const char* type) {
  for (int r = 0; r < kMediaListRows; ++r) list.inUse[r] = 0;
  list.count = 0;
  const uint32_t first = uint32_t{list.listPage} * kMediaListRows;
  int row = 0;
  char field[kMediaNameCapacity];
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) {
    if (!StorageReadField(s, i, kFieldType, field)) continue;
    if (CompareText(field, type, kMediaNameCapacity) != 0) continue;
    if (list.count++ < first || row >= kMediaListRows) continue;
    StorageReadField(s, i, kFieldName, list.names[row]);
    list.inUse[row++] = 1;
  }
}

bool MediaListHasNext(const MediaList& list) {
  return list.count > (uint32_t{list.listPage} + 1) * kMediaListRows;
}

bool MediaListHasPrevious(const MediaList& list) { return list.listPage > 0; }

}  // namespace trelvan
