// Fuzz target: the program's three records, "Setup400", "Revision" and
// "SelectFileLastPath", as the input gives them (data behind a proper
// FileHeader, or the whole file with its header), read by the start-up and
// the Select File page. Property: the storage stays sound through the
// rewrites (that a rewritten "Revision" passes the check and a saved path
// reads back are the start-up's and the Select File page's unit tests').
//
// One input: a flags byte (bit i: record i is the whole file), then the
// three records, each after a 16-bit length (the last takes what is left).
#include "fuzz_common.h"
#include "storage/setup_records.h"
#include "ui/pages/select_file_page.h"

namespace trelvan::fuzz {
namespace {

constexpr const char* kNames[3] = {"Setup400", "Revision", "SelectFileLastPath"};

}  // namespace

void WriteSeeds(Seeds& seeds) {
  const Bytes path = Text("/home/user/Pictures/", 128);
  seeds.Add("records", EncodeParts(0, {{1, 0}, Text("4.01", 7), path}));
  seeds.Add("old-revision", EncodeParts(0, {{0, 1}, Text("3.07", 7), Text("C:\\Pictures\\", 128)}));
  seeds.Add("short", EncodeParts(0, {{1}, Text("4.0", 3), {}}));
  seeds.Add("long-path", EncodeParts(0, {{}, {}, Bytes(300, 'p')}));
  seeds.Add("whole-files", EncodeParts(7, {WithHeader("Setup400", "Setup", {1, 1}),
                                      WithHeader("Revision", "Revision", Text("4.01", 7)),
                                      WithHeader("SelectFileLastPath", "Text", path)}));
  Bytes noEnd = WithHeader("Revision", "Revision", {});
  noEnd.pop_back();  // the header's end mark
  seeds.Add("no-end-mark", EncodeParts(2, {{}, noEnd, {}}));
}

int TestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static FakePlatform platform(TempFolder());
  static Assistant& a = MakeAssistant(platform, platform.files);
  Storage& s = Remounted(a.storage);
  const std::vector<Bytes> parts = DecodeParts(data, size, 3);
  for (size_t i = 0; i < 3; ++i) {
    StoreWhole(s, (data[0] >> i & 1) ? parts[i] : WithHeader(kNames[i], "Record", parts[i]));
  }
  CheckOrFail(s, "the input's records");

  a.setup = SetupValues{};
  ReadSetupRecord(s, a.setup);
  CheckRevisionRecord(s);
  CheckOrFail(s, "the revision check");
  WriteSetupRecord(s, a.setup);
  CheckOrFail(s, "the setup write");

  a.ui = Ui{};
  kSelectFileRecord.init(a);
  SaveLastPath(a);
  CheckOrFail(s, "the path save");
  return 0;
}

}  // namespace trelvan::fuzz
