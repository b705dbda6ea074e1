// The information, select-text and select-button pages on the compiled page
// files, driven through the shell's messages and ticks: the message word
// wrap and its failure, the button sets and their results, the text list
// with choice and cancel, and the button grid sized by the "TA Buttons"
// collection. Their look is in the golden shots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/page_fixture.h"

namespace trelvan {
namespace {

class InformationTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }
  InformationPage& Info() { return a->ui.information; }

  // The caller's side: the message is given, the page entered from page 1
  // and given one more tick to lay the message out.
  void Open(const std::string& text, bool yes = false, bool no = false) {
    ShowMessage(*a, text.c_str());
    if (yes) AddYesButton(*a);
    if (no) AddNoButton(*a);
    Info().InfoReturnPage = kMainPage;
    a->ui.pages.CurrentPage = kInformationPage;
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kInformationPage);
    Send(Message::Timer);
  }
  void ClickInfo(int role) { ClickOn(Info().image[role]); }
};

// ---- word wrap ----

// Lines of at most 35 characters, the later ones beginning with the space
// broken at; where no space breaks a line the lines so far stay. How a
// message of many words breaks is in the golden shot information_page.png.
TEST(WrapMessage, BreaksBeforeSpacesAndFailsWhereNoSpaceBreaks) {
  const std::string a35(35, 'a'), b34(34, 'b'), c28(28, 'c');
  const struct {
    std::string text;
    int fits;
    std::vector<std::string> lines;
  } cases[] = {{a35 + " " + b34 + " " + c28, 1, {a35, " " + b34, " " + c28}},
               {" " + std::string(35, 'x'), 0, {""}},  // a line's own space is no break
               {"ab " + std::string(40, 'y'), 0, {"ab", ""}},
               {std::string(35, 'z'), 1, {std::string(35, 'z')}}};
  for (const auto& c : cases) {
    char lines[kMessageLineCount][kMessageLineCapacity];
    EXPECT_EQ(WrapMessage(c.text.c_str(), lines), c.fits) << c.text;
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(lines[i], c.lines[i]) << c.text;
  }
}

TEST_F(InformationTest, AMessageThatCannotBeWrappedIsReportedOnceAndItsFirstLineShown) {
  Open("hello world" + std::string(40, 'x'));
  ASSERT_EQ(platform.window.messages, std::vector<std::string>{"ERROR- No Spaces in line"});
  EXPECT_TRUE(Shows(Info().line[0], "hello"));
  EXPECT_EQ(Info().MessagePending, 0);
  Send(Message::Timer);
  EXPECT_EQ(platform.window.messages.size(), 1u);
}

// ---- buttons ----

TEST_F(InformationTest, ButtonSetsAndTheBitOfThePressedOne) {
  const struct {
    bool yes, no;
    int pressed;
    uint16_t shown, bit;
  } cases[] = {{true, true, kInfoNo, kInfoYesShown | kInfoNoShown, kInfoNoPressed},
               {true, true, kInfoYes, kInfoYesShown | kInfoNoShown, kInfoYesPressed},
               {true, false, kInfoYes, kInfoYesShown, kInfoYesPressed},
               {false, false, kInfoExit, kInfoExitShown, kInfoExitPressed}};
  for (const auto& c : cases) {
    Open("Delete the picture?", c.yes, c.no);
    EXPECT_EQ(Info().InfoButtons, c.shown);
    for (int role : {kInfoYes, kInfoExit, kInfoNo}) {  // those not shown do nothing
      if (role == c.pressed || (role == kInfoYes && c.yes) || (role == kInfoNo && c.no)) continue;
      ClickInfo(role);
      EXPECT_EQ(a->ui.pages.CurrentPage, kInformationPage);
      EXPECT_EQ(Info().InfoButtons, c.shown);
    }
    ClickInfo(c.pressed);
    EXPECT_EQ(Info().InfoButtons, c.shown | c.bit);
    EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
    Send(Message::Timer);
    EXPECT_EQ(a->ui.pages.LastDrawnPage, kMainPage);
  }
}

TEST_F(InformationTest, ANewMessageClearsTheButtonsUnlessThePageIsOpen) {
  Open("Working on the first step of it", true, true);
  ShowMessage(*a, "Next");  // while the page is current: the buttons stay
  EXPECT_EQ(Info().InfoButtons, kInfoYesShown | kInfoNoShown);
  Send(Message::Timer);
  EXPECT_TRUE(Shows(Info().line[0], "Next"));
  ClickInfo(kInfoYes);
  ASSERT_EQ(a->ui.pages.CurrentPage, kMainPage);
  ShowMessage(*a, "Second");  // from another page: cleared
  EXPECT_EQ(Info().InfoButtons, 0);
  EXPECT_EQ(Info().MessagePending, 1);
  ShowMessage(*a, std::string(150, 'm').c_str());
  EXPECT_EQ(std::string(Info().MessageText), std::string(99, 'm'));
}

