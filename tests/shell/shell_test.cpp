// Pointer events, the frame copied on a key, F1's guide, soft timers and the
// repaint throttle.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ui/page_fixture.h"
#include "ui/pages/keyboard_pages.h"

namespace trelvan {
namespace {

using ShellTest = testing::PageTest;  // an assistant on the fake platform

// A pointer event as (state, x, y, button).
using Event = std::tuple<int32_t, int32_t, int32_t, int>;
Event Seen(const PointerEventRecord& e) { return {e.state, e.x, e.y, e.button}; }

// A pointer dragged past the left edge arrives as a large unsigned word.
TEST_F(ShellTest, PointerCoordinatesStayInsideTheClientArea) {
  const struct { uint32_t x, y; int32_t seenX, seenY; } moves[] = {
      {800, 600, 799, 599}, {0xFFFE, 12, 799, 12}, {799, 599, 799, 599}};
  for (const auto& m : moves) {
    Send(Message::MouseMove, 0, m.x, m.y);
    EXPECT_EQ(Seen(a->input.PointerEvent), Event(kPointerMoved, m.seenX, m.seenY, 0)) << m.x << "," << m.y;
  }
  Send(Message::Timer);
  PointerPressed(a->input, -5, 700, 1);
  EXPECT_EQ(Seen(a->input.PointerEvent), Event(kPointerPressed, 0, 599, 1));
}

TEST_F(ShellTest, APressAndReleaseWithinOneTickReachThePageOneATick) {
  Send(Message::LeftButtonDown, 0, 120, 340);
  Send(Message::MouseMove, 0, 130, 345);
  Send(Message::MouseMove, 0, 140, 350);
  Send(Message::LeftButtonUp, 0, 500, 500);
  Send(Message::RightButtonDown, 0, 1, 2);
  const Event seen[] = {{kPointerPressed, 120, 340, 0}, {kPointerMoved, 140, 350, 0},
                        {kPointerReleased, 140, 350, 0}, {kPointerPressed, 1, 2, 1}};
  for (const Event& want : seen) {
    ASSERT_EQ(a->input.PointerEvent.pending, 1);
    EXPECT_EQ(Seen(a->input.PointerEvent), want);
    Send(Message::Timer);
  }
  EXPECT_EQ(a->input.PointerEvent.pending, 0);
}

TEST_F(ShellTest, KeyReleaseCopiesTheFrameAtOnce) {
  const int before = platform.window.presentCount;
  Send(Message::KeyDown, 'B');
  EXPECT_EQ(platform.window.presentCount, before);
  Send(Message::KeyUp, 'B');
  EXPECT_EQ(platform.window.presentCount, before + 1);
}

// F1 opens the guide from any page, a keyboard page included, where it
// types nothing; a program without its guide says so.
TEST_F(ShellTest, F1OpensTheGuideOnEveryPage) {
  StartOnCompiledPages();
  RequestText(*a, "Name", 20, 0, kMainPage);
  Send(Message::Timer);
  Send(Message::Timer);
  ASSERT_EQ(a->ui.pages.CurrentPage, kAlphaKeyboardPage);
  TypeOnPc("ab");
  Send(Message::KeyDown, 0x70);
  Send(Message::KeyUp, 0x70);
  TypeOnPc("c");
  EXPECT_EQ(platform.window.guideOpened, 1);
  EXPECT_STREQ(a->ui.keyboards.alpha.EnteredText, "abc");
  EXPECT_TRUE(platform.window.messages.empty());

  Show(kSetupPage);
  platform.window.guideInstalled = false;
  Send(Message::KeyDown, 0x70);
  EXPECT_EQ(platform.window.guideOpened, 2);
  ASSERT_EQ(platform.window.messages.size(), 1u);
  EXPECT_NE(platform.window.messages[0].find("guide"), std::string::npos);
}

TEST_F(ShellTest, RepaintIsThrottledToEveryTenthTimerAndOnlyWhenDirty) {
  a->ui.pages.CurrentPage = 0;  // no page draws in between
  a->frame.PenColour = 0x001F;
  PutPixel(a->frame, 10, 20);
  for (int i = 0; i < 9; ++i) Send(Message::Timer);
  EXPECT_EQ(platform.window.invalidateCount, 0);
  Send(Message::Timer);
  ASSERT_EQ(platform.window.invalidateCount, 1);
  const int* box = platform.window.invalidated;  // the pixel and one around it
  EXPECT_EQ(std::vector<int>(box, box + 4), (std::vector<int>{9, 19, 11, 21}));
  EXPECT_EQ(a->frame.FrameDirty, 0);
  EXPECT_EQ(a->shell.RepaintCount, 1u);
  // Nothing drawn since: ten more timers invalidate nothing.
  for (int i = 0; i < 10; ++i) Send(Message::Timer);
  EXPECT_EQ(platform.window.invalidateCount, 1);
}

TEST(SoftTimers, PeriodZeroExpiresEveryTickAndASecondAfterAHundred) {
  Input s{};
  s.ServerTimer.period = 1000;
  for (int tick = 1; tick <= 100; ++tick) {
    UpdateSoftTimers(s);
    EXPECT_EQ(s.PageTimer.expired, 1);
    EXPECT_EQ(s.ServerTimer.expired, 0) << "tick " << tick;
  }
  EXPECT_EQ(s.ServerTimer.elapsed, 1000);
  UpdateSoftTimers(s);
  EXPECT_EQ(s.ServerTimer.expired, 1);
}

}  // namespace
}  // namespace trelvan
