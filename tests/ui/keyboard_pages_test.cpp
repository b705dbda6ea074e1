// The keyboard pages' callers' request convention on the compiled page
// files: a cancelled request keeping the preset, the request tag compared
// whole and bounded. A result taken once by its caller is the callers'
// golden scripts' (taken twice, new_project_refusals.run, setup_server.run
// and edit_page_buttons.run among others do their work again and differ).
// The pages themselves (shift and the symbol sets, the PC keys from the
// queue, the length and range limits, confirm and cancel) are the golden
// scripts keyboard_entry.run and keyboard_numeric_limits.run; mouse typing
// with its automatic capitals and the keys' look are keyboard_alphabetic.run,
// keyboard_qwerty.run and keyboard_numeric_limits.run.
#include <gtest/gtest.h>

#include "ui/page_fixture.h"

namespace trelvan {
namespace {

class KeyboardTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }

  AlphaKeyboard& Alpha() { return a->ui.keyboards.alpha; }
  NumericKeyboard& Numeric() { return a->ui.keyboards.numeric; }
};

// A stored name longer than the field starts cut to the field's length
// (sound_manager.run shows a name starting as it is, its "~" left off).
TEST_F(KeyboardTest, ANameLongerThanTheFieldStartsCut) {
  RequestName(*a, "Sound File Name", 8, 2, kMainPage, "Harbour Whistle~~");
  Send(Message::Timer);
  TypeOnPc("X\r");
  Send(Message::Timer);
  EXPECT_EQ(TakeConfirmedText(*a), 1);
  EXPECT_STREQ(Alpha().EnteredText, "Harbour ");  // full at 8: the X is not taken
}

// The request tag is compared whole and kept to its capacity; a cancelled
// number keeps the preset.
TEST_F(KeyboardTest, TheTagIsWholeAndBoundedAndACancelKeepsThePreset) {
  RequestText(*a, "Project Name", 23, 2, kMainPage);
  EXPECT_TRUE(RequestTagIs(*a, "Project Name"));
  EXPECT_FALSE(RequestTagIs(*a, "Project"));

  RequestNumber(*a, "Speed", "Speed", 0, "0", 500, "500", 7, kMainPage);
  Send(Message::Timer);
  TypeOnPc("77");
  ClickOn(Numeric().image[kNumericCancel]);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardCancelled);
  EXPECT_EQ(Numeric().NumberValue, 7);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);

  RequestNumber(*a, "A name far longer than the tag", "Delay", 0, "0", 500, "500", 7, kMainPage);
  EXPECT_EQ(TextLength(a->ui.keyboards.TextRequestTag), kRequestTagCapacity - 1);
  Send(Message::Timer);
  TypeOnPc("250\r");
  EXPECT_EQ(TakeConfirmedNumber(*a), 1);
  EXPECT_EQ(Numeric().NumberValue, 250);
}

}  // namespace
}  // namespace trelvan
