// Presenting a frame: a 640x480 8-bit frame through its palette into 32-bit
// pixels, and the whole SDL2 display path (the same conversion into its
// texture, scaled to 1920x1080 with the aspect ratio kept, black bars) drawn
// by SDL2's software renderer into memory (no window, no GPU), so the
// figure is CPU time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display.h"
#if KORVANE_HAVE_SDL
#include "platform/sdl/sdl_backend.h"
#endif

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Frame {
  std::vector<uint8_t> pixels = std::vector<uint8_t>(kWidth * kHeight);
  Rgb8 palette[256];
  Frame() {
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 7 + i / kWidth) & 0xFF);
    for (int i = 0; i < 256; ++i) palette[i] = Rgb8{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 128};
  }
  DisplayImage Image() const { return DisplayImage{pixels.data(), kWidth, kHeight, kWidth, kPixelIndexed8, palette}; }
};

void PaletteConversion(benchmark::State& state) {
  const Frame frame;
  std::vector<uint32_t> out(kWidth * kHeight);
  for (auto _ : state) {
    DisplayImageToXrgb(frame.Image(), out.data(), kWidth * 4);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(PaletteConversion)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

#if KORVANE_HAVE_SDL
void PresentScaledTo1080p(benchmark::State& state) {
  const Frame frame;
  const std::unique_ptr<PlatformDisplay> display = SdlMemoryDisplayCreate(1920, 1080);
  if (!display) {
    state.SkipWithError("SDL2 can't draw into memory");
    return;
  }
  for (auto _ : state) display->Present(frame.Image());
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(PresentScaledTo1080p)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#endif

}  // namespace

BENCHMARK_MAIN();
