// The information, select-text and select-button pages on test page files,
// driven through the shell's messages and ticks: the message word wrap and
// its failure, the button sets and their results, the text list with choice
// and cancel, and the button grid sized by the "TA Buttons" collection.
#include <gtest/gtest.h>

#include <algorithm>
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
constexpr uint16_t kYesColour = 0x07E0, kExitColour = 0x001F, kNoColour = 0xF800;
constexpr uint16_t kButtonY = 400;
constexpr uint16_t kYesX = 200, kExitX = 350, kNoX = 500;

// Information page: pictures 0 grey decoration, 1 Yes, 2 Exit, 3 No.
TestPageFile InformationFile() {
  TestPageFile page;
  page.pictures = {SolidPicture(100, 20, 0x8410), SolidPicture(100, 40, kYesColour),
                   SolidPicture(100, 40, kExitColour), SolidPicture(100, 40, kNoColour)};
  page.images = {{0, 0, 100, 20, kSourcePageFile, 0},
                 {0, 580, 100, 20, kSourcePageFile, 0},
                 {kYesX, kButtonY, 100, 40, kSourcePageFile, 1},
                 {kExitX, kButtonY, 100, 40, kSourcePageFile, 2},
                 {kNoX, kButtonY, 100, 40, kSourcePageFile, 3}};
  page.texts = {{0, 30, 800, 30, 2, kTextCentred, 0x0000, 0xFFFF},
                {kYesX, kButtonY + 10, 100, 20, 1, kTextCentred | kTextNoBackground, 0, 0},
                {kExitX, kButtonY + 10, 100, 20, 1, kTextCentred | kTextNoBackground, 0, 0},
                {kNoX, kButtonY + 10, 100, 20, 1, kTextCentred | kTextNoBackground, 0, 0}};
  return page;
}

class PagesTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    StorePageFile(a->storage, "TA PageInformation", InformationFile());
    Send(Message::Timer);  // the main page is drawn first
  }
  InformationPage& Info() { return a->ui.information; }

  // The caller's side: the message is given, the page is entered from page 1
  // and given one more tick to lay the message out.
  void OpenInformation() {
    Info().InfoReturnPage = kMainPage;
    a->ui.pages.CurrentPage = kInformationPage;
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kInformationPage);
    Send(Message::Timer);
  }

  // Glyph pixels (0xF800, blue) anywhere in message line i's band.
  bool LineHasInk(int i) {
    const uint32_t red = Colour16ToPixel(0xF800);
    for (int x = 0; x < kFrameWidth; ++x) {
      for (int y = 200 + 18 * i; y < 218 + 18 * i; ++y) {
        if (Pixel(x, y) == red) return true;
      }
    }
    return false;
  }
  uint32_t ButtonPixel(uint16_t x) { return Pixel(x + 2, kButtonY + 2); }
};

// ---- word wrap ----

TEST_F(PagesTest, NinetyNineCharactersFillThreeLinesBrokenBeforeSpaces) {
  // 35 characters, a space at 35 and at 70: each line is as long as allowed.
  std::string text = std::string(35, 'a') + " " + std::string(34, 'b') + " " + std::string(28, 'c');
  ASSERT_EQ(text.size(), 99u);
  ShowMessage(*a, text.c_str());
  OpenInformation();
  EXPECT_EQ(Info().MessagePending, 0);
  EXPECT_EQ(std::string(Info().MessageLines[0]), std::string(35, 'a'));
  EXPECT_EQ(std::string(Info().MessageLines[1]), " " + std::string(34, 'b'));
  EXPECT_EQ(std::string(Info().MessageLines[2]), " " + std::string(28, 'c'));
  for (int i = 0; i < kMessageLineCount; ++i) {
    EXPECT_TRUE(Shows(Info().line[i], Info().MessageLines[i])) << "line " << i;
    EXPECT_EQ(Info().line[i]->y, 200 + 18 * i);
  }
  EXPECT_TRUE(platform.window.messages.empty());
}

