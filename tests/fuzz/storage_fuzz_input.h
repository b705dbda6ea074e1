// Layout of one input of the storage fuzz target, shared with the program
// that writes its seed corpus.
//
//   bytes 0..3   control: flags, a table index (16-bit), a size in 256-byte units
//   bytes 4..    plain bytes of the image from offset 0: blocks 0 to 3 (header
//                copies and tables), then file blocks from block 4 on
//
// Everything behind the given bytes is erased.
#pragma once

#include <cstdint>

namespace trelvan {
namespace fuzz {

constexpr uint32_t kControlBytes = 4;
constexpr uint32_t kMaxInput = 65536;

enum ControlFlag : uint8_t {
  kRunSteps = 1,     // run the machine towards idle (bounded)
  kCreate = 2,       // then create and write a file
  kDelete = 4,       // then delete the given table index
  kStepPieces = 8,   // write pieces with single steps instead of runs to idle
};

}  // namespace fuzz
}  // namespace trelvan
