// The draft file of unsaved editor work: its format refuses every damaged
// or odd file, and a draft a run could not ask about comes back once.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "projects/project_file.h"
#include "shell/unsaved_work.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

std::vector<uint8_t> Encoded(const Draft& d) {
  std::vector<uint8_t> file(kDraftFileCapacity);
  file.resize(EncodeDraft(d, file.data()));
  return file;
}

TEST(DraftFormat, ReadsBackWhatItWroteAndRefusesEveryDamage) {
  Draft d{};
  d.kind = kDraftLightEffect;
  d.page = 12;
  for (uint32_t i = 0; i < kDraftNameCapacity; ++i) d.name[i] = 'n';  // no end: cut to 31
  d.size = kDraftDataCapacity;
  for (uint32_t i = 0; i < d.size; ++i) d.data[i] = static_cast<uint8_t>(i * 7);
  const std::vector<uint8_t> file = Encoded(d);
  ASSERT_EQ(file.size(), kDraftFileCapacity);
  Draft back{};
  ASSERT_TRUE(DecodeDraft(file.data(), static_cast<uint32_t>(file.size()), &back));
  EXPECT_EQ(std::string(back.name), std::string(31, 'n'));
  EXPECT_TRUE(back.kind == d.kind && back.page == d.page && back.size == d.size);
  EXPECT_EQ(0, memcmp(back.data, d.data, d.size));

  Draft odd = d;
  odd.kind = 3;  // whole, but of no editor
  const std::vector<uint8_t> noEditor = Encoded(odd);
  const struct { const char* what; std::vector<uint8_t> bytes; } spoiled[] = {
      {"cut by a byte", {file.begin(), file.end() - 1}},
      {"a byte more", [&] { auto b = file; b.push_back(0); return b; }()},
      {"only the header", {file.begin(), file.begin() + kDraftHeaderSize}},
      {"another magic", [&] { auto b = file; b[7] = '2'; return b; }()},
      {"a size past the capacity", [&] { auto b = file; b[47] = 0xFF; return b; }()},
      {"a data byte changed", [&] { auto b = file; b[kDraftHeaderSize + 100] ^= 1; return b; }()},
      {"the checksum changed", [&] { auto b = file; b.back() ^= 0x80; return b; }()},
      {"a kind of no editor", noEditor},
  };
  for (const auto& s : spoiled) {
    Draft out{};
    EXPECT_FALSE(DecodeDraft(s.bytes.data(), static_cast<uint32_t>(s.bytes.size()), &out)) << s.what;
  }
}

// Runs that end on a kill: the draft file is left as the last run wrote it.
// (Yes, the reopened editor and the draft's removal on a save: gui_editors.)
class DraftStart : public testing::PageTest {
 protected:
  void SetUp() override {}
  std::string Path() const { return platform.DataPath(kDraftFileName); }
  void LeaveDraft(const Draft& d) { testing::WriteHostFile(Path(), Encoded(d)); }
  Draft ProjectDraft() {
    Project p;
    ClearProject(p);
    Draft d{};
    d.kind = kDraftProject;
    d.page = kEditProgramPage;
    CopyText("Yard~", d.name, kDraftNameCapacity);
    d.size = EncodeProject(p, d.data);
    return d;
  }
};

TEST_F(DraftStart, NoRemovesItAndADamagedOneIsSetAsideUnasked) {
  LeaveDraft(ProjectDraft());
  StartOnCompiledPages();
  EXPECT_STREQ(a->ui.information.MessageText,
               "Unsaved project \"Yard~\" kept from the last session. Open it again?");
  ClickOn(a->ui.information.image[kInfoNo]);
  Send(Message::Timer);
  EXPECT_FALSE(std::filesystem::exists(Path()));
  StartOnCompiledPages();
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);

  Draft damaged = ProjectDraft();
  damaged.size = 5;  // a whole draft file around project data cut short
  LeaveDraft(damaged);
  const size_t boxes = platform.window.messages.size();
  StartOnCompiledPages();
  EXPECT_EQ(a->ui.pages.CurrentPage, kMainPage);
  EXPECT_FALSE(std::filesystem::exists(Path()));
  EXPECT_TRUE(std::filesystem::exists(Path() + ".damaged"));
  ASSERT_EQ(platform.window.messages.size(), boxes + 1);
  EXPECT_NE(platform.window.messages.back().find("set aside"), std::string::npos);
}

}  // namespace
}  // namespace trelvan
