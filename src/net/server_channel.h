// The update server's UDP channel: requests with sequence numbers, sums and
// resends. Its receive thread writes only the channel's reply buffer, then
// its length, then the arrival flag, with release order; the tick reads them
// with acquire order. No lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "datagram/datagram_receive.h"
#include "datagram/datagrams.h"
#include "platform/platform.h"

namespace trelvan {

constexpr int8_t kServerResends = 10;        // a request goes out at most 11 times
constexpr uint16_t kServerResendMs = 1000;   // a resend when more than this passed
constexpr uint16_t kTickMilliseconds = 10;

struct ServerChannel;
void ServerLinkClose(ServerChannel& c);

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
// Once per tick, last: takes a matching reply, then resends a request.
void ServiceServerChannel(ServerChannel& c, Platform& p);

// The server's address and port and the channel's own port from the
// settings; loopback and the usual ports when unset.
void ReadServerSettings(ServerChannel& server, Platform& p);

}  // namespace trelvan
