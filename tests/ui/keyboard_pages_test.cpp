// The two keyboard pages on test page files, driven through the shell's
// messages and ticks: mouse typing with the automatic capitals, both layouts,
// the symbol sets, the PC keys from the queue, the length and range limits,
// confirm and cancel, and the callers' request convention.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ui/page_fixture.h"

namespace trelvan {
namespace {

using testing::PageTest;
using testing::SolidPicture;
using testing::StorePageFile;
using testing::TestPageFile;

using testing::kWhite;
constexpr uint32_t kVkShift = 16;

// Pictures of the alphanumeric test page: picture k is 20 x 20 of colour
// kPictureColour[k], except picture 2, the 32 x 41 key cap.
constexpr uint16_t kPictureColour[8] = {0x8410, 0x4208, 0x0010, 0xC618,
                                        0x001F, 0x07E0, 0xF800, 0x0000};

uint32_t PicturePixel(int k) { return Colour16ToPixel(kPictureColour[k]); }

// Image k's box on the alphanumeric test page: a row below the keys.
constexpr uint16_t kAlphaImageX[kAlphaImageCount] = {0, 100, 160, 220, 340, 400, 0, 460, 520};
constexpr uint16_t kAlphaImageY = 400;

TestPageFile AlphaKeyboardFile() {
  TestPageFile page;
  for (int k = 0; k < 8; ++k) {
    page.pictures.push_back(k == 2 ? SolidPicture(kKeyWidth, kKeyHeight, kPictureColour[k])
                                   : SolidPicture(20, 20, kPictureColour[k]));
  }
  const uint16_t pictures[kAlphaImageCount] = {0, 0, 3, 3, 5, 1, 0, 3, 3};
  for (int k = 0; k < kAlphaImageCount; ++k) {
    const uint16_t y = (k == 0 || k == 6) ? static_cast<uint16_t>(k == 0 ? 0 : 580) : kAlphaImageY;
    page.images.push_back({kAlphaImageX[k], y, 50, 30, kSourcePageFile, pictures[k]});
  }
  page.texts = {{0, 30, 800, 40, 2, kTextCentred, 0x0000, 0xFFFF},
                {240, 80, 320, 30, 1, 0, 0x0000, 0xFFE0}};
  return page;
}

// The numeric test page: image k (1..16) in a row at x = 45 * k, y = 300,
// 40 x 40, all on picture 0; texts in a column at y = 20 + 40 * t.
TestPageFile NumericKeyboardFile() {
  TestPageFile page;
  page.pictures = {SolidPicture(40, 40, 0x001F)};
  page.images.push_back({0, 0, 40, 40, kSourcePageFile, 0});  // image 0, decoration
  for (uint16_t k = 1; k < kNumericImageCount; ++k) {
    page.images.push_back({static_cast<uint16_t>(45 * k), 300, 40, 40, kSourcePageFile, 0});
  }
  for (uint16_t t = 0; t < kNumericTextCount; ++t) {
    page.texts.push_back({300, static_cast<uint16_t>(20 + 35 * t), 300, 30, 1, 0, 0x0000, 0xFFFF});
  }
  return page;
}

class KeyboardTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    StorePageFile(a->storage, "TA PageKeyboardAlphaNumeric", AlphaKeyboardFile());
    StorePageFile(a->storage, "TA PageKeyboardNumeric", NumericKeyboardFile());
  }

  AlphaKeyboard& Alpha() { return a->ui.keyboards.alpha; }
  NumericKeyboard& Numeric() { return a->ui.keyboards.numeric; }

