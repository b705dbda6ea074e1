// The exit sequence: disk-space messages and the ways it is reached.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"

namespace trelvan {
namespace {

const char kLow[] = "Disk Memory is very low!";
const char kTooLow[] = "Disk Memory too low to save error!";

std::vector<std::string> ExitMessages(uint32_t freeMegabytes) {
  FakePlatform platform;
  auto a = std::make_unique<Assistant>(platform);
  MainWindowCreated(*a);
  platform.files.freeMegabytes = freeMegabytes;
  a->shell.QuitRequested = 1;
  MainWindowMessage(*a, Message::Timer, 0, 0, 0);
  EXPECT_TRUE(platform.window.quitPosted);
  EXPECT_EQ(platform.window.quitCode, 0);
  EXPECT_TRUE(platform.window.timerStopped);
  EXPECT_EQ(a->shell.QuitRequested, 0);
  return platform.window.messages;
}

TEST(ExitSequence, DiskSpaceThresholds) {
  EXPECT_EQ(ExitMessages(0), (std::vector<std::string>{kLow, kTooLow}));
  EXPECT_EQ(ExitMessages(2068), (std::vector<std::string>{kLow, kTooLow}));
  EXPECT_EQ(ExitMessages(2069), (std::vector<std::string>{kLow}));
  EXPECT_EQ(ExitMessages(2087), (std::vector<std::string>{kLow}));
  EXPECT_EQ(ExitMessages(2088), (std::vector<std::string>{}));
}

TEST(ExitSequence, LowDiskWarningIsShownOncePerProcess) {
  FakePlatform platform;
  auto a = std::make_unique<Assistant>(platform);
  MainWindowCreated(*a);
  platform.files.freeMegabytes = 2070;
  a->shell.QuitRequested = 1;
  MainWindowMessage(*a, Message::Paint, 0, 0, 0);
  a->shell.QuitRequested = 1;
  MainWindowMessage(*a, Message::Paint, 0, 0, 0);
  EXPECT_EQ(platform.window.messages, (std::vector<std::string>{kLow}));
}

TEST(ExitSequence, DestroyingTheWindowEndsTheLoop) {
  FakePlatform platform;
  auto a = std::make_unique<Assistant>(platform);
  MainWindowCreated(*a);
  MainWindowMessage(*a, Message::MouseMove, 0, 3, 3);
  EXPECT_FALSE(platform.window.quitPosted);
  MainWindowMessage(*a, Message::Destroy, 0, 0, 0);
  EXPECT_TRUE(platform.window.quitPosted);
  EXPECT_TRUE(platform.window.timerStopped);
  EXPECT_EQ(platform.window.sleptMs, 200u);
}

}  // namespace
}  // namespace trelvan
