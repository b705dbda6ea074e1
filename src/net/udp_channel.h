// The two UDP channels: the update server's (requests with sequence numbers,
// sums and resends) and the simulator's (handheld packets). Each has a
// receive thread that writes only its channel's buffer, then its length,
// then (server) the arrival flag, with release order; the tick reads them
// with acquire order. No lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "net/datagrams.h"

namespace trelvan {

constexpr int kAddressCapacity = 16;  // dotted IPv4: 15 characters and the zero
constexpr int8_t kServerResends = 10;        // a request goes out at most 11 times
constexpr uint16_t kServerResendMs = 1000;   // a resend when more than this passed
constexpr uint16_t kTickMilliseconds = 10;

struct ServerChannel {
  intptr_t socket = -1;   /**< sends and receives; -1 while closed */
  intptr_t thread = 0;    /**< the receive thread; 0 when none runs */
  uint8_t request[kRequestBufferCapacity]{};  /**< the payload of the next request */
  uint16_t requestSequence = 0;
  uint8_t lastRequest[kDatagramCapacity]{};   /**< the latest datagram, for resending */
  uint16_t lastRequestLength = 0;
  uint8_t serverAwaiting = 0;     /**< 1 while a reply is awaited */
  int8_t serverRetriesLeft = 0;
  uint16_t serverRetryTimer = 0;  /**< milliseconds since the last send */
  uint8_t serverReply[kServerReceiveCapacity]{};  /**< written by the receive thread */
  std::atomic<uint16_t> serverReplyLength{0};
  std::atomic<uint8_t> serverReplyArrived{0};
  uint8_t serverReplyReady = 0;   /**< 1: an accepted reply waits for the downloads */
  uint8_t serverReachable = 0;
  char serverAddress[kAddressCapacity]{};
  uint16_t serverPort = 0;
  uint16_t localPort = 0;
};

struct SimulatorChannel {
  intptr_t sendSocket = -1;
  intptr_t receiveSocket = -1;
  intptr_t thread = 0;
  uint8_t simulatorPacket[kSimulatorReceiveCapacity]{};  /**< written by the receive thread */
  std::atomic<uint16_t> simulatorPacketLength{0};
  uint16_t receivePort = 0;
  uint16_t sendPort = 0;
  char address[kAddressCapacity]{};  /**< where packets go: the settings' or localAddress */
};

}  // namespace trelvan
