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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fuzz_common.h"
#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"
#include "shell/startup.h"

namespace trelvan {
namespace fuzz {
namespace {

enum Flag : uint8_t {
  kStorageShort = 1,  // with kStorageWhole: one block longer than the image
  kStorageWhole = 2,
  kLegacyShort = 4,  // with kLegacyWhole: one byte longer than the legacy file
  kLegacyWhole = 8,
  kOtherCopy = 16,
  kStaleTemporary = 32,
};

// The data folder's files are sparse: the input's bytes, erased flash to
// the end of their block, then a hole up to the file's size.
void WriteFile(const char* name, const uint8_t* plain, size_t count, uint64_t size) {
  const uint64_t blocks = (count + kBlockSize - 1) / kBlockSize;
  const uint64_t written = std::min<uint64_t>(blocks * kBlockSize, size);
  Bytes bytes(written, 0xFF);
  std::copy(plain, plain + std::min<uint64_t>(count, written), bytes.begin());
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] += kStorageKey[i % kKeySize];
  const int fd = open((TempFolder() + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()) ||
      ftruncate(fd, static_cast<off_t>(size)) != 0 || close(fd) != 0) {
    Fail("writing the data folder");
  }
}

// The target's files service reads a file's holes into the watched image
// as erased flash: a whole-size storage costs only the blocks that differ
// from what the image holds.
class SparseFiles : public FakeFiles {
 public:
  using FakeFiles::FakeFiles;
  // Read, not mapped: the reads above are what keep the watched image.
  bool MapFileCopy(const char*, void*, uint32_t) override { return false; }
  uint32_t ReadFile(int file, void* out, uint32_t count) override {
    WatchedImage& w = Watched();
    std::FILE* stream = Stream(file);
    if (out != w.image || !stream) return FakeFiles::ReadFile(file, out, count);
    const int fd = fileno(stream);  // not read yet: at the file's start
    struct stat st;
    const off_t hole = lseek(fd, 0, SEEK_HOLE);
    if (fstat(fd, &st) != 0 || hole < 0) Fail("reading a sparse file");
    const uint32_t total = static_cast<uint32_t>(std::min<off_t>(count, st.st_size));
    const uint32_t front = static_cast<uint32_t>(std::min<off_t>(hole, total));
    if (pread(fd, out, front, 0) != ssize_t(front)) Fail("reading a sparse file");
    for (uint32_t b = 0; b < (front + kBlockSize - 1) / kBlockSize; ++b) w.changed[b] = true;
    for (uint32_t at = front; at < total;) {
      const uint32_t b = at / kBlockSize, in = at % kBlockSize;
      const uint32_t n = std::min(kBlockSize - in, total - at);
      const bool whole = n == kBlockSize;
      if (!whole || w.changed[b] || AlwaysChanged(b)) {
        std::memcpy(w.image + at, w.erased + in, n);
        w.changed[b] = !whole;
      }
      at += n;
    }
    if (std::fseek(stream, total, SEEK_SET) != 0) Fail("reading a sparse file");
    return total;
  }
};

uint64_t SizeOf(uint8_t flags, uint8_t shortFlag, uint8_t wholeFlag, uint64_t whole, size_t count,
                uint64_t longer) {
  if ((flags & wholeFlag) == 0) return count;
  return whole + ((flags & shortFlag) ? longer : 0);
}

}  // namespace

void WriteSeeds(Seeds& seeds) {
  const Bytes records = PlainFront(StorageWithRecords(), kFirstFileBlock + 5);
  const Bytes empty = PlainFront(Remounted(ErasedStorage()), kFirstFileBlock);
  auto add = [&seeds](const char* name, uint8_t flags, const Bytes& image) {
    Bytes seed = {flags};
    seed.insert(seed.end(), image.begin(), image.end());
    seeds.Add(name, seed);
  };
  add("nothing", 0, {});
  add("empty", kStorageWhole, empty);
  add("records", kStorageWhole, records);
  add("records-short", kStorageShort, records);
  add("records-long", kStorageShort | kStorageWhole, records);
  add("legacy", kLegacyWhole, records);
  add("legacy-short", kLegacyShort, records);
  add("both", kStorageWhole | kLegacyWhole, records);
  add("second-copy", kStorageWhole | kOtherCopy, records);
  add("stale-temporary", kStorageWhole | kStaleTemporary, records);
}

}  // namespace fuzz
}  // namespace trelvan

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const uint8_t* plain = data + 1;
  const size_t count = size - 1;
  ClearTempFolder();
  if (flags & (kStorageShort | kStorageWhole)) {
    WriteFile("Trelvan Assistant Storage 400", plain, count,
              SizeOf(flags, kStorageShort, kStorageWhole, kImageSize, count, kBlockSize));
  }
  if (flags & (kLegacyShort | kLegacyWhole)) {
    WriteFile("Trelvan Assistant Storage", plain, count,
              SizeOf(flags, kLegacyShort, kLegacyWhole, kLegacyImageSize, count, 1));
  }
  if (flags & kStaleTemporary) WriteFile("Trelvan Assistant Storage 400.new", plain, count, count);

  FakePlatform fake(TempFolder());
  SparseFiles files(TempFolder());
  fake.instance.otherCopyRunning = (flags & kOtherCopy) != 0;
  const Platform platform{fake.window,  files,          fake.instance, fake.udp,
                          fake.threads, fake.processes, fake.hid,      fake.libraries,
                          fake.settings, fake.audio};
  static void* memory = ::operator new(sizeof(Assistant), std::align_val_t{alignof(Assistant)});
  static Assistant* previous = nullptr;
  if (previous) previous->~Assistant();
  Assistant& a = *new (memory) Assistant(platform);
  if (!previous) {
    PrepareKey(a.storage);
    WatchImage(a.storage);
  }
  previous = &a;

  StartUp(a);
  // What the start-up keeps, and what a record write makes of it, passes the
  // start-up's own rules: the next start uses it as it is.
  char message[1024];
  if (CheckStorageAtStartUp(a.storage, message, sizeof message) != 0) {
    Fail("the start-up kept a storage the next start would set aside", message);
  }
  a.setup.keyboardLayout = static_cast<uint8_t>(a.setup.keyboardLayout ^ 1);
  WriteSetupRecord(a.storage, a.setup);
  if (CheckStorageAtStartUp(a.storage, message, sizeof message) != 0) {
    Fail("a record write left a storage the next start would set aside", message);
  }
  if (std::memcmp(a.storage.key, kStorageKey, kKeySize) != 0) Fail("the key was overwritten");
  // The journal's writer works with this input's files service: it stops
  // before they go.
  StopJournalWriter(a.journal.writer);
  return 0;
}
