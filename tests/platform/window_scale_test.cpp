// The Linux window's scale: TRELVAN_SCALE over GDK_SCALE over Xft.dpi, each
// only when it is a factor the window can take.
#include <gtest/gtest.h>

#include "platform/linux/window_scale.h"

namespace trelvan {
namespace {

TEST(WindowScale, TheFirstUsableSettingWins) {
  const struct {
    const char* trelvan;
    const char* gdk;
    int dpi;
    double scale;
  } cases[] = {
      {nullptr, nullptr, 0, 1.0},  {nullptr, "2", 0, 2.0},     {"1.5", "2", 192, 1.5},
      {"1", "2", 0, 1.0},          {nullptr, "1.5", 0, 1.0},   {nullptr, "3", 96, 3.0},
      {nullptr, nullptr, 192, 2.0}, {nullptr, nullptr, 144, 1.5}, {nullptr, nullptr, 96, 1.0},
      {nullptr, nullptr, 72, 1.0}, {nullptr, nullptr, 960, 4.0}, {"0.5", "2", 0, 2.0},
      {"5", nullptr, 0, 1.0},      {"2x", "3", 0, 3.0},        {"", "", 0, 1.0},
      {nullptr, "0", 144, 1.5},    {"nan", nullptr, 0, 1.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(ChooseWindowScale(c.trelvan, c.gdk, c.dpi), c.scale)
        << (c.trelvan ? c.trelvan : "-") << " " << (c.gdk ? c.gdk : "-") << " " << c.dpi;
  }
  EXPECT_TRUE(WholeScale(2.0));
  EXPECT_FALSE(WholeScale(1.5));
}

}  // namespace
}  // namespace trelvan
