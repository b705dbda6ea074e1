// A file that is no light effect loads nothing. What reaches the storage
// through the three manager pages, and each refusal's message with nothing
// stored, are the golden scripts picture_refusals.run, picture_list.run,
// sound_refusals.run, sound_stored.run and light_effect_sections.run; the
// pages' look is in their shots and picture_manager, sound_manager_* and
// light_effect_*.
#include <gtest/gtest.h>

#include <cstring>

#include "media/conversions.h"
#include "storage/whole_file.h"
#include "ui/page_fixture.h"

namespace trelvan {
namespace {

class MediaPagesTest : public testing::PageTest {};

TEST_F(MediaPagesTest, AFileThatIsNoLightEffectLoadsNothing) {
  const uint8_t data[4] = {1, 2, 3, 4};
  ASSERT_TRUE(StorageWriteRecord(a->storage, "Lamp 2", "", "Picture", "1.00", data, sizeof data));
  LightEffect& e = a->media.effect;
  e.startSamples = 300;
  e.brightness[0][7] = 40;
  const LightEffect before = e;
  EXPECT_EQ(LoadLightEffect(a->storage, static_cast<uint16_t>(StorageFindFile(a->storage, "Lamp 2")), e), 0);
  EXPECT_EQ(0, memcmp(&before, &e, sizeof e));
}

}  // namespace
}  // namespace trelvan
