// A program row in the editor's words, for listings outside the editor:
// "If Input 3 = 250", "Copy 12 -> Speed", "Play Sound Horn~ 80".
#pragma once

#include <cstddef>
#include <cstdint>

#include "projects/project_model.h"

namespace trelvan {

// The text of instruction k (at most capacity - 1 characters), indented by
// two blanks inside a block. 0 when k is not an instruction.
size_t InstructionText(const Project& p, uint16_t k, char* out, size_t capacity);

}  // namespace trelvan
