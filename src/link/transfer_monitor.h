// The main page's watch over a handheld transfer: it begins with the
// handheld's announce and ends after a quiet second (no packet), or, while
// announced bytes remain, after the second quiet second.
#pragma once

#include <cstdint>

namespace trelvan {

struct Link;
struct Storage;

constexpr uint16_t kMonitorPeriodMs = 1000;

struct TransferMonitor {
  uint8_t running;  /**< 1 from the announce until the transfer ends */
  uint8_t grace;    /**< 1 once a quiet second was forgiven for the bytes still due */
};

enum MonitorEvent : uint8_t {
  kMonitorIdle,     /**< no transfer */
  kMonitorStarted,  /**< the transfer began: start the 1,000 ms timer */
  kMonitorRunning,  /**< it goes on (after an expiry: restart the timer) */
  kMonitorEnded,    /**< it is over: transferActive is 0 again */
};

// Every tick on the main page; `expired`: the timer's period ran out. An
// ended transfer also abandons a push the handheld did not finish.
MonitorEvent RunTransferMonitor(TransferMonitor& m, Link& link, Storage& s, bool expired);

}  // namespace trelvan
