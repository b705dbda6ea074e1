// What the handheld is offered: the selection the user built on the main
// page and the list of files sent from it.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr int kSelectionCapacity = 8;
constexpr int kSendListCapacity = 32;
constexpr int kTransferNameCapacity = 32;  // 31 characters and the zero

struct SelectionEntry {
  char name[kTransferNameCapacity];
  uint8_t shown;     /**< 1: the row is drawn on the main page */
  uint8_t progress;  /**< download progress */
};

struct SendEntry {
  char name[kTransferNameCapacity];
  uint32_t size;
  uint8_t ready;  /**< 1: the file is in the storage and may be sent */
};

struct TransferLists {
  SelectionEntry selectionList[kSelectionCapacity];
  uint8_t selectionCount;     /**< names in use */
  SendEntry sendList[kSendListCapacity];
  uint8_t transferActive;     /**< 1 from the handheld's announce until the transfer ends */
};

void ClearSelection(TransferLists& t);
void ClearSendList(TransferLists& t);

}  // namespace trelvan
