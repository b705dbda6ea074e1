// The main page's lists: the rows of the list shown (stored files of one
// type, or a list fetched from the update server), its screen of twelve, and
// what a click on a row does to the selection.
#pragma once

#include <cstdint>

#include "link/transfer_lists.h"
#include "storage/storage.h"
#include "storage/type_list.h"

namespace trelvan {

// ---- capacities ---------------------------------------------------------------
constexpr int kListRowCapacity = 100;  // the server's lists hold at most 100 names
constexpr int kListScreenRows = 12;    // rows the main page shows at once

struct MainLists {
  char serverListName[kTransferNameCapacity];  /**< the server list to fetch next */
  char listRows[kListRowCapacity][kTypeListNameCapacity];
  uint16_t listRowCount;
  uint16_t listTopPage;    /**< the screen shown: rows from 12 x listTopPage */
  uint8_t rowsSelectable;  /**< 0: a row opens a category instead */
};

// The storage type text of a storage list type; null for the others.
const char* StorageListTypeText(uint8_t listType);

// A storage list button: a selection from the server is cleared, the
// selection now comes from the storage, and the rows become the stored files
// of that type.
void ShowStorageList(MainLists& lists, TransferLists& t, const Storage& s, uint8_t listType);

// The server list file of a server list type (1, 4, 7, 9, 11); null for the others.
const char* ServerListFileName(uint8_t listType);

// A server list button: the selection is cleared when it came from the
// storage or from the product programs (whose button always clears it),
// the list is asked for and its rows wait for it. Categories lists open a
// category from a row; the others select rows.
void ShowServerList(MainLists& lists, TransferLists& t, uint8_t listType);

enum RowClickResult : uint8_t { kRowIgnored, kRowSelected, kRowSelectionFull, kRowCategoryOpened };
// A click on shown row r (0..11). A row of a categories list asks for its
// category's list ("VH " + the row's name).
RowClickResult ClickListRow(MainLists& lists, TransferLists& t, int r);
// A click on selection entry k: on the product programs the whole selection
// goes, else that entry.
void ClickSelectionEntry(TransferLists& t, int k);

// The next or previous screen of rows; false when there is none.
bool ScrollListDown(MainLists& lists);
bool ScrollListUp(MainLists& lists);
// 1 when row r of the screen shown holds a name.
bool ListRowShown(const MainLists& lists, int r);
const char* ListRowName(const MainLists& lists, int r);

}  // namespace trelvan