TEST_F(PagesTest, WordsOfAnyLengthKeepEveryLineWithinThirtyFiveCharacters) {
  // Words of 1 to 9 letters: wherever the breaks fall, the lines hold at
  // most 35 characters, the later ones begin with the space broken at, and
  // together they are the start of the message.
  for (int seed = 1; seed <= 9; ++seed) {
    std::string text;
    for (int w = 0; text.size() < 99; ++w) {
      if (!text.empty()) text += ' ';
      text += std::string(1 + (w * seed + seed) % 9, static_cast<char>('a' + w % 26));
    }
    text.resize(99);
    char lines[kMessageLineCount][kMessageLineCapacity];
    ASSERT_EQ(WrapMessage(text.c_str(), lines), 1) << text;
    std::string joined;
    for (int i = 0; i < kMessageLineCount; ++i) {
      const std::string line = lines[i];
      EXPECT_LE(line.size(), 35u) << text;
      EXPECT_FALSE(line.empty()) << text;
      if (i > 0) {
        EXPECT_EQ(line[0], ' ') << text;
      }
      joined += line;
    }
    EXPECT_EQ(text.compare(0, joined.size(), joined), 0) << text;
    EXPECT_GT(joined.size(), 60u) << text;  // no line was broken earlier than it had to be
  }
}

TEST_F(PagesTest, ARunOfThirtySixWithoutSpaceShowsTheErrorAndKeepsTheLaidOutLines) {
  const std::string text = "hello world" + std::string(40, 'x');
  ShowMessage(*a, text.c_str());
  OpenInformation();
  ASSERT_EQ(platform.window.messages.size(), 1u);
  EXPECT_EQ(platform.window.messages[0], "ERROR- No Spaces in line");
  EXPECT_EQ(Info().MessagePending, 0);
  EXPECT_STREQ(Info().MessageLines[0], "hello");
  EXPECT_STREQ(Info().MessageLines[1], "");
  EXPECT_TRUE(LineHasInk(0));
  EXPECT_TRUE(Shows(Info().line[0], "hello"));
  EXPECT_FALSE(LineHasInk(1));
  Send(Message::Timer);  // laid out once only: no second message box
  EXPECT_EQ(platform.window.messages.size(), 1u);
}

TEST_F(PagesTest, TheSpaceALineBeginsWithIsNoPlaceToBreak) {
  char lines[kMessageLineCount][kMessageLineCapacity];
  // a leading space and 35 characters
  EXPECT_EQ(WrapMessage((" " + std::string(35, 'x')).c_str(), lines), 0);
  EXPECT_STREQ(lines[0], "");
  // the second line would be its space and 35 characters
  EXPECT_EQ(WrapMessage(("ab " + std::string(40, 'y')).c_str(), lines), 0);
  EXPECT_STREQ(lines[0], "ab");
  EXPECT_STREQ(lines[1], "");
  // 35 characters without a space still fit
  EXPECT_EQ(WrapMessage(std::string(35, 'z').c_str(), lines), 1);
  EXPECT_EQ(std::string(lines[0]), std::string(35, 'z'));
}

TEST_F(PagesTest, ShowMessageKeepsNinetyNineCharacters) {
  ShowMessage(*a, std::string(150, 'm').c_str());
  EXPECT_EQ(std::string(Info().MessageText), std::string(99, 'm'));
  EXPECT_EQ(Info().MessagePending, 1);
}

// ---- buttons ----

