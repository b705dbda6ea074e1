// The storage machine under the fault harness. Sizes end
// exactly at a block end, one byte into a block and inside a unit; the
// deletions move blocks whose sources overlap the destinations still to
// come; a record's pieces, its header alone first, end across unit and
// block boundaries.
#include "fault/fault_harness.h"

namespace trelvan {
namespace testing {
namespace {

// Header piece first, as the records are written.
Change CreateRecord(const char* name, uint32_t size, uint32_t seed) {
  return Create(FileContent(name, Pattern(size, seed)), static_cast<uint32_t>(FileContent(name, {}).size()));
}

const std::vector<uint32_t> kFiveEdges = {100, kBlockSize - 21, kBlockSize + 1, 9000,
                                          2 * kBlockSize - 21 + 256};

const Scenario kScenarios[] = {
    {"EventRecordIntoEmpty", StoreFiles({}, 0), CreateRecord("New", 10000, 7), 200},
    {"EventRecordAfterDeletions", StoreFiles({6000, 300, 12000, 5000}, 1, {0, 1}),
     CreateRecord("New", 15000, 8), 300},
    {"EventDeleteFirst", StoreFiles(kFiveEdges, 1), Delete(0), 40},
    {"EventDeleteMiddle", StoreFiles(kFiveEdges, 1), Delete(2), 40},
    {"EventDeleteLast", StoreFiles(kFiveEdges, 1), Delete(4), 10},
    // Every source block lies two blocks above its destination.
    {"EventDeleteMoving320Blocks",
     StoreFiles({5000, 100 * kBlockSize, 120 * kBlockSize - 30, 100 * kBlockSize - 25}, 1),
     Delete(0), 3 * 300},
    // Behind a full storage an empty file starts one block past the image,
    // where the offset wrap lands on the header block.
    {"EventEmptyFileBehindTheLastBlock",
     StoreFiles({kFileBlocks * kBlockSize - 60 - 10}, 5), Create({}), 10},

    // A new file named like a stored one (a push) stays beside it across
    // every restart: only a download's replacement mark lets the older go.
    {"EventRecordBesideANamesake", StoreFiles({2 * kBlockSize + 3, 700}, 82),
     CreateRecord("F0", kBlockSize + 9, 83), 20},

    // The new file is stored whole before the old one of its name goes; the
    // replacement mark tells the restart that the pair is the download's.
    {"DownloadReplacingEveryStepAndEvent", StoreFiles({3000, 2 * kBlockSize + 5, 700}, 90),
     DownloadReplacing(FileContent("F1", Pattern(3 * kBlockSize + 45, 91)), 1), 100},
};

class Fault : public ::testing::TestWithParam<Scenario> {};

TEST_P(Fault, OldOrNewFilesAfterEveryCut) {
  FaultHarness harness;
  harness.Run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Storage, Fault, ::testing::ValuesIn(kScenarios), ScenarioName);

}  // namespace
}  // namespace testing
}  // namespace trelvan
