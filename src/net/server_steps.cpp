#include "net/server_steps.h"

#include "storage/steps.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

// Reads the text at `at` into `out`, cut to `limit` characters; returns the
// position after its zero (or the end of the data).
uint32_t NextText(const uint8_t* data, uint32_t size, uint32_t at, char* out, uint32_t limit) {
  uint32_t k = 0;
  for (; at < size && data[at] != 0; ++at) {
    if (k < limit) out[k++] = static_cast<char>(data[at]);
  }
  out[k] = 0;
  return at < size ? at + 1 : size;
}

bool IsEndOfNames(const char* text) {
  return CompareText(text, kEndOfFileNames, kTransferNameCapacity) == 0;
}

void LeaveMessage(Net& net, const char* message, bool hold) {
  CopyText(message, net.message.text, kServerMessageCapacity);
  net.message.pending = hold ? 0 : 1;
  net.message.held = hold ? 1 : 0;
}

// `message` + `name`, with the selection kept or cleared.
void ShowNamed(Net& net, TransferLists& t, const char* message, const char* name, bool keepSelection) {
  char text[kServerMessageCapacity];
  FormatText(text, "%s%s", message, name);
  if (keepSelection) {
    ShowServerMessage(net, t, text);
  } else {
    ShowServerError(net, t, text);
  }
}

// A failed download is said: the storage's refusal and a file other than
// the one asked for (the server did answer) as such, any other failure as
// `message` + `name`.
void DownloadFailed(Net& net, TransferLists& t, const char* message, const char* name, bool keepSelection) {
  if (net.download.failure == kDownloadNoStorage) {
    ShowServerError(net, t, kNotEnoughStorage);
  } else if (net.download.failure == kDownloadWrongFile) {
    ShowNamed(net, t, kNotTheFileAsked, net.download.name, keepSelection);
  } else {
    ShowNamed(net, t, message, name, keepSelection);
  }
}

// The data of stored file `index` (its FileHeader left out) into `out`, at
// most `capacity` bytes; returns how many.
uint32_t ReadStoredData(const Storage& s, uint16_t index, uint8_t* out, uint32_t capacity) {
  const uint32_t size = StorageFileSize(s, index);
  const uint32_t header = StorageHeaderLength(s, index);
  if (header >= size) return 0;
  const uint32_t n = size - header < capacity ? size - header : capacity;
  return StorageReadData(s, index, header, out, n);
}

void StartFileInformation(const ServerStepContext& c) {
  Net& net = c.net;
  TransferLists& t = c.transfer;
  net.fileIndex = 0;
  if (t.selectionCount == 0) {
    // nothing to fetch: the handheld is told so at once
    t.serverFilesReady = 1;
    t.serverFileCount = 0;
    net.serverStep = kServerWaitForHandheld;
    return;
  }
  GetServerFileInfo(net, c.platform, 1, t.sendList[0].name);
  net.serverStep = kServerFileInformation;
}

void Idle(const ServerStepContext& c) {
  Net& net = c.net;
  TransferLists& t = c.transfer;
  if (!ServerChosen(net.server)) {
    // Nothing is asked of any address: a server list stays empty (the page
    // says where to choose a server) and a handheld's server files fail at
    // once; an empty selection needs no server.
    t.downloadRequest &= static_cast<uint16_t>(~kDownloadList);
    const bool files = (t.downloadRequest & kDownloadFiles) && t.selectionCount > 0;
    if (files || (t.downloadRequest & kDownloadUpdateList)) {
      ShowServerError(net, t, kNoServerChosen);
      return;
    }
  }
  if (t.downloadRequest & kDownloadList) {
    t.downloadRequest &= static_cast<uint16_t>(~kDownloadList);
    DownloadServerFile(net, c.storage, c.platform, 1, net.lists.serverListName);
    net.serverStep = kServerListDownload;
  } else if (t.downloadRequest & kDownloadFiles) {
    t.downloadRequest &= static_cast<uint16_t>(~kDownloadFiles);
    StartFileInformation(c);
  } else if (t.downloadRequest & kDownloadUpdateList) {
    t.downloadRequest &= static_cast<uint16_t>(~kDownloadUpdateList);
    DownloadServerFile(net, c.storage, c.platform, 1, t.sendList[0].name);
    net.serverStep = kServerUpdateListDownload;
  } else if (net.previewAsked) {
    net.previewAsked = 0;
    if (!ServerChosen(net.server)) return ShowServerMessage(net, t, kNoServerChosen);
    FetchServerFile(net, c.platform, 1, net.previewName);
    net.serverStep = kServerPreview;
  }
}

