// The checker: every broken rule is named, at start-up and in an idle
// storage. That what the file system leaves passes is checked after every
// operation of the model test and at every cut of the fault harness.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "storage_fixture.h"

namespace trelvan {
namespace {

// Writes a plain byte as it is, past the flash rules, as damage does.
void Damage(Storage& s, uint32_t offset, uint8_t plain) {
  s.image[offset] = static_cast<uint8_t>(plain + s.key[offset % kKeySize]);
}

// Rewrites the current header copy (`other`: into the other block as well).
void DamageHeader(Storage& s, const std::function<void(StorageHeader&)>& change,
                  bool other = false) {
  StorageHeader h;
  const uint16_t block = static_cast<uint16_t>(SelectHeader(s, &h) ^ (other ? 1 : 0));
  change(h);
  EraseBlock(s, block);
  WriteHeaderRecord(s, block, h);
}

// The broken rules CheckStorage (idle) or CheckStorageAtStartUp names.
int Broken(const Storage& s, bool idle, std::string* text) {
  char message[2048];
  const int n = idle ? CheckStorage(s, message, sizeof message)
                     : CheckStorageAtStartUp(s, message, sizeof message);
  *text = message;
  return n;
}

class CheckTest : public testing::StorageTest {
 protected:
  void SetUp() override {  // files of 2, 1 and 3 blocks
    for (uint32_t size : {5000u, 100u, 9000u}) {
      ASSERT_EQ(testing::StoreNamedFile(*s, "F" + std::to_string(size), testing::Pattern(size, 1)),
                kStorageAccepted);
    }
  }
};

TEST_F(CheckTest, EveryBrokenRuleIsNamed) {
  const uint32_t table = 3 * kBlockSize;  // the current table after three creations
  const struct {
    std::function<void(Storage&)> damage;
    const char* named;
    bool atStartUp;  // the start-up check names it too
  } cases[] = {
      {[](Storage& t) { Damage(t, SelectHeader(t, nullptr) * kBlockSize + 100, 0); },
       "byte 100 behind the header is not erased", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader&) {}, true); },
       "both header copies are marked current", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { h.activeTable = 2; }); },
       "activeTable is 2", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { h.fileCount = 513; }); },
       "fileCount 513 exceeds the 512 table entries", true},
      {[&](Storage& t) { Damage(t, table + 16, 9); }, "entry 2: startBlock 9, expected 7", true},
      {[&](Storage& t) { Damage(t, table + 23, 0x10); },
       "entry 2: 65539 blocks from block 7 run past the image", true},
      {[&](Storage& t) { Damage(t, table + 24, 9); }, "entry 3 beyond fileCount 3 is not erased",
       true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { ++h.freeBlocks; }); },
       "freeBlocks is 32759, expected 32758", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { h.movePending = 2; }); },
       "movePending is 2", true},
      {[](Storage& t) {
         DamageHeader(t, [](StorageHeader& h) { h = {0xFF, 0, 1, 0, 32758, 3, 1, 0, 4, 5, 1}; });
       },
       "compaction fields do not fit the table", true},
      {[](Storage& t) { Damage(t, 6 * kBlockSize + 200, 0); },
       "entry 1: byte 200 of its last block, beyond its size 119, is not erased", false},
      {[](Storage& t) { Damage(t, SelectHeader(t, nullptr) * kBlockSize, 0); },
       "no valid header copy in block 0 or 1, and bookkeeping byte", true},
  };
  const std::vector<uint8_t> base(s->image, s->image + 10 * kBlockSize);
  std::string text;
  for (const auto& c : cases) {
    std::memcpy(s->image, base.data(), base.size());
    c.damage(*s);
    EXPECT_EQ(Broken(*s, true, &text), 1) << c.named << ": " << text;
    EXPECT_NE(text.find(c.named), std::string::npos) << text;
    EXPECT_EQ(Broken(*s, false, &text), c.atStartUp ? 1 : 0) << c.named << ": " << text;
  }
  std::memcpy(s->image, base.data(), base.size());
  cases[7].damage(*s);  // freeBlocks, then a byte behind the header
  cases[0].damage(*s);
  EXPECT_EQ(Broken(*s, false, &text), 2);
  EXPECT_NE(text.find("\nfreeBlocks is"), std::string::npos) << text;
}

}  // namespace
}  // namespace trelvan
