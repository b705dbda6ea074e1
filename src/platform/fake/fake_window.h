// The window service of the tests: records frames, invalidations, message
// boxes, the timer's stop, sleeps and the quit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

namespace trelvan {

class FakeWindow : public Window {
 public:
  void PresentFrame(const uint8_t* bgr0, int width, int height) override;
  void InvalidateRect(int left, int top, int right, int bottom) override;
  void ShowMessageBox(const char* text) override { messages.emplace_back(text); }
  void StopTimer() override { timerStopped = true; }
  void Sleep(uint32_t ms) override { sleptMs += ms; }
  bool OpenGuide() override {
    ++guideOpened;
    return guideInstalled;
  }
  int guideOpened = 0;          /**< OpenGuide calls */
  bool guideInstalled = true;   /**< what OpenGuide answers */
  void PostQuit(int code) override {
    quitPosted = true;
    quitCode = code;
  }

  // ---- what a test reads ----
  std::vector<std::string> messages;  /**< message boxes, in order */
  std::vector<uint8_t> lastFrame;     /**< the last presented frame */
  int presentCount = 0;
  int invalidateCount = 0;
  int invalidated[4] = {0, 0, 0, 0};  /**< the last invalidated rectangle */
  bool timerStopped = false;
  bool quitPosted = false;
  int quitCode = -1;
  uint32_t sleptMs = 0;
};

}  // namespace trelvan
