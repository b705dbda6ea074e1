#include "link/handheld_protocol.h"

#include <cstdint>
#include <cstring>

#include "storage/bytes.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

uint8_t PacketSum(const uint8_t* bytes, uint32_t count) {
  uint8_t sum = 0;
  for (uint32_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
  return sum;
}

bool VerifyCheckSum(const uint8_t* packet, uint32_t length) {
  return length > 0 && PacketSum(packet, length - 1) == packet[length - 1];
}

uint32_t AddCheckSum(HandheldTransfer& h, uint32_t length) {
  if (length + 1 >= kPacketCapacity) {
    h.replyOverRun = 1;
    return 0;
  }
  h.reply[length] = PacketSum(h.reply, length);
  return length + 1;
}

namespace {

// The request's fields, read within the packet (its checksum byte excluded).
struct Fields {
  const uint8_t* p;
  uint32_t n;  /**< bytes before the checksum */
  bool Has(uint32_t end) const { return end <= n; }
};

// Copies the text at `at` (ended by a zero byte or the fields' end) cut to
// `limit` characters into `out`; returns the position after its zero byte.
uint32_t ReadText(const Fields& f, uint32_t at, char* out, uint32_t limit) {
  uint32_t k = 0;
  while (at < f.n && f.p[at] != 0) {
    if (k < limit) out[k++] = static_cast<char>(f.p[at]);
    ++at;
  }
  out[k] = 0;
  return at + 1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The name of list entry i for the source in use; null beyond the list.
const char* EntryName(const TransferLists& t, uint32_t i) {
  if (t.listSource == kFromStorage) {
    return i < static_cast<uint32_t>(kSelectionCapacity) ? t.selectionList[i].name : nullptr;
  }
  return i < static_cast<uint32_t>(kSendListCapacity) ? t.sendList[i].name : nullptr;
}

void Announce(HandheldTransfer& h, TransferLists& t, const Fields& f) {
  t.transferActive = 1;
  if (t.listSource == kFromServer) {
    char text[64];
    uint32_t at = ReadText(f, 1, text, 45);
    at = ReadText(f, at, text, 12);
    if (f.Has(at + 3) && std::memcmp(f.p + at, "IVT", 3) == 0) {
      at = ReadText(f, at, text, 9);
      ReadText(f, at, h.handheldRevision, kRevisionCapacity - 1);
      const uint16_t n = TextLength(h.handheldRevision);
      if (n > 3 && !IsDigit(h.handheldRevision[n - 1])) h.handheldRevision[n - 1] = 0;
    } else {
      h.handheldRevision[0] = 0;
    }
    t.serverFilesReady = 0;
    t.readyCount = 0;
    t.serverTotalBytes = 0;
    t.downloadRequest |= t.MainListType == kListServerProductPrograms ? kDownloadUpdateList
                                                                      : kDownloadFiles;
  }
  BuildSendList(t);
}

// Answers the request; returns the reply's length before its checksum.
uint32_t Answer(HandheldTransfer& h, TransferLists& t, Storage& s, bool onMainPage,
                const Fields& f) {
  uint8_t* r = h.reply;
  r[0] = 0;
  if (f.n == 0) return 1;
  switch (f.p[0]) {
    case kReqNoOp:
      return 0;
    case kReqFindSelected: {
      char name[kTransferNameCapacity + 1];
      ReadText(f, 1, name, kTransferNameCapacity);
      for (int i = 0; i < kSelectionCapacity; ++i) {
        if (CompareText(name, t.selectionList[i].name, kTransferNameCapacity) == 0) {
          r[0] = 1;
          WriteU16LE(r + 1, static_cast<uint16_t>(i));
          return 3;
        }
      }
      return 1;
    }
    case kReqFileCount:
      if (t.listSource == kFromStorage) {
        uint16_t ready = 0;
        while (ready < t.selectionCount && ready < kSendListCapacity && t.sendList[ready].ready == 1) {
          ++ready;
        }
        t.readyCount = ready;
      }
      r[0] = 1;
      WriteU16LE(r + 1, t.readyCount);
      return 3;
    case kReqFileSize: {
      if (!f.Has(3)) return 1;
      const char* name = EntryName(t, ReadU16LE(f.p + 1));
      const int i = name ? StorageFindFile(s, name) : -1;
      if (i < 0) return 1;
      r[0] = 1;
      WriteU32LE(r + 1, StorageFileSize(s, static_cast<uint16_t>(i)));
      return 5;
    }
    case kReqReadFile: {
      if (!f.Has(9)) return 0;
      const uint16_t index = ReadU16LE(f.p + 1);
      const uint32_t offset = ReadU32LE(f.p + 3);
      const uint16_t count = ReadU16LE(f.p + 7);
      if (h.bytesRemaining != 0) h.bytesRemaining = count > h.bytesRemaining ? 0 : h.bytesRemaining - count;
      const char* name = EntryName(t, index);
      const int i = name ? StorageFindFile(s, name) : -1;
      if (i < 0) return 0;
      // A reply that would overrun the buffer is refused as a request that
      // cannot be served, and the fault is told.
      if (count > kReadCountLimit) {
        h.replyOverRun = 1;
        return 0;
      }
      // Bytes beyond the file's end belong to no file or to another one: a
      // read from the end on gets the empty packet, one that starts inside
      // gets the bytes up to the end.
      const uint32_t size = StorageFileSize(s, static_cast<uint16_t>(i));
      if (offset >= size) return 0;
      const uint32_t served = count < size - offset ? count : size - offset;
      StorageReadData(s, static_cast<uint16_t>(i), offset, r + 1, served);
      r[0] = 1;
      return served + 1u;
    }
    case kReqCreateFile: {
      if (!f.Has(5)) return 1;
      AbandonPush(h, s);  // a push cut off part-way never blocks the next
      RunStorageToIdle(s);
      const int result = StorageCreateFile(s, ReadU32LE(f.p + 1));
      RunStorageToIdle(s);
      h.pushOpen = result == kStorageAccepted ? 1 : h.pushOpen;
      r[0] = result == kStorageAccepted ? 1 : 0;
      return 1;
    }
    case kReqWriteFile: {
      if (!f.Has(2) || !f.Has(2u + f.p[1])) return 1;
      StorageWriteData(s, f.p + 2, f.p[1]);
      RunStorageToIdle(s);
      if (s.fs.state != kStateWaitForData) h.pushOpen = 0;
      r[0] = 1;
      return 1;
    }
    case kReqAck:
      r[0] = 1;
      return 1;
    case kReqAnnounce:
      Announce(h, t, f);
      r[0] = 1;
      return 1;
    case kReqTransferTotals: {
      uint16_t count = 0;
      uint32_t total = 0;
      if (onMainPage) {
        if (t.listSource == kFromStorage) {
          count = t.selectionCount;
          total = SelectedFilesSize(t, s);
        } else {
          if (t.serverFilesReady == 0) return 1;
          count = t.serverFileCount;
          total = t.serverTotalBytes;
        }
        h.bytesRemaining = 2 * total;
      }
      r[0] = 1;
      r[1] = 2;
      WriteU16LE(r + 2, count);
      WriteU32LE(r + 4, total);
      return 8;
    }
    default:
      return 1;
  }
}

}  // namespace

void AbandonPush(HandheldTransfer& h, Storage& s) {
  if (!h.pushOpen) return;
  h.pushOpen = 0;
  // The creation becomes visible only with the header write after its last
  // byte: mounting again drops it as a restart would, and frees its blocks.
  if (s.fs.state == kStateWaitForData) {
    StorageMount(s);
    RunStorageToIdle(s);
  }
}

uint32_t ProcessHandheldPacket(HandheldTransfer& h, TransferLists& t, Storage& s,
                               bool onMainPage, const uint8_t* packet, uint32_t length) {
  ++h.packetCount;
  h.replyOverRun = 0;
  uint32_t n;
  if (!VerifyCheckSum(packet, length)) {
    h.reply[0] = 0;
    h.reply[1] = 8;
    n = 2;
  } else {
    n = Answer(h, t, s, onMainPage, Fields{packet, length - 1});
  }
  return AddCheckSum(h, n);
}

}  // namespace trelvan