  // The page is entered from the main page, as a caller would.
  void OpenAlpha(uint8_t maxLength = 23, uint8_t minLength = 2) {
    Send(Message::Timer);
    Alpha().TextMaxLength = maxLength;
    Alpha().TextMinLength = minLength;
    Alpha().TextReturnPage = kMainPage;
    a->ui.pages.CurrentPage = kAlphaKeyboardPage;
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kAlphaKeyboardPage);
  }
  void OpenNumeric(int32_t min, int32_t max, int32_t preset = 55) {
    Send(Message::Timer);
    NumericKeyboard& n = Numeric();
    CopyText("Speed", n.NumberPrompt, kNumberPromptCapacity);
    NumberToText(min, n.NumberMinText);
    NumberToText(max, n.NumberMaxText);
    n.NumberMin = min;
    n.NumberMax = max;
    n.NumberValue = preset;
    n.NumberReturnPage = kMainPage;
    a->ui.pages.CurrentPage = kNumericKeyboardPage;
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kNumericKeyboardPage);
  }

  // Presses the on-screen key that shows c.
  void ClickKey(char c) {
    const char* keys = Alpha().state.keySet;
    const char* at = std::strchr(keys, c);
    ASSERT_TRUE(c != 0 && at != nullptr) << "no key shows " << c << " in " << keys;
    const int k = static_cast<int>(at - keys);
    Click(static_cast<uint32_t>(KeyX(k) + 3), static_cast<uint32_t>(KeyY(k) + 3));
  }
  void ClickAlphaImage(int k) { Click(kAlphaImageX[k] + 5u, kAlphaImageY + 5u); }
  void ClickNumericImage(int k) { Click(45u * static_cast<uint32_t>(k) + 5u, 305); }

  // Keys of the PC keyboard; one tick after each batch of at most 16.
  void Press(uint32_t vk) {
    Send(Message::KeyDown, vk);
    Send(Message::KeyUp, vk);
  }
  void TypeOnPc(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      Press(static_cast<uint8_t>(c));
      if (i % 16 == 15) Send(Message::Timer);
    }
    Send(Message::Timer);
  }

  // The shift key's picture, by its pixel and its control.
  void ExpectShiftPicture(uint16_t picture) {
    EXPECT_EQ(Alpha().image[4]->pictureIndex, picture);
    EXPECT_EQ(Pixel(kAlphaImageX[4] + 2, kAlphaImageY + 2), PicturePixel(picture));
  }
  // 1 when key k shows character c on its cap.
  bool KeyShows(int k, char c) {
    std::vector<uint32_t> before(a->frame.pixels, a->frame.pixels + kFrameWidth * kFrameHeight);
    a->frame.PenColour = kPictureColour[2];
    FillArea(a->frame, static_cast<uint16_t>(KeyX(k)), static_cast<uint16_t>(KeyY(k)), kKeyWidth,
             kKeyHeight);
    const char label[2] = {c, 0};
    a->frame.PenColour = 0xFFFF;
    DrawString(a->frame, 0, static_cast<uint16_t>(KeyX(k)), KeyY(k) + 11, label, kKeyWidth, 0x52);
    const bool same = std::equal(before.begin(), before.end(), a->frame.pixels);
    std::copy(before.begin(), before.end(), a->frame.pixels);
    return same;
  }
};

// ---------------------------------------------------------------- alphanumeric

TEST_F(KeyboardTest, StartDrawsTitleKeysAndAnEmptyFieldAndTakesTheRunTimeSlots) {
  CopyText("left over", Alpha().EnteredText, kEnteredTextCapacity);
  OpenAlpha();
  EXPECT_EQ(Alpha().EnteredText[0], 0);
  EXPECT_EQ(Alpha().state.length, 0);
  EXPECT_STREQ(Alpha().state.keySet, "ABCDEFGHIJKLMNOPQRSTUVWXYZ.");
  // Slots: image 0, text 0, images 1-6, text 1, images 7 and 8, then the
  // key cap and the key label.
  const Controls& c = a->ui.controls;
  EXPECT_EQ(Alpha().image[0], &c.ImageSlots[0]);
  EXPECT_EQ(Alpha().image[8], &c.ImageSlots[8]);
  EXPECT_EQ(Alpha().text[1], &c.TextSlots[1]);
  EXPECT_EQ(Alpha().keyCap, &c.ImageSlots[9]);
  EXPECT_EQ(Alpha().keyLabel, &c.TextSlots[2]);
  EXPECT_EQ(c.LastImageSlot, 9);
  EXPECT_EQ(c.LastTextSlot, 2);
  EXPECT_EQ(Alpha().text[1]->x, 240);

  EXPECT_TRUE(Shows(Alpha().text[0], "Keyboard Entry"));
  EXPECT_TRUE(Shows(Alpha().text[1], ""));
  EXPECT_TRUE(KeyShows(0, 'A'));
  EXPECT_TRUE(KeyShows(26, '.'));
  EXPECT_FALSE(KeyShows(26, 'Z'));
  EXPECT_EQ(Pixel(KeyX(9) + kKeyWidth - 1, KeyY(9)), PicturePixel(2));  // row of ten
  EXPECT_EQ(Pixel(KeyX(26) + kKeyWidth, KeyY(26)), kWhite);              // last row: seven
  ExpectShiftPicture(5);
}

