// The checker: what the file system itself leaves passes, and every broken
// rule is named, at start-up and in an idle storage.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "storage_fixture.h"

namespace trelvan {
namespace {

using testing::MakeFormattedStorage;
using testing::Pattern;
using testing::StoreNamedFile;

// Writes plain bytes as they are, past the flash rules, as damage does.
void Damage(Storage& s, uint32_t offset, const std::vector<uint8_t>& plain) {
  for (size_t i = 0; i < plain.size(); ++i) {
    s.image[offset + i] = static_cast<uint8_t>(plain[i] + s.key[(offset + i) % kKeySize]);
  }
}

// Replaces the current header copy by `change`d fields.
void DamageHeader(Storage& s, const std::function<void(StorageHeader&)>& change) {
  StorageHeader h;
  const int block = SelectHeader(s, &h);
  change(h);
  EraseBlock(s, static_cast<uint16_t>(block));
  WriteHeaderRecord(s, static_cast<uint16_t>(block), h);
}

uint32_t TableOffset(const Storage& s, uint32_t entry) {
  return CurrentTableBlock(s) * kBlockSize + entry * 8;
}

int Check(const Storage& s, bool idle, std::string* text) {
  char message[2048];
  const int broken = idle ? CheckStorage(s, message, sizeof message)
                          : CheckStorageAtStartUp(s, message, sizeof message);
  *text = message;
  return broken;
}

class CheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = MakeFormattedStorage(platform);
    for (uint32_t size : {5000u, 100u, 9000u}) {
      ASSERT_EQ(StoreNamedFile(*s, "F" + std::to_string(size), Pattern(size, size)), kStorageAccepted);
    }
  }
  FakePlatform platform;
  std::unique_ptr<Storage> s;
};

TEST_F(CheckTest, EveryBrokenRuleIsNamed) {
  struct Case {
    std::function<void(Storage&)> damage;
    const char* named;
    bool atStartUp;  // the start-up check names it too
  };
  const Case cases[] = {
      {[](Storage& t) { Damage(t, SelectHeader(t, nullptr) * kBlockSize + 100, {0}); },
       "byte 100 behind the header is not erased", true},
      {[](Storage& t) {
         StorageHeader h;
         const uint16_t other = static_cast<uint16_t>(1 - SelectHeader(t, &h));
         EraseBlock(t, other);
         WriteHeaderRecord(t, other, h);
       },
       "both header copies are marked current", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { h.activeTable = 2; }); },
       "activeTable is 2", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { h.fileCount = 513; }); },
       "fileCount 513 exceeds the 512 table entries", true},
      {[](Storage& t) { Damage(t, TableOffset(t, 2), {9, 0, 0, 0}); },
       "entry 2: startBlock 9, expected 7", true},
      {[](Storage& t) { Damage(t, TableOffset(t, 2) + 4, {0, 0, 0, 0x10}); },
       "entry 2: 65536 blocks from block 7 run past the image", true},
      {[](Storage& t) { Damage(t, TableOffset(t, 3), {9, 0, 0, 0}); },
       "entry 3 beyond fileCount 3 is not erased", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { ++h.freeBlocks; }); },
       "freeBlocks is 32759, expected 32758", true},
      {[](Storage& t) { DamageHeader(t, [](StorageHeader& h) { h.movePending = 2; }); },
       "movePending is 2", true},
      {[](Storage& t) {
         DamageHeader(t, [](StorageHeader& h) {
           h.movePending = 1;
           h.moveNextBlock = 4;
           h.moveBlocksLeft = 5;
           h.moveGap = 1;
         });
       },
       "compaction fields do not fit the table", true},
      {[](Storage& t) { Damage(t, 6 * kBlockSize + 200, {0}); },
       "entry 1: byte 200 of its last block, beyond its size 119, is not erased", false},
      {[](Storage& t) { Damage(t, SelectHeader(t, nullptr) * kBlockSize, {0}); },
       "no valid header copy in block 0 or 1, and bookkeeping byte", true},
  };
  const std::vector<uint8_t> base(s->image, s->image + 10 * kBlockSize);
  for (const Case& c : cases) {
    std::memcpy(s->image, base.data(), base.size());
    c.damage(*s);
    std::string text;
    EXPECT_EQ(Check(*s, true, &text), 1) << c.named << ": " << text;
    EXPECT_NE(text.find(c.named), std::string::npos) << text;
    EXPECT_EQ(Check(*s, false, &text), c.atStartUp ? 1 : 0) << c.named << ": " << text;
  }
  // Two broken rules: both named.
  std::memcpy(s->image, base.data(), base.size());
  DamageHeader(*s, [](StorageHeader& h) {
    ++h.freeBlocks;
    h.movePending = 2;
  });
  std::string text;
  EXPECT_EQ(Check(*s, false, &text), 2);
  EXPECT_NE(text.find("freeBlocks is"), std::string::npos) << text;
  EXPECT_NE(text.find("\nmovePending is 2"), std::string::npos) << text;
}

// Deleting an empty file before others leaves movePending 1 with nothing to
// move; a compaction cut short passes at start-up, where it resumes.
TEST_F(CheckTest, WhatTheFileSystemLeavesPasses) {
  ASSERT_EQ(testing::WriteWholeFile(*s, {}), kStorageAccepted);
  ASSERT_EQ(StoreNamedFile(*s, "Last", Pattern(10, 1)), kStorageAccepted);
  ASSERT_EQ(StorageDeleteFile(*s, 3), kStorageAccepted);
  RunStorageToIdle(*s);
  StorageHeader h;
  SelectHeader(*s, &h);
  ASSERT_EQ(h.movePending, 1);
  ASSERT_EQ(h.moveGap, 0);
  EXPECT_TRUE(testing::ImageIsConsistent(*s));

  ASSERT_EQ(StorageDeleteFile(*s, 0), kStorageAccepted);
  while (s->fs.state != 21) StorageStep(*s);  // the first block move is next
  std::string text;
  EXPECT_EQ(Check(*s, false, &text), 0) << text;
  EXPECT_GE(Check(*s, true, &text), 1);
  EXPECT_NE(text.find("compaction unfinished"), std::string::npos) << text;
}

}  // namespace
}  // namespace trelvan
