#include "net/downloads.h"

#include <cstring>

#include "net/net.h"
#include "storage/steps.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

int Fail(Download& d, uint8_t why) {
  d.phase = kDownloadIdle;
  d.failure = why;
  return kStepFailed;
}

// The share received so far, below 100 until the file is stored.
int Percent(const Download& d) {
  if (d.phase != kDownloadData || d.size == 0) return 0;
  const uint64_t percent = uint64_t{d.received} * 100 / d.size;
  return percent > 99 ? 99 : static_cast<int>(percent);
}

void RequestInformation(Net& net, Platform& p) {
  ServerChannel& c = net.server;
  SendServerRequest(c, p, BuildFileInfoRequest(c.request, net.download.name));
}

void RequestChunk(Net& net, Platform& p) {
  Download& d = net.download;
  ServerChannel& c = net.server;
  const uint32_t remaining = d.size - d.received;
  d.asked = static_cast<uint16_t>(remaining < kServerChunkLimit ? remaining : kServerChunkLimit);
  SendServerRequest(c, p, BuildFileDataRequest(c.request, d.name, d.revision, d.received, d.asked));
}

void Begin(Net& net, Platform& p, const char* name, uint8_t infoOnly, uint8_t inMemory) {
  Download& d = net.download;
  d = Download{};
  CopyText(name, d.name, kServerNameField);
  d.infoOnly = infoOnly;
  d.inMemory = inMemory;
  d.phase = kDownloadInformation;
  // a reply to an earlier request is no answer to this one
  net.server.serverReplyReady = 0;
  RequestInformation(net, p);
}

// The information reply: kStepDone, kStepFailed, or 0 with the data phase
// begun.
int TakeInformation(Net& net, Platform& p, const uint8_t* reply, uint32_t length) {
  Download& d = net.download;
  FileInfoReply info;
  if (!ParseFileInfoReply(reply, length, info) || info.status != kServerStatusFound ||
      CompareText(info.name, d.name, kServerNameField) != 0) {
    return Fail(d, kDownloadNotRead);
  }
  CopyText(info.revision, d.revision, kServerRevisionField);
  d.size = info.size;
  if (d.infoOnly || d.size == 0) {
    d.phase = kDownloadIdle;
    return kStepDone;
  }
  // Refused before its first chunk: it could never be held.
  if (d.size > kDownloadBufferCapacity) {
    p.window.ShowMessageBox(kReceivedFileTooBig);
    return Fail(d, kDownloadTooBig);
  }
  d.phase = kDownloadData;
  RequestChunk(net, p);
  return 0;
}

int TakeData(Net& net, Storage* s, Platform& p, const uint8_t* reply, uint32_t length) {
  Download& d = net.download;
  // The reply decides: fewer bytes than asked end the download, and
  // nothing beyond the reply is ever taken.
  if (length < kFileDataReplyHeader || reply[0] != kServerStatusFound ||
      FileDataReplyCount(length) < d.asked) {
    return Fail(d, kDownloadNotRead);
  }
  // received + asked never passes size, which the buffer holds
  std::memcpy(net.downloadBuffer.get() + d.received, reply + kFileDataReplyHeader, d.asked);
  d.received += d.asked;
  if (d.received < d.size) {
    RequestChunk(net, p);
    return Percent(d);
  }
  if (d.inMemory) {
    // the name field follows the start mark, zero-terminated
    const uint8_t* bytes = net.downloadBuffer.get();
    if (!IsCompleteFileHeader(bytes, d.size) ||
        CompareText(reinterpret_cast<const char*>(bytes + 1), d.name, kServerNameField) != 0) {
      return Fail(d, kDownloadWrongFile);
    }
    d.phase = kDownloadIdle;
    return kStepDone;
  }
  switch (StoreDownloadedFile(*s, net.downloadBuffer.get(), d.size, d.name)) {
    case kDownloadStored:
      d.phase = kDownloadIdle;
      return kStepDone;
    case kDownloadNotAFile:
      return Fail(d, kDownloadWrongFile);
    default:
      return Fail(d, kDownloadNoStorage);
  }
}

int Continue(Net& net, Storage* s, Platform& p) {
  Download& d = net.download;
  ServerChannel& c = net.server;
  if (d.phase == kDownloadIdle) return Fail(d, d.failure != kDownloadNoFailure ? d.failure : static_cast<uint8_t>(kDownloadNotRead));
  // A reply that came since the tick's own acceptance is taken now, so the
  // next chunk goes out in this tick rather than the next.
  if (!c.serverReplyReady) AcceptServerReply(c);
  if (!c.serverReplyReady) {
    // The channel gave up after its resends.
    return c.serverAwaiting ? Percent(d) : Fail(d, kDownloadNotRead);
  }
  c.serverReplyReady = 0;
  if (d.phase == kDownloadInformation) {
    return TakeInformation(net, p, c.acceptedReply, c.acceptedReplyLength);
  }
  return TakeData(net, s, p, c.acceptedReply, c.acceptedReplyLength);
}

}  // namespace

int GetServerFileInfo(Net& net, Platform& p, int start, const char* name) {
  if (start) {
    Begin(net, p, name, 1, 0);
    return 0;
  }
  return Continue(net, nullptr, p);
}

