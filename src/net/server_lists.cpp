#include "net/server_lists.h"

#include "storage/text.h"
#include "storage/type_list.h"

namespace trelvan {

const char* StorageListTypeText(uint8_t listType) {
  switch (listType) {
    case kListStoragePictures: return kPictureFileType;
    case kListStorageSounds: return kSoundFileType;
    case kListStorageLightEffects: return kLightEffectFileType;
    case kListStorageProjects: return kProjectFileType;
    default: return nullptr;
  }
}

const char* ServerListFileName(uint8_t listType) {
  switch (listType) {
    case kListServerPictureCategories: return "VH Pictures Categories List";
    case kListServerSoundCategories: return "VH Sounds Categories List";
    case kListServerLightEffects: return "VH Light Effects List";
    case kListServerProjects: return "VH Projects List";
    case kListServerProductPrograms: return "VH Product Programs List";
    default: return nullptr;
  }
}

namespace {

// Asks the server steps for `name` as the list shown; its rows come with it.
void RequestServerList(MainLists& lists, TransferLists& t, const char* name, uint8_t listType) {
  CopyText(name, lists.serverListName, kTransferNameCapacity);
  t.MainListType = listType;
  t.listSource = kFromServer;
  t.downloadRequest |= kDownloadList;
  lists.rowsSelectable =
      listType == kListServerPictureCategories || listType == kListServerSoundCategories ? 0 : 1;
  lists.listRowCount = 0;
  lists.listTopPage = 0;
}

}  // namespace

void ShowServerList(MainLists& lists, TransferLists& t, uint8_t listType) {
  const char* name = ServerListFileName(listType);
  if (!name) return;
  if (t.listSource == kFromStorage || t.MainListType == kListServerProductPrograms ||
      listType == kListServerProductPrograms) {
    ClearSelection(t);
  }
  RequestServerList(lists, t, name, listType);
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

RowClickResult ClickListRow(MainLists& lists, TransferLists& t, int r) {
  if (!ListRowShown(lists, r)) return kRowIgnored;
  if (t.selectionCount >= kSelectionCapacity) return kRowSelectionFull;
  if (!lists.rowsSelectable) {
    const uint8_t category = t.MainListType == kListServerPictureCategories ? kListServerPictures
                             : t.MainListType == kListServerSoundCategories ? kListServerSounds
                                                                            : kListNone;
    if (category == kListNone) return kRowIgnored;
    char name[kTransferNameCapacity] = "VH ";
    char row[kTransferNameCapacity];
    CopyText(ListRowName(lists, r), row, kTransferNameCapacity - 3);
    AppendText(row, name);
    RequestServerList(lists, t, name, category);
    return kRowCategoryOpened;
  }
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
