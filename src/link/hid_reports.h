// Reports of the HID link. Output reports: report id 0, a code (1 poll,
// 2 delivery) and 63 payload bytes. The input report after a poll: report
// id, L, then the handheld's L-byte packet.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr int kHidReportCapacity = 256;  // report buffers; longer device reports are cut here
constexpr int kHidLayoutLength = 65;     // id, code and 63 payload bytes
constexpr int kHidPayloadLength = 63;
constexpr int kHidReplyLimit = 64;       // a reply longer than this (checksum included) is not sent
constexpr uint8_t kHidPollCode = 0x01;
constexpr uint8_t kHidDeliveryCode = 0x02;

// Fills a report of `length` bytes (at most kHidReportCapacity): id 0, the
// code, the payload (zeros for a poll), zeros after.
void BuildPollReport(uint8_t* report, uint16_t length);
void BuildDeliveryReport(uint8_t* report, uint16_t length, const uint8_t* payload63);

// The delivery payload for an N-byte reply: N, then the reply, cut after the
// 63rd byte. False (nothing built) when N exceeds 64.
bool BuildDeliveryPayload(const uint8_t* reply, uint32_t n, uint8_t* payload63);

// The 65 bytes from offset 1 of an input report of `length` bytes (zeros
// where the report is shorter): out[0] is L, the packet follows.
void CopyPollReply(const uint8_t* input, uint16_t length, uint8_t* out65);

// The packet length a poll reply carries: L, but never more than the 64
// bytes the copied reply holds.
uint32_t PollPacketLength(const uint8_t* out65);

}  // namespace trelvan
