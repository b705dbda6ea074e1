#include "link/simulator_channel.h"

#include <cstring>

#include "storage/text.h"

namespace trelvan {

namespace {

constexpr uint16_t kSimulatorReceivePort = 6768;
constexpr uint16_t kSimulatorSendPort = 6769;

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

}  // namespace

void ReadSimulatorSettings(SimulatorChannel& c, Platform& p) {
  char text[64];
  c.receivePort = kSimulatorReceivePort;
  c.sendPort = kSimulatorSendPort;
  if (p.settings.Get("TRELVAN_SIMULATOR_PORTS", text, sizeof text)) {
    char first[8];
    uint16_t second;
    if (SplitPair(text, first, sizeof first, &second)) {
      c.receivePort = ParsePort(first, kSimulatorReceivePort);
      c.sendPort = second;
    }
  }
  p.settings.Get("TRELVAN_SIMULATOR_ADDRESS", c.address, sizeof c.address);
}

void FindLocalAddress(SimulatorChannel& c, Platform& p) {
  if (!p.udp.LocalAddress(c.localAddress, kAddressCapacity)) c.localAddress[0] = 0;
  if (!c.address[0]) CopyText(c.localAddress, c.address, kAddressCapacity);
}

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
