// Fuzz target: the start-up from a data folder that holds the input as the
// storage file (short, exactly 128 MiB, or longer) and as the legacy file
// (short or exactly 32,768,000 bytes), with another copy running or a
// temporary left by an interrupted save; then the records written on what
// it loaded. A storage that the checker passes after the start passes it
// after a record write too.
//
// One input: a flags byte, then plain image bytes from offset 0, scrambled
// into the files; a whole-size file is erased flash behind them, as a
// saved storage's unused blocks are.
#include <sys/stat.h>
#include <unistd.h>

#include "fuzz_common.h"
#include "shell/startup.h"

namespace trelvan::fuzz {
namespace {

// The flags.
constexpr int kStorageShort = 1;  // with kStorageWhole: one block longer than the image
constexpr int kStorageWhole = 2;
constexpr int kLegacyShort = 4;  // with kLegacyWhole: one byte longer than the legacy file
constexpr int kLegacyWhole = 8;
constexpr int kOtherCopy = 16;
constexpr int kStaleTemporary = 32;

// The data folder's files are sparse: the input's bytes, erased flash to
// the end of their block, then a hole up to the file's size.
void WriteFile(const char* name, const uint8_t* plain, size_t count, uint64_t size) {
  const uint64_t blocks = (count + kBlockSize - 1) / kBlockSize;
  const uint64_t written = std::min<uint64_t>(blocks * kBlockSize, size);
  Bytes bytes(written, 0xFF);
  std::copy(plain, plain + std::min<uint64_t>(count, written), bytes.begin());
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] += kStorageKey[i % kKeySize];
  const std::string path = TempFolder() + "/" + name;
  WriteHostFile(path, bytes);
  if (truncate(path.c_str(), static_cast<off_t>(size)) != 0) Fail("truncate", name);
}

// The target's files service reads an image file's holes as erased flash:
// they are left as the freshly put back image holds them.
class SparseFiles : public FakeFiles {
 public:
  using FakeFiles::FakeFiles;
  // Read, not mapped: a mapping would read the holes as zero bytes.
  bool MapFileCopy(const char*, void*, uint32_t) override { return false; }
  uint32_t ReadFile(int file, void* out, uint32_t count) override {
    std::FILE* stream = Stream(file);
    if (out != mappedImage || !stream) return FakeFiles::ReadFile(file, out, count);
    const int fd = fileno(stream);  // not read yet: at the file's start
    struct stat st;
    const off_t hole = lseek(fd, 0, SEEK_HOLE);
    if (fstat(fd, &st) != 0 || hole < 0) Fail("reading a sparse file");
    const off_t total = std::min<off_t>(count, st.st_size);
    const off_t front = std::min(hole, total);
    if (pread(fd, out, front, 0) != front || std::fseek(stream, total, SEEK_SET) != 0) {
      Fail("reading a sparse file");
    }
    return static_cast<uint32_t>(total);
  }
};

}  // namespace

// The flags byte, then the image's first blocks.
void WriteSeeds(Seeds& seeds) {
  seeds.Add("nothing", ImageSeed({0}, ErasedStorage(), 0));
  seeds.Add("empty", ImageSeed({kStorageWhole}, Remounted(ErasedStorage()), kFirstFileBlock));
  // The records' storage in each kind of data folder.
  const Storage& records = StorageWithRecords();
  for (uint8_t flags : {kStorageWhole, kStorageShort, kStorageShort | kStorageWhole, kLegacyWhole,
                        kLegacyShort, kStorageWhole | kLegacyWhole, kStorageWhole | kOtherCopy,
                        kStorageWhole | kStaleTemporary}) {
    seeds.Add("records-" + std::to_string(flags), ImageSeed({flags}, records, kFirstFileBlock + 5));
  }
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const uint8_t* plain = data + 1;
  const size_t count = size - 1;
  ClearTempFolder();
  if (flags & (kStorageShort | kStorageWhole)) {
    const uint64_t longer = (flags & kStorageShort) ? kBlockSize : 0;
    const uint64_t size = (flags & kStorageWhole) ? kImageSize + longer : count;
    WriteFile("Trelvan Assistant Storage 400", plain, count, size);
  }
  if (flags & (kLegacyShort | kLegacyWhole)) {
    const uint64_t longer = (flags & kLegacyShort) ? 1 : 0;
    const uint64_t size = (flags & kLegacyWhole) ? kLegacyImageSize + longer : count;
    WriteFile("Trelvan Assistant Storage", plain, count, size);
  }
  if (flags & kStaleTemporary) WriteFile("Trelvan Assistant Storage 400.new", plain, count, count);

  FakePlatform fake(TempFolder());
  SparseFiles files(TempFolder());
  fake.instance.otherCopyRunning = (flags & kOtherCopy) != 0;
  Assistant& a = MakeAssistant(fake, files);
  ResetImage(a.storage);

  StartUp(a);
  // What the start-up keeps, and what a record write makes of it, passes the
  // start-up's own rules: the next start uses it as it is.
  const auto check = CheckStorageAtStartUp;
  CheckOrFail(a.storage, "the start-up kept a storage the next start would set aside", check);
  a.setup.keyboardLayout = static_cast<uint8_t>(a.setup.keyboardLayout ^ 1);
  WriteSetupRecord(a.storage, a.setup);
  CheckOrFail(a.storage, "a record write left a storage the next start would set aside", check);
  if (std::memcmp(a.storage.key, kStorageKey, kKeySize) != 0) Fail("the key was overwritten");
  // The journal's writer works with this input's files service: it stops
  // before they go.
  StopJournalWriter(a.journal.writer);
  a.~Assistant();
  return 0;
}

}  // namespace trelvan::fuzz
