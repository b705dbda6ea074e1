#include "shell/startup.h"

#include "shell/assistant.h"

namespace trelvan {

void StartUp(Assistant& a) {
  a.frame.width = kFrameWidth;
  a.frame.height = kFrameHeight;
}

}  // namespace trelvan
