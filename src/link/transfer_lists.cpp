#include "link/transfer_lists.h"

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

}  // namespace trelvan
