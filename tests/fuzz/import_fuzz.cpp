// Fuzz target: the resource import from a data folder whose "*.rsc" entries
// (names, sizes, contents, folders among them) come from the input, into a
// storage that already holds the records and a page file. The storage stays
// sound, and a resource file that left the folder is stored whole or set
// aside as NAME.bad.
//
// One input: a flags byte (bit 0: the storage starts empty), then entries:
// name length, name, kind, a 16-bit length, content. Kinds: 0 a file of
// that content, 1 a folder, 2 a sparse file larger than the storage by the
// length, 3 a sparse file of 16 times the length; bit 2 of the kind adds
// ".rsc" to the name.
#include <fcntl.h>
#include <sys/stat.h>

#include <map>

#include "fuzz_common.h"
#include "storage/resource_files.h"

namespace trelvan::fuzz {
namespace {

struct Entry {
  std::string name;
  uint8_t kind;
  Bytes content;
};

Bytes Encode(uint8_t flags, const std::vector<Entry>& entries) {
  Bytes bytes = {flags};
  for (const Entry& e : entries) {
    bytes.push_back(static_cast<uint8_t>(e.name.size()));
    bytes.insert(bytes.end(), e.name.begin(), e.name.end());
    bytes.insert(bytes.end(), {e.kind, uint8_t(e.content.size()), uint8_t(e.content.size() >> 8)});
    bytes.insert(bytes.end(), e.content.begin(), e.content.end());
  }
  return bytes;
}

// Whether some stored file holds exactly `content`.
bool Stored(const Storage& s, const Bytes& content) {
  Bytes stored(content.size());
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) {
    if (StorageFileSize(s, i) == content.size() &&
        StorageReadData(s, i, 0, stored.data(), static_cast<uint32_t>(stored.size())) == stored.size() &&
        stored == content) {
      return true;
    }
  }
  return false;
}

}  // namespace

void WriteSeeds(Seeds& seeds) {
  const Bytes page = WithHeader("TA MainPage", "Page", Bytes(3000, 7));
  const Bytes common = WithHeader("TA Common", "Pictures", Bytes(9000, 9));
  seeds.Add("pages", Encode(0, {{"TA MainPage", 4, page}, {"TA Common", 4, common}}));
  seeds.Add("replaced", Encode(1, {{"TA MainPage", 4, page}}));
  seeds.Add("empty-file", Encode(0, {{"Empty", 4, {}}, {"TA Common", 4, common}}));
  seeds.Add("no-header", Encode(0, {{"Broken", 4, Bytes(300, 'x')}}));
  seeds.Add("folder", Encode(0, {{"x", 5, {}}, {"TA MainPage", 4, page}}));
  seeds.Add("too-large", Encode(0, {{"Huge", 6, Bytes(2, 0)}, {"TA MainPage", 4, page}}));
  seeds.Add("sparse", Encode(0, {{"Sparse", 7, Bytes(300, 0)}}));
  seeds.Add("long-name", Encode(0, {{std::string(250, 'n'), 4, page}}));
  seeds.Add("other-files", Encode(0, {{"readme.txt", 0, Bytes(10, 'r')}, {"a.RSC", 0, page}}));
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  ClearTempFolder();
  // The folder as the input describes it; the last file of a name wins.
  std::map<std::string, Bytes> files;
  for (size_t at = 1; at < size;) {
    const size_t n = data[at++];
    if (at + n + 3 > size) break;
    std::string name(reinterpret_cast<const char*>(data + at), n);
    const uint8_t kind = data[at + n];
    const size_t length = std::min<size_t>(data[at + n + 1] | data[at + n + 2] << 8, size - at - n - 3);
    const Bytes content(data + at + n + 3, data + at + n + 3 + length);
    at += n + 3 + length;
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    if (kind & 4) name += ".rsc";
    if (name.empty() || name == "." || name == ".." || name.size() > 255) continue;
    const std::string path = TempFolder() + "/" + name;
    std::filesystem::remove_all(path);
    files.erase(name);
    if ((kind & 3) == 1) {
      mkdir(path.c_str(), 0755);
      continue;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) continue;
    if ((kind & 3) == 0) {
      if (write(fd, content.data(), length) != ssize_t(length)) Fail("writing the data folder");
      files[name] = content;
    } else if (ftruncate(fd, (kind & 3) == 2 ? off_t{kImageSize} + length : off_t(16 * length)) != 0) {
      Fail("ftruncate");
    }
    close(fd);
  }

  Storage& s = (data[0] & 1) ? Remounted(ErasedStorage()) : StorageWithRecords();
  FakePlatform platform(TempFolder());
  ImportResourceFiles(s, platform.files, platform.window);
  RunStorageToIdle(s);
  CheckOrFail(s, "the import broke the storage");
  for (const auto& file : files) {
    const std::string path = TempFolder() + "/" + file.first;
    if (!std::filesystem::exists(path) && !std::filesystem::exists(path + ".bad") && !Stored(s, file.second)) {
      Fail("a resource file left the folder neither stored nor set aside", file.first.c_str());
    }
  }
  return 0;
}

}  // namespace trelvan::fuzz
