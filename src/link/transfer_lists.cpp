#include "link/transfer_lists.h"

#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

void ClearSelection(TransferLists& t) {
  t.selectionCount = 0;
  for (SelectionEntry& e : t.selectionList) {
    e.shown = 0;
    e.name[0] = 0;
    e.progress = 0;
  }
}

void ClearSendList(TransferLists& t) {
  for (SendEntry& e : t.sendList) e = SendEntry{};
}

bool SelectionHolds(const TransferLists& t, const char* name) {
  for (int k = 0; k < t.selectionCount; ++k) {
    if (CompareText(t.selectionList[k].name, name, kTransferNameCapacity) == 0) return true;
  }
  return false;
}

SelectResult AddToSelection(TransferLists& t, const char* name) {
  if (t.selectionCount >= kSelectionCapacity) return kSelectFull;
  if (SelectionHolds(t, name)) return kSelectAlreadyThere;
  SelectionEntry& e = t.selectionList[t.selectionCount++];
  CopyText(name, e.name, kTransferNameCapacity);
  e.shown = 1;
  e.progress = 0;
  return kSelectAdded;
}

void RemoveFromSelection(TransferLists& t, int k) {
  // An update's selection counts all its files but has eight entries.
  const int count = t.selectionCount < kSelectionCapacity ? t.selectionCount : kSelectionCapacity;
  if (k < 0 || k >= count) return;
  for (int i = k; i + 1 < count; ++i) t.selectionList[i] = t.selectionList[i + 1];
  t.selectionCount = static_cast<uint8_t>(count - 1);
  t.selectionList[count - 1] = SelectionEntry{};
}

uint32_t SelectedFilesSize(const TransferLists& t, const Storage& s) {
  uint32_t total = 0;
  for (int k = 0; k < t.selectionCount && k < kSelectionCapacity; ++k) {
    const int i = StorageFindFile(s, t.selectionList[k].name);
    if (i >= 0) total += StorageFileSize(s, static_cast<uint16_t>(i));
  }
  return total;
}

void BuildSendList(TransferLists& t) {
  ClearSendList(t);
  if (t.MainListType == kListServerProductPrograms) {
    // "VH " + the program's name before its "Rev" + "Update List"
    char name[64] = "VH ";
    const char* program = t.selectionList[0].name;
    const int16_t rev = FindText(program, "Rev");
    if (rev >= 1 && rev <= 28) {
      char before[kTransferNameCapacity];
      CopyText(program, before, static_cast<uint16_t>(rev + 1));
      AppendText(before, name);
    }
    AppendText("Update List", name);
    CopyText(name, t.sendList[0].name, kTransferNameCapacity);
    return;
  }
  for (int i = 0; i < kSelectionCapacity; ++i) {
    CopyText(t.selectionList[i].name, t.sendList[i].name, kTransferNameCapacity);
    t.sendList[i].ready = t.listSource == kFromStorage ? 1 : 0;
  }
}

}  // namespace trelvan