// A look at a server file: a failure is said, the selection stays.
uint8_t Preview(const ServerStepContext& c, int result) {
  Net& net = c.net;
  if (result == kStepFailed) {
    DownloadFailed(net, c.transfer, kCouldNotRead, net.previewName, true);
    return kServerNoEvent;
  }
  if (result != kStepDone) return kServerNoEvent;
  net.serverStep = kServerIdle;
  return kServerPreviewReady;
}

uint8_t ListDownload(const ServerStepContext& c, int result) {
  Net& net = c.net;
  if (result == kStepFailed) {
    DownloadFailed(net, c.transfer, kCouldNotRead, net.lists.serverListName, false);
    return kServerNoEvent;
  }
  if (result != kStepDone) return kServerNoEvent;
  MainLists& lists = net.lists;
  lists.listRowCount = 0;
  lists.listTopPage = 0;
  const int index = StorageFindFile(c.storage, net.lists.serverListName);
  if (index >= 0) {
    const uint32_t n = ReadStoredData(c.storage, static_cast<uint16_t>(index), net.downloadBuffer.get(),
                                      kDownloadBufferCapacity);
    lists.listRowCount = ReadListNames(net.downloadBuffer.get(), n, lists.listRows, kListRowCapacity);
  }
  net.serverStep = kServerListShown;
  return kServerListReady;
}

void FileInformation(const ServerStepContext& c, int result) {
  Net& net = c.net;
  TransferLists& t = c.transfer;
  SendEntry& e = t.sendList[net.fileIndex];
  if (result == kStepFailed) {
    DownloadFailed(net, t, kCouldNotRead, e.name, true);
    return;
  }
  if (result != kStepDone) return;
  t.serverTotalBytes += net.download.size;
  e.size = net.download.size;
  CopyText(net.download.revision, e.revision, kServerRevisionField);
  ++net.fileIndex;
  if (net.fileIndex < t.selectionCount && net.fileIndex < kSendListCapacity) {
    GetServerFileInfo(net, c.platform, 1, t.sendList[net.fileIndex].name);
    return;
  }
  t.serverFilesReady = 1;
  t.serverFileCount = t.selectionCount;
  net.fileIndex = 0;
  DownloadServerFile(net, c.storage, c.platform, 1, t.sendList[0].name);
  net.serverStep = kServerFileDownloads;
}

void FileDownloads(const ServerStepContext& c, int result) {
  Net& net = c.net;
  TransferLists& t = c.transfer;
  SendEntry& e = t.sendList[net.fileIndex];
  if (result == kStepFailed) {
    DownloadFailed(net, t, kCouldNotRead, e.name, false);
    return;
  }
  const int shown = net.fileIndex < kSelectionCapacity - 1 ? net.fileIndex : kSelectionCapacity - 1;
  t.selectionList[shown].progress = static_cast<uint8_t>(result);
  if (result != kStepDone) return;
  e.ready = 1;
  ++t.readyCount;
  ++net.fileIndex;
  if (net.fileIndex < t.serverFileCount && net.fileIndex < kSendListCapacity) {
    DownloadServerFile(net, c.storage, c.platform, 1, t.sendList[net.fileIndex].name);
  } else {
    net.serverStep = kServerWaitForHandheld;
  }
}

void UpdateListDownload(const ServerStepContext& c, int result) {
  Net& net = c.net;
  TransferLists& t = c.transfer;
  char listName[kTransferNameCapacity];
  CopyText(t.sendList[0].name, listName, kTransferNameCapacity);
  if (result == kStepFailed) {
    DownloadFailed(net, t, kCouldNotRead, listName, false);
    return;
  }
  if (result != kStepDone) return;
  t.selectionCount = 0;
  const int index = StorageFindFile(c.storage, listName);
  if (index < 0) {
    ShowNamed(net, t, kNotOnAssistant, listName, true);
    return;
  }
  const uint32_t n = ReadStoredData(c.storage, static_cast<uint16_t>(index), net.downloadBuffer.get(),
                                    kDownloadBufferCapacity);
  UpdateRecord record;
  if (!FindUpdateRecord(net.downloadBuffer.get(), n, c.handheldRevision, record)) {
    ShowServerMessage(net, t, kRevisionNotFound);
    return;
  }
  for (int i = 0; i < record.nameCount; ++i) {
    SendEntry& e = t.sendList[i];
    CopyText(record.names[i], e.name, kTransferNameCapacity);
    e.ready = 0;
    ++t.selectionCount;
    if (i >= 1 && i < kSelectionCapacity) {
      SelectionEntry& s = t.selectionList[i];
      FormatText(s.name, "File %d", i);
      s.shown = 1;
      s.progress = 0;
    }
  }
  StartFileInformation(c);
}

}  // namespace

