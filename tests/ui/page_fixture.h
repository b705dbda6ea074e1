// Page files made in a test: pictures, image records and text records laid
// out as the resource compiler lays them out, stored in the assistant's
// storage under a page's name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/storage_fixture.h"
#include "storage/text.h"
#include "ui/controls.h"

namespace trelvan {
namespace testing {

struct TestPicture {
  uint16_t width, height;
  std::vector<uint16_t> pixels;  // rows from the top
};

inline TestPicture SolidPicture(uint16_t w, uint16_t h, uint16_t colour) {
  return TestPicture{w, h, std::vector<uint16_t>(size_t{w} * h, colour)};
}

inline void PutU16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

inline void PutU32At(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

struct TestPageFile {
  std::vector<TestPicture> pictures;
  std::vector<ImageControl> images;
  std::vector<TextControl> texts;

  // The file's data (what follows its FileHeader).
  std::vector<uint8_t> Data() const {
    std::vector<uint8_t> d(12, 0);
    PutU32At(d, 0, static_cast<uint32_t>(d.size()));
    const size_t table = d.size();
    PutU16(d, static_cast<uint16_t>(pictures.size()));
    d.resize(d.size() + 4 * pictures.size());
    for (size_t k = 0; k < pictures.size(); ++k) {
      PutU32At(d, table + 2 + 4 * k, static_cast<uint32_t>(d.size()));
      PutU16(d, pictures[k].width);
      PutU16(d, pictures[k].height);
      for (uint16_t p : pictures[k].pixels) PutU16(d, p);
    }
    PutU32At(d, 4, static_cast<uint32_t>(d.size()));
    PutU16(d, static_cast<uint16_t>(images.size()));
    for (const ImageControl& c : images) {
      for (uint16_t v : {c.x, c.y, c.w, c.h}) PutU16(d, v);
      d.push_back(c.source);
      PutU16(d, c.pictureIndex);
    }
    PutU32At(d, 8, static_cast<uint32_t>(d.size()));
    PutU16(d, static_cast<uint16_t>(texts.size()));
    for (const TextControl& c : texts) {
      for (uint16_t v : {c.x, c.y, c.w, c.h}) PutU16(d, v);
      d.push_back(c.font);
      d.push_back(0);
      for (uint16_t v : {c.flags, c.textColour, c.backColour}) PutU16(d, v);
    }
    return d;
  }
};

// Stores `data` under `name` (replacing a file of that name) as a page file.
inline void StorePageData(Storage& s, const std::string& name, const std::vector<uint8_t>& data) {
  RunStorageToIdle(s);
  const int old = StorageFindFile(s, name.c_str());
  if (old >= 0) {
    StorageDeleteFile(s, static_cast<uint16_t>(old));
    RunStorageToIdle(s);
  }
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name.c_str(), "", "Page", "1.00");
  std::vector<uint8_t> content(header, header + h);
  content.insert(content.end(), data.begin(), data.end());
  ASSERT_EQ(WriteWholeFile(s, content), kStorageAccepted);
}

inline void StorePageFile(Storage& s, const std::string& name, const TestPageFile& page) {
  StorePageData(s, name, page.Data());
}

constexpr uint32_t kWhite = 0xFFFFFF;  // frame pixel of Colour16 0xFFFF

// An assistant started on the fake platform with a fresh storage.
class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
  }
  void Send(Message m, uint32_t key = 0, uint32_t x = 0, uint32_t y = 0) {
    MainWindowMessage(*a, m, key, x, y);
  }
  void Click(uint32_t x, uint32_t y) {
    Send(Message::LeftButtonDown, 0, x, y);
    Send(Message::Timer);
  }
  // The frame buffer pixel at (x, y), as 0x00BBGGRR.
  uint32_t Pixel(int x, int y) const { return a->frame.pixels[x * kFrameHeight + y]; }
  // True when the control shows `text`: drawing it over again changes nothing.
  bool Shows(const TextControl* control, const char* text) {
    std::vector<uint32_t> before(a->frame.pixels, a->frame.pixels + kFrameWidth * kFrameHeight);
    DrawTextControl(a->frame, control, text);
    const bool same = std::equal(before.begin(), before.end(), a->frame.pixels);
    std::copy(before.begin(), before.end(), a->frame.pixels);
    return same;
  }

  FakePlatform platform;
  std::unique_ptr<Assistant> a;
};

}  // namespace testing
}  // namespace trelvan
