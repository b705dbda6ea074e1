// Fuzz target: any bytes as a picture chosen on the PC (BMP, PNG or JPEG),
// taken the Picture Manager's way: read from its file, fitted and stored.
// The conversion reads only inside the bytes given (past them a BMP reads
// 0xFF) and either refuses with a result code and stores nothing, or
// stores exactly the picture record that the bytes alone give.
#include "fuzz_common.h"
#include "media/conversions.h"
#include "media/media.h"
#include "media/picture_format.h"

// The media golden folders' pictures: BMP files of every header size and
// depth, bottom-up and top-down, whole and cut short, and PNG files (not the
// ones a case's fitted picture is compared with). The largest are cut to
// their first 64 KiB: whole, they would slow every run the fuzzer makes of
// them.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  const auto input = [](const std::string& stem, Bytes b) {
    const bool fitted = stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".fit") == 0;
    b.resize(fitted ? 0 : std::min<size_t>(b.size(), 1 << 16));
    return b;
  };
  AddGoldenSeeds(seeds, "media/golden/picture", ".bmp", input);
  for (const char* extension : {".bmp", ".png", ".jpg"}) {
    AddGoldenSeeds(seeds, "media/golden/picture_layouts", extension, input);
  }
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  static FakeFiles files(TempFolder());
  static PictureWork* work = new PictureWork;
  const std::string path = files.DataPath("Chosen picture.bmp");
  WriteHostFile(path, Bytes(data, data + size));
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
  CheckOrFail(s, "storing a picture");
  const uint16_t i = static_cast<uint16_t>(index);
  if (index < 0 || ReadStored(s, i, StorageHeaderLength(s, i)) != record) {
    Fail("the stored picture differs from the conversion");
  }
  return 0;
}