void ShowServerMessage(Net& net, TransferLists& t, const char* message) {
  net.serverStep = kServerIdle;
  t.downloadRequest = 0;
  net.message.clearSelection = 0;
  LeaveMessage(net, message, t.transferActive != 0);
}

void ShowServerError(Net& net, TransferLists& t, const char* message) {
  const bool transferring = t.transferActive != 0;
  if (!transferring) ClearSelection(t);
  ShowServerMessage(net, t, message);
  net.message.clearSelection = transferring ? 1 : 0;
}

uint8_t RunServerSteps(const ServerStepContext& c) {
  Net& net = c.net;
  if (net.message.held && !c.transfer.transferActive) {
    if (net.message.clearSelection) ClearSelection(c.transfer);
    net.message.held = 0;
    net.message.clearSelection = 0;
    net.message.pending = 1;
  }
  switch (net.serverStep) {
    case kServerStart:
      if (!c.startUpRan) return kServerNoEvent;
      if (!ServerChosen(net.server)) {
        net.serverStep = kServerIdle;
        return kServerNoEvent;
      }
      DownloadServerFile(net, c.storage, c.platform, 1, kConnectionTestName);
      net.serverStep = kServerConnectionTest;
      return kServerNoEvent;
    case kServerIdle:
      Idle(c);
      return kServerNoEvent;
    case kServerConnectionTest: {
      const int result = DownloadServerFile(net, c.storage, c.platform, 0, nullptr);
      if (result == kStepFailed) {
        DownloadFailed(net, c.transfer, kCouldNotConnect, "", false);
      } else if (result == kStepDone) {
        net.serverStep = kServerIdle;
      }
      return kServerNoEvent;
    }
    case kServerListDownload:
      return ListDownload(c, DownloadServerFile(net, c.storage, c.platform, 0, nullptr));
    case kServerListShown:
      net.serverStep = kServerIdle;
      return kServerNoEvent;
    case kServerFileInformation:
      FileInformation(c, GetServerFileInfo(net, c.platform, 0, nullptr));
      return kServerNoEvent;
    case kServerFileDownloads:
      FileDownloads(c, DownloadServerFile(net, c.storage, c.platform, 0, nullptr));
      return kServerNoEvent;
    case kServerWaitForHandheld:
      if (c.transfer.transferActive == 0) net.serverStep = kServerIdle;
      return kServerNoEvent;
    case kServerUpdateListDownload:
      UpdateListDownload(c, DownloadServerFile(net, c.storage, c.platform, 0, nullptr));
      return kServerNoEvent;
    case kServerPreview:
      return Preview(c, FetchServerFile(net, c.platform, 0, nullptr));
    default:
      net.serverStep = kServerIdle;
      return kServerNoEvent;
  }
}

uint16_t ReadListNames(const uint8_t* data, uint32_t size, char (*rows)[kTypeListNameCapacity],
                       uint16_t capacity) {
  uint16_t count = 0;
  for (uint32_t at = 0; at < size && count < capacity; ++count) {
    at = NextText(data, size, at, rows[count], kTypeListNameCapacity - 1);
  }
  return count;
}

bool FindUpdateRecord(const uint8_t* data, uint32_t size, const char* revision, UpdateRecord& out) {
  char text[kTransferNameCapacity];
  if (size == 0) return false;
  uint32_t at = NextText(data, size, 0, text, 7);
  int records = ParseNumber(text);
  if (records > kUpdateRecordCapacity) records = kUpdateRecordCapacity;
  for (int r = 0; r < records && at < size; ++r) {
    out = UpdateRecord{};
    at = NextText(data, size, at, out.revision, kUpdateRevisionCapacity - 1);
    bool ended = false;
    while (out.nameCount < kUpdateNameCapacity && at < size) {
      at = NextText(data, size, at, text, kTransferNameCapacity - 1);
      if (IsEndOfNames(text)) {
        ended = true;
        break;
      }
      CopyText(text, out.names[out.nameCount++], kTransferNameCapacity);
    }
    if (!ended && at < size) {
      // a full record may still carry its end mark
      const uint32_t next = NextText(data, size, at, text, kTransferNameCapacity - 1);
      if (IsEndOfNames(text)) at = next;
    }
    if (records == 1 || CompareText(out.revision, revision, kRevisionCompareLength) == 0) return true;
  }
  return false;
}

}  // namespace trelvan
