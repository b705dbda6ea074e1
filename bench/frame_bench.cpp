// Drawing costs beside a plain memset of the same bytes, in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/fake/fake_platform.h"
#include "ui/frame_buffer.h"

namespace trelvan {
namespace {

std::unique_ptr<FrameBuffer> NewFrame() {
  auto f = std::make_unique<FrameBuffer>();
  f->width = kFrameWidth;
  f->height = kFrameHeight;
  ClearFrameBuffer(*f);
  return f;
}

void BM_MemsetFrame(benchmark::State& state) {
  auto f = NewFrame();
  for (auto _ : state) {
    memset(f->pixels, static_cast<int>(state.iterations() & 0xFF), sizeof f->pixels);
    benchmark::DoNotOptimize(f->pixels[0]);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof f->pixels));
}
BENCHMARK(BM_MemsetFrame);

void BM_FillAreaFullScreen(benchmark::State& state) {
  auto f = NewFrame();
  uint16_t colour = 0;
  for (auto _ : state) {
    f->PenColour = colour++;
    FillArea(*f, 0, 0, kFrameWidth, kFrameHeight);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof f->pixels));
}
BENCHMARK(BM_FillAreaFullScreen);

void BM_PutPixelFullScreen(benchmark::State& state) {
  auto f = NewFrame();
  for (auto _ : state) {
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) PutPixel(*f, x, y);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof f->pixels));
}
BENCHMARK(BM_PutPixelFullScreen);

void BM_DrawString100(benchmark::State& state) {
  auto f = NewFrame();
  const std::string text(100, 'W');
  for (auto _ : state) {
    DrawString(*f, 1, 0, 100, text.c_str(), 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawString100);

void BM_MemsetBlitBytes(benchmark::State& state) {
  auto f = NewFrame();
  for (auto _ : state) {
    memset(f->blit, static_cast<int>(state.iterations() & 0xFF), sizeof f->blit);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof f->blit));
}
BENCHMARK(BM_MemsetBlitBytes);

void BM_BlitConversion(benchmark::State& state) {
  // Keep the platform's own copy out of the figure: count only the conversion.
  struct NoCopy : FakeWindow {
    void PresentFrame(const uint8_t*, int, int) override {}
  } quiet;
  auto f = NewFrame();
  for (auto _ : state) {
    BlitFrameBuffer(*f, quiet);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof f->blit));
}
BENCHMARK(BM_BlitConversion);

}  // namespace
}  // namespace trelvan

BENCHMARK_MAIN();
