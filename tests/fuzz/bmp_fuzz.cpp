// Fuzz target: any bytes as a BMP chosen on the PC. The conversion reads
// only inside the bytes given (past them it reads 0xFF) and either refuses
// with a result code or writes exactly one picture record of 240 x 90.
#include "media/picture_format.h"
#include "storage/bytes.h"
#include "fuzz_common.h"

// The media golden folder's BMP files, and one of each info header size
// (40, 108, 124 bytes), bottom-up and top-down, whole and cut short.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "media/golden/picture", ".bmp", [](const std::string&, Bytes b) { return b; });
  for (uint32_t header : {40u, 108u, 124u}) {
    for (int topDown = 0; topDown < 2; ++topDown) {
      const uint32_t offset = 14 + header, size = offset + kBmpPixelBytes;
      Bytes b(size, 0);
      b[0] = 'B';
      b[1] = 'M';
      WriteU32LE(&b[2], size);
      WriteU32LE(&b[10], offset);
      WriteU32LE(&b[14], header);
      WriteU32LE(&b[18], kBmpWidth);
      WriteU32LE(&b[22], topDown ? static_cast<uint32_t>(-int32_t{kBmpHeight}) : kBmpHeight);
      WriteU16LE(&b[26], 1);
      WriteU16LE(&b[28], 24);
      for (uint32_t i = offset; i < size; ++i) b[i] = static_cast<uint8_t>(i * 7 + i / 1440);
      const std::string name = "header" + std::to_string(header) + (topDown ? "_top_down" : "_bottom_up");
      seeds.Add(name + ".bmp", b);
      b.resize(offset + kBmpPixelBytes / 3);
      seeds.Add(name + "_short.bmp", b);
    }
  }
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);  // exactly sized, so ASan sees any over-read
  std::vector<uint8_t> record(kPictureRecordSize);
  const int result = ConvertBmp(bytes.data(), static_cast<uint32_t>(bytes.size()), record.data());
  if (result < kPictureDone || result > kPictureBadBitCount) std::abort();
  if (result == kPictureDone && (record[0] != 240 || record[1] != 0 || record[2] != 90)) std::abort();
  return 0;
}
