// The link service on the fake platform: the probe's tick, the HID golden
// report exchanges (requests, replies, oversized ones), a HID write that
// runs out and a serial library that lacks a function. Whole transfers run on every
// link in the handheld e2e tests (a HID read that runs out closing the
// link among them), and oversized reads beside their box and a push cut
// off half-way in the gui test; the storage after a creation cut anywhere
// is the fault harness's.
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

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      ServiceHandheldLink(*link, LinkContext{*storage, setup, true}, platform);
    }
  }
};

// Which link the probe takes (HID before the simulator before serial) is
// the handheld e2e tests'; here its tick and what a serial probe shows.
TEST(HandheldLink, ProbeEvery51stTickShowsTheSerialCount) {
  const struct { const char* what; uint8_t older; int32_t serialCount, connected; } cases[] = {
      {"the serial count", 1, 2, 2},
      {"a failed listing", 1, -1, -1},
      {"serial off", 0, 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bench b;
    b.setup.useOlderUsbDrivers = c.older;
    b.link->ftdi.deviceCount = c.serialCount;
    b.Tick(51);
    EXPECT_EQ(b.fake.hid.opens, 0);
    b.Tick();
    EXPECT_EQ(b.fake.hid.opens, 1);
    EXPECT_EQ(b.link->handheldConnected, c.connected);
    EXPECT_EQ(b.link->connectedShown, c.connected);
    EXPECT_EQ(b.link->linkType, kLinkSerial);
  }
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

  // A poll whose write runs out is cancelled without a read, and the link
  // goes (a read's 2 s wait is the HID e2e test's).
  const int reads = b.fake.hid.reads;
  b.fake.hid.writeResults.push_back(kHidTimedOut);
  b.Tick();
  EXPECT_EQ(b.fake.hid.cancels, 1);
  EXPECT_EQ(b.fake.hid.reads, reads);
  EXPECT_EQ(b.fake.hid.closes, 1);
  EXPECT_EQ(b.link->handheldConnected, 0);
}

// A library without one of its functions is said and not used; without a
// library, or with a whole one, nothing is said (the setup page test's).
TEST(HandheldLink, ASerialLibraryLackingAFunctionIsSaid) {
  Bench b;
  auto lacking = SerialLibrary();
  lacking.erase("FT_Read");
  b.fake.libraries.libraries["Ftd2xx.dll"] = lacking;
  FtdiLoadLibrary(b.link->ftdi, b.platform);
  ASSERT_EQ(b.fake.window.messages.size(), 1u);
  EXPECT_EQ(b.fake.window.messages[0], "Error: Can't Find FT_Read");
  EXPECT_EQ(b.link->ftdi.libraryReady, 0u);
}

}  // namespace
}  // namespace trelvan
