#include "net/server_lists.h"

#include "projects/project_file.h"

namespace trelvan {

const char* StorageListTypeText(uint8_t listType) {
  switch (listType) {
    case kListStoragePictures: return "Picture";
    case kListStorageSounds: return "Sound";
    case kListStorageLightEffects: return "Light Effect";
    case kListStorageProjects: return kProjectFileType;
    default: return nullptr;
  }
}

void ShowStorageList(MainLists& lists, TransferLists& t, const Storage& s, uint8_t listType) {
  const char* type = StorageListTypeText(listType);
  if (!type) return;
  if (t.listSource == kFromServer) ClearSelection(t);
  t.listSource = kFromStorage;
  t.MainListType = listType;
  lists.rowsSelectable = 1;
  lists.listTopPage = 0;
  lists.listRowCount = ListFilesOfType(s, type, lists.listRows, kListRowCapacity);
}

bool ListRowShown(const MainLists& lists, int r) {
  return r >= 0 && r < kListScreenRows && kListScreenRows * lists.listTopPage + r < lists.listRowCount;
}

const char* ListRowName(const MainLists& lists, int r) {
  return lists.listRows[kListScreenRows * lists.listTopPage + r];
}

RowClickResult ClickListRow(const MainLists& lists, TransferLists& t, int r) {
  if (!ListRowShown(lists, r)) return kRowIgnored;
  if (t.selectionCount >= kSelectionCapacity) return kRowSelectionFull;
  if (!lists.rowsSelectable) return kRowIgnored;
  if (t.MainListType == kListServerProductPrograms) ClearSelection(t);
  return AddToSelection(t, ListRowName(lists, r)) == kSelectAdded ? kRowSelected : kRowIgnored;
}

void ClickSelectionEntry(TransferLists& t, int k) {
  if (k < 0 || k >= t.selectionCount) return;
  if (t.MainListType == kListServerProductPrograms) {
    ClearSelection(t);
  } else {
    RemoveFromSelection(t, k);
  }
}

bool ScrollListDown(MainLists& lists) {
  if (kListScreenRows * (lists.listTopPage + 1) >= lists.listRowCount) return false;
  ++lists.listTopPage;
  return true;
}

bool ScrollListUp(MainLists& lists) {
  if (lists.listTopPage == 0) return false;
  --lists.listTopPage;
  return true;
}

}  // namespace trelvan
