// Fuzz target: the update server's replies through DownloadServerFile (or,
// with flag bit 0, FetchServerFile), and the list and update-list readers
// on the same bytes. An input is a flags byte and parts, one reply each: a
// control byte (bit 0: the content as given, else sealed with the sequence
// awaited and its sum; bit 1: a silent second instead), then the content.
//
// Beyond memory safety: results stay 0..99, 100 or 65535 and never fall
// back; a done download stored its file once under its name, in a sound
// storage (the bytes stored, and the storage after each way a download
// fails, are the downloads unit test's).
#include "../net/free_port.h"
#include "fuzz_common.h"
#include "net/net.h"
#include "net/server_steps.h"
#include "storage/steps.h"

namespace trelvan::fuzz {
namespace {

constexpr uint32_t kMaxInput = 16384;
constexpr char kName[] = "Alpha~";

// No server is chosen, so no request leaves and the channel stays closed:
// replies are put in its slot here, as its receive thread puts them.
struct World {
  FakePlatform fake;
  Platform platform = fake;
  Net* net = new Net{};
};

// A reply landed as the receive thread lands one; unless `asGiven`, sealed
// with the sequence awaited and its sum.
void Land(ServerChannel& c, Bytes reply, bool asGiven) {
  if (!asGiven) testing::Seal(reply, c.requestSequence);
  reply.resize(std::min<size_t>(reply.size(), kServerRequestLimit));
  std::copy(reply.begin(), reply.end(), c.serverReply);
  c.serverReplyLength.store(static_cast<uint16_t>(reply.size()));
  c.serverReplyArrived.store(1);
  AcceptServerReply(c);
}

void RunDownload(World& w, const uint8_t* data, size_t size) {
  Storage& s = Remounted(ErasedStorage());
  StoreWhole(s, WithHeader(kName, "Picture", Bytes(700, 0x3C)));
  w.fake.window.messages.clear();
  const bool fetch = size > 0 && (data[0] & 1);
  const auto step = [&](int start) {
    return fetch ? FetchServerFile(*w.net, w.platform, start, kName)
                 : DownloadServerFile(*w.net, s, w.platform, start, kName);
  };
  int last = step(1);
  for (const Bytes& part : DecodeParts(data, size, 64)) {
    if (part.empty()) break;
    if (part[0] & 2) {
      for (int t = 0; t < 120; ++t) ServerRetryTick(w.net->server, w.platform);
    } else {
      Land(w.net->server, Bytes(part.begin() + 1, part.end()), part[0] & 1);
    }
    const int r = step(0);
    if (!(r <= 99 || r == kStepDone || r == kStepFailed)) Fail("a result out of range");
    if (r < last) Fail("progress fell back");
    last = r;
    if (r >= kStepDone) break;
  }
  if (fetch || last != kStepDone || w.net->download.size == 0) return;
  const uint16_t newest = static_cast<uint16_t>(s.fs.header.fileCount - 1);
  char name[32];
  StorageReadField(s, newest, kFieldName, name);
  if (StorageFindFile(s, name) != newest) Fail("an older file of the name stayed");
  CheckOrFail(s, "a download");
}

// The list readers read only inside the bytes (a row's cut to 31
// characters is their unit test's) and keep a record in its capacities.
void Readers(const uint8_t* data, size_t size) {
  static char rows[kListRowCapacity][kTypeListNameCapacity];
  ReadListNames(data, static_cast<uint32_t>(size), rows, kListRowCapacity);
  UpdateRecord record;
  if (FindUpdateRecord(data, static_cast<uint32_t>(size), "1.23", record) &&
      (record.nameCount > kUpdateNameCapacity || std::strlen(record.revision) >= kUpdateRevisionCapacity)) {
    Fail("a record beyond its capacities");
  }
}

}  // namespace

// A whole download in two chunks, one cut short, the same fetched, and an
// update list.
void WriteSeeds(Seeds& seeds) {
  const Bytes file = WithHeader("Alpha~", "Picture", Bytes(480, 0x11));
  Bytes info(1 + kFileInfoReplyLength);  // a part: its control byte, then the reply
  BuildFileInfoReply(info.data() + 1, {1, "Alpha~", "1.07", static_cast<uint32_t>(file.size())});
  std::vector<Bytes> parts = {info};
  for (size_t at = 0; at < file.size(); at += kServerChunkLimit) {
    Bytes p = {0, 1, 0};
    const size_t end = std::min(file.size(), at + kServerChunkLimit);
    p.insert(p.end(), file.begin() + long(at), file.begin() + long(end));
    parts.push_back(p);
  }
  seeds.Add("download", EncodeParts(0, parts));
  seeds.Add("fetch", EncodeParts(1, parts));
  parts[2].resize(parts[2].size() - 3);
  seeds.Add("short", EncodeParts(0, parts));
  const char list[] = "2\0" "1.00\0A\0End Of File Names\0" "1.23\0B\0C\0End Of File Names";
  seeds.Add("update-list", Bytes(list, list + sizeof list));
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  static World* world = new World;
  RunDownload(*world, data, size);
  Readers(data, size);
  return 0;
}

}  // namespace trelvan::fuzz
