// The update server's half: its UDP channel, the download buffer, the
// server steps and the main page's lists.
#pragma once

#include <memory>

#include "net/downloads.h"
#include "net/server_lists.h"
#include "net/server_channel.h"
#include "platform/platform.h"

namespace trelvan {

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
  kServerPreview = 9,  /**< a server file fetched into memory for a look before it is chosen */
};

constexpr int kServerMessageCapacity = 100;  // the information page shows at most 99 characters

// A message the server steps leave for the main page to show.
struct ServerMessage {
  uint8_t pending;  /**< 1 until the page has shown it */
  // A failure during a handheld transfer waits until the transfer is over:
  // the page stays and the selection stays as the handheld saw it.
  uint8_t held;            /**< 1: said once transferActive is 0 again */
  uint8_t clearSelection;  /**< 1: the held message also clears the selection */
  char text[kServerMessageCapacity];
};

struct Net {
  ServerSteps serverStep;
  uint16_t fileIndex;   /**< the sendList entry the steps work on */
  Download download;
  // Allocated once with the Net and never cleared: its pages are touched
  // only by a download that fills them.
  std::unique_ptr<uint8_t[]> downloadBuffer{new uint8_t[kDownloadBufferCapacity]};
  ServerMessage message;
  MainLists lists;  /**< the main page's list rows */
  char previewName[kTransferNameCapacity];  /**< the server file to fetch for a look */
  uint8_t previewAsked;  /**< 1 until the steps start fetching previewName */
  ServerChannel server;
};

}  // namespace trelvan