TEST_F(PagesTest, YesAndNoWithoutExitAndNoSetsBitSix) {
  ShowMessage(*a, "Delete the picture?");
  AddYesButton(*a);
  AddNoButton(*a);
  OpenInformation();
  EXPECT_EQ(ButtonPixel(kYesX), Colour16ToPixel(kYesColour));
  EXPECT_EQ(ButtonPixel(kNoX), Colour16ToPixel(kNoColour));
  EXPECT_EQ(ButtonPixel(kExitX), kWhite);
  EXPECT_TRUE(Shows(Info().text[1], "Yes"));
  EXPECT_TRUE(Shows(Info().text[3], "No"));
  EXPECT_TRUE(Shows(Info().line[0], "Delete the picture?"));

  Click(kExitX + 5, kButtonY + 5);  // not shown: nothing happens
  EXPECT_EQ(a->ui.pages.CurrentPage, kInformationPage);
  EXPECT_EQ(Info().InfoButtons, kInfoYesShown | kInfoNoShown);

  Click(kNoX + 5, kButtonY + 5);
  EXPECT_EQ(Info().InfoButtons, kInfoYesShown | kInfoNoShown | kInfoNoPressed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(a->ui.pages.LastDrawnPage, kMainPage);
}

TEST_F(PagesTest, YesReturnsWithBitFour) {
  ShowMessage(*a, "Overwrite?");
  AddYesButton(*a);
  OpenInformation();
  EXPECT_EQ(ButtonPixel(kNoX), kWhite);
  Click(kYesX + 99, kButtonY + 39);
  EXPECT_EQ(Info().InfoButtons, kInfoYesShown | kInfoYesPressed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(PagesTest, AMessageWithoutButtonsShowsExit) {
  ShowMessage(*a, "Picture stored");
  OpenInformation();
  EXPECT_EQ(ButtonPixel(kExitX), Colour16ToPixel(kExitColour));
  EXPECT_EQ(ButtonPixel(kYesX), kWhite);
  EXPECT_EQ(ButtonPixel(kNoX), kWhite);
  EXPECT_TRUE(Shows(Info().text[2], "Exit"));
  Click(kYesX + 5, kButtonY + 5);
  EXPECT_EQ(a->ui.pages.CurrentPage, kInformationPage);
  Click(kExitX + 5, kButtonY + 5);
  EXPECT_EQ(Info().InfoButtons, kInfoExitShown | kInfoExitPressed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(PagesTest, ANewMessageFromAnotherPageClearsTheButtons) {
  ShowMessage(*a, "First");
  AddYesButton(*a);
  AddNoButton(*a);
  OpenInformation();
  Click(kYesX + 5, kButtonY + 5);
  ASSERT_EQ(a->ui.pages.CurrentPage, kMainPage);
  ShowMessage(*a, "Second");
  EXPECT_EQ(Info().InfoButtons, 0);
  OpenInformation();
  EXPECT_EQ(ButtonPixel(kExitX), Colour16ToPixel(kExitColour));
  EXPECT_EQ(ButtonPixel(kYesX), kWhite);
}

TEST_F(PagesTest, ShowMessageWhileTheInformationPageIsCurrentKeepsTheButtons) {
  ShowMessage(*a, "Working on the first step of it");
  AddYesButton(*a);
  AddNoButton(*a);
  OpenInformation();
  ShowMessage(*a, "Next");
  EXPECT_EQ(Info().InfoButtons, kInfoYesShown | kInfoNoShown);
  Send(Message::Timer);
  EXPECT_STREQ(Info().MessageLines[0], "Next");
  EXPECT_TRUE(Shows(Info().line[0], "Next"));
  EXPECT_EQ(ButtonPixel(kYesX), Colour16ToPixel(kYesColour));
  EXPECT_EQ(ButtonPixel(kExitX), kWhite);
  Click(kNoX + 5, kButtonY + 5);
  EXPECT_TRUE(Info().InfoButtons & kInfoNoPressed);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

// ---- select text ----

constexpr uint16_t kCancelX = 600, kCancelY = 540;
constexpr uint16_t kNotOfferedColour = 0x001F;

TestPageFile SelectTextFile() {
  TestPageFile page;
  page.pictures = {SolidPicture(100, 20, 0x8410), SolidPicture(60, 40, kNotOfferedColour),
                   SolidPicture(100, 40, 0x07E0)};
  page.images = {{0, 0, 100, 20, kSourcePageFile, 0},
                 {20, 100, 60, 40, kSourcePageFile, 1},
                 {20, 200, 60, 40, kSourcePageFile, 1},
                 {kCancelX, kCancelY, 100, 40, kSourcePageFile, 2}};
  page.texts = {{0, 2, 800, 30, 2, kTextCentred, 0x0000, 0xFFFF}};
  return page;
}

class SelectTextTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    StorePageFile(a->storage, "TA PageSelectText", SelectTextFile());
  }
  SelectTextPage& Page() { return a->ui.selectText; }
  void Open(const std::vector<std::string>& entries) {
    for (size_t k = 0; k < entries.size(); ++k) {
      AddSelectText(*a, static_cast<int>(k), entries[k].c_str());
    }
    CopyText("Choose a sound", Page().SelectTextTitle, kSelectTextTitleCapacity);
    Page().SelectTextReturnPage = kMainPage;
    a->ui.pages.CurrentPage = kSelectTextPage;
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSelectTextPage);
  }
  void ClickLine(int i) { Click(300, 34u + 28u * static_cast<uint32_t>(i) + 14u); }
};

TEST_F(SelectTextTest, EntriesAreDrawnOnAlternatingLines) {
  Open({"Horn", "Bell", "Whistle", "Steam", "Brake"});
  EXPECT_TRUE(Shows(Page().title, "Choose a sound"));
  for (int i = 0; i < kSelectTextEntryCount; ++i) {
    EXPECT_TRUE(Shows(Page().line[i], Page().SelectTextEntries[i])) << i;
    EXPECT_EQ(Pixel(555, 34 + 28 * i + 14), Colour16ToPixel(i % 2 ? 0xC638 : 0xFFFF)) << i;
  }
  EXPECT_FALSE(Shows(Page().line[2], "Horn"));
  // the controls not offered are drawn, then covered white
  EXPECT_EQ(Pixel(30, 110), kWhite);
  EXPECT_EQ(Pixel(30, 210), kWhite);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextOpen);
}

TEST_F(SelectTextTest, ClicksBeyondTheEntriesDoNothing) {
  Open({"Horn", "Bell", "Whistle"});
  ClickLine(5);
  ClickLine(3);
  Click(300, 34 + 28 * 17 + 2);  // below the last line
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectTextPage);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextOpen);
  EXPECT_STREQ(Page().SelectTextEntries[0], "Horn");
}

