#include "link/hid_link.h"

namespace trelvan {

int HidLinkOpen(HidState& h, Platform& p) {
  return p.hid.Open(kHandheldVendorId, kHandheldProductId, &h.inputReportLength,
                    &h.outputReportLength)
             ? 1
             : 0;
}

int HidSendReport(HidState& h, Platform& p, const uint8_t* payload63) {
  uint8_t report[kHidReportCapacity];
  const uint16_t n = h.outputReportLength < kHidReportCapacity ? h.outputReportLength : kHidReportCapacity;
  BuildDeliveryReport(report, n, payload63);
  return p.hid.Write(report, n, kHidWaitMs) == kHidDone ? 1 : 0;
}

int HidPollReport(HidState& h, Platform& p, uint8_t* out65) {
  uint8_t report[kHidReportCapacity];
  const uint16_t out = h.outputReportLength < kHidReportCapacity ? h.outputReportLength : kHidReportCapacity;
  BuildPollReport(report, out);
  if (p.hid.Write(report, out, kHidWaitMs) == kHidTimedOut) {
    p.hid.Cancel();
    return 0;
  }
  const uint16_t in = h.inputReportLength < kHidReportCapacity ? h.inputReportLength : kHidReportCapacity;
  const HidWait r = p.hid.Read(report, in, kHidWaitMs);
  if (r == kHidDone) {
    CopyPollReply(report, in, out65);
    return 1;
  }
  if (r == kHidTimedOut) p.hid.Cancel();
  return 0;
}

void HidLinkClose(HidState& h, Platform& p) {
  p.hid.Close();
  h.isOpen = 0;
}

}  // namespace trelvan
