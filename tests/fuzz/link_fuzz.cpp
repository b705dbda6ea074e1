// Fuzz target: the readers of the handheld's and the peers' bytes. Each
// input is a sequence of packets answered by ProcessHandheldPacket on a
// storage holding two selected files (pushes included), and the same bytes
// are fed to the serial frame reassembly, the HID input report reader and
// the datagram reader. Built with -fsanitize=fuzzer,address,undefined.
//
// Beyond memory safety: a HID packet's length stays inside the report. The
// replies' sizes, checksums and the empty packet of a read that cannot fit
// are the protocol's golden sessions', a frame's length and a datagram's
// payload the framing and datagram unit tests'.
#include <numeric>

#include "datagram/datagrams.h"
#include "fuzz_common.h"
#include "link/handheld_protocol.h"
#include "link/hid_reports.h"
#include "link/serial_frames.h"

namespace trelvan::fuzz {
namespace {

constexpr uint32_t kMaxInput = 8192;  // at most 8 KB pushed

void Protocol(Storage& s, const uint8_t* data, size_t size) {
  TransferLists t{};
  for (const char* name : {"Alpha~", "Beta~", "Gamma~"}) AddToSelection(t, name);
  t.listSource = size > 0 && (data[0] & 1) ? kFromServer : kFromStorage;
  t.MainListType = size > 1 && (data[1] & 1) ? kListServerProductPrograms : kListStoragePictures;
  HandheldTransfer h{};
  size_t at = 0;
  while (at < size) {
    const uint32_t n = data[at++];
    const uint32_t length = n <= size - at ? n : static_cast<uint32_t>(size - at);
    std::vector<uint8_t> packet(data + at, data + at + length);  // exact size for ASan
    at += length;
    ProcessHandheldPacket(h, t, s, (n & 0x80) == 0, packet.data(), length);
  }
}

void Framing(const uint8_t* data, size_t size) {
  SerialFrame f{};
  size_t at = 0;
  while (at < size) {
    const size_t n = std::min<size_t>(size - at, 37);  // reads of uneven size
    AppendSerialBytes(f, data + at, static_cast<uint32_t>(n));
    at += n;
  }
  uint8_t out[kSerialFrameCapacity];
  CopySerialFrame(f, out);

  const Bytes report(data, data + std::min<size_t>(size, kHidReportCapacity));
  uint8_t reply[kHidLayoutLength];
  CopyPollReply(report.data(), static_cast<uint16_t>(report.size()), reply);
  if (PollPacketLength(reply) > kHidLayoutLength - 1) Fail("a HID packet beyond the report");

  for (uint32_t capacity : {uint32_t{kServerReceiveCapacity}, uint32_t{kSimulatorReceiveCapacity}}) {
    Bytes buffer(data, data + std::min<size_t>(size, capacity));
    const uint32_t n = static_cast<uint32_t>(buffer.size());
    buffer.resize(capacity);
    UnwrapDatagram(buffer.data(), capacity, n, kMagicFromServer);
  }
}

}  // namespace

// A pull and a push as the handheld makes them (each packet a length byte
// and the packet with its checksum), reads at the edges, a datagram and
// serial frames.
void WriteSeeds(Seeds& seeds) {
  const auto session = [](std::initializer_list<Bytes> packets) {
    Bytes out;
    for (Bytes p : packets) {
      p.push_back(std::accumulate(p.begin(), p.end(), uint8_t{0}));
      out.push_back(static_cast<uint8_t>(p.size()));
      out.insert(out.end(), p.begin(), p.end());
    }
    return out;
  };
  const Bytes start = {0x16, 40, 0, 0, 0};
  Bytes piece = {0x17, 20, 2};
  for (uint8_t i = 1; i < 20; ++i) piece.push_back(uint8_t('a' + i));
  seeds.Add("pull", session({{0x29, 'T', 0, 'A', 0, 'I', 'V', 'T', '1', 0, '1', '.', '2', 'a', 0},
                             {0x2A}, {0x13}, {0x14, 1, 0}, {0x15, 1, 0, 0x10, 0, 0, 0, 200, 0},
                             {0x12, 'B', 'e', 't', 'a', '~', 0}, {0x11}}));
  seeds.Add("push", session({start, piece, piece, {0x20}}));
  // Reads of 250 to 256 bytes; from the end of Alpha~ (300 bytes and its
  // header), past it and wrapping round; a push cut off, then another.
  seeds.Add("reads", session({{0x15, 1, 0, 0, 0, 0, 0, 250, 0}, {0x15, 1, 0, 0, 0, 0, 0, 253, 0},
                              {0x15, 1, 0, 0, 0, 0, 0, 0, 1}, {0x15, 0, 0, 0x2B, 1, 0, 0, 4, 0},
                              {0x15, 0, 0, 0x2C, 1, 0, 0, 4, 0}, {0x15, 1, 0, 0xF0, 0xFF, 0xFF, 0xFF, 32, 0},
                              {0x15, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 253, 0}, start, piece, start}));
  seeds.Add("datagram", {0x83, 0x74, 0x23, 0x91, 1, 2, 3, 0, 6, 0});
  seeds.Add("frame", {4, 0, 0x11, 0x11, 5, 0, 0x11});
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  Storage& s = Remounted(ErasedStorage());
  StoreWhole(s, WithHeader("Alpha~", "Test", Bytes(300, 7)));
  StoreWhole(s, WithHeader("Beta~", "Test", Bytes(5000, 9)));
  Protocol(s, data, size);
  Framing(data, size);
  return 0;
}

}  // namespace trelvan::fuzz
