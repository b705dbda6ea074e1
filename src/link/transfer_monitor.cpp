#include "link/transfer_monitor.h"

#include "link/link.h"

namespace trelvan {

MonitorEvent RunTransferMonitor(TransferMonitor& m, Link& link, Storage& s, bool expired) {
  TransferLists& t = link.transfer;
  if (!m.running) {
    if (!t.transferActive) return kMonitorIdle;
    m.running = 1;
    m.grace = 0;
    link.handheld.packetCount = 0;
    return kMonitorStarted;
  }
  if (!expired) return kMonitorRunning;
  bool over = false;
  if (link.handheld.packetCount == 0) {
    if (link.handheld.bytesRemaining == 0 || m.grace) {
      over = true;
    } else {
      m.grace = 1;
    }
  } else {
    link.handheld.packetCount = 0;
  }
  if (!over) return kMonitorRunning;
  m.running = 0;
  t.transferActive = 0;
  EndHandheldPush(link, s);
  return kMonitorEnded;
}

}  // namespace trelvan
