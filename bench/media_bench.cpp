// The managers' conversions inside one timer tick, as the pages run them:
// the Picture Manager's timer handler that takes a chosen 480 x 180 BMP
// back from Select File and stores the picture, and the Sound Manager's
// pointer handler that creates a 10-second sound on the create button
// (each is the whole of its tick's work). Beside them, reading the same
// file whole: the plain I/O cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "media/conversions.h"
#include "media/picture_manager_page.h"
#include "media/sound_manager_page.h"
#include "platform/fake/fake_platform.h"
#include "shell/assistant.h"
#include "shell/page_table.h"
#include "shell/shell.h"
#include "storage/whole_file.h"
#include "storage/bytes.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {
namespace {

std::string WriteBmp(FakePlatform& p) {
  std::vector<uint8_t> b(54 + kBmpPixelBytes);
  b[0] = 'B';
  b[1] = 'M';
  WriteU32LE(&b[10], 54);
  WriteU32LE(&b[18], 480);
  WriteU32LE(&b[22], 180);
  WriteU16LE(&b[28], 24);
  for (uint32_t i = 54; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 37);
  const std::string path = p.DataPath("Bench.bmp");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
  return path;
}

std::string WriteWav(FakePlatform& p, uint32_t seconds) {
  const uint32_t n = 44100 * seconds;
  std::vector<uint8_t> b(44 + 2 * n);
  CopyBytes("RIFF", &b[0], 4);
  CopyBytes("WAVEfmt ", &b[8], 8);
  WriteU32LE(&b[16], 16);
  WriteU16LE(&b[20], 1);
  WriteU16LE(&b[22], 1);
  WriteU32LE(&b[24], 44100);
  b[34] = 16;
  CopyBytes("data", &b[36], 4);
  WriteU32LE(&b[40], 2 * n);
  for (uint32_t i = 0; i < n; ++i) {
    WriteU16LE(&b[44 + 2 * i], static_cast<uint16_t>(static_cast<int16_t>(9000 * std::sin(i * 0.06))));
  }
  const std::string path = p.DataPath("bench.wav");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
  return path;
}

// An assistant started on the compiled page files, as the program starts.
struct Started {
  FakePlatform platform;
  std::unique_ptr<Assistant> a;
  Started() {
    for (const auto& entry : std::filesystem::directory_iterator(TRELVAN_RESOURCE_DIR)) {
      if (entry.path().extension() != ".rsc") continue;
      std::filesystem::copy_file(entry.path(), platform.DataPath(entry.path().filename().string()));
    }
    a.reset(new Assistant(platform));
    MainWindowCreated(*a);
  }
};

void BM_PictureTick(benchmark::State& state) {
  Started s;
  Assistant& a = *s.a;
  const std::string path = WriteBmp(s.platform);
  a.ui.pages.CurrentPage = kPictureManagerPage;
  PageHandlersOf(kPictureManagerPage)->draw(a, 1);
  for (auto _ : state) {
    state.PauseTiming();
    StorageDeleteNamedFile(a.storage, "Bench~");
    a.media.picturePage.selectionExpected = 1;
    CopyText(path.c_str(), a.ui.selectFile.SelectedPath, kSelectedPathCapacity);
    a.ui.selectFile.answer = kCallConfirmed;
    state.ResumeTiming();
    kPictureManagerRecord.timer(a, a.media);
  }
  if (StorageFindFile(a.storage, "Bench~") < 0) state.SkipWithError("no picture stored");
}
BENCHMARK(BM_PictureTick)->Unit(benchmark::kMillisecond);

void BM_SoundTick(benchmark::State& state) {
  Started s;
  Assistant& a = *s.a;
  const std::string path = WriteWav(s.platform, 10);
  a.ui.pages.CurrentPage = kSoundManagerPage;
  PageHandlersOf(kSoundManagerPage)->draw(a, 1);
  ChooseSoundMode(a.media, 1);
  const std::string folder = s.platform.DataPath("");
  CopyText(folder.substr(0, folder.size() - 1).c_str(), a.media.sound.sourceFolder, kSourceFolderCapacity);
  CopyText("bench", a.media.sound.slots[0].fileName, kMediaNameCapacity);
  const ImageControl* create = a.media.soundPage.image[kSoundCreate];
  for (auto _ : state) {
    state.PauseTiming();
    StorageDeleteNamedFile(a.storage, "Bench~");
    CopyText("Bench~", a.media.sound.soundName, kSoundNameCapacity);
    a.input.PointerEvent = PointerEventRecord{kPointerPressed, create->x + 5, create->y + 5, 0, 0, 0};
    state.ResumeTiming();
    kSoundManagerRecord.pointer(a, a.media);
  }
  if (StorageFindFile(a.storage, "Bench~") < 0) state.SkipWithError("no sound stored");
}
BENCHMARK(BM_SoundTick)->Unit(benchmark::kMillisecond);

// The plain cost beside them: reading the file whole.
void BM_ReadFileWhole(benchmark::State& state) {
  FakePlatform p;
  const std::string path = state.range(0) == 0 ? WriteBmp(p) : WriteWav(p, 10);
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    FILE* f = fopen(path.c_str(), "rb");
    while (fread(buffer.data(), 1, buffer.size(), f) > 0) {
    }
    fclose(f);
  }
}
BENCHMARK(BM_ReadFileWhole)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelvan

BENCHMARK_MAIN();
