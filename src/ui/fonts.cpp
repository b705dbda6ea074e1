#include "ui/fonts.h"

namespace trelvan {

const uint8_t* FontTable(uint8_t font) {
  switch (font) {
    case 0: return kFont0;
    case 1: return kFont1;
    case 2: return kFont2;
    default: return nullptr;
  }
}

}  // namespace trelvan
