#include "net/server_channel.h"

#include <cstring>

#include "storage/bytes.h"
#include "storage/text.h"

namespace trelvan {

namespace {


// ---- receive thread -----------------------------------------------------------

void ServerReceiveThread(void* argument) {
  ServerChannel& c = *static_cast<ServerChannel*>(argument);
  uint8_t buffer[kServerReceiveCapacity];
  UdpSender from;
  for (int32_t n; (n = ReceiveUnwrapped(*c.udp, c.socket, c.closing, buffer, sizeof buffer,
                                        kMagicFromServer, &from)) != kThreadEnds;) {
    // Only the server answers for the server.
    if (n < 0 || !from.ipv4 || from.address != c.serverIpv4 || from.port != c.serverPort) continue;
    // The slot is the tick's until it clears the flag: a datagram arriving
    // meanwhile is dropped and the request's resend brings it again.
    if (c.serverReplyArrived.load(std::memory_order_acquire)) continue;
    std::memcpy(c.serverReply, buffer, static_cast<size_t>(n));
    c.serverReplyLength.store(static_cast<uint16_t>(n), std::memory_order_release);
    c.serverReplyArrived.store(1, std::memory_order_release);
  }
}

}  // namespace

// ---- settings -------------------------------------------------------------------

void ReadServerSettings(ServerChannel& server, Platform& p) {
  char text[kServerNameCapacity + 8];
  ServerChoice choice{};
  server.serverFromEnvironment = 0;
  if (p.settings.Get("TRELVAN_SERVER", text, sizeof text) && ParseServerChoice(text, choice)) {
    server.serverFromEnvironment = 1;
  } else {
    ReadServerChoice(p.files, choice);
  }
  ChooseServer(server, choice);
  server.localPort = kUsualServerPort;
  if (p.settings.Get("TRELVAN_SERVER_LOCAL_PORT", text, sizeof text)) {
    server.localPort = ParsePort(text, kUsualServerPort);
  }
}

void ChooseServer(ServerChannel& c, const ServerChoice& choice) {
  ServerLinkClose(c);
  CopyText(choice.name, c.serverName, kServerNameCapacity);
  c.serverPort = choice.name[0] ? choice.port : 0;
  c.serverAddress[0] = 0;
  c.serverIpv4 = 0;
  c.serverReachable = 0;
  c.serverAwaiting = 0;
}

// ---- the server channel -------------------------------------------------------

bool ServerLinkStart(ServerChannel& c, Platform& p) {
  if (c.socket != kNoSocket) return true;
  if (!p.udp.Startup()) return false;
  c.udp = &p.udp;
  c.threads = &p.threads;
  c.closing.store(0, std::memory_order_release);
  c.serverIpv4 = 0;
  if (ServerChosen(c) && p.udp.Resolve(c.serverName, c.serverAddress, kAddressCapacity)) {
    c.serverIpv4 = ParseIpv4(c.serverAddress);
  }
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
  if (length > kServerRequestLimit || !ServerChosen(c)) return false;
  if (c.socket == kNoSocket && !ServerLinkStart(c, p)) return false;
  if (!c.serverIpv4) return false;
  uint8_t datagram[kDatagramCapacity];
  const uint32_t n = WrapDatagram(kMagicToPeer, bytes, length, datagram);
  if (p.udp.SendTo(c.socket, c.serverAddress, c.serverPort, datagram, n)) return true;
  ServerLinkClose(c);
  return false;
}

void SendServerRequest(ServerChannel& c, Platform& p, uint32_t n) {
  if (n + 4 > sizeof c.request) return;
  // a name that did not resolve is asked again with each new request
  if (c.socket != kNoSocket && !c.serverIpv4) ServerLinkClose(c);
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

void ServiceServerChannel(ServerChannel& c, Platform& p) {
  AcceptServerReply(c);
  ServerRetryTick(c, p);
}

}  // namespace trelvan
