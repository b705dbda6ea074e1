// The two UDP channels: the update server's (requests with sequence numbers,
// sums and resends) and the simulator's (handheld packets). Each has a
// receive thread that writes only its channel's buffer, then its length,
// then (server) the arrival flag, with release order; the tick reads them
// with acquire order. No lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "net/datagrams.h"
#include "platform/platform.h"

namespace trelvan {

constexpr int kAddressCapacity = 16;  // dotted IPv4: 15 characters and the zero
constexpr int8_t kServerResends = 10;        // a request goes out at most 11 times
constexpr uint16_t kServerResendMs = 1000;   // a resend when more than this passed
constexpr uint16_t kTickMilliseconds = 10;

struct ServerChannel;
struct SimulatorChannel;
void ServerLinkClose(ServerChannel& c);
void SimulatorLinkClose(SimulatorChannel& c);

// A channel left open when its owner goes is closed and its thread joined.
struct ServerChannel {
  ~ServerChannel() { ServerLinkClose(*this); }
  intptr_t socket = -1;   /**< sends and receives; -1 while closed */
  intptr_t thread = 0;    /**< the receive thread; 0 when none runs */
  Udp* udp = nullptr;     /**< the services the channel was opened with */
  Threads* threads = nullptr;
  std::atomic<uint8_t> closing{0};  /**< 1: the receive thread ends at its next wake */
  uint8_t request[kRequestBufferCapacity]{};  /**< the payload of the next request */
  uint16_t requestSequence = 0;
  uint8_t lastRequest[kDatagramCapacity]{};   /**< the latest datagram, for resending */
  uint16_t lastRequestLength = 0;
  uint8_t serverAwaiting = 0;     /**< 1 while a reply is awaited */
  int8_t serverRetriesLeft = 0;
  uint16_t serverRetryTimer = 0;  /**< milliseconds since the last send */
  // Written by the receive thread only while serverReplyArrived is 0; the
  // tick takes it and clears the flag.
  uint8_t serverReply[kServerReceiveCapacity]{};
  std::atomic<uint16_t> serverReplyLength{0};
  std::atomic<uint8_t> serverReplyArrived{0};
  uint8_t acceptedReply[kServerReceiveCapacity]{};  /**< the accepted reply, the tick's own copy */
  uint16_t acceptedReplyLength = 0;
  uint8_t serverReplyReady = 0;   /**< 1: an accepted reply waits for the downloads */
  uint8_t serverReachable = 0;
  char serverAddress[kAddressCapacity]{};
  uint16_t serverPort = 0;
  uint16_t localPort = 0;
};

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
  char address[kAddressCapacity]{};  /**< where packets go: the settings' or localAddress */
};

// ---- the server channel -------------------------------------------------------
// Opens the socket on its local port and starts the receive thread; false
// (and the channel closed) on any failure.
bool ServerLinkStart(ServerChannel& c, Platform& p);
// Sends magic + bytes to the server; false without sending over 508 bytes.
// A failed send closes the channel; the next request opens it again.
bool ServerSend(ServerChannel& c, Platform& p, const uint8_t* bytes, uint32_t length);
// Sends the request whose n payload bytes are in c.request, with the next
// sequence number and its sum, and awaits its reply.
void SendServerRequest(ServerChannel& c, Platform& p, uint32_t n);
// Every tick: a resend after each second without a reply, 10 at most, then
// the server counts as unreachable.
void ServerRetryTick(ServerChannel& c, Platform& p);
// Every tick: takes a reply whose sum holds and that answers the latest request.
void AcceptServerReply(ServerChannel& c);

// ---- the simulator channel ----------------------------------------------------
bool SimulatorLinkStart(SimulatorChannel& c, Platform& p);
// Sends magic + the reply's `length` bytes to the simulator; false without
// sending over 252 bytes. A failed send closes the channel.
bool SimulatorSend(SimulatorChannel& c, Platform& p, const uint8_t* reply, uint32_t length);
// Copies a waiting packet into `out` (256 bytes) and frees the slot; its
// length, or 0 when none waits.
uint32_t TakeSimulatorPacket(SimulatorChannel& c, uint8_t* out);

// The PC's own address from its host name; empty when it does not resolve.
void FindLocalAddress(char* out, Platform& p);
// The channels' addresses and ports from the settings (loopback and the
// usual ports when unset); the simulator's address stays empty when unset.
void ReadChannelSettings(ServerChannel& server, SimulatorChannel& simulator, Platform& p);

}  // namespace trelvan
