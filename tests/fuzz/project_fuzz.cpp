// Fuzz target: arbitrary bytes as the data part of a project file. Loading
// must refuse what it cannot step through and stay inside its buffers; a
// project it takes must be whole (the stream steps from OpStart to OpEnd in
// exactly its length), encode to bytes that load to the same record, and survive
// every editor operation on it.
#include "fuzz_common.h"
#include "projects/program_logic.h"
#include "projects/project_file.h"

// The data parts of the golden project files: what follows the FileHeader's
// end mark.
void trelvan::fuzz::WriteSeeds(Seeds& seeds) {
  AddGoldenSeeds(seeds, "projects/golden", ".bin", [](const std::string&, const Bytes& b) {
    const auto end = std::find(b.begin(), b.end(), 0x03);
    return Bytes(end == b.end() ? end : end + 1, b.end());
  });
}

int trelvan::fuzz::TestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxProjectData + 64) return 0;
  static Project& p = *new Project{};
  ClearProject(p);
  if (!DecodeProject(data, static_cast<uint32_t>(size), p)) return 0;
  if (!ProgramIsWellFormed(p) || CountInstructions(p) != p.instructionCount) Fail("loaded a broken stream");
  // Texts come back terminated, so one round through the record is the fixed point.
  static uint8_t once[kMaxProjectData], twice[kMaxProjectData];
  static Project* copy = new Project{};
  const uint32_t n = EncodeProject(p, once);
  if (!DecodeProject(once, n, *copy)) Fail("its own encoding refused");
  if (EncodeProject(*copy, twice) != n || std::memcmp(once, twice, n) != 0) Fail("encoding differs");
  char label[kProjectTextCapacity];
  for (int v = 0; v < 256; ++v) OperandLabel(p, static_cast<uint8_t>(v), label);
  for (uint16_t r = 0; r < p.instructionCount; ++r) {
    uint8_t kinds[4];
    OfferedKinds(p, r, kinds);
  }
  ComputeSkips(p);
  InsertAfterRow(p, static_cast<uint16_t>(size % (p.instructionCount + 1)), kOpIf, 0x40, 0x60, 0);
  while (p.instructionCount > 2) {
    uint16_t k = 1;
    while (k < p.instructionCount && !RowIsRemovable(p, k)) ++k;
    if (k == p.instructionCount) break;
    RemoveRow(p, k);
    if (!ProgramIsWellFormed(p)) Fail("a removal broke the stream");
  }
  for (uint8_t i = p.buttonCount; i > 0; --i) RemoveButtonChecked(p, static_cast<uint8_t>(i - 1));
  for (uint8_t i = p.variableCount; i > 0; --i) RemoveVariableChecked(p, static_cast<uint8_t>(i - 1));
  return 0;
}
