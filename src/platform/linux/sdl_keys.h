#pragma once

#include <SDL.h>

#include <cstdint>

namespace trelvan {

// The Windows virtual-key code of an SDL key, so the shell sees the same key
// codes on both platforms; 0 for keys without one.
uint32_t VirtualKeyFromSdl(SDL_Keycode key);

}  // namespace trelvan
