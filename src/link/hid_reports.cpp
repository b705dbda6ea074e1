#include "link/hid_reports.h"

#include <cstring>

namespace trelvan {

namespace {
void BuildReport(uint8_t* report, uint16_t length, uint8_t code, const uint8_t* payload63) {
  uint8_t layout[kHidLayoutLength] = {0x00, code};
  if (payload63) std::memcpy(layout + 2, payload63, kHidPayloadLength);
  if (length > kHidReportCapacity) length = kHidReportCapacity;
  std::memset(report, 0, length);
  std::memcpy(report, layout, length < kHidLayoutLength ? length : kHidLayoutLength);
}
}  // namespace

void BuildPollReport(uint8_t* report, uint16_t length) {
  BuildReport(report, length, kHidPollCode, nullptr);
}

void BuildDeliveryReport(uint8_t* report, uint16_t length, const uint8_t* payload63) {
  BuildReport(report, length, kHidDeliveryCode, payload63);
}

bool BuildDeliveryPayload(const uint8_t* reply, uint32_t n, uint8_t* payload63) {
  if (n > kHidReplyLimit) return false;
  std::memset(payload63, 0, kHidPayloadLength);
  payload63[0] = static_cast<uint8_t>(n);
  const uint32_t fit = kHidPayloadLength - 1;  // the frame is cut after its 63rd byte
  std::memcpy(payload63 + 1, reply, n < fit ? n : fit);
  return true;
}

void CopyPollReply(const uint8_t* input, uint16_t length, uint8_t* out65) {
  std::memset(out65, 0, kHidLayoutLength);
  if (length > 1) {
    const uint32_t n = length - 1u < kHidLayoutLength ? length - 1u : kHidLayoutLength;
    std::memcpy(out65, input + 1, n);
  }
}

uint32_t PollPacketLength(const uint8_t* out65) {
  return out65[0] < kHidLayoutLength - 1 ? out65[0] : kHidLayoutLength - 1;
}

}  // namespace trelvan
