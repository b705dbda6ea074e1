// The server's state: the two UDP channels (the update server and the
// simulator) and, as downloads land, the download buffer and the steps.
#pragma once

#include <memory>

#include "net/downloads.h"
#include "net/server_lists.h"
#include "net/udp_channel.h"
#include "platform/platform.h"
#include "shell/setup_records.h"

namespace trelvan {

struct Link;

// serverStep: where the main page's server steps stand.
enum ServerSteps : uint16_t {
  kServerStart = 0,
  kServerIdle = 1,
  kServerConnectionTest = 2,
  kServerListDownload = 3,
  kServerListShown = 4,
  kServerFileInformation = 5,
  kServerFileDownloads = 6,
  kServerWaitForHandheld = 7,
  kServerUpdateListDownload = 8,
};

constexpr int kServerMessageCapacity = 100;  // the information page shows at most 99 characters

// A message the server steps leave for the main page to show.
struct ServerMessage {
  uint8_t pending;  /**< 1 until the page has shown it */
  char text[kServerMessageCapacity];
};

struct Net {
  uint16_t serverStep;  /**< a ServerSteps value */
  uint16_t fileIndex;   /**< the sendList entry the steps work on */
  Download download;
  // Allocated once with the Net and never cleared: its pages are touched
  // only by a download that fills them.
  std::unique_ptr<uint8_t[]> downloadBuffer{new uint8_t[kDownloadBufferCapacity]};
  ServerMessage message;
  MainLists lists;  /**< the main page's list rows */
  ServerChannel server;
  SimulatorChannel simulator;
  char localAddress[kAddressCapacity];  /**< the PC's own IPv4 address; empty when unknown */
};

// On the first tick: the server channel, the serial driver library when the
// setup asks for it, the simulator channel and the local address.
void StartServices(Net& net, Link& link, Platform& platform, const SetupValues& setup);
// Once per tick, last: takes a matching server reply and resends a request.
void ServiceServerChannel(Net& net, Platform& platform);
// In the exit sequence, between its two pauses: closes both channels.
void CloseChannels(Net& net, Link& link, Platform& platform);

}  // namespace trelvan
