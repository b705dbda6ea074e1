// Fuzz target: the resource import from a data folder whose "*.rsc" entries
// (names, sizes, contents, folders among them) come from the input, into a
// storage that already holds the records and a page file, then the removal
// of what it took in. The storage stays sound, and a resource file that
// left the folder is stored whole or set aside as NAME.bad.
//
// One input: a flags byte (bit 0: the storage starts empty), then parts
// (fuzz_common.h), two an entry: its name, then its kind and content.
// Kinds: 0 a file of that content, 1 a folder, 2 the content followed by a
// hole up to the storage's size plus the content's length, 3 the same up to
// 16 times that length; bit 2 of the kind adds ".rsc" to the name.
#include <sys/stat.h>

#include <map>

#include "fuzz_common.h"
#include "storage/resource_files.h"

namespace trelvan::fuzz {
namespace {

// An entry's two parts.
std::vector<Bytes> Entry(const std::string& name, uint8_t kind, const Bytes& content) {
  Bytes second = {kind};
  second.insert(second.end(), content.begin(), content.end());
  return {Bytes(name.begin(), name.end()), second};
}

// Whether some stored file holds exactly `content`.
bool Stored(const Storage& s, const Bytes& content) {
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) {
    if (StorageFileSize(s, i) == content.size() && ReadStored(s, i) == content) return true;
  }
  return false;
}

}  // namespace

void WriteSeeds(Seeds& seeds) {
  using Entries = std::initializer_list<std::vector<Bytes>>;
  const auto add = [&seeds](const char* name, uint8_t flags, Entries entries) {
    std::vector<Bytes> parts;
    for (const std::vector<Bytes>& e : entries) parts.insert(parts.end(), e.begin(), e.end());
    seeds.Add(name, EncodeParts(flags, parts));
  };
  const Bytes pageFile = WithHeader("TA MainPage", "Page", Bytes(3000, 7));
  const auto page = Entry("TA MainPage", 4, pageFile);
  const auto common = Entry("TA Common", 4, WithHeader("TA Common", "Pictures", Bytes(9000, 9)));
  add("pages", 0, {page, common});
  add("replaced", 1, {page});
  add("empty-file", 0, {Entry("Empty", 4, {}), common});
  add("no-header", 0, {Entry("Broken", 4, Bytes(300, 'x'))});
  add("folder", 0, {Entry("x", 5, {}), page});
  add("too-large", 0, {Entry("Huge", 6, Bytes(2, 0)), page});
  add("sparse", 0, {Entry("Sparse", 7, Bytes(300, 0))});
  add("long-name", 0, {Entry(std::string(250, 'n'), 4, pageFile)});
  add("other-files", 0, {Entry("readme.txt", 0, Bytes(10, 'r')), Entry("a.RSC", 0, pageFile)});
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  ClearTempFolder();
  // The folder as the input describes it; the last file of a name wins.
  std::map<std::string, Bytes> files;
  const std::vector<Bytes> parts = DecodeParts(data, size, 64);
  for (size_t i = 0; i + 1 < parts.size() && !parts[i + 1].empty(); i += 2) {
    std::string name(parts[i].begin(), parts[i].end());
    const uint8_t kind = parts[i + 1][0];
    const Bytes content(parts[i + 1].begin() + 1, parts[i + 1].end());
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\0'; }, '_');
    if (kind & 4) name += ".rsc";
    if (name.empty() || name == "." || name == ".." || name.size() > 255) continue;
    const std::string path = TempFolder() + "/" + name;
    std::filesystem::remove_all(path);
    files.erase(name);
    if ((kind & 3) == 1) {
      mkdir(path.c_str(), 0755);
      continue;
    }
    WriteHostFile(path, content);
    const off_t length = static_cast<off_t>(content.size());
    if ((kind & 3) == 0) {
      files[name] = content;
    } else if (truncate(path.c_str(), (kind & 3) == 2 ? off_t{kImageSize} + length : 16 * length) != 0) {
      Fail("truncate");
    }
  }

  Storage& s = (data[0] & 1) ? Remounted(ErasedStorage()) : StorageWithRecords();
  FakePlatform platform(TempFolder());
  ImportResourceFiles(s, platform.files, platform.window);
  RunStorageToIdle(s);
  CheckOrFail(s, "the import broke the storage");
  RemoveImportedResourceFiles(s, platform.files);  // as after the exit's save
  for (const auto& file : files) {
    const std::string path = TempFolder() + "/" + file.first;
    std::error_code error;  // NAME.bad may be too long a name
    const bool there = std::filesystem::exists(path, error) || std::filesystem::exists(path + ".bad", error);
    if (!there && !Stored(s, file.second)) {
      Fail("a resource file left the folder neither stored nor set aside", file.first.c_str());
    }
  }
  return 0;
}

}  // namespace trelvan::fuzz