TEST_F(KeyboardTest, MouseTypingGivesEachWordACapitalFirstLetter) {
  OpenAlpha();
  for (char c : std::string("Hello")) ClickKey(c);
  ClickAlphaImage(3);  // space
  EXPECT_STREQ(Alpha().state.keySet, "ABCDEFGHIJKLMNOPQRSTUVWXYZ.");
  ExpectShiftPicture(5);
  for (char c : std::string("World")) ClickKey(c);
  EXPECT_STREQ(Alpha().EnteredText, "Hello World");
  EXPECT_EQ(Alpha().state.length, 11);
  EXPECT_TRUE(Shows(Alpha().text[1], "Hello World"));
  EXPECT_TRUE(KeyShows(0, 'a'));
  ExpectShiftPicture(4);
}

TEST_F(KeyboardTest, ShiftKeyTogglesCapitalsAndTheFirstLetterAfterItTurnsThemOff) {
  OpenAlpha();
  ClickAlphaImage(4);  // capitals off
  ExpectShiftPicture(4);
  ClickKey('h');
  ClickKey('i');
  ClickAlphaImage(4);  // capitals for one letter
  ExpectShiftPicture(5);
  EXPECT_TRUE(KeyShows(7, 'H'));
  ClickKey('T');
  ClickKey('o');
  EXPECT_STREQ(Alpha().EnteredText, "hiTo");
  ExpectShiftPicture(4);
}

TEST_F(KeyboardTest, QwertyLayoutPutsTheLettersInKeyboardOrder) {
  a->setup.keyboardLayout = 1;
  OpenAlpha();
  EXPECT_STREQ(Alpha().state.keySet, "QWERTYUIOPASDFGHJKL:ZXCVBNM");
  EXPECT_TRUE(KeyShows(19, ':'));
  ClickKey('G');
  EXPECT_STREQ(Alpha().state.keySet, "qwertyuiopasdfghjkl;zxcvbnm");
  ClickKey('o');
  ClickKey(';');
  EXPECT_STREQ(Alpha().EnteredText, "Go;");
  // Symbols are the same on both layouts.
  ClickAlphaImage(5);
  EXPECT_STREQ(Alpha().state.keySet, "1234567890!@#$%^&*()_-+',.?");
}

TEST_F(KeyboardTest, TwentyFourthCharacterIsIgnoredAtMaximumLengthTwentyThree) {
  OpenAlpha(23);
  TypeOnPc("abcdefghijklmnopqrstuvw");  // 23
  EXPECT_EQ(Alpha().state.length, 23);
  TypeOnPc("x");
  ClickKey('y');
  ClickAlphaImage(3);  // space
  ClickAlphaImage(8);  // "~"
  EXPECT_EQ(Alpha().state.length, 23);
  EXPECT_STREQ(Alpha().EnteredText, "abcdefghijklmnopqrstuvw");
  EXPECT_TRUE(Shows(Alpha().text[1], "abcdefghijklmnopqrstuvw"));
  // A backspace makes room for one more.
  Press(8);
  Send(Message::Timer);
  ClickAlphaImage(8);
  EXPECT_STREQ(Alpha().EnteredText, "abcdefghijklmnopqrstuv~");
}

TEST_F(KeyboardTest, TheTextAlwaysKeepsItsTerminatorWhateverTheMaximum) {
  OpenAlpha(200);
  for (int i = 0; i < 4; ++i) TypeOnPc("abcdefghijklmnop");  // 64 keys
  EXPECT_EQ(Alpha().state.length, kEnteredTextCapacity - 1);
  EXPECT_EQ(Alpha().EnteredText[kEnteredTextCapacity - 1], 0);
  EXPECT_EQ(TextLength(Alpha().EnteredText), kEnteredTextCapacity - 1);
}

