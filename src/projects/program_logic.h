// The module program: its instruction set, where each instruction may be
// inserted, the list operations on the stream and the bookkeeping that keeps
// operand numbers right when variables, buttons or constants go away.
//
// The stream is packed back to back from byte 0; an instruction's length
// follows from its opcode alone. It always begins with OpStart and ends with
// OpEnd. A conditional block is OpIf, its chained conditions and first part,
// OpDivider, its second part, OpBlockEnd; blocks do not nest.
//
// An operand byte holds the kind in bits 7 to 5 and an index in bits 4 to 0:
// 0 input, 1 output, 2 variable, 3 constant integer, 4 constant text.
#pragma once

#include <cstdint>

#include "projects/project_model.h"

namespace trelvan {

enum Opcode : uint8_t {
  kOpStart = 0x00,
  kOpIf = 0x01,
  kOpIfChained = 0x02,
  kOpIfKind3 = 0x03,
  kOpDivider = 0x04,
  kOpBlockEnd = 0x05,
  kOpCopy = 0x06,
  kOpTask = 0x07,
  kOpEnd = 0x12,
};

enum OperandKind : uint8_t {
  kOperandInput = 0,
  kOperandOutput = 1,
  kOperandVariable = 2,
  kOperandConstInt = 3,
  kOperandConstText = 4,
};
constexpr uint8_t kOperandInputBase = 0x00;
constexpr uint8_t kOperandOutputBase = 0x20;
constexpr uint8_t kOperandVariableBase = 0x40;
constexpr uint8_t kOperandConstIntBase = 0x60;
constexpr uint8_t kOperandConstTextBase = 0x80;
// No operand chosen (no operand byte has kind 7).
constexpr uint8_t kNoOperand = 0xFF;
inline uint8_t OperandKindOf(uint8_t v) { return static_cast<uint8_t>(v >> 5); }
inline uint8_t OperandIndexOf(uint8_t v) { return static_cast<uint8_t>(v & 0x1F); }

enum TaskNumber : uint8_t { kTaskSetOutput = 0, kTaskSetMotorSpeed = 1, kTaskPlaySound = 2, kTaskLightEffect = 3 };
constexpr int kTaskCount = 4;
extern const char* const kTaskNames[kTaskCount];

// An insertion needs this many free bytes to start (the largest, a block with
// its divider and end, takes 7; a task 5).
constexpr int kFreeBytesToInsert = 10;
// Constant ranges and text lengths the editor's keyboards enforce.
constexpr int16_t kConstIntMin = -10000;
constexpr int16_t kConstIntMax = 10000;
constexpr int16_t kVolumeMin = 20;
constexpr int16_t kVolumeMax = 100;

// Each refusal says what to do about it after the words the editors have
// always shown.
constexpr const char* kMsgInstructionsFull = "Maximum allowed instructions reached! Remove a row to make room.";
constexpr const char* kMsgVariablesFull = "No more Variables Allowed! Remove one that no row uses.";
constexpr const char* kMsgConstantsFull =
    "Maximum number of constants exceded! Remove rows that use other constants.";
// With the row (from 1, Start being row 1) that uses what was to go.
constexpr const char* kMsgRemoveFromLogic = "Remove from logic first! Row %d of the program uses it.";
constexpr const char* kMsgNameInUse =
    "Error - Variable name already used.  Please use a different name.";

// 1 to 5 for the opcodes 0x00 to 0x12; 0 for an opcode above 0x12.
uint8_t InstructionLength(uint8_t opcode);
// Byte position of instruction k; walks stop at programLength.
uint16_t PositionOfInstruction(const Project& p, uint16_t k);
uint8_t CountInstructions(const Project& p);
// Opcode of instruction k, or kOpEnd past the end.
uint8_t OpcodeOfInstruction(const Project& p, uint16_t k);
// True when the stream steps from OpStart to an OpEnd that ends exactly at
// programLength, over known opcodes only.
bool ProgramIsWellFormed(const Project& p);

// Whether the editor may start an insertion: at least 10 of the 256 bytes free.
bool CanStartInsertion(const Project& p);
// Makes room for one instruction of `kind` (1 to 7) at byte `pos`: 0, or -1
// when it would not fit in 255 bytes (nothing changes). Skips are not filled.
int16_t InsertInstruction(Project& p, uint16_t pos, uint8_t kind, uint8_t a, uint8_t b,
                          uint8_t c);
// Inserts instruction `kind` after row r; OpIf brings its OpDivider and
// OpBlockEnd. 0, or -1 when it does not fit (nothing changes).
int16_t InsertAfterRow(Project& p, uint16_t r, uint8_t kind, uint8_t a, uint8_t b, uint8_t c);
void RemoveInstruction(Project& p, uint16_t k);
// Whether the row can be removed: conditions, copies and tasks.
bool RowIsRemovable(const Project& p, uint16_t k);
// Removes row k (for OpIf the whole block), then prunes the constants.
// False when the row cannot be removed.
bool RemoveRow(Project& p, uint16_t k);

bool InsideOpenBlock(const Project& p, uint16_t r);
bool ChainAllowed(const Project& p, uint16_t r);
// Whether row r offers an insertion point (opcodes 0x00 to 0x07).
bool RowOffersInsertion(const Project& p, uint16_t r);
// The kinds offered after row r, in picker order (OpIf, OpIfChained, OpCopy,
// OpTask). Returns how many.
uint8_t OfferedKinds(const Project& p, uint16_t r, uint8_t out[4]);

void ComputeSkips(Project& p);

bool IsOperandUsed(const Project& p, uint8_t v);
// The instruction (from 0) of the first use of operand v; -1 when none uses it.
int16_t FirstInstructionUsing(const Project& p, uint8_t v);
uint8_t DecrementOperand(Project& p, uint8_t v);
// Item j of a list of n items whose item 0 has operand `base` goes away:
// the references to items j+1..n-1 move down by one, in ascending order.
void RenumberAfterRemoval(Project& p, uint8_t base, uint8_t j, uint8_t n);

int16_t AddConstInt(Project& p, int16_t value);
int16_t AddConstText(Project& p, const char* text);
void PruneConstants(Project& p);

enum class ListChange { kDone, kFull, kNameInUse, kReferenced, kNoSuchItem };
// Appends a variable: kFull at 8, kNameInUse when IsNameInUse.
ListChange AddVariable(Project& p, const char* name);
// Closes the gap of variable i (references already renumbered).
void RemoveVariable(Project& p, uint8_t i);
// Refuses a referenced variable; else renumbers and removes it.
ListChange RemoveVariableChecked(Project& p, uint8_t i);
// Refuses a button whose input is referenced; else renumbers the later
// buttons' inputs and removes it.
ListChange RemoveButtonChecked(Project& p, uint8_t i);

// The operand's text (at most 31 characters): input, output or variable name,
// the signed decimal constant, or the constant text. False, `out` unchanged,
// for kinds 5 to 7 and indexes beyond their list.
bool OperandLabel(const Project& p, uint8_t v, char* out);

}  // namespace trelvan
