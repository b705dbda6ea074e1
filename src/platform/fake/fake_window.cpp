#include "platform/fake/fake_window.h"

namespace trelvan {

void FakeWindow::PresentFrame(const uint8_t* bgr0, int width, int height) {
  lastFrame.assign(bgr0, bgr0 + static_cast<size_t>(width) * height * 4);
  ++presentCount;
}

void FakeWindow::InvalidateRect(int left, int top, int right, int bottom) {
  invalidated[0] = left;
  invalidated[1] = top;
  invalidated[2] = right;
  invalidated[3] = bottom;
  ++invalidateCount;
}

}  // namespace trelvan
