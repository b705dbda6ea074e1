// The two keyboard pages on the compiled page files, driven through the
// shell's messages and ticks: shift and the symbol sets, the PC keys from
// the queue, the length and range limits, confirm and cancel, and the
// callers' request convention. The keys' look, mouse typing with its
// automatic capitals, the QWERTY keys and the limit errors' look are in the
// golden shots keyboard_*.png.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/page_fixture.h"

namespace trelvan {
namespace {

constexpr uint32_t kVkShift = 16, kVkBack = 8, kVkEnter = 13, kVkCancel = 24;
constexpr const char* kSymbols = "1234567890!@#$%^&*()_-+',.?";

class KeyboardTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }

  AlphaKeyboard& Alpha() { return a->ui.keyboards.alpha; }
  NumericKeyboard& Numeric() { return a->ui.keyboards.numeric; }

  // Opened from the main page, drawn first, as a caller does it.
  void OpenAlpha(uint8_t maxLength = 23, uint8_t minLength = 2) {
    Send(Message::Timer);
    RequestText(*a, "Name", maxLength, minLength, kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kAlphaKeyboardPage);
  }
  void OpenNumeric(int32_t min, int32_t max, int32_t preset = 55) {
    char minText[kNumberLimitCapacity], maxText[kNumberLimitCapacity];
    NumberToText(min, minText);
    NumberToText(max, maxText);
    Send(Message::Timer);
    RequestNumber(*a, "Speed", "Speed", min, minText, max, maxText, preset, kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kNumericKeyboardPage);
  }
  // Presses the on-screen key that shows c.
  void ClickKey(char c) {
    const char* at = c ? std::strchr(Alpha().state.keySet, c) : nullptr;
    ASSERT_NE(at, nullptr) << "no key shows " << c << " in " << Alpha().state.keySet;
    const int k = static_cast<int>(at - Alpha().state.keySet);
    Click(uint32_t(KeyX(k) + 3), uint32_t(KeyY(k) + 3));
  }
  void ClickAlpha(int role) { ClickOn(Alpha().image[role]); }
  void ClickNumeric(int role) { ClickOn(Numeric().image[role]); }
  void ExpectEntry(const char* text) {
    EXPECT_STREQ(Alpha().EnteredText, text);
    EXPECT_EQ(Alpha().state.length, std::strlen(text));
    EXPECT_TRUE(Shows(Alpha().text[kAlphaEntry], text));
  }
  uint16_t ShiftPicture() { return Alpha().image[kAlphaShift]->pictureIndex; }
};

// ---------------------------------------------------------------- alphanumeric

TEST_F(KeyboardTest, ShiftTogglesCapitalsAndTheFirstLetterAfterItTurnsThemOff) {
  CopyText("left over", Alpha().EnteredText, kEnteredTextCapacity);
  OpenAlpha();
  ClickAlpha(kAlphaShift);  // capitals off
  EXPECT_EQ(ShiftPicture(), 4);
  ClickKey('h');
  ClickKey('i');
  ClickAlpha(kAlphaShift);  // capitals for one letter
  EXPECT_EQ(ShiftPicture(), 5);
  ClickKey('T');
  ClickKey('o');
  ExpectEntry("hiTo");
  ClickAlpha(kAlphaTilde);  // "~" turns capitals off too
  EXPECT_STREQ(Alpha().state.keySet, "abcdefghijklmnopqrstuvwxyz.");
  ExpectEntry("hiTo~");
}

// Both layouts share the symbol sets; their keys' look is in the golden shots.
TEST_F(KeyboardTest, SymbolSetsAreTheSameOnBothLayoutsAndLeaveToCapitals) {
  for (uint8_t layout : {1, 0}) {
    a->setup.keyboardLayout = layout;
    OpenAlpha();
    ClickAlpha(kAlphaLettersSymbols);
    EXPECT_EQ(ShiftPicture(), 6);
    ClickAlpha(kAlphaShift);  // the second set
    EXPECT_EQ(ShiftPicture(), 7);
    for (int k = 23; k < kKeyCount; ++k) Click(uint32_t(KeyX(k) + 1), uint32_t(KeyY(k) + 1));
    ClickAlpha(kAlphaSpace);  // a space does not leave the symbols
    ClickKey('{');
    ClickAlpha(kAlphaShift);
    EXPECT_STREQ(Alpha().state.keySet, kSymbols);
    ClickAlpha(kAlphaLettersSymbols);  // letters again, with capitals
    EXPECT_EQ(ShiftPicture(), 5);
    ClickKey('A');
    ExpectEntry("\"\\.? {A");
    Press(kVkCancel);
    Send(Message::Timer);
  }
}

TEST_F(KeyboardTest, TheMaximumLengthAndTheBufferBoundTheText) {
  OpenAlpha(23);
  TypeOnPc("abcdefghijklmnopqrstuvwx");  // 24
  ClickKey('y');
  ClickAlpha(kAlphaSpace);
  ClickAlpha(kAlphaTilde);
  ExpectEntry("abcdefghijklmnopqrstuvw");
  Press(kVkBack);  // makes room for one more
  Send(Message::Timer);
  ClickAlpha(kAlphaTilde);
  ExpectEntry("abcdefghijklmnopqrstuv~");

  OpenAlpha(200);  // more than the buffer holds
  for (int i = 0; i < 4; ++i) TypeOnPc("abcdefghijklmnop");
  EXPECT_EQ(TextLength(Alpha().EnteredText), kEnteredTextCapacity - 1);
}

