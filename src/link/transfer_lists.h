// What the handheld is offered: the selection the user built on the main
// page and the list of files sent from it.
#pragma once

#include <cstdint>

#include "storage/text.h"

namespace trelvan {

struct Storage;

// ---- capacities -------------------------------------------------------------
constexpr int kSelectionCapacity = 8;      // the main page's selection shows eight rows
constexpr int kSendListCapacity = 32;      // an update brings at most 32 files
constexpr int kTransferNameCapacity = kFileNameCapacity;

// The list the main page shows (MainListType).
enum MainListTypes : uint8_t {
  kListNone = 0,
  kListServerPictureCategories = 1,
  kListServerPictures = 2,
  kListStoragePictures = 3,
  kListServerSoundCategories = 4,
  kListServerSounds = 5,
  kListStorageSounds = 6,
  kListServerLightEffects = 7,
  kListStorageLightEffects = 8,
  kListServerProjects = 9,
  kListStorageProjects = 10,
  kListServerProductPrograms = 11,
};

// downloadRequest: what the main page's server steps are asked to fetch.
enum DownloadRequestBits : uint16_t {
  kDownloadFiles = 1 << 0,       /**< the selected server files, for the handheld */
  kDownloadUpdateList = 1 << 1,  /**< a product program's update list */
  kDownloadList = 1 << 2,        /**< a server list for the main page */
};
// Leaving the main page for a manager drops bits 0, 2 and 3.
constexpr uint16_t kDownloadsClearedByOpen = kDownloadFiles | kDownloadList | (1 << 3);

// Where the selection's names come from (listSource).
enum ListSources : uint8_t { kFromStorage = 0, kFromServer = 1 };

struct SelectionEntry {
  char name[kTransferNameCapacity];
  uint8_t shown;     /**< 1: the row is drawn on the main page */
  uint8_t progress;  /**< download progress */
};

struct SendEntry {
  char name[kTransferNameCapacity];
  uint32_t size;
  char revision[7];  /**< the server's revision text of the file: 6 characters and the zero */
  uint8_t ready;  /**< 1: the file is in the storage and may be sent */
};

struct TransferLists {
  SelectionEntry selectionList[kSelectionCapacity];
  uint8_t selectionCount;     /**< names in use */
  SendEntry sendList[kSendListCapacity];
  uint8_t transferActive;     /**< 1 from the handheld's announce until the transfer ends */
  uint8_t MainListType;       /**< a MainListTypes value: the list the main page shows */
  uint8_t listSource;         /**< a ListSources value */
  uint16_t downloadRequest;   /**< DownloadRequestBits */
  uint16_t readyCount;        /**< sendList entries that are ready */
  uint16_t serverFileCount;   /**< server files to download for the handheld */
  uint32_t serverTotalBytes;  /**< their total size */
  uint8_t serverFilesReady;   /**< 1 once the sizes of all of them are known */
};

void ClearSelection(TransferLists& t);
void ClearSendList(TransferLists& t);

// True when a selection entry names `name`.
bool SelectionHolds(const TransferLists& t, const char* name);

enum SelectResult : uint8_t { kSelectAdded, kSelectAlreadyThere, kSelectFull };
// Adds `name` as the next shown selection entry; a name already selected is
// left as it is. kSelectFull when eight are selected.
SelectResult AddToSelection(TransferLists& t, const char* name);
// Removes entry k; the later entries move up one place with all their fields.
void RemoveFromSelection(TransferLists& t, int k);

// The sum of the stored sizes of the selected files; names not in the
// storage add nothing.
uint32_t SelectedFilesSize(const TransferLists& t, const Storage& s);

// The send list for a transfer that begins: on the product programs list
// the update list of the selected program, else the selection's names
// (ready when they come from the storage).
void BuildSendList(TransferLists& t);

}  // namespace trelvan
