// The scrambled image: key positions, erase and program rules, and the fast
// unit and block paths against the byte operations.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "storage/storage.h"
#include "storage/storage_image.h"

namespace trelvan {
namespace {

// The erased value is plain 0xFF, stored as K(i) - 1; programming an erased
// byte stores plain + K(offset mod 256), the key byte following the absolute
// offset, never the block; programming over a programmed byte combines
// (P + K) AND the old plain byte. A range that runs past the end wraps to the
// start instead of leaving the image.
TEST(StorageImage, KeyPositionEraseProgramAndWrapRules) {
  std::unique_ptr<Storage> s(new Storage);
  PrepareKey(*s);
  EraseImage(*s);
  EXPECT_EQ(s->image[5], static_cast<uint8_t>(kStorageKey[5] - 1));
  EXPECT_EQ(ReadPlainByte(*s, 7 * kBlockSize + 300), 0xFF);
  const uint32_t offsets[] = {0, 256, 4096, 134217472, 4351, 255, 4097, 1001};
  for (const uint32_t offset : offsets) {
    const uint8_t plain = offset == 1001 ? 0x00 : 0x10;  // 0x00 stores the key byte itself
    ProgramPlainByte(*s, offset, plain);
    EXPECT_EQ(s->image[offset], static_cast<uint8_t>(plain + kStorageKey[offset % 256])) << offset;
    EXPECT_EQ(ReadPlainByte(*s, offset), plain) << offset;
  }
  ProgramPlainByte(*s, 1000, 0x5A);
  ProgramPlainByte(*s, 1000, 0x0F);
  const uint8_t k = static_cast<uint8_t>(kStorageKey[1000 % 256]);
  EXPECT_EQ(s->image[1000], static_cast<uint8_t>(static_cast<uint8_t>(0x0F + k) & 0x5A));
  EraseBlock(*s, 0);
  EXPECT_EQ(ReadPlainByte(*s, 1000), 0xFF);
  EXPECT_EQ(ReadPlainByte(*s, 1001), 0xFF);
  const uint8_t data[4] = {1, 2, 3, 4};
  ProgramPlain(*s, kImageSize - 2, data, 4);
  EXPECT_EQ(ReadPlainByte(*s, kImageSize - 1), 2);
  EXPECT_EQ(ReadPlainByte(*s, 0), 3);
  EXPECT_EQ(ReadPlainByte(*s, 1), 4);
  uint8_t out[4];
  ReadPlain(*s, 0xFFFFFFFEu, out, 4);  // wraps by the image size, too
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[3], 4);
}

// The word-at-a-time paths against the byte operations, on random stored
// bytes (so every carry and borrow case occurs) and unaligned ranges.
TEST(StorageImage, FastPathsEqualTheByteOperations) {
  std::unique_ptr<Storage> fast(new Storage), slow(new Storage);
  PrepareKey(*fast);
  PrepareKey(*slow);
  std::mt19937 rng(7);
  const uint32_t region = 3 * kBlockSize;
  const uint32_t base = kImageSize - region;  // ends at the last byte of the image
  for (uint32_t i = 0; i < region; ++i) {
    fast->image[base + i] = slow->image[base + i] = static_cast<uint8_t>(rng());
  }
  std::vector<uint8_t> data(region), a(region), b(region);
  for (auto& d : data) d = static_cast<uint8_t>(rng());

  for (int round = 0; round < 200; ++round) {
    const uint32_t start = rng() % region;
    const uint32_t count = rng() % (region - start + 1);
    ProgramPlain(*fast, base + start, data.data(), count);
    for (uint32_t i = 0; i < count; ++i) ProgramPlainByte(*slow, base + start + i, data[i]);
    ReadPlain(*fast, base + start, a.data(), count);
    for (uint32_t i = 0; i < count; ++i) b[i] = ReadPlainByte(*slow, base + start + i);
    ASSERT_EQ(std::memcmp(a.data(), b.data(), count), 0) << "round " << round;
  }
  EXPECT_EQ(std::memcmp(fast->image + base, slow->image + base, region), 0);

  // Whole units and a whole erased block.
  ProgramUnit(*fast, base + 256, data.data());
  for (uint32_t i = 0; i < 256; ++i) ProgramPlainByte(*slow, base + 256 + i, data[i]);
  EXPECT_EQ(std::memcmp(fast->image + base, slow->image + base, region), 0);
  ReadUnit(*fast, base + 512, a.data());
  for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(a[i], ReadPlainByte(*slow, base + 512 + i));
  EraseBlock(*fast, kBlockCount - 1);
  for (uint32_t i = 0; i < kBlockSize; ++i) {
    ASSERT_EQ(ReadPlainByte(*fast, (kBlockCount - 1) * kBlockSize + i), 0xFF);
  }
}

}  // namespace
}  // namespace trelvan