TEST_F(SelectTextTest, EntryZeroHoldsTheChosenTextOnReturn) {
  Open({"Horn", "Bell", "Whistle"});
  ClickLine(2);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextChosen);
  EXPECT_EQ(Page().SelectedTextIndex, 2);
  EXPECT_STREQ(Page().SelectTextEntries[0], "Whistle");
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(a->ui.pages.LastDrawnPage, kMainPage);
}

TEST_F(SelectTextTest, CancelEmptiesEntryZero) {
  Open({"Horn", "Bell"});
  Click(kCancelX + 5, kCancelY + 5);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextCancelled);
  EXPECT_STREQ(Page().SelectTextEntries[0], "");
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(SelectTextTest, EachEntryStartsTheResultAfresh) {
  Open({"Horn", "Bell"});
  ClickLine(1);
  ASSERT_EQ(Page().SelectTextResult, kSelectTextChosen);
  Open({"Red", "Green"});
  EXPECT_EQ(Page().SelectTextResult, kSelectTextOpen);
  EXPECT_EQ(Page().SelectTextCount, 2);
  EXPECT_STREQ(Page().SelectTextEntries[0], "Red");
}

TEST_F(SelectTextTest, EntriesAreBoundedInLengthAndNumber) {
  AddSelectText(*a, 0, std::string(30, 'e').c_str());
  EXPECT_EQ(std::string(Page().SelectTextEntries[0]), std::string(24, 'e'));
  for (int k = 1; k < kSelectTextEntryCount; ++k) AddSelectText(*a, k, "entry");
  EXPECT_EQ(Page().SelectTextCount, 17);
  AddSelectText(*a, 17, "one too many");  // refused: there is no 18th line
  AddSelectText(*a, -1, "none");
  EXPECT_EQ(Page().SelectTextCount, 17);
  EXPECT_STREQ(Page().SelectTextEntries[16], "entry");
  Page().SelectTextReturnPage = kMainPage;
  a->ui.pages.CurrentPage = kSelectTextPage;
  Send(Message::Timer);
  ClickLine(16);
  EXPECT_EQ(Page().SelectedTextIndex, 16);
  EXPECT_STREQ(Page().SelectTextEntries[0], "entry");
}

// ---- select button ----

constexpr uint16_t kBackX = 20, kBackY = 540;

