// The HID link: the handheld's device found by its ids, a poll report that
// asks for its pending request and a delivery report with the reply. Each
// wait lasts up to 2,000 ms.
#pragma once

#include <cstdint>

#include "link/hid_reports.h"
#include "platform/platform.h"

namespace trelvan {

constexpr uint16_t kHandheldVendorId = 0x04D8;
constexpr uint16_t kHandheldProductId = 0xF320;
constexpr uint32_t kHidWaitMs = 2000;

struct HidState {
  uint16_t inputReportLength;
  uint16_t outputReportLength;
  int32_t isOpen;  /**< 1 while the device is usable; the protocol stores results here */
};

// 1 when the device was found and opened, else 0.
int HidLinkOpen(HidState& h, Platform& p);
// Writes a delivery report with the 63 payload bytes; 1 when it completed.
int HidSendReport(HidState& h, Platform& p, const uint8_t* payload63);
// Writes a poll report and reads the answer: 1 with the 65 bytes from input
// offset 1 in `out65` (L, then the packet), else 0. A wait that runs out is
// cancelled; a write that runs out reads nothing.
int HidPollReport(HidState& h, Platform& p, uint8_t* out65);
void HidLinkClose(HidState& h, Platform& p);

}  // namespace trelvan
