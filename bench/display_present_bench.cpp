// Presenting a frame: a 640x480 8-bit frame through its palette into 32-bit
// pixels, and the same scaled to a 1920x1080 window with its aspect ratio
// kept, the way the SDL2 display does it, here with SDL2's software renderer
// drawing into memory (no window, no GPU), so the figure is CPU time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"
#if KORVANE_HAVE_SDL
#include <SDL.h>
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
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 1920, 1080, 32, SDL_PIXELFORMAT_RGB888);
  SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : nullptr;
  SDL_Texture* texture =
      renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight)
               : nullptr;
  if (!texture) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  const DisplayRect fit = DisplayFitRect(kWidth, kHeight, 1920, 1080);
  const SDL_Rect where{fit.x, fit.y, fit.width, fit.height};
  for (auto _ : state) {
    void* pixels = nullptr;
    int pitch = 0;
    SDL_LockTexture(texture, nullptr, &pixels, &pitch);
    DisplayImageToXrgb(frame.Image(), static_cast<uint32_t*>(pixels), pitch);
    SDL_UnlockTexture(texture);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &where);
    SDL_RenderPresent(renderer);
    benchmark::DoNotOptimize(target->pixels);
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
}
BENCHMARK(PresentScaledTo1080p)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#endif

}  // namespace

BENCHMARK_MAIN();
