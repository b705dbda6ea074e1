// The simulator's UDP channel: handheld packets to and from the simulator
// on this PC. Its receive thread writes only the channel's packet buffer,
// then its length, with release order; the link service reads them with
// acquire order. No lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "datagram/datagram_receive.h"
#include "datagram/datagrams.h"
#include "platform/platform.h"

namespace trelvan {

struct SimulatorChannel;
void SimulatorLinkClose(SimulatorChannel& c);

// A channel left open when its owner goes is closed and its thread joined.
struct SimulatorChannel {
  ~SimulatorChannel() { SimulatorLinkClose(*this); }
  intptr_t sendSocket = -1;
  intptr_t receiveSocket = -1;
  intptr_t thread = 0;
  Udp* udp = nullptr;
  Threads* threads = nullptr;
  std::atomic<uint8_t> closing{0};
  // Written by the receive thread only while the length is 0; the link
  // service copies the packet and sets the length to 0.
  uint8_t simulatorPacket[kSimulatorReceiveCapacity]{};
  std::atomic<uint16_t> simulatorPacketLength{0};
  uint8_t sendBuffer[kMagicLength + kSimulatorPacketLimit]{};
  uint16_t receivePort = 0;
  uint16_t sendPort = 0;
  char address[kAddressCapacity]{};       /**< where packets go: the settings' or localAddress */
  char localAddress[kAddressCapacity]{};  /**< the PC's own IPv4 address; empty when unknown */
};

// The ports and the simulator's address from the settings; the usual ports
// when unset, the address empty.
void ReadSimulatorSettings(SimulatorChannel& c, Platform& p);
bool SimulatorLinkStart(SimulatorChannel& c, Platform& p);
// Once the channel is open: the PC's own address from its host name (empty
// when it does not resolve), where packets go without an address setting.
void FindLocalAddress(SimulatorChannel& c, Platform& p);
// Sends magic + the reply's `length` bytes to the simulator; false without
// sending over 252 bytes. A failed send closes the channel.
bool SimulatorSend(SimulatorChannel& c, Platform& p, const uint8_t* reply, uint32_t length);
// Copies a waiting packet into `out` (256 bytes) and frees the slot; its
// length, or 0 when none waits.
uint32_t TakeSimulatorPacket(SimulatorChannel& c, uint8_t* out);

}  // namespace trelvan
