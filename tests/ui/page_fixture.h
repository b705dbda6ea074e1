// An assistant on the fake platform for the page tests, and page files made
// in a test: pictures, image records and text records written by the page
// codec, stored in the assistant's storage under a page's name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/storage_fixture.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/controls.h"
#include "ui/page_codec.h"

namespace trelvan {
namespace testing {

struct TestPicture {
  uint16_t width, height;
  std::vector<uint16_t> pixels;  // rows from the top
};

inline TestPicture SolidPicture(uint16_t w, uint16_t h, uint16_t colour) {
  return TestPicture{w, h, std::vector<uint16_t>(size_t{w} * h, colour)};
}

struct TestPageFile {
  std::vector<TestPicture> pictures;
  std::vector<ImageControl> images;
  std::vector<TextControl> texts;

  // The file's data (what follows its FileHeader), as the compiler writes it.
  std::vector<uint8_t> Data() const {
    std::vector<PagePicture> p;
    for (const TestPicture& t : pictures) p.push_back({t.width, t.height, t.pixels.data()});
    const PageContent c{p.data(), static_cast<uint16_t>(p.size()),
                        images.data(), static_cast<uint16_t>(images.size()),
                        texts.data(), static_cast<uint16_t>(texts.size())};
    std::vector<uint8_t> d(PageDataSize(c));
    EXPECT_EQ(EncodePageData(c, d.data(), static_cast<uint32_t>(d.size())), d.size());
    return d;
  }
};

// Stores `data` under `name` (replacing a file of that name) as a page file.
inline void StorePageData(Storage& s, const std::string& name, const std::vector<uint8_t>& data) {
  ASSERT_TRUE(StorageWriteRecord(s, name.c_str(), "", "Page", "1.00", data.data(),
                                 static_cast<uint32_t>(data.size())));
}

constexpr uint32_t kWhite = 0xFFFFFF;  // frame pixel of Colour16 0xFFFF

// A run of the program on `platform`, whose window service is `window`:
// start-up, `work`, the window's end. Returns the exit status.
inline int RunProgram(const Platform& platform, FakeWindow& window,
                      const std::function<void(Assistant&)>& work = nullptr) {
  window.messages.clear();
  window.quitPosted = window.timerStopped = false;
  auto a = std::make_unique<Assistant>(platform);
  MainWindowCreated(*a);
  if (work) work(*a);
  MainWindowMessage(*a, Message::Destroy, 0, 0, 0);  // destroying the window ends the loop
  EXPECT_TRUE(window.quitPosted);
  EXPECT_TRUE(window.timerStopped);
  return window.quitCode;
}

// An assistant started on the fake platform with a fresh storage.
class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
  }
  // Starts on the compiled page files as the installed program does: they
  // are its own, and the start-up stores what the storage lacks.
  void StartOnCompiledPages() {
#ifdef TRELVAN_RESOURCE_DIR
    platform.files.resourceFolder = TRELVAN_RESOURCE_DIR;
#endif
    a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
    Send(Message::Timer);
  }
  void Send(Message m, uint32_t key = 0, uint32_t x = 0, uint32_t y = 0) {
    MainWindowMessage(*a, m, key, x, y);
  }
  // A press at the middle of a control, taken by the next tick, and its release.
  template <typename Control>
  void ClickOn(const Control* c) {
    ASSERT_NE(c, nullptr);
    const uint32_t x = c->x + c->w / 2u, y = c->y + c->h / 2u;
    Send(Message::LeftButtonDown, 0, x, y);
    Send(Message::Timer);
    Send(Message::LeftButtonUp, 0, x, y);
    Send(Message::Timer);
  }
  // Keys of the PC keyboard, capitals with shift; one tick after each batch
  // of at most 16 (the key queue) and at the end.
  void TypeOnPc(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      const bool capital = c >= 'A' && c <= 'Z';
      uint8_t vk = uint8_t(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      if (c == '.' || c == '-') vk = c == '.' ? 190 : 189;  // the period and minus keys
      if (capital) Send(Message::KeyDown, 0x10);
      Send(Message::KeyDown, vk);
      Send(Message::KeyUp, vk);
      if (capital) Send(Message::KeyUp, 0x10);
      if (i % 16 == 15) Send(Message::Timer);
    }
    Send(Message::Timer);
  }
  // Text for a keyboard page a caller opened: typed, confirmed, and the
  // ticks that take the caller's page back.
  void EnterText(const std::string& text) {
    ASSERT_TRUE(a->ui.pages.CurrentPage == kAlphaKeyboardPage ||
                a->ui.pages.CurrentPage == kNumericKeyboardPage);
    Send(Message::Timer);
    TypeOnPc(text + "\r");
    Send(Message::Timer);
    Send(Message::Timer);
  }
  void Show(int32_t page) {
    a->ui.pages.CurrentPage = page;
    Send(Message::Timer);
    Send(Message::Timer);
  }
  // The information page shows `text` and returns to `returnPage`; back there.
  void ExpectMessage(const char* text, int32_t returnPage) {
    EXPECT_EQ(a->ui.pages.CurrentPage, kInformationPage);
    EXPECT_STREQ(a->ui.information.MessageText, text);
    EXPECT_EQ(a->ui.information.InfoReturnPage, returnPage);
    Show(returnPage);
  }
  // The frame buffer pixel at (x, y), as 0x00BBGGRR.
  uint32_t Pixel(int x, int y) const { return a->frame.pixels[x * kFrameHeight + y]; }
  // True when the control shows `text`: drawing it over again changes nothing.
  bool Shows(const TextControl* control, const char* text) {
    return Unchanged([&] { DrawTextControl(a->frame, control, text); return true; });
  }
  // The same in `colour` instead of the control's own.
  bool Shows(const TextControl* control, const char* text, uint16_t colour) {
    TextControl recoloured = *control;
    recoloured.textColour = colour;
    return Shows(&recoloured, text);
  }
  // True when the control's picture is drawn: drawing it again changes nothing.
  bool ShowsPicture(const ImageControl* control) {
    return Unchanged([&] { return DrawImageControl(a->ui.controls, a->frame, a->storage, control) == 1; });
  }
  // Whether `draw` succeeds and leaves the frame as it was; the frame is put back.
  template <typename Draw>
  bool Unchanged(Draw draw) {
    const std::vector<uint32_t> saved(a->frame.pixels, a->frame.pixels + kFrameWidth * kFrameHeight);
    const bool drawn = draw();
    const bool same = std::equal(saved.begin(), saved.end(), a->frame.pixels);
    std::copy(saved.begin(), saved.end(), a->frame.pixels);
    return drawn && same;
  }

  FakePlatform platform;
  std::unique_ptr<Assistant> a;
};

}  // namespace testing
}  // namespace trelvan
