// The program logic as tables: a program before, an operation, the program
// after; then the insertion rules, the constants and the labels. The skips
// of whole programs (blocks with chains) are the golden records', filled in
// by make_golden.py on its own; that Start, a divider, a block end and End
// and a variable in use are never removed, and every edit leaving a well
// formed stream and its row count, the model test's.
#include <gtest/gtest.h>

#include <functional>

#include "projects/project_fixture.h"

namespace trelvan {
namespace {

using testing::ProgramHex;
using testing::SetProgram;

std::unique_ptr<Project> ProjectWith(const char* program, uint8_t moduleClass = 0) {
  std::unique_ptr<Project> p(new Project{});
  ClearProject(*p);
  p->moduleClass = moduleClass;
  SetProgram(*p, program);
  for (int i = 0; i < 3; ++i) AddVariable(*p, i == 0 ? "Speed" : i == 1 ? "Count" : "Level");
  for (int16_t v : {10, 20, 30}) AddConstInt(*p, v);
  AddConstText(*p, "Horn~");
  for (int i = 0; i < 2; ++i) AddButton(*p);
  return p;
}

struct Edit {
  const char* what;
  const char* before;
  std::function<bool(Project&)> op;  // false when the operation refused
  bool done;
  const char* after;  // after ComputeSkips
  const char* ints;   // the integer constants after, then the text constants' count
};

TEST(ProgramLogicTest, EditsGiveTheExpectedStream) {
  const Edit edits[] = {
      {"a block after row 0", "00 12", [](Project& p) { return InsertAfterRow(p, 0, kOpIf, 0x00, 0x60, 0) == 0; },
       true, "00 01 00 60 06 04 03 05 12", "10 20 30 / 1"},
      {"a chained condition after the OpIf", "00 01 00 60 00 04 00 05 12",
       [](Project& p) { return InsertAfterRow(p, 1, kOpIfChained, 0x40, 0x61, 0) == 0; }, true,
       "00 01 00 60 0A 02 40 61 06 04 03 05 12", "10 20 30 / 1"},
      {"a copy in the first part, a task in the second", "00 01 00 60 00 04 00 05 12",
       [](Project& p) {
         return InsertAfterRow(p, 1, kOpCopy, 0x60, 0x41, 0) == 0 &&
                InsertAfterRow(p, 3, kOpTask, kTaskPlaySound, 0x80, 0x62) == 0;
       },
       true, "00 01 00 60 09 06 60 41 04 08 07 02 80 62 00 05 12", "10 20 30 / 1"},
      {"the OpIf row takes its whole block", "00 06 60 40 01 00 61 00 02 40 60 00 07 00 20 00 00 04 00 06 40 41 05 07 01 21 40 00 12",
       [](Project& p) { return RemoveRow(p, 2); }, true, "00 06 60 40 07 01 21 40 00 12", "10 / 0"},
      {"a chained row leaves its block", "00 01 00 60 00 02 40 61 00 04 00 05 12",
       [](Project& p) { return RemoveRow(p, 2); }, true, "00 01 00 60 06 04 03 05 12", "10 / 0"},
      {"constants 0 and 1 go, 2 becomes 0", "00 07 02 60 61 00 06 62 42 12",
       [](Project& p) { return RemoveRow(p, 1); }, true, "00 06 60 42 12", "30 / 0"},
      {"variable 1 of 3 goes, 0x42 becomes 0x41", "00 07 01 20 42 00 12",
       [](Project& p) { return RemoveVariableChecked(p, 1) == ListChange::kDone; }, true,
       "00 07 01 20 41 00 12", "10 20 30 / 1"},
      {"a block does not fit in 255 bytes", nullptr,
       [](Project& p) { return InsertAfterRow(p, 0, kOpIf, 0, 0x60, 0) == 0; }, false, nullptr,
       "10 20 30 / 1"},
  };
  for (const Edit& e : edits) {
    SCOPED_TRACE(e.what);
    std::string before = e.before ? e.before : "00";
    if (!e.before) {  // 249 bytes: 49 tasks; a block needs 7 more
      for (int i = 0; i < 49; ++i) before += " 07 00 20 40 00";
      before += " 06 60 40 12";
    }
    auto p = ProjectWith(before.c_str());
    EXPECT_EQ(e.op(*p), e.done);
    ComputeSkips(*p);
    EXPECT_EQ(ProgramHex(*p), e.after ? e.after : before);
    std::string ints;
    for (int i = 0; i < p->constIntCount; ++i) ints += std::to_string(p->constInts[i]) + " ";
    EXPECT_EQ(ints + "/ " + std::to_string(p->constTextCount), e.ints);
  }
}

TEST(ProgramLogicTest, InsertionRulesByRow) {
  // 0 start, 1 if, 2 chained, 3 copy, 4 divider, 5 task, 6 block end, 7 end
  auto p = ProjectWith("00 01 00 60 00 02 40 61 00 06 60 40 04 00 07 00 20 40 00 05 12");
  const char* offered[] = {"1 6 7", "2 6 7", "2 6 7", "6 7", "6 7", "6 7", "1 6 7", ""};
  for (uint16_t r = 0; r < 8; ++r) {
    uint8_t kinds[4];
    const uint8_t n = OfferedKinds(*p, r, kinds);
    std::string got;
    for (int i = 0; i < n; ++i) got += (i ? " " : "") + std::to_string(kinds[i]);
    EXPECT_EQ(got, offered[r]) << "row " << r;
  }
  // Appending to a chain stops after 8 chained conditions; the middle stays open.
  std::string chain = "00 01 00 60 00";
  for (int i = 0; i < 8; ++i) chain += " 02 00 60 00";
  chain += " 04 00 05 12";
  p = ProjectWith(chain.c_str());
  EXPECT_TRUE(ChainAllowed(*p, 8));
  EXPECT_FALSE(ChainAllowed(*p, 9));
  EXPECT_TRUE(ChainAllowed(*p, 4));
  EXPECT_FALSE(ChainAllowed(*p, 0));
}

TEST(ProgramLogicTest, StreamLimits) {
  auto p = ProjectWith("00 12");
  p->programLength = 246;
  EXPECT_TRUE(CanStartInsertion(*p));
  p->programLength = 247;
  EXPECT_FALSE(CanStartInsertion(*p));
  p->programLength = 250;
  EXPECT_EQ(InsertInstruction(*p, 1, kOpTask, 0, 0x20, 0x40), 0);  // 255
  EXPECT_EQ(InsertInstruction(*p, 1, kOpDivider, 0, 0, 0), -1);     // 257 refused
  EXPECT_EQ(p->programLength, 255);
  EXPECT_EQ(InsertInstruction(*p, 1, 0x08, 0, 0, 0), 0);  // not a kind: nothing
  EXPECT_EQ(p->programLength, 255);
}

TEST(ProgramLogicTest, ConstantsVariablesAndLabels) {
  auto p = ProjectWith("00 12");
  EXPECT_EQ(AddConstInt(*p, 20), 1);  // equal values share one entry
  EXPECT_EQ(AddConstText(*p, "Horn~"), 0);
  for (int i = 3; i < 32; ++i) ASSERT_EQ(AddConstInt(*p, static_cast<int16_t>(100 + i)), i);
  EXPECT_EQ(AddConstInt(*p, -1), -1);
  EXPECT_EQ(p->constIntCount, 32);
  for (int i = 1; i < 32; ++i) AddConstText(*p, std::to_string(i).c_str());
  EXPECT_EQ(AddConstText(*p, "Bell~"), -1);
  p->constInts[5] = -250;
  char label[32];
  const std::pair<uint8_t, const char*> labels[] = {
      {0x65, "-250"}, {0x00, "Input 1"}, {0x09, "Button 2"}, {0x21, "Motor 2"}, {0x42, "Level"},
      {0x80, "Horn~"}, {0x0A, "kept"}, {0x43, "kept"}, {0xA0, "kept"}};
  for (const auto& [operand, text] : labels) {
    CopyText("kept", label, sizeof label);
    OperandLabel(*p, operand, label);
    EXPECT_STREQ(label, text) << int{operand};
  }
  EXPECT_EQ(AddVariable(*p, "Motor 1"), ListChange::kNameInUse);
  EXPECT_EQ(AddVariable(*p, "Button 1"), ListChange::kNameInUse);
  for (int i = 3; i < 8; ++i) ASSERT_EQ(AddVariable(*p, ("V" + std::to_string(i)).c_str()), ListChange::kDone);
  EXPECT_EQ(AddVariable(*p, "Ninth"), ListChange::kFull);
}

TEST(ProgramLogicTest, ButtonRemovalRenumbersInputs) {
  // ZR-5: two physical inputs, so the buttons are inputs 0x02 and 0x03.
  auto p = ProjectWith("00 01 02 60 00 04 00 05 12", 1);
  EXPECT_EQ(RemoveButtonChecked(*p, 0), ListChange::kReferenced);
  SetProgram(*p, "00 01 03 60 00 04 00 05 12");
  EXPECT_EQ(RemoveButtonChecked(*p, 0), ListChange::kDone);
  EXPECT_EQ(ProgramHex(*p), "00 01 02 60 00 04 00 05 12");
  EXPECT_EQ(p->buttonCount, 1);
  EXPECT_STREQ(p->inputLabels[2], "Button 2");
}

}  // namespace
}  // namespace trelvan
