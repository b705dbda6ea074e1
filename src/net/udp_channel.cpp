#include "net/udp_channel.h"

#include <cstring>

#include "storage/bytes.h"

namespace trelvan {

namespace {

constexpr uint16_t kServerPort = 4608;
constexpr uint16_t kSimulatorReceivePort = 6768;
constexpr uint16_t kSimulatorSendPort = 6769;
constexpr char kLoopback[] = "127.0.0.1";

// ---- receive threads ----------------------------------------------------------

// The next datagram on `socket` that carries `magic`, unwrapped at the
// buffer's start: its payload length (the over-run text's for a datagram
// too short or too long), -1 for one to ignore. kThreadEnds once the channel
// closes or the socket fails.
constexpr int32_t kThreadEnds = -2;
int32_t ReceiveUnwrapped(Udp& udp, intptr_t socket, const std::atomic<uint8_t>& closing, uint8_t* buffer,
                         uint32_t capacity, uint32_t magic, bool* ipv4) {
  int32_t received = kReceiveAgain;
  while (received == kReceiveAgain) {
    if (closing.load(std::memory_order_acquire)) return kThreadEnds;
    received = udp.Receive(socket, buffer, capacity, ipv4);
  }
  if (received < 0 || closing.load(std::memory_order_acquire)) return kThreadEnds;
  return UnwrapDatagram(buffer, capacity, static_cast<uint32_t>(received), magic);
}

void ServerReceiveThread(void* argument) {
  ServerChannel& c = *static_cast<ServerChannel*>(argument);
  uint8_t buffer[kServerReceiveCapacity];
  bool ipv4 = false;
  for (int32_t n; (n = ReceiveUnwrapped(*c.udp, c.socket, c.closing, buffer, sizeof buffer,
                                        kMagicFromServer, &ipv4)) != kThreadEnds;) {
    if (n < 0 || !ipv4) continue;
    // The slot is the tick's until it clears the flag: a datagram arriving
    // meanwhile is dropped and the request's resend brings it again.
    if (c.serverReplyArrived.load(std::memory_order_acquire)) continue;
    std::memcpy(c.serverReply, buffer, static_cast<size_t>(n));
    c.serverReplyLength.store(static_cast<uint16_t>(n), std::memory_order_release);
    c.serverReplyArrived.store(1, std::memory_order_release);
  }
}

// Packets from any address family are taken.
void SimulatorReceiveThread(void* argument) {
  SimulatorChannel& c = *static_cast<SimulatorChannel*>(argument);
  uint8_t buffer[kSimulatorReceiveCapacity];
  bool ipv4 = false;
  for (int32_t n; (n = ReceiveUnwrapped(*c.udp, c.receiveSocket, c.closing, buffer, sizeof buffer,
                                        kMagicFromSimulator, &ipv4)) != kThreadEnds;) {
    if (n <= 0) continue;
    if (c.simulatorPacketLength.load(std::memory_order_acquire) != 0) continue;
    std::memcpy(c.simulatorPacket, buffer, static_cast<size_t>(n));
    c.simulatorPacketLength.store(static_cast<uint16_t>(n), std::memory_order_release);
  }
}

// "address:port" or "port:port" into its two halves.
bool SplitPair(const char* text, char* first, uint32_t capacity, uint16_t* second) {
  const char* colon = std::strchr(text, ':');
  if (!colon || static_cast<uint32_t>(colon - text) >= capacity) return false;
  std::memcpy(first, text, static_cast<size_t>(colon - text));
  first[colon - text] = 0;
  uint32_t v = 0;
  const char* d = colon + 1;
  if (!*d) return false;
  for (; *d; ++d) {
    if (*d < '0' || *d > '9') return false;
    v = v * 10 + static_cast<uint32_t>(*d - '0');
    if (v > 65535) return false;
  }
  *second = static_cast<uint16_t>(v);
  return true;
}

uint16_t ParsePort(const char* text, uint16_t fallback) {
  char dummy[2];
  uint16_t port = 0;
  char withColon[16] = "x:";
  if (std::strlen(text) > 6) return fallback;
  std::strcat(withColon, text);
  return SplitPair(withColon, dummy, sizeof dummy, &port) ? port : fallback;
}

}  // namespace

// ---- settings -------------------------------------------------------------------

void ReadChannelSettings(ServerChannel& server, SimulatorChannel& simulator, Platform& p) {
  char text[64];
  std::strcpy(server.serverAddress, kLoopback);
  server.serverPort = kServerPort;
  if (p.settings.Get("TRELVAN_SERVER", text, sizeof text)) {
    char address[kAddressCapacity];
    uint16_t port;
    if (SplitPair(text, address, sizeof address, &port)) {
      std::strcpy(server.serverAddress, address);
      server.serverPort = port;
    }
  }
  server.localPort = kServerPort;
  if (p.settings.Get("TRELVAN_SERVER_LOCAL_PORT", text, sizeof text)) {
    server.localPort = ParsePort(text, kServerPort);
  }
  simulator.receivePort = kSimulatorReceivePort;
  simulator.sendPort = kSimulatorSendPort;
  if (p.settings.Get("TRELVAN_SIMULATOR_PORTS", text, sizeof text)) {
    char first[8];
    uint16_t second;
    if (SplitPair(text, first, sizeof first, &second)) {
      simulator.receivePort = ParsePort(first, kSimulatorReceivePort);
      simulator.sendPort = second;
    }
  }
  p.settings.Get("TRELVAN_SIMULATOR_ADDRESS", simulator.address, sizeof simulator.address);
}

void FindLocalAddress(char* out, Platform& p) {
  if (!p.udp.LocalAddress(out, kAddressCapacity)) out[0] = 0;
}

// ---- the server channel -------------------------------------------------------

bool ServerLinkStart(ServerChannel& c, Platform& p) {
  if (c.socket != kNoSocket) return true;
  if (!p.udp.Startup()) return false;
  c.udp = &p.udp;
  c.threads = &p.threads;
  c.closing.store(0, std::memory_order_release);
  c.socket = p.udp.Open();
  if (c.socket != kNoSocket && p.udp.Bind(c.socket, c.localPort)) {
    c.thread = p.threads.Start(ServerReceiveThread, &c);
    if (c.thread != kNoThread) return true;
  }
  ServerLinkClose(c);
  return false;
}

void ServerLinkClose(ServerChannel& c) {
  if (c.socket == kNoSocket) return;
  c.closing.store(1, std::memory_order_release);
  c.udp->Wake(c.socket);
  c.threads->Join(c.thread);
  c.udp->Close(c.socket);
  c.thread = kNoThread;
  c.socket = kNoSocket;
  c.udp->Cleanup();
}

bool ServerSend(ServerChannel& c, Platform& p, const uint8_t* bytes, uint32_t length) {
  if (length > kServerRequestLimit) return false;
  if (c.socket == kNoSocket && !ServerLinkStart(c, p)) return false;
  uint8_t datagram[kDatagramCapacity];
  const uint32_t n = WrapDatagram(kMagicToPeer, bytes, length, datagram);
  if (p.udp.SendTo(c.socket, c.serverAddress, c.serverPort, datagram, n)) return true;
  ServerLinkClose(c);
  return false;
}

void SendServerRequest(ServerChannel& c, Platform& p, uint32_t n) {
  if (n + 4 > sizeof c.request) return;
  ++c.requestSequence;
  const uint32_t length = CompleteServerRequest(c.request, n, c.requestSequence);
  const uint32_t kept = length < sizeof c.lastRequest ? length : sizeof c.lastRequest;
  std::memcpy(c.lastRequest, c.request, kept);
  c.lastRequestLength = static_cast<uint16_t>(length);
  ServerSend(c, p, c.request, length);
  c.serverRetriesLeft = kServerResends;
  c.serverAwaiting = 1;
  c.serverRetryTimer = 0;
}

void ServerRetryTick(ServerChannel& c, Platform& p) {
  if (!c.serverAwaiting) return;
  c.serverRetryTimer = static_cast<uint16_t>(c.serverRetryTimer + kTickMilliseconds);
  if (c.serverRetryTimer <= kServerResendMs) return;
  if (c.serverRetriesLeft > 0) {
    ServerSend(c, p, c.lastRequest, c.lastRequestLength);
    --c.serverRetriesLeft;
    c.serverRetryTimer = 0;
  } else {
    c.serverReachable = 0;
    c.serverAwaiting = 0;
  }
}

void AcceptServerReply(ServerChannel& c) {
  if (!c.serverReplyArrived.load(std::memory_order_acquire)) return;
  const uint16_t n = c.serverReplyLength.load(std::memory_order_acquire);
  // A reply that fails here fails on every later tick too (its sequence
  // number can only fall further behind), so its slot is freed at once.
  if (VerifyServerReply(c.serverReply, n) && ReplySequence(c.serverReply, n) == c.requestSequence) {
    std::memcpy(c.acceptedReply, c.serverReply, n);
    c.acceptedReplyLength = n;
    c.serverAwaiting = 0;
    c.serverReplyReady = 1;
    c.serverReachable = 1;
  }
  c.serverReplyArrived.store(0, std::memory_order_release);
}

// ---- the simulator channel ----------------------------------------------------

bool SimulatorLinkStart(SimulatorChannel& c, Platform& p) {
  if (c.receiveSocket != kNoSocket) return true;
  if (!p.udp.Startup()) return false;
  c.udp = &p.udp;
  c.threads = &p.threads;
  c.closing.store(0, std::memory_order_release);
  c.sendSocket = p.udp.Open();
  c.receiveSocket = p.udp.Open();
  if (c.sendSocket != kNoSocket && c.receiveSocket != kNoSocket &&
      p.udp.Bind(c.receiveSocket, c.receivePort)) {
    c.thread = p.threads.Start(SimulatorReceiveThread, &c);
    if (c.thread != kNoThread) return true;
  }
  SimulatorLinkClose(c);
  return false;
}

void SimulatorLinkClose(SimulatorChannel& c) {
  if (c.receiveSocket == kNoSocket && c.sendSocket == kNoSocket) return;
  c.closing.store(1, std::memory_order_release);
  c.udp->Wake(c.receiveSocket);
  c.threads->Join(c.thread);
  c.udp->Close(c.receiveSocket);
  c.udp->Close(c.sendSocket);
  c.thread = kNoThread;
  c.receiveSocket = kNoSocket;
  c.sendSocket = kNoSocket;
  c.udp->Cleanup();
}

bool SimulatorSend(SimulatorChannel& c, Platform& p, const uint8_t* reply, uint32_t length) {
  if (length > kSimulatorPacketLimit) return false;
  if (c.sendSocket == kNoSocket) return false;
  const uint32_t n = WrapDatagram(kMagicToPeer, reply, length, c.sendBuffer);
  if (p.udp.SendTo(c.sendSocket, c.address, c.sendPort, c.sendBuffer, n)) return true;
  SimulatorLinkClose(c);
  return false;
}

uint32_t TakeSimulatorPacket(SimulatorChannel& c, uint8_t* out) {
  const uint16_t n = c.simulatorPacketLength.load(std::memory_order_acquire);
  if (n == 0) return 0;
  std::memcpy(out, c.simulatorPacket, n);
  c.simulatorPacketLength.store(0, std::memory_order_release);
  return n;
}

}  // namespace trelvan
