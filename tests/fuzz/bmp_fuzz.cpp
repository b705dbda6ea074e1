// Fuzz target: any bytes as a picture chosen on the PC (BMP, PNG or JPEG),
// taken the Picture Manager's way: read from its file, fitted, stored and
// drawn. The conversion reads only inside the bytes given (past them a
// BMP reads 0xFF) and either refuses with a result code and stores
// nothing, or stores exactly the picture record of 240 x 90 that the bytes
// alone give.
#include "fuzz_common.h"
#include "media/conversions.h"
#include "media/media.h"
#include "media/picture_format.h"
#include "platform/fake/fake_files.h"
#include "storage/bytes.h"
#include "ui/stored_picture.h"

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
  static FakeFiles files(TempFolder());
  static PictureWork* work = new PictureWork;
  static FrameBuffer& frame = *new FrameBuffer;
  const std::string path = files.DataPath("Chosen picture.bmp");
  Seeds{TempFolder()}.Add("Chosen picture.bmp", Bytes(data, data + size));
  Storage& s = Remounted(ErasedStorage());
  RunStorageToIdle(s);
  char name[kPictureNameLength + 2];
  PictureNameFromPath(path.c_str(), '/', name);
  PictureInfo info;
  const int result = ConvertPicture(files, s, path.c_str(), name, *work, &info);

  // The page's way gives what the bytes alone give.
  if (size >= kPictureMemory) return 0;
  std::copy(data, data + size, work->memory);
  Bytes record(kPictureRecordSize);
  const int expected = ConvertPictureFile(*work, static_cast<uint32_t>(size), record.data(), &info);
  if (expected < kPictureDone || expected > kPictureTooLarge) Fail("an unknown result");
  if (result != expected) Fail("the stored conversion's result differs");
  const int index = StorageFindFile(s, name);
  if (result != kPictureDone) {
    if (index >= 0) Fail("a refused BMP was stored");
    return 0;
  }
  if (record[0] != 240 || record[1] != 0 || record[2] != 90) Fail("a record not of 240 x 90");
  CheckOrFail(s, "storing a picture");
  Bytes stored(kPictureRecordSize);
  const uint16_t i = static_cast<uint16_t>(index);
  if (index < 0 ||
      StorageReadData(s, i, StorageHeaderLength(s, i), stored.data(), kPictureRecordSize) !=
          kPictureRecordSize ||
      stored != record) {
    Fail("the stored picture differs from the conversion");
  }
  // Drawn as the Picture Manager shows it: the first pixel is the record's.
  frame.width = kFrameWidth;
  frame.height = kFrameHeight;
  DrawStoragePicture(s, frame, static_cast<int16_t>(index), 0, 0);
  if (frame.pixels[0] != Colour16ToPixel(ReadU16LE(&record[4]))) Fail("the picture drew wrong");
  return 0;
}
