// Thousands of random editor operations on one project, each followed by the
// invariants: the stream steps from OpStart to OpEnd in exactly its length,
// blocks are whole and not nested, chains follow their rules, every operand
// lies inside its list, skips land on the right bytes, and a save followed
// by a load gives the same record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "projects/project_fixture.h"

namespace trelvan {
namespace {

// Operand kinds as bits (bit k: OperandKind k).
constexpr unsigned kIn = 1, kOut = 2, kVar = 4, kInt = 8, kText = 16;
// The kinds of a task's two operands, by task number.
constexpr unsigned kTaskOperands[kTaskCount][2] = {
    {kOut, kIn | kVar}, {kOut, kVar}, {kText, kVar | kInt}, {kText, kOut}};

// Checks the structure and the skips; returns a failure with the row.
::testing::AssertionResult Invariants(const Project& p) {
  if (!ProgramIsWellFormed(p)) return ::testing::AssertionFailure() << "stream broken";
  if (CountInstructions(p) != p.instructionCount) return ::testing::AssertionFailure() << "count";
  const int counts[] = {p.inputCount, p.outputCount, p.variableCount, p.constIntCount, p.constTextCount};
  // Whether operand v is of one of `kinds` and inside its list.
  auto operandOk = [&](uint8_t v, unsigned kinds) {
    const unsigned k = OperandKindOf(v);
    return k < 5 && (kinds >> k & 1) && OperandIndexOf(v) < counts[k];
  };
  int ifPos = -1, dividerPos = -1, chain = 0;
  std::vector<int> conditions;
  uint16_t pos = 0;
  for (uint16_t k = 0; k < p.instructionCount; ++k) {
    const uint8_t op = p.program[pos];
    const uint8_t* b = p.program + pos;
    bool ok = true;
    switch (op) {
      case kOpIf:
        ok = ifPos < 0 && operandOk(b[1], kIn | kVar) && operandOk(b[2], kVar | kInt);
        ifPos = pos;
        chain = 0;
        conditions.assign(1, pos);
        break;
      case kOpIfChained:
        ok = ifPos >= 0 && dividerPos < 0 && ++chain <= 8 &&
             (p.program[conditions.back()] == kOpIf || p.program[conditions.back()] == kOpIfChained) &&
             operandOk(b[1], kIn | kVar) && operandOk(b[2], kVar | kInt);
        conditions.push_back(pos);
        break;
      case kOpDivider:
        ok = ifPos >= 0 && dividerPos < 0;
        dividerPos = pos;
        for (int c : conditions) ok = ok && p.program[c + 3] == pos + 2 - c;
        break;
      case kOpBlockEnd:
        ok = ifPos >= 0 && dividerPos >= 0 && p.program[dividerPos + 1] == pos + 1 - dividerPos;
        ifPos = dividerPos = -1;
        conditions.clear();
        break;
      case kOpCopy:
        ok = operandOk(b[1], kVar | kInt) && operandOk(b[2], kVar);
        break;
      case kOpTask:
        ok = b[1] < kTaskCount && operandOk(b[2], kTaskOperands[b[1]][0]) &&
             operandOk(b[3], kTaskOperands[b[1]][1]);
        break;
      default:
        ok = (op == kOpStart) == (k == 0) && (op == kOpEnd) == (k + 1 == p.instructionCount);
    }
    if (!ok) return ::testing::AssertionFailure() << "row " << k << " opcode " << int{op};
    pos = static_cast<uint16_t>(pos + InstructionLength(op));
  }
  if (ifPos >= 0) return ::testing::AssertionFailure() << "open block at the end";
  return ::testing::AssertionSuccess();
}

TEST(ProgramModelTest, RandomEditsKeepEveryInvariant) {
  std::mt19937 rng(20261207);
  auto pick = [&](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::unique_ptr<Project> p(new Project{}), loaded(new Project{});
  int longest = 0, blocks = 0, refusals = 0;
  for (int round = 0; round < 40; ++round) {
    ClearProject(*p);
    p->moduleClass = static_cast<uint8_t>(round % 3);
    RebuildIoLabels(*p);
    for (int step = 0; step < 400; ++step) {
      SCOPED_TRACE(::testing::Message() << "round " << round << " step " << step);
      const uint16_t row = static_cast<uint16_t>(pick(p->instructionCount));
      const uint8_t var = static_cast<uint8_t>(kOperandVariableBase + pick(p->variableCount));
      const int action = pick(12);  // insertions most often
      switch (action >= 9 ? 0 : action) {
        case 0:
        case 1:
        case 2: {  // an insertion the picker offers, with valid operands
          uint8_t kinds[4];
          const uint8_t n = OfferedKinds(*p, row, kinds);
          if (n == 0 || !CanStartInsertion(*p) || p->variableCount == 0) break;
          const uint8_t kind = kinds[pick(n)];
          const uint8_t input = static_cast<uint8_t>(pick(p->inputCount));
          const uint8_t output = static_cast<uint8_t>(kOperandOutputBase + pick(p->outputCount));
          const int16_t c = AddConstInt(*p, static_cast<int16_t>(pick(40) - 20));
          if (c < 0) break;
          const uint8_t constant = static_cast<uint8_t>(kOperandConstIntBase + c);
          if (kind == kOpIf || kind == kOpIfChained) {
            InsertAfterRow(*p, row, kind, pick(2) ? input : var, pick(2) ? var : constant, 0);
          } else if (kind == kOpCopy) {
            InsertAfterRow(*p, row, kind, pick(2) ? var : constant, var, 0);
          } else {
            const uint8_t task = static_cast<uint8_t>(pick(4));
            const int16_t t = AddConstText(*p, std::to_string(pick(40)).c_str());
            if (t < 0) break;
            const uint8_t text = static_cast<uint8_t>(kOperandConstTextBase + t);
            const uint8_t q[] = {pick(2) ? input : var, var, pick(2) ? var : constant, output};
            InsertAfterRow(*p, row, kind, task, task < 2 ? output : text, q[task]);
          }
          break;
        }
        case 3:
        case 4:
          RemoveRow(*p, row);
          break;
        case 5:
          AddVariable(*p, ("V" + std::to_string(pick(20))).c_str());
          break;
        case 6:
          RemoveVariableChecked(*p, static_cast<uint8_t>(pick(p->variableCount)));
          break;
        case 7:
          if (pick(2)) AddButton(*p);
          else RemoveButtonChecked(*p, static_cast<uint8_t>(pick(p->buttonCount)));
          break;
        case 8:
          PruneConstants(*p);
          break;
      }
      ComputeSkips(*p);
      ASSERT_TRUE(Invariants(*p));
      longest = std::max(longest, int{p->programLength});
      blocks += IsOperandUsed(*p, kOperandConstIntBase) && OpcodeOfInstruction(*p, 1) == kOpIf;
      refusals += !CanStartInsertion(*p);
      uint8_t bytes[kMaxProjectData], again[kMaxProjectData];
      const uint32_t n = EncodeProject(*p, bytes);
      ASSERT_TRUE(DecodeProject(bytes, n, *loaded));
      ASSERT_EQ(EncodeProject(*loaded, again), n);
      ASSERT_EQ(std::memcmp(bytes, again, n), 0);
      ASSERT_EQ(loaded->inputCount, p->inputCount);
    }
  }
  // The walk reached full streams and blocks, not only short programs.
  EXPECT_GT(longest, 245);
  EXPECT_GT(blocks, 100);
  EXPECT_GT(refusals, 10);
}

}  // namespace
}  // namespace trelvan
