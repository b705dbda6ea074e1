// The link service on the fake platform: the probe's order, the HID
// golden report exchanges (requests, replies, oversized ones), the HID
// waits and the serial library's loading. Whole transfers run on every
// link in the handheld e2e tests (a HID read that runs out closing the
// link among them), and oversized reads beside their box and a push cut
// off half-way in the gui test; the storage after a push cut anywhere is
// the fault harness's.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <memory>
#include <vector>

#include "link/d2xx_functions.h"
#include "link/link.h"
#include "platform/fake/fake_platform.h"
#include "storage/setup_records.h"
#include "storage/file_system.h"
#include "../storage/storage_fixture.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;

// The driver library's functions, each an address that is never called.
std::map<std::string, void*> SerialLibrary() {
  static int never;
  std::map<std::string, void*> f;
#define TRELVAN_D2XX_NAME(name, parameters) f[#name] = &never;
  TRELVAN_D2XX_FUNCTIONS(TRELVAN_D2XX_NAME)
#undef TRELVAN_D2XX_NAME
  return f;
}

struct Bench {
  FakePlatform fake;
  Platform platform = fake;
  std::unique_ptr<Storage> storage = testing::MakeFormattedStorage(fake.files);
  std::unique_ptr<Link> link{new Link{}};
  SetupValues setup{};

  void Start() { StartHandheldLinks(*link, platform, setup); }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      ServiceHandheldLink(*link, LinkContext{*storage, setup, true}, platform);
    }
  }
};

TEST(HandheldLink, ProbeEvery51stTickInItsOrder) {
  struct Case {
    const char* what;
    bool hid, simulator;
    uint8_t older;
    int32_t serialCount;
    int32_t connected;
    uint8_t type;
  };
  const Case cases[] = {
      {"HID first", true, true, 1, 2, 1, kLinkHid},
      {"then the simulator", false, true, 1, 2, 1, kLinkSimulator},
      {"then the serial count", false, false, 1, 2, 2, kLinkSerial},
      {"a failed listing", false, false, 1, -1, -1, kLinkSerial},
      {"serial off", false, false, 0, 2, 0, kLinkSerial},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bench b;
    b.fake.hid.present = c.hid;
    if (c.simulator) b.fake.processes.running = {"TX Simulator.exe"};
    b.setup.useOlderUsbDrivers = c.older;
    b.link->ftdi.deviceCount = c.serialCount;
    b.Tick(51);
    EXPECT_EQ(b.fake.hid.opens, 0);
    b.Tick();
    EXPECT_EQ(b.fake.hid.opens, 1);
    EXPECT_EQ(b.link->handheldConnected, c.connected);
    EXPECT_EQ(b.link->connectedShown, c.connected);
    EXPECT_EQ(b.link->linkType, c.type);
  }
}

// The exchanges themselves are the golden reports' (below), a read's 2 s
// wait the HID e2e test's; here a poll whose write runs out is cancelled
// without a read, and the link goes.
TEST(HandheldLink, HidWaits) {
  Bench b;
  b.fake.hid.present = true;
  b.Tick(52);
  ASSERT_EQ(b.link->linkType, kLinkHid);
  const int reads = b.fake.hid.reads;
  b.fake.hid.writeResults.push_back(kHidTimedOut);
  b.Tick();
  EXPECT_EQ(b.fake.hid.cancels, 1);
  EXPECT_EQ(b.fake.hid.reads, reads);
  EXPECT_EQ(b.fake.hid.closes, 1);
  EXPECT_EQ(b.link->handheldConnected, 0);
}

TEST(HandheldLink, GoldenReportExchanges) {
  Bench b;
  b.fake.hid.present = true;
  ASSERT_EQ(testing::StoreNamedFile(*b.storage, "Alpha~", Bytes(200, 7)), kStorageAccepted);
  AddToSelection(b.link->transfer, "Alpha~");
  b.Tick(52);
  ASSERT_EQ(b.link->linkType, kLinkHid);
  std::ifstream in(TRELVAN_LINK_GOLDEN "/hid.reports");
  std::vector<Bytes> expected;
  int number = 0, exchanges = 0;
  auto check = [&] {
    for (Bytes& e : expected) e.resize(65);
    EXPECT_EQ(b.fake.hid.written, expected) << "the exchange before line " << number;
    expected.clear();
  };
  for (std::string line; std::getline(in, line);) {
    ++number;
    std::istringstream words(line);
    std::string what;
    if (!(words >> what) || what[0] == '#') continue;
    if (what == "in") {
      if (exchanges++) check();
      b.fake.hid.written.clear();
      b.fake.hid.inputs.push_back(testing::HexBytes(line.substr(2)));
      b.Tick();
    } else {
      expected.push_back(testing::HexBytes(line.substr(3)));
    }
  }
  check();
  EXPECT_EQ(exchanges, 7);
}

TEST(HandheldLink, SerialLibraryMessages) {
  Bench b;
  b.setup.useOlderUsbDrivers = 1;
  b.Start();  // no library: no message
  EXPECT_TRUE(b.fake.window.messages.empty());
  auto lacking = SerialLibrary();
  lacking.erase("FT_Read");
  b.fake.libraries.libraries["Ftd2xx.dll"] = lacking;
  FtdiLoadLibrary(b.link->ftdi, b.platform);
  ASSERT_EQ(b.fake.window.messages.size(), 1u);
  EXPECT_EQ(b.fake.window.messages[0], "Error: Can't Find FT_Read");
  EXPECT_EQ(b.link->ftdi.libraryReady, 0u);
  b.fake.libraries.libraries["Ftd2xx.dll"] = SerialLibrary();
  FtdiLoadLibrary(b.link->ftdi, b.platform);
  EXPECT_EQ(b.link->ftdi.libraryReady, 1u);
}

}  // namespace
}  // namespace trelvan
