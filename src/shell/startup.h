#pragma once

namespace trelvan {

struct Assistant;

// Runs once inside window creation, after the frame buffer is cleared and
// before the 10 ms timer starts.
void StartUp(Assistant& a);

}  // namespace trelvan
