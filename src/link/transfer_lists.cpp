#include "link/transfer_lists.h"

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

SelectResult AddToSelection(TransferLists& t, const char* name) {
  if (t.selectionCount >= kSelectionCapacity) return kSelectFull;
  for (int k = 0; k < t.selectionCount; ++k) {
    if (CompareText(t.selectionList[k].name, name, kTransferNameCapacity) == 0) {
      return kSelectAlreadyThere;
    }
  }
  SelectionEntry& e = t.selectionList[t.selectionCount++];
  CopyText(name, e.name, kTransferNameCapacity);
  e.shown = 1;
  e.progress = 0;
  return kSelectAdded;
}

void RemoveFromSelection(TransferLists& t, int k) {
  if (k < 0 || k >= t.selectionCount) return;
  for (int i = k; i + 1 < t.selectionCount; ++i) t.selectionList[i] = t.selectionList[i + 1];
  --t.selectionCount;
  t.selectionList[t.selectionCount] = SelectionEntry{};
}

}  // namespace trelvan
