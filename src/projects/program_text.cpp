#include "projects/program_text.h"

#include "projects/program_logic.h"
#include "storage/text.h"

namespace trelvan {

namespace {

struct Operand {
  char text[kProjectTextCapacity];
};

Operand Label(const Project& p, uint8_t v) {
  Operand o;
  FormatText(o.text, "?%02X", v);  // an operand no list holds shows its byte
  OperandLabel(p, v, o.text);
  return o;
}

}  // namespace

size_t InstructionText(const Project& p, uint16_t k, char* out, size_t capacity) {
  if (k >= p.instructionCount || capacity == 0) return 0;
  const uint16_t pos = PositionOfInstruction(p, k);
  const uint8_t* b = p.program + pos;
  const bool inside = InsideOpenBlock(p, k) && b[0] != kOpIf && b[0] != kOpDivider;
  const char* indent = inside ? "  " : "";
  switch (b[0]) {
    case kOpStart: return static_cast<size_t>(FormatText(out, capacity, "Start"));
    case kOpEnd: return static_cast<size_t>(FormatText(out, capacity, "End"));
    case kOpDivider: return static_cast<size_t>(FormatText(out, capacity, "Else"));
    case kOpBlockEnd: return static_cast<size_t>(FormatText(out, capacity, "End if"));
    case kOpIf:
    case kOpIfChained:
    case kOpIfKind3:
      return static_cast<size_t>(FormatText(out, capacity, "%s%s %s = %s", indent,
                                            b[0] == kOpIf ? "If" : b[0] == kOpIfChained ? "And if" : "If (3)",
                                            Label(p, b[1]).text, Label(p, b[2]).text));
    case kOpCopy:
      return static_cast<size_t>(FormatText(out, capacity, "%sCopy %s -> %s", indent,
                                            Label(p, b[1]).text, Label(p, b[2]).text));
    case kOpTask:
      return static_cast<size_t>(FormatText(out, capacity, "%s%s %s %s", indent,
                                            b[1] < kTaskCount ? kTaskNames[b[1]] : "Task ?",
                                            Label(p, b[2]).text, Label(p, b[3]).text));
    default:
      return static_cast<size_t>(FormatText(out, capacity, "%s(reserved 0x%02X)", indent, b[0]));
  }
}

}  // namespace trelvan