// ---- select text ----

class SelectTextTest : public InformationTest {
 protected:
  SelectTextPage& Page() { return a->ui.selectText; }
  void OpenList(const std::vector<std::string>& entries) {
    for (size_t k = 0; k < entries.size(); ++k) AddSelectText(*a, int(k), entries[k].c_str());
    RequestSelectText(*a, "Choose a sound", kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSelectTextPage);
  }
};

TEST_F(SelectTextTest, OnlyEntriesAnswerEntryZeroHoldsTheChoiceAndCancelEmptiesIt) {
  OpenList({"Horn", "Bell", "Whistle"});
  ClickOn(Page().line[5]);
  ClickOn(Page().line[3]);
  EXPECT_EQ(a->ui.pages.CurrentPage, kSelectTextPage);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextOpen);
  ClickOn(Page().line[2]);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextChosen);
  EXPECT_EQ(Page().SelectedTextIndex, 2);
  EXPECT_STREQ(Page().SelectTextEntries[0], "Whistle");
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  uint8_t index = 0;
  EXPECT_EQ(TakeSelectedText(*a, &index), kCallConfirmed);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(TakeSelectedText(*a, &index), kCallNone);

  OpenList({"Red", "Green"});  // each opening starts afresh
  EXPECT_EQ(Page().SelectTextResult, kSelectTextOpen);
  EXPECT_EQ(Page().SelectTextCount, 2);
  ClickOn(Page().image[kSelectTextCancel]);
  EXPECT_EQ(Page().SelectTextResult, kSelectTextCancelled);
  EXPECT_STREQ(Page().SelectTextEntries[0], "");
  EXPECT_EQ(TakeSelectedText(*a, &index), kCallCancelled);
}

TEST_F(SelectTextTest, EntriesAreBoundedInLengthAndNumber) {
  AddSelectText(*a, 0, std::string(30, 'e').c_str());
  EXPECT_EQ(std::string(Page().SelectTextEntries[0]), std::string(24, 'e'));
  for (int k = 1; k < kSelectTextEntryCount; ++k) AddSelectText(*a, k, "entry");
  AddSelectText(*a, 17, "one too many");  // there is no 18th line
  AddSelectText(*a, -1, "none");
  EXPECT_EQ(Page().SelectTextCount, 17);
  EXPECT_STREQ(Page().SelectTextEntries[16], "entry");
  OpenList({});
  ClickOn(Page().line[16]);
  EXPECT_EQ(Page().SelectedTextIndex, 16);
}

// ---- select button ----

class SelectButtonTest : public InformationTest {
 protected:
  SelectButtonPage& Page() { return a->ui.selectButton; }
  void OpenGrid(int pictures) {
    testing::TestPageFile collection;
    for (int k = 0; k < pictures; ++k) {
      collection.pictures.push_back(testing::SolidPicture(60, 40, uint16_t(0x0841 * (k % 30 + 1))));
    }
    testing::StorePageData(a->storage, "TA Buttons", collection.Data());
    Page().SelectedButton = 999;
    RequestSelectButton(*a, kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSelectButtonPage);
  }
};

TEST_F(SelectButtonTest, ThePicturesGiveTheButtonsAndOnlyTheyAnswer) {
  for (int pictures : {0, 20, 80}) {
    OpenGrid(pictures);
    const int offered = pictures < kButtonGridCount ? pictures : kButtonGridCount;
    EXPECT_EQ(Page().ButtonCount, offered);
    for (int k = 0; k < offered; ++k) ASSERT_TRUE(ShowsPicture(&Page().button[k])) << k;
    EXPECT_TRUE(ShowsPicture(Page().image[kSelectButtonBack])) << "after the whole grid";
    if (offered < kButtonGridCount) {
      ClickOn(&Page().button[offered]);  // an empty place
      EXPECT_EQ(a->ui.pages.CurrentPage, kSelectButtonPage);
    }
    ClickOn(Page().image[kSelectButtonBack]);
    EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
    EXPECT_EQ(Page().SelectedButton, 999) << "back keeps the choice";
    EXPECT_EQ(TakeSelectedButton(*a, nullptr), kCallCancelled);
  }
  OpenGrid(20);
  ClickOn(&Page().button[19]);
  uint16_t button = 0;
  EXPECT_EQ(TakeSelectedButton(*a, &button), kCallConfirmed);
  EXPECT_EQ(button, 19);
}

}  // namespace
}  // namespace trelvan
