// Writes the seed corpus of the storage fuzz target into a folder: real
// images made with the file system's own operations (empty, a few files,
// the header in either block, a compaction cut short, a creation cut short,
// files without a FileHeader), each as control bytes plus the plain bytes of
// its bookkeeping blocks and first file blocks.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "storage/file_system.h"
#include "storage/storage.h"
#include "storage/storage_check.h"
#include "storage/storage_image.h"
#include "storage_fuzz_input.h"

namespace trelvan {
namespace {

std::unique_ptr<Storage> Formatted() {
  std::unique_ptr<Storage> s(new Storage);
  PrepareKey(*s);
  EraseImage(*s);
  s->fs = FileSystem{};
  StorageMount(*s);
  FormatStorage(*s);
  RunStorageToIdle(*s);
  return s;
}

bool Store(Storage& s, const char* name, const char* type, uint32_t dataSize, uint8_t fill) {
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name, "", type, "1.00");
  std::vector<uint8_t> content(header, header + h);
  for (uint32_t i = 0; i < dataSize; ++i) content.push_back(static_cast<uint8_t>(fill + i * 7));
  RunStorageToIdle(s);
  if (StorageCreateFile(s, static_cast<uint32_t>(content.size())) != kStorageAccepted) return false;
  RunStorageToIdle(s);
  for (size_t at = 0; at < content.size(); at += 256) {
    const uint32_t n = static_cast<uint32_t>(content.size() - at < 256 ? content.size() - at : 256);
    if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) return false;
    RunStorageToIdle(s);
  }
  return true;
}

bool StoreRaw(Storage& s, const std::vector<uint8_t>& content) {
  RunStorageToIdle(s);
  if (StorageCreateFile(s, static_cast<uint32_t>(content.size())) != kStorageAccepted) return false;
  RunStorageToIdle(s);
  for (size_t at = 0; at < content.size(); at += 256) {
    const uint32_t n = static_cast<uint32_t>(content.size() - at < 256 ? content.size() - at : 256);
    if (StorageWriteData(s, content.data() + at, n) != kStorageAccepted) return false;
    RunStorageToIdle(s);
  }
  return true;
}

bool Dump(const Storage& s, const std::string& folder, const char* name, uint8_t flags,
          uint16_t index, uint8_t sizeUnits, uint32_t fileBlocks) {
  std::vector<uint8_t> bytes = {flags, static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8),
                                sizeUnits};
  uint32_t imageBytes = (kFirstFileBlock + fileBlocks) * kBlockSize;
  if (imageBytes > fuzz::kMaxInput - fuzz::kControlBytes) {
    imageBytes = fuzz::kMaxInput - fuzz::kControlBytes;
  }
  const size_t at = bytes.size();
  bytes.resize(at + imageBytes);
  ReadPlain(s, 0, bytes.data() + at, imageBytes);
  const std::string path = folder + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace
}  // namespace trelvan

int main(int argc, char** argv) {
  using namespace trelvan;
  using namespace trelvan::fuzz;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = true;
  const uint8_t all = kRunSteps | kCreate | kDelete;

  auto s = Formatted();
  ok &= Dump(*s, folder, "empty", all, 0, 3, 0);

  ok &= Store(*s, "Setup400", "Setup", 40, 1);
  ok &= Dump(*s, folder, "one-file", all, 0, 20, 1);
  ok &= Store(*s, "Picture one~", "Picture", 5000, 2);
  ok &= Store(*s, "Revision", "Revision", 10, 3);
  ok &= Dump(*s, folder, "three-files", all | kStepPieces, 0, 60, 4);
  ok &= Store(*s, "Sound~", "Sound", 300, 4);
  ok &= Dump(*s, folder, "four-files", all, 2, 5, 5);  // header copy in the other block
  ok &= StoreRaw(*s, {0x01, 'a', 0, 0x03});
  std::vector<uint8_t> noEnd(300, 'z');
  noEnd[0] = 0x02;
  ok &= StoreRaw(*s, noEnd);
  ok &= Dump(*s, folder, "no-file-headers", kRunSteps | kDelete, 4, 0, 7);

  // A compaction cut short after two block moves.
  auto cut = Formatted();
  ok &= Store(*cut, "first", "Test", 2 * 4096, 5);
  ok &= Store(*cut, "second", "Test", 3 * 4096, 6);
  ok &= Store(*cut, "third", "Test", 100, 7);
  ok &= StorageDeleteFile(*cut, 0) == kStorageAccepted;
  for (int moves = 0; moves < 2;) {
    if (cut->fs.state == 21) ++moves;
    StorageStep(*cut);
  }
  while (cut->fs.state != 20) StorageStep(*cut);
  ok &= Dump(*cut, folder, "compaction-cut", all, 0, 1, 8);

  // A creation cut short: the new entry lies only in the inactive table.
  auto half = Formatted();
  ok &= Store(*half, "kept", "Test", 700, 8);
  ok &= StorageCreateFile(*half, 5000) == kStorageAccepted;
  RunStorageToIdle(*half);
  uint8_t piece[256];
  std::memset(piece, 0x44, sizeof piece);
  ok &= StorageWriteData(*half, piece, sizeof piece) == kStorageAccepted;
  RunStorageToIdle(*half);
  ok &= Dump(*half, folder, "creation-cut", kRunSteps | kCreate, 0, 9, 3);

  if (!ok) {
    std::fprintf(stderr, "could not build the seed corpus in %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
