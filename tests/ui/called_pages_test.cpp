// The general called pages on the compiled page files and their callers'
// conventions: the keyboards' request (a cancelled request keeping the
// preset, the request tag compared whole and bounded), the information
// page's word wrap, the select-text list's bounds, and the button grid sized
// by the "TA Buttons" collection.
//
// The golden scripts hold the rest. The keyboards themselves (shift and the
// symbol sets, the PC keys from the queue, the length and range limits,
// confirm and cancel, mouse typing with its automatic capitals, the keys'
// look): keyboard_entry.run, keyboard_numeric_limits.run,
// keyboard_alphabetic.run and keyboard_qwerty.run. The information page's
// button sets and their results, a message no space breaks, a new message
// while the page is open: information_buttons.run and information_wrap.run.
// The text list's choice, cancel and bounds: select_text_choice.run. A
// result taken once by its caller, with its index, is the callers' scripts'
// (taken twice, new_project_refusals.run, setup_server.run,
// edit_page_buttons.run and edit_program.run among others do their work
// again and differ); a button chosen and taken, and Back taking the caller's
// page back with no choice, edit_page_button_picture.run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/page_fixture.h"

namespace trelvan {
namespace {

class CalledPagesTest : public testing::PageTest {
 protected:
  void SetUp() override { StartOnCompiledPages(); }
  NumericKeyboard& Numeric() { return a->ui.keyboards.numeric; }
};

// ---- keyboards ----

// A stored name longer than the field starts cut to the field's length
// (sound_manager.run shows a name starting as it is, its "~" left off).
TEST_F(CalledPagesTest, ANameLongerThanTheFieldStartsCut) {
  RequestName(*a, "Sound File Name", 8, 2, kMainPage, "Harbour Whistle~~");
  Send(Message::Timer);
  TypeOnPc("X\r");
  Send(Message::Timer);
  EXPECT_EQ(TakeConfirmedText(*a), 1);
  EXPECT_STREQ(a->ui.keyboards.alpha.EnteredText, "Harbour ");  // full at 8: the X is not taken
}

// The request tag is compared whole and kept to its capacity; a cancelled
// number keeps the preset.
TEST_F(CalledPagesTest, TheTagIsWholeAndBoundedAndACancelKeepsThePreset) {
  RequestText(*a, "Project Name", 23, 2, kMainPage);
  EXPECT_TRUE(RequestTagIs(*a, "Project Name"));
  EXPECT_FALSE(RequestTagIs(*a, "Project"));

  RequestNumber(*a, "Speed", "Speed", 0, "0", 500, "500", 7, kMainPage);
  Send(Message::Timer);
  TypeOnPc("77");
  // its answer and the page it leaves for are keyboard_numeric_limits.run's
  ClickOn(Numeric().image[kNumericCancel]);
  EXPECT_EQ(Numeric().NumberValue, 7);

  RequestNumber(*a, "A name far longer than the tag", "Delay", 0, "0", 500, "500", 7, kMainPage);
  EXPECT_EQ(TextLength(a->ui.keyboards.TextRequestTag), kRequestTagCapacity - 1);
  Send(Message::Timer);
  TypeOnPc("250\r");
  EXPECT_EQ(TakeConfirmedNumber(*a), 1);
  EXPECT_EQ(Numeric().NumberValue, 250);
}

// ---- word wrap ----

// Lines of at most 35 characters, the later ones beginning with the space
// broken at; where no space breaks a line the lines so far stay. How a
// message of many words breaks is in the golden shot information_page.png,
// a later line with no space to break at refused information_wrap.run's.
TEST(WrapMessage, BreaksBeforeSpacesAndFailsWhereNoSpaceBreaks) {
  const std::string a35(35, 'a'), b34(34, 'b'), c28(28, 'c');
  const struct { std::string text; int fits; std::vector<std::string> lines; } cases[] = {
      {a35 + " " + b34 + " " + c28, 1, {a35, " " + b34, " " + c28}},
      {" " + std::string(35, 'x'), 0, {""}},  // a line's own space is no break
      {std::string(35, 'z'), 1, {std::string(35, 'z')}}};
  for (const auto& c : cases) {
    char lines[kMessageLineCount][kMessageLineCapacity];
    EXPECT_EQ(WrapMessage(c.text.c_str(), lines), c.fits) << c.text;
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(lines[i], c.lines[i]) << c.text;
  }
}

// ---- select text ----

// An index outside the list adds nothing. A caller takes an answer once,
// with its index: the program editor's golden scripts (edit_program.run,
// edit_program_copy.run), whose rows differ when a task is taken twice.
TEST_F(CalledPagesTest, AnIndexOutsideTheSelectTextListAddsNothing) {
  AddSelectText(*a, 0, "Horn");
  AddSelectText(*a, -1, "none");
  AddSelectText(*a, kSelectTextEntryCount, "none");
  EXPECT_EQ(a->ui.selectText.SelectTextCount, 1);
}

// ---- select button ----

TEST_F(CalledPagesTest, TheButtonPicturesGiveTheButtonsAndOnlyTheyAnswer) {
  SelectButtonPage& page = a->ui.selectButton;
  for (int pictures : {0, 20, 80}) {
    testing::TestPageFile collection;
    for (int k = 0; k < pictures; ++k) {
      collection.pictures.push_back(testing::SolidPicture(60, 40, uint16_t(0x0841 * (k % 30 + 1))));
    }
    testing::StorePageData(a->storage, "TA Buttons", collection.Data());
    RequestSelectButton(*a, kMainPage);
    Send(Message::Timer);
    ASSERT_EQ(a->ui.pages.LastDrawnPage, kSelectButtonPage);
    const int offered = pictures < kButtonGridCount ? pictures : kButtonGridCount;
    EXPECT_EQ(page.ButtonCount, offered);
    for (int k = 0; k < offered; ++k) ASSERT_TRUE(ShowsPicture(&page.button[k])) << k;
    EXPECT_TRUE(ShowsPicture(page.image[kSelectButtonBack])) << "after the whole grid";
    if (offered < kButtonGridCount) {
      ClickOn(&page.button[offered]);  // an empty place
      EXPECT_EQ(a->ui.pages.CurrentPage, kSelectButtonPage);
    }
    ClickOn(page.image[kSelectButtonBack]);
  }
}

}  // namespace
}  // namespace trelvan
