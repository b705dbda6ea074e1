// trelvan-handheld: a handheld on the simulator link, for tests and trials.
//
//   trelvan-handheld [--hid] announce [REVISION] | pull DIR [REVISION] | push FILE | noop |
//                    ticks SECONDS | oversized | bad-checksum
//
// It receives the assistant's replies on the simulator's port and sends its
// requests to the assistant's, both on 127.0.0.1 (TRELVAN_SIMULATOR_PORTS,
// "assistant's receive port:its send port", default 6768:6769). The
// assistant finds it by its process name: run it as "TX Simulator.exe"
// (exec -a); its Windows build is named so. It prints what it did and the
// requests per second it reached.
//
// With --hid it is the device behind the stand-in hidapi library instead
// (TRELVAN_FAKE_HID_PORTS, "library's port:its own port"): each poll report
// gets the input report [id, L, request] once a request waits (L = 0
// otherwise), and the delivery report [id, 2, N, reply] that follows
// answers it. TRELVAN_HANDHELD_STALL="N:MS" makes it stop answering for MS
// milliseconds after its Nth request, as a handheld that hangs does.
//
// "ticks" counts the assistant's ticks: no-ops go out every 2 ms without
// waiting, so one always waits when a tick comes, and each tick answers
// exactly one (the assistant holds one packet at a time).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "handheld_client.h"
#include "simulator_socket.h"

using trelvan::handheld::Bytes;
namespace hh = trelvan::handheld;

namespace {

constexpr uint8_t kMagicToAssistant[] = {0x82, 0x74, 0x23, 0x91};
constexpr uint8_t kMagicFromAssistant[] = {0x81, 0x74, 0x23, 0x91};

constexpr size_t kHidReportLength = 65;  // id, code or L, 63 bytes
constexpr uint8_t kHidPoll = 0x01;
constexpr uint8_t kHidDelivery = 0x02;
constexpr size_t kHidReplyBytes = 62;  // a delivery carries N and 62 reply bytes

struct Link {
  uint16_t assistantPort = 6768;
  bool answered = false;  /**< the assistant has answered once: it found us */
  int exchanges = 0;
  int stallAfter = -1;    /**< requests answered before the stall; -1: none */
  int stallMs = 0;

  bool trace = std::getenv("TRELVAN_HANDHELD_TRACE") != nullptr;

  static void Print(const char* what, const Bytes& b) {
    std::fprintf(stderr, "%s", what);
    for (uint8_t x : b) std::fprintf(stderr, " %02x", x);
    std::fprintf(stderr, "\n");
  }

  // Replies to no-ops sent every 2 ms for `seconds`, once the assistant has
  // found this process; -1 when it never answers.
  long CountTicks(double seconds) {
    Bytes reply;
    if (!Exchange({0x11, 0x11}, &reply)) return -1;
    uint8_t noop[] = {kMagicToAssistant[0], kMagicToAssistant[1], kMagicToAssistant[2],
                      kMagicToAssistant[3], 0x11, 0x11};
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long replies = 0;
    uint8_t b[600];
    while (std::chrono::steady_clock::now() < end) {
      hh::SendTo(assistantPort, noop, sizeof noop);
      if (hh::ReceiveWithin(b, sizeof b, 2) >= 4 && std::memcmp(b, kMagicFromAssistant, 4) == 0) ++replies;
    }
    return replies;
  }

  bool Exchange(const Bytes& request, Bytes* reply) {
    if (trace) Print(">", request);
    Bytes datagram(kMagicToAssistant, kMagicToAssistant + 4);
    datagram.insert(datagram.end(), request.begin(), request.end());
    // Until the assistant's probe has found this process (every half
    // second) requests go unanswered: the first one is repeated meanwhile.
    const int attempts = answered ? 1 : 100;
    for (int a = 0; a < attempts; ++a) {
      hh::SendTo(assistantPort, datagram.data(), datagram.size());
      uint8_t b[600];
      int n = 0;
      while ((n = hh::ReceiveWithin(b, sizeof b, answered ? 3000 : 100)) >= 0) {
        if (n < 4 || std::memcmp(b, kMagicFromAssistant, 4) != 0) continue;
        reply->assign(b + 4, b + n);
        if (trace) Print("<", *reply);
        answered = true;
        return true;
      }
    }
    return false;
  }

