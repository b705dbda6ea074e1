// Fuzz target: any bytes as a BMP chosen on the PC. The conversion reads
// only inside the bytes given (past them it reads 0xFF) and either refuses
// with a result code or writes exactly one picture record of 240 x 90.
#include "media/picture_format.h"
#include "fuzz_common.h"

// The media golden folder's BMP files.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "media/golden/picture", ".bmp", [](const std::string&, Bytes b) { return b; });
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trelvan;
  std::vector<uint8_t> bytes(data, data + size);  // exactly sized, so ASan sees any over-read
  std::vector<uint8_t> record(kPictureRecordSize);
  const int result = ConvertBmp(bytes.data(), static_cast<uint32_t>(bytes.size()), record.data());
  if (result < kPictureDone || result > kPictureBadBitCount) std::abort();
  if (result == kPictureDone && (record[0] != 240 || record[1] != 0 || record[2] != 90)) std::abort();
  return 0;
}
