// Fuzz target: the names a folder listing gives the Select File page. One
// input: entries split at '\n', each a flags byte (bit 0 a folder, bit 1
// hidden) and a name. Properties: every listed name is a name given, whole
// (one too long to keep whole is not listed); a row shows its name's start
// ending on a whole UTF-8 character.
#include "fuzz_common.h"
#include "storage/text.h"
#include "ui/pages/select_file_page.h"

namespace trelvan::fuzz {
namespace {

// The files service with the listing the input gives.
struct ListedFiles : FakeFiles {
  using FakeFiles::FakeFiles;
  uint16_t ListFolder(const char*, const char* pattern, FolderEntry* out, uint16_t capacity) override {
    uint16_t count = 0;
    for (const FolderEntry& e : entries) {
      if (MatchesPattern(pattern, e.name, false)) KeepInNameOrder(out, &count, capacity, e);
    }
    return count;
  }
  bool Given(const char* name) const {
    return std::any_of(entries.begin(), entries.end(),
                       [name](const FolderEntry& e) { return std::strcmp(e.name, name) == 0; });
  }
  std::vector<FolderEntry> entries;
};

}  // namespace

void WriteSeeds(Seeds& seeds) {
  const std::string e = "\xC3\xA9";  // two bytes
  seeds.AddTexts("names", {
      std::string("\1Pictures\n\0Station.bmp\n\2.hidden\n\1..\n\0notes.txt", 45),
      "\1" + std::string(30, 'a') + e + e + "\n\0" + std::string(29, 'b') + e + ".bmp",
      "\1" + std::string(127, 'f') + "\n\1" + std::string(126, 'g') + "\n\0" + std::string(200, 'h') + ".bmp",
  });
}

int TestOneInput(const uint8_t* data, size_t size) {
  static FakePlatform fake(TempFolder());
  static ListedFiles files(TempFolder());
  static Assistant& a = MakeAssistant(fake, files);
  Remounted(a.storage);
  files.entries.clear();
  for (const std::string& line : SplitLines(data, size)) {
    FolderEntry e{};
    if (line.size() < 2 || line.size() > sizeof e.name) continue;
    std::memcpy(e.name, line.data() + 1, line.size() - 1);
    e.folder = line[0] & 1;
    e.hidden = (line[0] >> 1) & 1;
    if (std::strlen(e.name) == line.size() - 1) files.entries.push_back(e);  // names end at a zero
  }
  a.ui = Ui{};
  RequestSelectFile(a, ".bmp", 0);
  kSelectFileRecord.init(a);
  const SelectFilePage& f = a.ui.selectFile;
  for (int i = 0; i < f.FolderCount + f.FileCount; ++i) {
    const char* name = i < f.FolderCount ? f.FolderNames[i] : f.FileNames[i - f.FolderCount];
    if (!files.Given(name)) Fail("a name not given whole", name);
  }
  for (const SelectFileRow* rows : {f.FolderRows, f.FileRows}) {
    for (int r = 0; r < kSelectRows; ++r) {
      char shown[kSelectRowNameCapacity];
      std::memcpy(shown, rows[r].name, sizeof shown);
      if (rows[r].inUse && EndOnWholeCharacter(shown) != std::strlen(rows[r].name)) {
        Fail("a row ends inside a character", rows[r].name);
      }
    }
  }
  return 0;
}

}  // namespace trelvan::fuzz
