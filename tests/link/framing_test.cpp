// The serial frames of the handheld link. The HID reports (the poll, the
// deliveries cut to the report and the longest reply sent) are the HID
// link test's golden exchanges, the input report's bounds the link fuzz
// target's (it feeds every input to the HID report reader).
#include <gtest/gtest.h>

#include <vector>

#include "link/serial_frames.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SerialFrames, ReassemblyOverReads) {
  struct Case {
    const char* what;
    std::vector<Bytes> reads;
    std::vector<uint32_t> completed;  // per read
    Bytes frame;                      // the last completed frame
  };
  const Case cases[] = {
      {"one read", {{3, 9, 1, 2}}, {4}, {3, 9, 1, 2}},
      {"two reads", {{3, 9}, {1, 2}}, {0, 4}, {3, 9, 1, 2}},
      {"second frame dropped", {{2, 7, 7, 2, 5, 5}, {1, 6}}, {3, 2}, {1, 6}},
      {"empty frame", {{0}, {1, 4}}, {1, 2}, {1, 4}},
      {"byte by byte", {{2}, {8}, {9}}, {0, 0, 3}, {2, 8, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SerialFrame f{};
    for (size_t r = 0; r < c.reads.size(); ++r) {
      EXPECT_EQ(AppendSerialBytes(f, c.reads[r].data(), static_cast<uint32_t>(c.reads[r].size())),
                c.completed[r]);
    }
    uint8_t out[kSerialFrameCapacity];
    const uint32_t n = CopySerialFrame(f, out);
    EXPECT_EQ(Bytes(out, out + n), c.frame);
  }
}

// A frame too short to hold a request gives an empty packet. The reply's
// frame is the serial e2e test's.
TEST(SerialFrames, RequestPacketAfterTheFramesTwoBytes) {
  const uint8_t frame[] = {4, 0xEE, 0x11, 0x22, 0x33};
  const uint8_t* packet = nullptr;
  ASSERT_EQ(SerialRequestPacket(frame, 5, &packet), 3u);
  EXPECT_EQ(packet[0], 0x11);
  EXPECT_EQ(SerialRequestPacket(frame, 2, &packet), 0u);
}

}  // namespace
}  // namespace trelvan
