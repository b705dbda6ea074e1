// The update server's UDP channel: requests with sequence numbers, sums and
// resends. Its receive thread writes only the channel's reply buffer, then
// its length, then the arrival flag, with release order; the tick reads them
// with acquire order. No lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "datagram/datagram_receive.h"
#include "datagram/datagrams.h"
#include "net/server_settings.h"
#include "platform/platform.h"

namespace trelvan {

constexpr int8_t kServerResends = 10;        // a request goes out at most 11 times
constexpr uint16_t kServerResendMs = 1000;   // a resend when more than this passed

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
  // The server as chosen (host name or dotted IPv4; empty: none) and as
  // resolved when the channel opened. The receive thread reads serverIpv4
  // and serverPort: they change only while the channel is closed.
  char serverName[kServerNameCapacity]{};
  char serverAddress[kAddressCapacity]{};
  uint16_t serverPort = 0;
  uint32_t serverIpv4 = 0;  /**< serverAddress as a number: replies come only from it and serverPort; 0 unresolved */
  uint8_t serverFromEnvironment = 0;  /**< 1: TRELVAN_SERVER chose it, over the settings file */
  uint16_t localPort = 0;
};

// ---- the server channel -------------------------------------------------------
// Opens the socket on its local port and starts the receive thread; false
// (and the channel closed) on any failure. The chosen server's name is
// resolved here, so a request waits for the name service at most when the
// channel opens.
bool ServerLinkStart(ServerChannel& c, Platform& p);
// Sends magic + bytes to the server; false without sending over 508 bytes,
// and while no server is chosen or its name did not resolve.
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

// The server from TRELVAN_SERVER, else from the settings file, else none;
// the channel's own port from TRELVAN_SERVER_LOCAL_PORT, else 4608.
void ReadServerSettings(ServerChannel& server, Platform& p);
// 1 when a server is chosen.
inline bool ServerChosen(const ServerChannel& c) { return c.serverName[0] != 0 && c.serverPort != 0; }
// Takes `choice` (an empty name: none) for the channel, closing it first so
// the receive thread never reads the server while it changes; the next
// request opens it again. The reachability is unknown again.
void ChooseServer(ServerChannel& c, const ServerChoice& choice);

}  // namespace trelvan