// OK refusing too short a text is in the golden shot keyboard_qwerty_letters.png.
TEST_F(KeyboardTest, EnterReturnsTooShortATextAndOkTakesTheMinimum) {
  OpenAlpha(23, 2);
  ClickKey('Q');
  Press(kVkEnter);
  Send(Message::Timer);
  EXPECT_EQ(Alpha().TextResult, kKeyboardConfirmed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_STREQ(Alpha().EnteredText, "Q");
  OpenAlpha(23, 2);
  ClickKey('O');
  ClickKey('k');
  ClickAlpha(kAlphaOk);
  EXPECT_EQ(Alpha().TextResult, kKeyboardConfirmed);
  EXPECT_STREQ(Alpha().EnteredText, "Ok");
}

TEST_F(KeyboardTest, PcKeysShiftArrowsBackspaceAndCodesWithALowZeroByte) {
  OpenAlpha();
  Send(Message::KeyDown, kVkShift);
  Press('H');
  Press('2');
  Send(Message::KeyUp, kVkShift);
  Press('I');
  Press(kVkBack);
  for (uint32_t vk = 37; vk <= 40; ++vk) Press(vk);  // arrows arrive as punctuation
  Press(0x100);  // does not end the text early
  Press('O');
  Send(Message::Timer);
  ExpectEntry("H@%&'(o");
  EXPECT_EQ(a->input.KeyQueue.count, 0);
  for (int i = 0; i < 9; ++i) Press(kVkBack);  // more than there are
  Send(Message::Timer);
  ExpectEntry("");
  for (uint32_t vk = 'A'; vk <= 'Q'; ++vk) Press(vk);  // the seventeenth before a tick is dropped
  Send(Message::Timer);
  ExpectEntry("abcdefghijklmnop");
}

TEST_F(KeyboardTest, CancelReturnsWithTheTextTypedAndDropsTheRestOfTheQueue) {
  Press('X');  // typed before the page opened: discarded
  OpenAlpha();
  ClickKey('N');
  ClickAlpha(kAlphaCancel);
  EXPECT_EQ(Alpha().TextResult, kKeyboardCancelled);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_STREQ(Alpha().EnteredText, "N");
  OpenAlpha();
  Press('A');
  Send(Message::KeyDown, kVkCancel);
  Press('B');
  Send(Message::Timer);
  EXPECT_EQ(Alpha().TextResult, kKeyboardCancelled);
  EXPECT_STREQ(Alpha().EnteredText, "a");
  EXPECT_EQ(a->input.KeyQueue.count, 0);
}

// --------------------------------------------------------------------- numeric

TEST_F(KeyboardTest, ValuesOutsideTheLimitsAreShownAsErrorsAndThePageStays) {
  const struct {
    int32_t min, max;
    const char* typed;
    const char* shown;  // null: accepted as `value`
    int32_t value;
  } cases[] = {{20, 100, "19", "Error - Value too low", 0}, {20, 100, "101", "Error - Value too high", 0},
               {20, 100, "99999", "Error - Value too high", 0}, {20, 100, "100", nullptr, 100},
               {20, 100, "20", nullptr, 20}, {10, 100, "12.75", nullptr, 12},
               {100, 20, "50", "Error - Value too high", 0}, {100, 20, "10", "Error - Value too low", 0}};
  for (const auto& c : cases) {
    OpenNumeric(c.min, c.max);
    TypeOnPc(std::string(c.typed) + "\r");
    SCOPED_TRACE(c.typed);
    if (c.shown) {
      EXPECT_EQ(a->ui.pages.CurrentPage, kNumericKeyboardPage);
      EXPECT_TRUE(Shows(Numeric().text[kNumericValue], c.shown));
      Press(kVkCancel);
      Send(Message::Timer);
      EXPECT_EQ(Numeric().NumberResult, kKeyboardCancelled);
    } else {
      EXPECT_EQ(Numeric().NumberResult, kKeyboardConfirmed);
      EXPECT_EQ(Numeric().NumberValue, c.value);
    }
  }
}

TEST_F(KeyboardTest, NegativeNumbersEightCharactersAndOtherPcKeysIgnored) {
  OpenNumeric(-10000, 10000);
  ClickNumeric(kNumericMinus);
  TypeOnPc("4a b0/");
  ClickNumeric(kNumericBackspace);
  ClickNumeric(kNumericDigit0);
  ClickNumeric(kNumericDigit9);
  EXPECT_STREQ(Numeric().NumberText, "-409");
  TypeOnPc("123456");
  EXPECT_STREQ(Numeric().NumberText, "-4091234");
  TypeOnPc("\b\b\b\b\r");
  EXPECT_EQ(Numeric().NumberValue, -409);
}

// --------------------------------------------------------------------- callers

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
