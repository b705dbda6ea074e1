#include "projects/program_logic.h"

#include "projects/project_file.h"
#include "storage/text.h"

namespace trelvan {

const char* const kTaskNames[kTaskCount] = {"Set Output", "Set Motor Speed", "Play Sound",
                                            "Light Effect"};

namespace {

// Lengths of the opcodes 0x00 to 0x12; the reserved ones 0x08 to 0x11 are
// stepped over like the others.
constexpr uint8_t kLengths[0x13] = {1, 4, 4, 4, 2, 1, 3, 5, 4, 4, 2, 2, 2, 2, 5, 2, 2, 3, 1};

// Calls f(position, opcode) for each instruction while the walk stays inside
// programLength and meets only known opcodes.
template <typename F>
void ForEachInstruction(const Project& p, F f) {
  uint16_t pos = 0;
  while (pos < p.programLength) {
    const uint8_t len = InstructionLength(p.program[pos]);
    if (len == 0 || pos + len > p.programLength) return;
    f(pos, p.program[pos]);
    pos = static_cast<uint16_t>(pos + len);
  }
}

// Operand bytes: 1 and 2 of conditions and copies, 2 and 3 of tasks.
template <typename P, typename F>
void ForEachOperand(P& p, F f) {
  ForEachInstruction(p, [&](uint16_t pos, uint8_t op) {
    if (op == kOpIf || op == kOpIfChained || op == kOpCopy) {
      f(p.program[pos + 1]);
      f(p.program[pos + 2]);
    } else if (op == kOpTask) {
      f(p.program[pos + 2]);
      f(p.program[pos + 3]);
    }
  });
}

}  // namespace

uint8_t InstructionLength(uint8_t opcode) { return opcode < 0x13 ? kLengths[opcode] : 0; }

uint16_t PositionOfInstruction(const Project& p, uint16_t k) {
  uint16_t pos = 0;
  for (uint16_t i = 0; i < k && pos < p.programLength; ++i) {
    const uint8_t len = InstructionLength(p.program[pos]);
    if (len == 0) return p.programLength;
    pos = static_cast<uint16_t>(pos + len);
  }
  return pos < p.programLength ? pos : p.programLength;
}

uint8_t CountInstructions(const Project& p) {
  uint16_t n = 0;
  ForEachInstruction(p, [&](uint16_t, uint8_t) { ++n; });
  return static_cast<uint8_t>(n);
}

uint8_t OpcodeOfInstruction(const Project& p, uint16_t k) {
  const uint16_t pos = PositionOfInstruction(p, k);
  return pos < p.programLength ? p.program[pos] : static_cast<uint8_t>(kOpEnd);
}

bool ProgramIsWellFormed(const Project& p) {
  if (p.programLength < 2 || p.program[0] != kOpStart) return false;
  uint16_t pos = 0;
  while (pos < p.programLength) {
    const uint8_t len = InstructionLength(p.program[pos]);
    if (len == 0 || pos + len > p.programLength) return false;
    if (p.program[pos] == kOpEnd) return pos + len == p.programLength;
    pos = static_cast<uint16_t>(pos + len);
  }
  return false;
}

bool CanStartInsertion(const Project& p) {
  return kProgramCapacity - p.programLength >= kFreeBytesToInsert;
}

int16_t InsertInstruction(Project& p, uint16_t pos, uint8_t kind, uint8_t a, uint8_t b, uint8_t c) {
  if (kind < kOpIf || kind > kOpTask) return 0;
  const uint8_t len = InstructionLength(kind);
  if (p.programLength + len > kMaxProgramLength || pos > p.programLength) return -1;
  for (int i = p.programLength - 1; i >= pos; --i) p.program[i + len] = p.program[i];
  for (int i = 1; i < len; ++i) p.program[pos + i] = 0;
  p.program[pos] = kind;
  if (kind == kOpIf || kind == kOpIfChained || kind == kOpIfKind3 || kind == kOpCopy) {
    p.program[pos + 1] = a;
    p.program[pos + 2] = b;
  } else if (kind == kOpTask) {
    p.program[pos + 1] = a;
    p.program[pos + 2] = b;
    p.program[pos + 3] = c;
  }
  p.programLength = static_cast<uint8_t>(p.programLength + len);
  ++p.instructionCount;
  return 0;
}

int16_t InsertAfterRow(Project& p, uint16_t r, uint8_t kind, uint8_t a, uint8_t b, uint8_t c) {
  if (!RowOffersInsertion(p, r)) return -1;  // never behind OpEnd
  const uint16_t i = static_cast<uint16_t>(r + 1);
  if (kind != kOpIf) return InsertInstruction(p, PositionOfInstruction(p, i), kind, a, b, c);
  // The block goes in whole or not at all.
  const int need = InstructionLength(kOpIf) + InstructionLength(kOpDivider) +
                   InstructionLength(kOpBlockEnd);
  if (p.programLength + need > kMaxProgramLength) return -1;
  InsertInstruction(p, PositionOfInstruction(p, i), kOpIf, a, b, 0);
  InsertInstruction(p, PositionOfInstruction(p, i + 1), kOpDivider, 0, 0, 0);
  InsertInstruction(p, PositionOfInstruction(p, i + 2), kOpBlockEnd, 0, 0, 0);
  return 0;
}

void RemoveInstruction(Project& p, uint16_t k) {
  const uint16_t pos = PositionOfInstruction(p, k);
  if (pos >= p.programLength) return;
  uint8_t len = InstructionLength(p.program[pos]);
  if (len == 0 || pos + len > p.programLength) return;
  for (int i = pos; i + len < p.programLength; ++i) p.program[i] = p.program[i + len];
  p.programLength = static_cast<uint8_t>(p.programLength - len);
  for (int i = p.programLength; i < p.programLength + len; ++i) p.program[i] = 0;
  --p.instructionCount;
}

bool RowIsRemovable(const Project& p, uint16_t k) {
  if (k >= p.instructionCount) return false;
  const uint8_t op = OpcodeOfInstruction(p, k);
  return op == kOpIf || op == kOpIfChained || op == kOpIfKind3 || op == kOpCopy || op == kOpTask;
}

bool RemoveRow(Project& p, uint16_t k) {
  if (!RowIsRemovable(p, k)) return false;
  if (OpcodeOfInstruction(p, k) == kOpIf) {
    // The whole block: everything up to and including its block end. The walk
    // stops at OpEnd, so a block without its end never takes the program's end.
    uint8_t op = OpcodeOfInstruction(p, k);
    while (op != kOpBlockEnd && op != kOpEnd) {
      RemoveInstruction(p, k);
      op = OpcodeOfInstruction(p, k);
    }
    if (op == kOpBlockEnd) RemoveInstruction(p, k);
  } else {
    RemoveInstruction(p, k);
  }
  PruneConstants(p);
  return true;
}

bool InsideOpenBlock(const Project& p, uint16_t r) {
  if (r == 0) return false;
  bool inside = false;
  uint16_t k = 0;
  ForEachInstruction(p, [&](uint16_t, uint8_t op) {
    if (k >= 1 && k <= r) {
      if (op == kOpIf || op == kOpIfChained) inside = true;
      if (op == kOpBlockEnd) inside = false;
    }
    ++k;
  });
  return inside;
}

bool ChainAllowed(const Project& p, uint16_t r) {
  if (r == 0) return false;
  const uint8_t own = OpcodeOfInstruction(p, r);
  if (own != kOpIf && own != kOpIfChained) return false;
  for (int row = r; row >= 0 && row >= r - 8; --row) {
    if (OpcodeOfInstruction(p, static_cast<uint16_t>(row)) == kOpIf) return r - row < 8;
  }
  return true;
}

bool RowOffersInsertion(const Project& p, uint16_t r) {
  return r < p.instructionCount && OpcodeOfInstruction(p, r) <= kOpTask;
}

uint8_t OfferedKinds(const Project& p, uint16_t r, uint8_t out[4]) {
  if (!RowOffersInsertion(p, r)) return 0;
  uint8_t n = 0;
  const bool inside = InsideOpenBlock(p, r);
  if (!inside) out[n++] = kOpIf;
  if (inside && ChainAllowed(p, r)) out[n++] = kOpIfChained;
  out[n++] = kOpCopy;
  out[n++] = kOpTask;
  return n;
}

void ComputeSkips(Project& p) {
  int p1 = -1, p4 = -1;
  uint16_t chained[kProgramCapacity];
  int chainedCount = 0;
  uint16_t pos = 0;
  while (pos < p.programLength) {
    const uint8_t op = p.program[pos];
    const uint8_t len = InstructionLength(op);
    if (len == 0 || pos + len > p.programLength || op == kOpEnd) break;
    if (op == kOpIf) p1 = pos;
    if (op == kOpDivider) p4 = pos;
    if (op == kOpIfChained) chained[chainedCount++] = pos;
    if (op == kOpBlockEnd) {
      // A block end without its condition or divider has nothing to fill.
      if (p1 >= 0 && p4 >= 0) {
        p.program[p1 + 3] = static_cast<uint8_t>(p4 + 2 - p1);
        p.program[p4 + 1] = static_cast<uint8_t>(pos + 1 - p4);
        for (int i = 0; i < chainedCount; ++i) {
          p.program[chained[i] + 3] = static_cast<uint8_t>(p4 + 2 - chained[i]);
        }
      }
      chainedCount = 0;
    }
    pos = static_cast<uint16_t>(pos + len);
  }
}

bool IsOperandUsed(const Project& p, uint8_t v) {
  bool used = false;
  ForEachOperand(p, [&](const uint8_t& b) { used = used || b == v; });
  return used;
}

int16_t FirstInstructionUsing(const Project& p, uint8_t v) {
  int at = -1;
  ForEachOperand(p, [&](const uint8_t& b) {
    if (b == v && at < 0) at = static_cast<int>(&b - p.program);
  });
  if (at < 0) return -1;
  int16_t k = 0;
  for (uint16_t pos = 0, len; (len = InstructionLength(p.program[pos])) > 0 && pos + len <= at; pos += len) ++k;
  return k;
}

uint8_t DecrementOperand(Project& p, uint8_t v) {
  uint8_t changed = 0;
  ForEachOperand(p, [&](uint8_t& b) {
    if (b == v) {
      --b;
      ++changed;
    }
  });
  return changed;
}

void RenumberAfterRemoval(Project& p, uint8_t base, uint8_t j, uint8_t n) {
  for (int k = j + 1; k < n; ++k) DecrementOperand(p, static_cast<uint8_t>(base + k));
}

int16_t AddConstInt(Project& p, int16_t value) {
  for (int i = 0; i < p.constIntCount; ++i) {
    if (p.constInts[i] == value) return static_cast<int16_t>(i);
  }
  if (p.constIntCount >= kMaxConstInts) return -1;
  p.constInts[p.constIntCount] = value;
  return p.constIntCount++;
}

int16_t AddConstText(Project& p, const char* text) {
  for (int i = 0; i < p.constTextCount; ++i) {
    if (CompareText(p.constTexts[i], text, kProjectTextCapacity) == 0) return static_cast<int16_t>(i);
  }
  if (p.constTextCount >= kMaxConstTexts) return -1;
  CopyText(text, p.constTexts[p.constTextCount], kProjectTextCapacity);
  return p.constTextCount++;
}

void PruneConstants(Project& p) {
  for (uint8_t i = 0; i < p.constIntCount;) {
    if (IsOperandUsed(p, static_cast<uint8_t>(kOperandConstIntBase + i))) {
      ++i;
      continue;
    }
    RenumberAfterRemoval(p, kOperandConstIntBase, i, p.constIntCount);
    for (int k = i; k + 1 < p.constIntCount; ++k) p.constInts[k] = p.constInts[k + 1];
    p.constInts[--p.constIntCount] = 0;
  }
  for (uint8_t i = 0; i < p.constTextCount;) {
    if (IsOperandUsed(p, static_cast<uint8_t>(kOperandConstTextBase + i))) {
      ++i;
      continue;
    }
    RenumberAfterRemoval(p, kOperandConstTextBase, i, p.constTextCount);
    for (int k = i; k + 1 < p.constTextCount; ++k) {
      CopyText(p.constTexts[k + 1], p.constTexts[k], kProjectTextCapacity);
    }
    p.constTexts[--p.constTextCount][0] = 0;
  }
}

ListChange AddVariable(Project& p, const char* name) {
  if (p.variableCount >= kMaxVariables) return ListChange::kFull;
  if (IsNameInUse(p, name)) return ListChange::kNameInUse;
  CopyText(name, p.variableNames[p.variableCount++], kProjectTextCapacity);
  return ListChange::kDone;
}

void RemoveVariable(Project& p, uint8_t i) {
  if (i >= p.variableCount) return;
  for (int k = i; k + 1 < p.variableCount; ++k) {
    CopyText(p.variableNames[k + 1], p.variableNames[k], kProjectTextCapacity);
  }
  p.variableNames[--p.variableCount][0] = 0;
}

ListChange RemoveVariableChecked(Project& p, uint8_t i) {
  if (i >= p.variableCount) return ListChange::kNoSuchItem;
  if (IsOperandUsed(p, static_cast<uint8_t>(kOperandVariableBase + i))) return ListChange::kReferenced;
  RenumberAfterRemoval(p, kOperandVariableBase, i, p.variableCount);
  RemoveVariable(p, i);
  return ListChange::kDone;
}

ListChange RemoveButtonChecked(Project& p, uint8_t i) {
  if (i >= p.buttonCount) return ListChange::kNoSuchItem;
  const uint8_t base = PhysicalInputCount(p);
  if (IsOperandUsed(p, static_cast<uint8_t>(base + i))) return ListChange::kReferenced;
  RenumberAfterRemoval(p, base, i, p.buttonCount);
  RemoveButton(p, i);
  return ListChange::kDone;
}

bool OperandLabel(const Project& p, uint8_t v, char* out) {
  const uint8_t i = OperandIndexOf(v);
  switch (OperandKindOf(v)) {
    case kOperandInput:
      if (i >= p.inputCount) return false;
      CopyText(p.inputLabels[i], out, kProjectTextCapacity);
      return true;
    case kOperandOutput:
      if (i >= p.outputCount) return false;
      CopyText(p.outputLabels[i], out, kProjectTextCapacity);
      return true;
    case kOperandVariable:
      if (i >= p.variableCount) return false;
      CopyText(p.variableNames[i], out, kProjectTextCapacity);
      return true;
    case kOperandConstInt:
      if (i >= p.constIntCount) return false;
      NumberToText(p.constInts[i], out);
      return true;
    case kOperandConstText:
      if (i >= p.constTextCount) return false;
      CopyText(p.constTexts[i], out, kProjectTextCapacity);
      return true;
    default:
      return false;
  }
}

}  // namespace trelvan
