// The transfer monitor: a quiet second ends a transfer, the first quiet
// second while announced bytes remain is forgiven, packets keep it going.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/link.h"
#include "link/transfer_monitor.h"
#include "../storage/storage_fixture.h"

namespace trelvan {
namespace {

TEST(TransferMonitor, EndsAfterQuietSeconds) {
  struct Second {
    uint16_t packets;
    uint32_t bytesRemaining;
  };
  struct Case {
    const char* what;
    std::vector<Second> seconds;
    int endsAfter;  // the second after which it ends
  };
  const Case cases[] = {
      {"quiet at once", {{0, 0}}, 1},
      {"packets, then quiet", {{5, 0}, {3, 0}, {0, 0}}, 3},
      {"bytes remain: one second forgiven", {{4, 100}, {0, 100}, {0, 100}}, 3},
      {"forgiven once per transfer", {{0, 100}, {2, 100}, {0, 100}}, 3},
  };
  FakePlatform platform;
  std::unique_ptr<Storage> s = testing::MakeFormattedStorage(platform.files);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<Link> link(new Link{});
    TransferMonitor m{};
    EXPECT_EQ(RunTransferMonitor(m, *link, *s, false), kMonitorIdle);
    link->transfer.transferActive = 1;
    ASSERT_EQ(RunTransferMonitor(m, *link, *s, false), kMonitorStarted);
    int ended = 0;
    for (size_t i = 0; i < c.seconds.size() && !ended; ++i) {
      link->handheld.packetCount = c.seconds[i].packets;
      link->handheld.bytesRemaining = c.seconds[i].bytesRemaining;
      EXPECT_EQ(RunTransferMonitor(m, *link, *s, false), kMonitorRunning);
      if (RunTransferMonitor(m, *link, *s, true) == kMonitorEnded) ended = static_cast<int>(i) + 1;
    }
    EXPECT_EQ(ended, c.endsAfter);
    EXPECT_EQ(link->transfer.transferActive, 0);
  }
}

}  // namespace
}  // namespace trelvan
