// The link fuzz input: a sequence of records, each a length byte and that
// many bytes. Every record is one handheld packet for the protocol; the
// whole input is also read as serial bytes, HID input reports and datagrams.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr uint32_t kLinkFuzzMaxInput = 8192;  // at most 8 KB pushed: the work stays in 64 blocks
constexpr uint16_t kLinkFuzzRestoredBlocks = 64;

}  // namespace trelvan
