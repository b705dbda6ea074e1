// Project costs, each well inside one 10 ms tick is the aim:
//  - saving a full project (8 buttons, 8 variables, 32 + 32 constants, 255
//    program bytes) over its old file, and loading it again;
//  - a full redraw of the program page showing fourteen rows of it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/fake/fake_platform.h"
#include "projects/program_logic.h"
#include "projects/project_file.h"
#include "shell/assistant.h"
#include "shell/page_table.h"
#include "shell/shell.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "ui/pages.h"

namespace trelvan {
namespace {

// The largest record the file holds.
void FillFullProject(Project& p) {
  ClearProject(p);
  CopyText("Full project~", p.name, kProjectNameCapacity);
  CopyText("KQ-4", p.moduleModel, kModelCapacity);
  CopyText("Station~", p.pictureName, kProjectTextCapacity);
  for (int i = 0; i < kMaxButtons; ++i) AddButton(p);
  for (int i = 0; i < kMaxVariables; ++i) AddVariable(p, ("Variable " + std::to_string(i)).c_str());
  for (int i = 0; i < kMaxConstInts; ++i) AddConstInt(p, static_cast<int16_t>(i * 300 - 5000));
  for (int i = 0; i < kMaxConstTexts; ++i) AddConstText(p, ("Sound " + std::to_string(i) + "~").c_str());
  // Blocks of If, a chained condition, a copy and a task, while they fit.
  // Each block goes after the last block end, the row before OpEnd.
  for (uint16_t row = 0; p.programLength + 16 <= kMaxProgramLength; row = static_cast<uint16_t>(p.instructionCount - 2)) {
    InsertAfterRow(p, row, kOpIf, 0x00, 0x60, 0);
    InsertAfterRow(p, static_cast<uint16_t>(row + 1), kOpIfChained, 0x41, 0x61, 0);
    InsertAfterRow(p, static_cast<uint16_t>(row + 2), kOpTask, kTaskPlaySound, 0x80, 0x62);
  }
  // Copies of 3 bytes fill the rest exactly after one or two 2-byte fillers.
  for (int left = (kMaxProgramLength - p.programLength) % 3; left != 0; left = (left + 1) % 3) {
    InsertAfterRow(p, 0, kOpDivider, 0, 0, 0);
  }
  while (p.programLength + 3 <= kMaxProgramLength) InsertAfterRow(p, 0, kOpCopy, 0x60, 0x40, 0);
}

struct World {
  FakePlatform platform;
  std::unique_ptr<Assistant> a;
  World() {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(TRELVAN_RESOURCE_DIR)) {
      if (entry.path().extension() != ".rsc") continue;
      fs::copy_file(entry.path(), platform.DataPath(entry.path().filename().string()),
                    fs::copy_options::overwrite_existing);
    }
    a = std::make_unique<Assistant>(platform);
    MainWindowCreated(*a);
    FillFullProject(a->projects.project);
  }
};

World& TheWorld() {
  static World* w = new World;
  return *w;
}

void BM_SaveFullProject(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    if (!SaveProject(w.a->projects, w.a->storage)) state.SkipWithError("save refused");
  }
  state.counters["bytes"] = ProjectDataSize(w.a->projects.project);
}
BENCHMARK(BM_SaveFullProject)->Unit(benchmark::kMillisecond);

void BM_LoadFullProject(benchmark::State& state) {
  World& w = TheWorld();
  SaveProject(w.a->projects, w.a->storage);
  std::unique_ptr<Project> p(new Project{});
  for (auto _ : state) {
    ClearProject(*p);
    CopyText("Full project~", p->name, kProjectNameCapacity);
    if (LoadProject(*p, w.a->storage) != LoadResult::kLoaded) state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadFullProject)->Unit(benchmark::kMillisecond);

void BM_RedrawProgramPage(benchmark::State& state) {
  World& w = TheWorld();
  FillFullProject(w.a->projects.project);
  w.a->ui.pages.CurrentPage = kEditProgramPage;
  const PageHandlers* page = PageHandlersOf(kEditProgramPage);
  for (auto _ : state) page->draw(*w.a, 1);
  state.counters["rows"] = w.a->projects.project.instructionCount;
}
BENCHMARK(BM_RedrawProgramPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan

BENCHMARK_MAIN();