TEST_F(KeyboardTest, OkRefusesTooShortATextButEnterReturnsIt) {
  OpenAlpha(23, 2);
  ClickKey('Q');
  ClickAlphaImage(2);  // OK
  EXPECT_EQ(a->ui.pages.CurrentPage, kAlphaKeyboardPage);
  EXPECT_EQ(Alpha().TextResult, kKeyboardNoResult);
  EXPECT_TRUE(Shows(Alpha().text[1], "Error-To Few Characters"));
  EXPECT_STREQ(Alpha().EnteredText, "Q");
  Press(13);
  Send(Message::Timer);
  EXPECT_EQ(Alpha().TextResult, kKeyboardConfirmed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_STREQ(Alpha().EnteredText, "Q");
}

TEST_F(KeyboardTest, OkAcceptsTheMinimumLength) {
  OpenAlpha(23, 2);
  ClickKey('O');
  ClickKey('k');
  ClickAlphaImage(2);
  EXPECT_EQ(Alpha().TextResult, kKeyboardConfirmed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_STREQ(Alpha().EnteredText, "Ok");
}

TEST_F(KeyboardTest, ArrowKeysArriveAsPunctuationAndAreTyped) {
  OpenAlpha();
  for (uint32_t vk = 37; vk <= 40; ++vk) Press(vk);
  Press(0x100);  // a code whose low byte is 0 does not end the text early
  Press('A');
  Send(Message::Timer);
  EXPECT_STREQ(Alpha().EnteredText, "%&'(a");
  EXPECT_EQ(Alpha().state.length, 5);
  EXPECT_EQ(a->shell.KeyQueue.count, 0);
}

TEST_F(KeyboardTest, ShiftedPcKeysAndBackspace) {
  OpenAlpha();
  Send(Message::KeyDown, kVkShift);
  Press('H');
  Press('2');
  Send(Message::KeyUp, kVkShift);
  Press('I');
  Press(8);
  Press('O');
  Send(Message::Timer);
  EXPECT_STREQ(Alpha().EnteredText, "H@o");
  EXPECT_TRUE(Shows(Alpha().text[1], "H@o"));
  for (int i = 0; i < 5; ++i) Press(8);  // more than there are
  Send(Message::Timer);
  EXPECT_EQ(Alpha().state.length, 0);
  EXPECT_STREQ(Alpha().EnteredText, "");
}

TEST_F(KeyboardTest, KeysTypedBeforeThePageOpenedAreDiscarded) {
  Send(Message::Timer);  // the main page
  Press('X');
  Press('Y');
  Alpha().TextMaxLength = 23;
  Alpha().TextReturnPage = kMainPage;
  a->ui.pages.CurrentPage = kAlphaKeyboardPage;
  Send(Message::Timer);
  Send(Message::Timer);
  EXPECT_STREQ(Alpha().EnteredText, "");
}

TEST_F(KeyboardTest, SecondSymbolSetEndsWithQuoteBackslashPointAndQuestionMark) {
  OpenAlpha();
  ClickAlphaImage(5);  // symbols
  EXPECT_EQ(Alpha().image[5]->pictureIndex, 0);
  ExpectShiftPicture(6);
  EXPECT_TRUE(KeyShows(26, '?'));
  ClickAlphaImage(4);  // second set
  ExpectShiftPicture(7);
  EXPECT_STREQ(Alpha().state.keySet, "1234567890~:^={}|/<>`[]\"\\.?");
  EXPECT_TRUE(KeyShows(23, '"'));
  EXPECT_TRUE(KeyShows(24, '\\'));
  EXPECT_TRUE(KeyShows(25, '.'));
  EXPECT_TRUE(KeyShows(26, '?'));
  for (int k = 23; k < kKeyCount; ++k) {
    Click(static_cast<uint32_t>(KeyX(k) + 1), static_cast<uint32_t>(KeyY(k) + 1));
  }
  ClickAlphaImage(3);  // a space does not leave the symbols
  ClickKey('{');
  EXPECT_STREQ(Alpha().EnteredText, "\"\\.? {");
  ClickAlphaImage(4);  // back to the first set
  ExpectShiftPicture(6);
  EXPECT_STREQ(Alpha().state.keySet, "1234567890!@#$%^&*()_-+',.?");
  ClickAlphaImage(5);  // letters again, with capitals
  EXPECT_EQ(Alpha().image[5]->pictureIndex, 1);
  ExpectShiftPicture(5);
  ClickKey('A');
  EXPECT_STREQ(Alpha().EnteredText, "\"\\.? {A");
}

TEST_F(KeyboardTest, TildeControlTurnsCapitalsOff) {
  OpenAlpha();
  ClickAlphaImage(8);
  EXPECT_STREQ(Alpha().EnteredText, "~");
  EXPECT_STREQ(Alpha().state.keySet, "abcdefghijklmnopqrstuvwxyz.");
}

TEST_F(KeyboardTest, CancelReturnsWithTheTextTyped) {
  OpenAlpha();
  ClickKey('N');
  ClickAlphaImage(1);
  EXPECT_EQ(Alpha().TextResult, kKeyboardCancelled);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_STREQ(Alpha().EnteredText, "N");
  // And from the PC keyboard, dropping what follows in the queue.
  OpenAlpha();
  EXPECT_STREQ(Alpha().EnteredText, "");
  Press('A');
  Send(Message::KeyDown, 24);
  Press('B');
  Send(Message::Timer);
  EXPECT_EQ(Alpha().TextResult, kKeyboardCancelled);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_STREQ(Alpha().EnteredText, "a");
  EXPECT_EQ(a->shell.KeyQueue.count, 0);
}

TEST_F(KeyboardTest, PointerReleasesAndMovesDoNothing) {
  OpenAlpha();
  Send(Message::MouseMove, 0, static_cast<uint32_t>(KeyX(0) + 2), static_cast<uint32_t>(KeyY(0) + 2));
  Send(Message::Timer);
  Send(Message::LeftButtonUp);
  Send(Message::Timer);
  EXPECT_EQ(Alpha().state.length, 0);
  // Just outside the last key of the short row.
  Click(static_cast<uint32_t>(KeyX(26) + kKeyWidth), static_cast<uint32_t>(KeyY(26) + 1));
  EXPECT_EQ(Alpha().state.length, 0);
}

// --------------------------------------------------------------------- numeric

TEST_F(KeyboardTest, NumericStartShowsPromptLimitsAndValueLabel) {
  CopyText("99", Numeric().NumberText, kNumberTextCapacity);
  OpenNumeric(20, 100);
  const NumericKeyboard& n = Numeric();
  EXPECT_EQ(n.NumberText[0], 0);
  EXPECT_EQ(n.text[6], &a->ui.controls.TextSlots[6]);
  EXPECT_EQ(n.image[15], &a->ui.controls.ImageSlots[15]);
  EXPECT_EQ(a->ui.controls.LastImageSlot, 16);
  EXPECT_EQ(a->ui.controls.LastTextSlot, 6);
  EXPECT_TRUE(Shows(n.text[0], "Speed"));
  EXPECT_TRUE(Shows(n.text[1], "100"));
  EXPECT_TRUE(Shows(n.text[2], "20"));
  EXPECT_TRUE(Shows(n.text[3], "Min."));
  EXPECT_TRUE(Shows(n.text[4], ""));
  EXPECT_TRUE(Shows(n.text[5], "Max."));
  EXPECT_TRUE(Shows(n.text[6], "Value"));
}

TEST_F(KeyboardTest, TwelvePointSevenFiveIsAcceptedAsTwelve) {
  OpenNumeric(10, 100);
  ClickNumericImage(2);   // "1"
  ClickNumericImage(3);   // "2"
  ClickNumericImage(12);  // "."
  TypeOnPc("75");
  EXPECT_STREQ(Numeric().NumberText, "12.75");
  EXPECT_TRUE(Shows(Numeric().text[6], "12.75"));
  ClickNumericImage(13);  // OK
  EXPECT_EQ(Numeric().NumberResult, kKeyboardConfirmed);
  EXPECT_EQ(Numeric().NumberValue, 12);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(KeyboardTest, ValuesOutsideTheLimitsAreShownAsErrorsAndThePageStays) {
  OpenNumeric(20, 100);
  TypeOnPc("19\r");
  EXPECT_EQ(a->ui.pages.CurrentPage, kNumericKeyboardPage);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardNoResult);
  EXPECT_TRUE(Shows(Numeric().text[6], "Error - Value too low"));
  TypeOnPc("\b\b101\r");
  EXPECT_EQ(a->ui.pages.CurrentPage, kNumericKeyboardPage);
  EXPECT_TRUE(Shows(Numeric().text[6], "Error - Value too high"));
  EXPECT_EQ(Numeric().NumberValue, 101);
  // Both ends are included.
  TypeOnPc("\b\b\b100\r");
  EXPECT_EQ(Numeric().NumberResult, kKeyboardConfirmed);
  EXPECT_EQ(Numeric().NumberValue, 100);
  OpenNumeric(20, 100);
  TypeOnPc("20\r");
  EXPECT_EQ(Numeric().NumberValue, 20);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(KeyboardTest, NegativeNumbersAndOtherPcKeysIgnored) {
  OpenNumeric(-10000, 10000);
  ClickNumericImage(15);  // "-"
  TypeOnPc("4a b0/");
  EXPECT_STREQ(Numeric().NumberText, "-40");
  ClickNumericImage(14);  // backspace
  ClickNumericImage(1);   // "0"
  ClickNumericImage(10);  // "9"
  EXPECT_STREQ(Numeric().NumberText, "-409");
  TypeOnPc("\r");
  EXPECT_EQ(Numeric().NumberValue, -409);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardConfirmed);
}

TEST_F(KeyboardTest, NumberTextHoldsAtMostEightCharacters) {
  OpenNumeric(-10000, 10000);
  TypeOnPc("1234567890");
  EXPECT_STREQ(Numeric().NumberText, "12345678");
  EXPECT_TRUE(Shows(Numeric().text[6], "12345678"));
}

TEST_F(KeyboardTest, InvertedLimitsAcceptNothing) {
  OpenNumeric(100, 20);
  TypeOnPc("50\r");  // above the maximum and below the minimum: the later message stays
  EXPECT_TRUE(Shows(Numeric().text[6], "Error - Value too high"));
  TypeOnPc("\b\b10\r");  // below both
  EXPECT_TRUE(Shows(Numeric().text[6], "Error - Value too low"));
  EXPECT_EQ(a->ui.pages.CurrentPage, kNumericKeyboardPage);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardNoResult);
}

TEST_F(KeyboardTest, NumericCancelKeepsThePresetValue) {
  OpenNumeric(20, 100, 42);
  TypeOnPc("77");
  ClickNumericImage(11);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardCancelled);
  EXPECT_EQ(Numeric().NumberValue, 42);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  OpenNumeric(20, 100, 42);
  Press(24);
  Send(Message::Timer);
  EXPECT_EQ(Numeric().NumberResult, kKeyboardCancelled);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

// --------------------------------------------------------------------- callers

TEST_F(KeyboardTest, ARequestedResultIsTakenOnceByTheCaller) {
  Send(Message::Timer);
  RequestText(*a, "Project Name", 23, 2, kMainPage);
  EXPECT_EQ(Alpha().TextMaxLength, 23);
  Send(Message::Timer);
  EXPECT_EQ(a->ui.pages.LastDrawnPage, kAlphaKeyboardPage);
  TypeOnPc("Yard\r");
  Send(Message::Timer);
  EXPECT_EQ(a->ui.pages.LastDrawnPage, kMainPage);
  EXPECT_TRUE(RequestTagIs(*a, "Project Name"));
  EXPECT_FALSE(RequestTagIs(*a, "Project"));
  EXPECT_EQ(TakeConfirmedText(*a), 1);
  EXPECT_EQ(TakeConfirmedText(*a), 0);
  EXPECT_STREQ(Alpha().EnteredText, "yard");

  // A cancelled request is cleared without a result.
  RequestNumber(*a, "Delay", "Delay in ms", 0, "0", 500, "500", 7, kMainPage);
  Send(Message::Timer);
  TypeOnPc("\x18");
  Send(Message::Timer);
  EXPECT_EQ(TakeConfirmedNumber(*a), 0);
  EXPECT_EQ(a->ui.keyboards.TextRequested, 0);
  // A confirmation nobody asked for is not taken.
  Numeric().NumberResult = kKeyboardConfirmed;
  EXPECT_EQ(TakeConfirmedNumber(*a), 0);

  // A tag of more than 24 characters is cut to 24.
  RequestNumber(*a, "A name far longer than the tag", "Delay", 0, "0", 500, "500", 7,
                kMainPage);
  EXPECT_EQ(TextLength(a->ui.keyboards.TextRequestTag), kRequestTagCapacity - 1);
  Send(Message::Timer);
  TypeOnPc("250\r");
  Send(Message::Timer);
  EXPECT_EQ(TakeConfirmedNumber(*a), 1);
  EXPECT_EQ(Numeric().NumberValue, 250);
}

}  // namespace
}  // namespace trelvan