  // The device side of the HID link: the request waits for the next poll;
  // the delivery after it is the reply. A poll while the handed request is
  // still unanswered hands it again.
  bool ExchangeHid(const Bytes& request, Bytes* reply) {
    using Clock = std::chrono::steady_clock;
    if (exchanges++ == stallAfter) {
      const Clock::time_point until = Clock::now() + std::chrono::milliseconds(stallMs);
      uint8_t ignored[600];
      while (Clock::now() < until) hh::ReceiveWithin(ignored, sizeof ignored, 50);
    }
    if (trace) Print(">", request);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(answered ? 10 : 30);
    bool handed = false;
    uint8_t b[600];
    while (Clock::now() < end) {
      const int n = hh::ReceiveWithin(b, sizeof b, 100);
      if (n < 2) continue;
      if (b[1] == kHidPoll) {
        uint8_t input[kHidReportLength] = {0};
        input[1] = static_cast<uint8_t>(request.size());
        std::memcpy(input + 2, request.data(), request.size() < kHidReportLength - 2 ? request.size() : kHidReportLength - 2);
        hh::SendTo(assistantPort, input, sizeof input);
        handed = true;
      } else if (b[1] == kHidDelivery && handed && n >= 3) {
        size_t length = b[2] < kHidReplyBytes ? b[2] : kHidReplyBytes;
        if (length > static_cast<size_t>(n) - 3) length = static_cast<size_t>(n) - 3;
        reply->assign(b + 3, b + 3 + length);
        if (trace) Print("<", *reply);
        answered = true;
        return true;
      }
    }
    return false;
  }
};

int Usage() {
  std::fprintf(stderr,
               "usage: trelvan-handheld [--hid] announce [REVISION] | pull DIR [REVISION] | push FILE | "
               "noop | ticks SECONDS | oversized | bad-checksum\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const bool hid = argc > 1 && std::strcmp(argv[1], "--hid") == 0;
  if (hid) {
    ++argv;
    --argc;
  }
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  Link link;
  uint16_t ownPort = 6769;
  if (const char* ports = std::getenv(hid ? "TRELVAN_FAKE_HID_PORTS" : "TRELVAN_SIMULATOR_PORTS")) {
    unsigned a = 0, b = 0;
    if (std::sscanf(ports, "%u:%u", &a, &b) == 2 && a < 65536 && b < 65536) {
      link.assistantPort = static_cast<uint16_t>(a);
      ownPort = static_cast<uint16_t>(b);
    }
  }
  if (const char* stall = std::getenv("TRELVAN_HANDHELD_STALL")) {
    if (std::sscanf(stall, "%d:%d", &link.stallAfter, &link.stallMs) != 2) link.stallAfter = -1;
  }
  if (!hh::OpenSocket(ownPort)) {
    std::fprintf(stderr, "trelvan-handheld: cannot bind 127.0.0.1:%u\n", ownPort);
    return 1;
  }
  trelvan::handheld::Client client;
  client.exchange = [&](const Bytes& r, Bytes* reply) {
    return hid ? link.ExchangeHid(r, reply) : link.Exchange(r, reply);
  };
  if (hid) {
    client.readPiece = 60;
    client.writePiece = 60;
  }

  const auto start = std::chrono::steady_clock::now();
  bool ok = false;
  if (command == "announce") {
    ok = client.Announce(argc > 2 ? argv[2] : "1.00");
  } else if (command == "pull" && (argc == 3 || argc == 4)) {
    ok = client.Pull(argv[2], argc == 4 ? argv[3] : "1.00") >= 0;
  } else if (command == "push" && argc == 3) {
    std::ifstream in(argv[2], std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ok = in.good() || in.eof() ? client.Push(file) : false;
  } else if (command == "noop") {
    ok = client.NoOp();
  } else if (command == "oversized") {
    ok = client.OversizedReads();
  } else if (command == "ticks" && argc == 3 && !hid) {
    const long ticks = link.CountTicks(std::atof(argv[2]));
    ok = ticks >= 0;
    client.log += "ticks: " + std::to_string(ticks) + "\n";
  } else if (command == "bad-checksum") {
    ok = client.BadChecksum();
  } else {
    return Usage();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s", client.log.c_str());
  std::printf("%u requests in %.3f s: %.1f requests per second\n", client.requests, seconds,
              seconds > 0 ? client.requests / seconds : 0.0);
  hh::CloseSocket();
  if (!ok) std::fprintf(stderr, "trelvan-handheld: %s failed\n", command.c_str());
  return ok ? 0 : 1;
}