uint16_t ButtonColour(int k) { return static_cast<uint16_t>(0x0841 * (k % 30 + 1)); }

TestPageFile SelectButtonFile() {
  TestPageFile page;
  page.pictures = {SolidPicture(100, 20, 0x8410), SolidPicture(100, 40, 0xF800)};
  page.images = {{0, 0, 100, 20, kSourcePageFile, 0},
                 {kBackX, kBackY, 100, 40, kSourcePageFile, 1}};
  page.texts = {{0, 22, 170, 30, 2, 0, 0x0000, 0xFFFF}};
  return page;
}

TestPageFile ButtonCollection(int count) {
  TestPageFile collection;
  for (int k = 0; k < count; ++k) {
    collection.pictures.push_back(SolidPicture(60, 40, ButtonColour(k)));
  }
  return collection;
}

class SelectButtonTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    StorePageFile(a->storage, "TA PageSelectButton", SelectButtonFile());
  }
  SelectButtonPage& Page() { return a->ui.selectButton; }
  void Open(int pictures) {
    StorePageFile(a->storage, "TA Buttons", ButtonCollection(pictures));
    Page().SelectButtonReturnPage = kMainPage;
    Page().SelectedButton = 999;
    a->ui.pages.CurrentPage = kSelectButtonPage;
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSelectButtonPage);
  }
  static uint32_t ButtonX(int k) { return 180u + 65u * static_cast<uint32_t>(k % 6); }
  static uint32_t ButtonY(int k) { return 20u + 42u * static_cast<uint32_t>(k / 6); }
  void ClickButton(int k) { Click(ButtonX(k) + 30, ButtonY(k) + 20); }
};

TEST_F(SelectButtonTest, TwentyPicturesGiveTwentyButtons) {
  Open(20);
  EXPECT_EQ(Page().ButtonCount, 20);
  for (int k = 0; k < 20; ++k) {
    EXPECT_EQ(Pixel(static_cast<int>(ButtonX(k)) + 59, static_cast<int>(ButtonY(k)) + 39),
              Colour16ToPixel(ButtonColour(k)))
        << k;
  }
  EXPECT_EQ(Pixel(static_cast<int>(ButtonX(20)) + 5, static_cast<int>(ButtonY(20)) + 5), kWhite);
}

TEST_F(SelectButtonTest, ClicksOnEmptyGridPlacesDoNothing) {
  Open(20);
  ClickButton(20);
  ClickButton(23);
  ClickButton(77);
  Click(ButtonX(3) + 62, ButtonY(3) + 5);  // the gap between two buttons
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectButtonPage);
  EXPECT_EQ(Page().SelectedButton, 999);
  ClickButton(19);
  EXPECT_EQ(Page().SelectedButton, 19);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
}

TEST_F(SelectButtonTest, BackLeavesTheChoiceUnchanged) {
  Open(20);
  Click(kBackX + 5, kBackY + 5);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(Page().SelectedButton, 999);
}

TEST_F(SelectButtonTest, AFullGridKeepsThePagesOwnControls) {
  // 78 buttons and the page's two image controls: the back control and the
  // decoration still work and show after the whole grid is built.
  Open(80);
  EXPECT_EQ(Page().ButtonCount, 78);
  EXPECT_EQ(Pixel(2, 2), Colour16ToPixel(0x8410));
  EXPECT_EQ(Pixel(kBackX + 2, kBackY + 2), Colour16ToPixel(0xF800));
  EXPECT_EQ(Pixel(static_cast<int>(ButtonX(77)) + 5, static_cast<int>(ButtonY(77)) + 5),
            Colour16ToPixel(ButtonColour(77)));
  Click(kBackX + 5, kBackY + 5);
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_EQ(Page().SelectedButton, 999);
}

TEST_F(SelectButtonTest, WithoutTheCollectionNoButtonIsOffered) {
  Page().SelectButtonReturnPage = kMainPage;
  a->ui.pages.CurrentPage = kSelectButtonPage;
  Send(Message::Timer);
  EXPECT_EQ(Page().ButtonCount, 0);
  ClickButton(0);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectButtonPage);
}

}  // namespace
}  // namespace trelvan