int DownloadServerFile(Net& net, Storage& s, Platform& p, int start, const char* name) {
  if (start) {
    Begin(net, p, name, 0, 0);
    return 0;
  }
  return Continue(net, &s, p);
}

int FetchServerFile(Net& net, Platform& p, int start, const char* name) {
  if (start) {
    Begin(net, p, name, 0, 1);
    return 0;
  }
  return Continue(net, nullptr, p);
}

namespace {

enum StoreStage : uint8_t {
  kStoreBegin = 0,
  kStoreIdleBeforeMark,
  kStoreCreateMark,
  kStoreIdleBeforeMarkData,
  kStoreMarkData,
  kStoreIdleBeforeCreate,
  kStoreCreate,
  kStoreIdleBeforeData,
  kStorePiece,
  kStoreIdleAfterPiece,
  kStoreDeleteOlder,
  kStoreIdleAfterDelete,
  kStoreDeleteMark,
  kStoreIdleAfterMark,
};

// Whether the mark can be stored beside the new file: a replacement that
// fits only without it goes unmarked rather than refused.
bool RoomForMark(const Storage& s, uint32_t size) {
  const StorageHeader& h = s.fs.header;
  return h.fileCount + 2u <= kTableEntries && uint32_t{h.freeBlocks} >= BlocksFor(size) + 1u;
}

}  // namespace

DownloadStoreResult StoreDownloadStep(Storage& s, DownloadStore& st, const uint8_t* bytes,
                                      uint32_t size, const char* name) {
  // A stage that waits for the machine takes one step a call and moves on
  // once it is idle.
  const auto idleThen = [&](uint8_t next) {
    if (StorageStep(s) == 0) st.stage = next;
    return kDownloadStoring;
  };
  switch (st.stage) {
    case kStoreBegin:
      if (!IsCompleteFileHeader(bytes, size)) return kDownloadNotAFile;
      // the name field follows the start mark, zero-terminated
      if (CompareText(reinterpret_cast<const char*>(bytes + 1), name, kServerNameField) != 0) {
        return kDownloadNotAFile;
      }
      st.stage = kStoreIdleBeforeMark;
      return kDownloadStoring;
    case kStoreIdleBeforeMark: {
      if (StorageStep(s) != 0) return kDownloadStoring;
      const bool replacing = StorageFindFile(s, name) >= 0;
      st.markSize = replacing && RoomForMark(s, size) ? BuildReplacementMark(name, st.mark) : 0;
      st.stage = st.markSize ? kStoreCreateMark : kStoreCreate;
      return kDownloadStoring;
    }
    case kStoreCreateMark:
      if (StorageCreateFile(s, st.markSize) != kStorageAccepted) return kDownloadRefused;
      st.stage = kStoreIdleBeforeMarkData;
      return kDownloadStoring;
    case kStoreIdleBeforeMarkData: return idleThen(kStoreMarkData);
    case kStoreMarkData:
      if (StorageWriteData(s, st.mark, st.markSize) != kStorageAccepted) return kDownloadRefused;
      st.stage = kStoreIdleBeforeCreate;
      return kDownloadStoring;
    case kStoreIdleBeforeCreate: return idleThen(kStoreCreate);
    case kStoreCreate:
      if (StorageCreateFile(s, size) != kStorageAccepted) return kDownloadRefused;
      st.stage = kStoreIdleBeforeData;
      return kDownloadStoring;
    case kStoreIdleBeforeData: return idleThen(kStorePiece);
    case kStorePiece: {
      const uint32_t piece = size - st.at < kUnitSize ? size - st.at : kUnitSize;
      if (StorageWriteData(s, bytes + st.at, piece) != kStorageAccepted) return kDownloadRefused;
      st.at += piece;
      st.stage = kStoreIdleAfterPiece;
      return kDownloadStoring;
    }
    case kStoreIdleAfterPiece: return idleThen(st.at < size ? kStorePiece : kStoreDeleteOlder);
    case kStoreDeleteOlder: {
      // The new file is the table's last; an older one of its name goes now.
      const uint16_t newest = static_cast<uint16_t>(s.fs.header.fileCount - 1);
      const int older = StorageFindFile(s, name);
      st.stage = kStoreIdleAfterDelete;
      if (older >= 0 && older < newest) StorageDeleteFile(s, static_cast<uint16_t>(older));
      return kDownloadStoring;
    }
    case kStoreIdleAfterDelete: return idleThen(kStoreDeleteMark);
    case kStoreDeleteMark: {
      const int mark = st.markSize ? StorageFindFile(s, kReplacementMarkName) : -1;
      if (mark < 0) return kDownloadStored;
      StorageDeleteFile(s, static_cast<uint16_t>(mark));
      st.stage = kStoreIdleAfterMark;
      return kDownloadStoring;
    }
    default:
      if (StorageStep(s) != 0) return kDownloadStoring;
      return kDownloadStored;
  }
}

DownloadStoreResult StoreDownloadedFile(Storage& s, const uint8_t* bytes, uint32_t size, const char* name) {
  DownloadStore st{};
  DownloadStoreResult r;
  do {
    r = StoreDownloadStep(s, st, bytes, size, name);
  } while (r == kDownloadStoring);
  return r;
}

}  // namespace trelvan
