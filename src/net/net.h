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
};

constexpr int kServerMessageCapacity = 100;  // the information page shows at most 99 characters

// A message the server steps leave for the main page to show.
struct ServerMessage {
  uint8_t pending;  /**< 1 until the page has shown it */
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
  ServerChannel server;
};

}  // namespace trelvan
