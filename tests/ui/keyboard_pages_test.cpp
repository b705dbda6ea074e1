// The keyboard pages' callers' request convention on the compiled page
// files: a result taken once, a cancelled request keeping the preset, the
// request tag bounded. The pages themselves (shift and the symbol sets, the
// PC keys from the queue, the length and range limits, confirm and cancel)
// are the golden scripts keyboard_entry.run and keyboard_numeric_limits.run;
// mouse typing with its automatic capitals and the keys' look are
// keyboard_alphabetic.run, keyboard_qwerty.run and keyboard_numeric_limits.run.
#include <gtest/gtest.h>


#include "ui/page_fixture.h"

namespace trelvan {
namespace {

class KeyboardTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }

  AlphaKeyboard& Alpha() { return a->ui.keyboards.alpha; }
  NumericKeyboard& Numeric() { return a->ui.keyboards.numeric; }
  void OpenNumeric(int32_t min, int32_t max, int32_t preset = 55) {
    char minText[kNumberLimitCapacity], maxText[kNumberLimitCapacity];
    NumberToText(min, minText);
    NumberToText(max, maxText);
    Send(Message::Timer);
    RequestNumber(*a, "Speed", "Speed", min, minText, max, maxText, preset, kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kNumericKeyboardPage);
  }
  void ClickNumeric(int role) { ClickOn(Numeric().image[role]); }
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

TEST_F(KeyboardTest, ARequestedResultIsTakenOnceByTheCaller) {
  RequestText(*a, "Project Name", 23, 2, kMainPage);
  Send(Message::Timer);
  TypeOnPc("Yard\r");
  Send(Message::Timer);
  EXPECT_EQ(a->ui.pages.LastDrawnPage, kMainPage);
  EXPECT_TRUE(RequestTagIs(*a, "Project Name"));
  EXPECT_FALSE(RequestTagIs(*a, "Project"));
  EXPECT_EQ(TakeConfirmedText(*a), 1);
  EXPECT_EQ(TakeConfirmedText(*a), 0);
  EXPECT_STREQ(Alpha().EnteredText, "Yard");

  OpenNumeric(0, 500, 7);  // a cancelled request keeps the preset, without a result
  TypeOnPc("77");
  ClickNumeric(kNumericCancel);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardCancelled);
  EXPECT_EQ(Numeric().NumberValue, 7);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(TakeConfirmedNumber(*a), 0);
  EXPECT_EQ(a->ui.keyboards.TextRequested, 0);
  Numeric().NumberResult = kKeyboardConfirmed;  // nobody asked for this one
  EXPECT_EQ(TakeConfirmedNumber(*a), 0);

  RequestNumber(*a, "A name far longer than the tag", "Delay", 0, "0", 500, "500", 7, kMainPage);
  EXPECT_EQ(TextLength(a->ui.keyboards.TextRequestTag), kRequestTagCapacity - 1);
  Send(Message::Timer);
  TypeOnPc("250\r");
  EXPECT_EQ(TakeConfirmedNumber(*a), 1);
  EXPECT_EQ(Numeric().NumberValue, 250);
}

}  // namespace
}  // namespace trelvan
