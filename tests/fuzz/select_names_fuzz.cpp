// Fuzz target: the names a folder listing gives the Select File page. One
// input: entries split at '\n', each a flags byte (bit 0 a folder, bit 1
// hidden) and a name of up to 255 bytes. Properties: every listed name is
// a name given, whole; a name too long to keep whole is not listed; a row
// shows the start of its name ending on a whole UTF-8 character.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"
#include "storage/text.h"
#include "ui/pages/select_file_page.h"

namespace trelvan {
namespace fuzz {
namespace {

// The files service with the listing the input gives.
class ListedFiles : public FakeFiles {
 public:
  using FakeFiles::FakeFiles;
  uint16_t ListFolder(const char*, const char* pattern, FolderEntry* out, uint16_t capacity) override {
    uint16_t count = 0;
    for (const FolderEntry& e : entries) {
      if (MatchesPattern(pattern, e.name, false)) KeepInNameOrder(out, &count, capacity, e);
    }
    return count;
  }
  std::vector<FolderEntry> entries;
};

struct Run {
  FakePlatform fake{TempFolder()};
  ListedFiles files{TempFolder()};
  Assistant* a = new Assistant(Platform{fake.window, files, fake.instance, fake.udp, fake.threads,
                                        fake.processes, fake.hid, fake.libraries, fake.settings});
};

Run& TheRun() {
  static Run* run = [] {
    Run* made = new Run;
    PrepareKey(made->a->storage);
    return made;
  }();
  return *run;
}

bool Given(const std::vector<FolderEntry>& entries, const char* name) {
  for (const FolderEntry& e : entries) {
    if (std::strcmp(e.name, name) == 0) return true;
  }
  return false;
}

void CheckRows(const SelectFileRow* rows) {
  for (int r = 0; r < kSelectRows; ++r) {
    if (!rows[r].inUse) continue;
    char shown[kSelectRowNameCapacity];
    std::memcpy(shown, rows[r].name, sizeof shown);
    if (EndOnWholeCharacter(shown) != std::strlen(rows[r].name)) {
      Fail("a row ends inside a character", rows[r].name);
    }
  }
}

}  // namespace

void WriteSeeds(Seeds& seeds) {
  const std::string e = "\xC3\xA9";  // two bytes
  std::string many;
  for (int i = 0; i < 40; ++i) many += std::string(1, static_cast<char>(i % 3)) + "name " + std::to_string(i) + ".bmp\n";
  const std::string samples[] = {
      std::string("\1Pictures\n\0Station.bmp\n\2.hidden\n\1..\n\0notes.txt", 45),
      "\1" + std::string(30, 'a') + e + e + "\n\0" + std::string(29, 'b') + e + ".bmp",
      "\1" + std::string(127, 'f') + "\n\1" + std::string(126, 'g') + "\n\0" + std::string(200, 'h') + ".bmp",
      many,
  };
  int n = 0;
  for (const std::string& s : samples) seeds.Add("names" + std::to_string(n++), Bytes(s.begin(), s.end()));
}

}  // namespace fuzz
}  // namespace trelvan

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trelvan;
  using namespace trelvan::fuzz;
  Run& run = TheRun();
  Assistant& a = *run.a;
  Remounted(a.storage);
  run.files.entries.clear();
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (size_t at = 0; at < input.size();) {
    const size_t end = std::min(input.find('\n', at), input.size());
    if (end > at + 1 && end - at - 1 < sizeof(FolderEntry::name)) {
      FolderEntry e{};
      std::memcpy(e.name, input.data() + at + 1, end - at - 1);
      if (std::strlen(e.name) == end - at - 1) {  // a name ends at its zero
        e.folder = input[at] & 1;
        e.hidden = (input[at] >> 1) & 1;
        run.files.entries.push_back(e);
      }
    }
    at = end + 1;
  }
  a.ui = Ui{};
  RequestSelectFile(a, ".bmp", 0);
  kSelectFileRecord.init(a);
  const SelectFilePage& f = a.ui.selectFile;
  for (uint16_t i = 0; i < f.FolderCount; ++i) {
    if (!Given(run.files.entries, f.FolderNames[i])) Fail("a folder name not given whole", f.FolderNames[i]);
  }
  for (uint16_t i = 0; i < f.FileCount; ++i) {
    if (!Given(run.files.entries, f.FileNames[i])) Fail("a file name not given whole", f.FileNames[i]);
  }
  CheckRows(f.FolderRows);
  CheckRows(f.FileRows);
  return 0;
}
