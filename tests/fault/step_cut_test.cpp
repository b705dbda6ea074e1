// Creations and deletions cut off after every possible number of steps.
#include "fault/step_cut_fixture.h"

namespace trelvan {
namespace testing {
namespace {

void Report(uint64_t points) {
  ::testing::Test::RecordProperty("interruption_points", std::to_string(points));
  std::printf("interruption points: %llu\n", static_cast<unsigned long long>(points));
}

TEST_F(StepCutTest, CreationIntoAnEmptyStorage) {
  const auto content = FileContent("First", Pattern(3 * kBlockSize + 700, 1));
  const uint64_t points = RunPowerLoss(WriterCreate(content), {content}, {5, 40});
  EXPECT_GT(points, 40u);
  Report(points);
}

TEST_F(StepCutTest, CreationAfterDeletions) {
  Files files = StoreFiles({100, 2 * kBlockSize, 5000, 3 * kBlockSize - 10, 900}, 10);
  for (uint16_t index : {3, 1}) {
    ASSERT_EQ(StorageDeleteFile(*s, index), kStorageAccepted);
    RunStorageToIdle(*s);
    files.erase(files.begin() + index);
  }
  ASSERT_EQ(StoredFiles(*s), files);
  Files after = files;
  after.push_back(FileContent("Added", Pattern(2 * kBlockSize + 1, 20)));
  const uint64_t points = RunPowerLoss(WriterCreate(after.back()), after, {30});
  EXPECT_GT(points, 30u);
  Report(points);
}

class StepCutDeletion : public StepCutTest, public ::testing::WithParamInterface<uint16_t> {};

TEST_P(StepCutDeletion, OfOneOfSeveralFiles) {
  const uint16_t index = GetParam();
  Files files = StoreFiles({3000, 2 * kBlockSize - 30, 17, 4 * kBlockSize + 5, 6000}, 30);
  Files after = files;
  after.erase(after.begin() + index);
  const uint64_t points = RunPowerLoss(Delete(index), after);
  EXPECT_GT(points, 3u);
  Report(points);
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, StepCutDeletion, ::testing::Values(0, 2, 4));

// The first file goes; the 300 blocks behind it move down three blocks,
// each source overlapping the destinations still to come.
TEST_F(StepCutTest, DeletionThatMovesHundredsOfBlocks) {
  Files files = StoreFiles({3 * kBlockSize - 100, 120 * kBlockSize + 9, 100 * kBlockSize,
                            80 * kBlockSize - 1},
                           40);
  Files after = files;
  after.erase(after.begin());
  const uint64_t points = RunPowerLoss(Delete(0), after, {700});
  EXPECT_GT(points, 5u * 300u);
  Report(points);
}

// Pieces of 1 to 256 bytes with one StorageStep between them, so pieces
// arrive while earlier units are still being flushed and cross block ends.
TEST_F(StepCutTest, HandheldCreationInPiecesOfVaryingSize) {
  Files files = StoreFiles({2 * kBlockSize + 3, 700}, 50);
  const auto content = FileContent("Handheld", Pattern(4 * kBlockSize + 333, 60));
  std::vector<uint32_t> pieces;
  for (uint8_t b : Pattern(97, 70)) pieces.push_back(1u + b);
  pieces.insert(pieces.begin(), {256, 256, 1, 255, 256, 2});
  Files after = files;
  after.push_back(content);
  const uint64_t points = RunPowerLoss(HandheldCreate(content, pieces), after, {60});
  EXPECT_GT(points, 60u);
  Report(points);
}

}  // namespace
}  // namespace testing
}  // namespace trelvan
