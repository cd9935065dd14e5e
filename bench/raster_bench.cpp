// Speed of the software rasteriser: pixels per second of each span family on
// 64x64 and 256x256 texture levels, and whole 640x480 frames of textured,
// perspective-correct polygons through the set-up, coverage buffer and
// fillers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "render/coverage_buffer.h"
#include "render/polygon_setup.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "render/span_families.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::vector<std::uint8_t> MakeLevel(int entry) {
  const SpanLevelShape shape = SpanLevelShapeOf(entry);
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(1) << (shape.log2Width + shape.log2Height));
  for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<std::uint8_t>((i * 37 + i / 5) % 250);
  texels[3] = 255;  // a few transparent texels for the keyed families
  texels[texels.size() / 2] = 255;
  return texels;
}

void FillTables() {
  for (int i = 0; i < kShadeTableBytes; ++i) g_pShadeTable[i] = static_cast<std::uint8_t>(i * 7);
  for (int i = 0; i < kBlendTableBytes; ++i) g_BlendTable[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
}

// One full screen of 640-pixel spans per iteration.
void SpanFamily(benchmark::State& state, const SpanRoutine* family, int entry, int translucency) {
  FillTables();
  const std::vector<std::uint8_t> texels = MakeLevel(entry);
  std::vector<std::uint8_t> screen(kWidth * kHeight);
  std::vector<std::uint32_t> depth(kWidth * kHeight, 0);
  g_TranslucencyMode = translucency;
  g_Raster.du = 0xB333;  // 0.7 texels per pixel
  g_Raster.dv = 0x4CCC;  // 0.3
  g_Raster.lightStep = 0x100;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      std::uint8_t* row = screen.data() + y * kWidth;
      g_Raster.spanRowStart = row;
      g_Raster.rowParity = y & 1;
      g_Raster.light = 0x40000;
      g_Raster.zRow = depth.data() + y * kWidth;
      g_Raster.z = 1000u + static_cast<std::uint32_t>(state.iterations());
      g_Raster.zStep = 1;
      family[entry](row, kWidth, y << 12, y << 16, texels.data());
    }
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

#define KORVANE_SPAN_BENCH(name, table, mode)                                          \
  void name##_64x64(benchmark::State& state) { SpanFamily(state, table, 5, mode); }    \
  void name##_256x256(benchmark::State& state) { SpanFamily(state, table, 15, mode); } \
  BENCHMARK(name##_64x64);                                                             \
  BENCHMARK(name##_256x256)

KORVANE_SPAN_BENCH(A_SpanTexZ, SpanTexZ, 1);
KORVANE_SPAN_BENCH(B_SpanTexGouraudZ, SpanTexGouraudZ, 1);
KORVANE_SPAN_BENCH(C_SpanTex, SpanTex, 1);
KORVANE_SPAN_BENCH(D_SpanTexGouraud, SpanTexGouraud, 1);
KORVANE_SPAN_BENCH(E_SpanTexLit, SpanTexLit, 1);
KORVANE_SPAN_BENCH(F_SpanTexKey, SpanTexKey, 1);
KORVANE_SPAN_BENCH(G_SpanTexTranslucent_blend, SpanTexTranslucent, 1);
KORVANE_SPAN_BENCH(G_SpanTexTranslucent_stipple, SpanTexTranslucent, 0);
KORVANE_SPAN_BENCH(H_SpanTexKeyTranslucent_blend, SpanTexKeyTranslucent, 1);
KORVANE_SPAN_BENCH(H_SpanTexKeyTranslucent_stipple, SpanTexKeyTranslucent, 0);

// A square texture of 2^log2Size texels a side with its smaller levels, its
// pixels in block.
Texture MakeTexture(int log2Size, std::vector<std::uint8_t>* block) {
  const int size = 1 << log2Size;
  block->resize(static_cast<std::size_t>(TexturePixelBytes(size, size)));
  for (std::size_t i = 0; i < block->size(); ++i) (*block)[i] = static_cast<std::uint8_t>((i * 29 + i / 3) % 250);
  Texture texture{};
  texture.log2Width = texture.log2Height = log2Size;
  texture.width = texture.height = size;
  texture.pixels = block->data();
  texture.byteSize = static_cast<std::int32_t>(block->size());
  return texture;
}

// A 640x480 view drawing into screen.
View ScreenView(std::uint8_t* screen) {
  View view{};
  view.width = kWidth;
  view.height = kHeight;
  view.pitch = kWidth;
  view.target = view.firstRow = screen;
  return view;
}

// A 640x480 frame tiled with 20 x 15 textured quads (32 x 32 pixels each) on
// one receding plane: Q grows across the screen, so every quad is drawn
// perspective-correct in steps. Reset, set-up, fill and end of frame each
// iteration; pixels per second over the whole screen.
void FullScreenTexturedPolygons(benchmark::State& state, bool lit) {
  FillTables();
  std::vector<std::uint8_t> block;
  Texture texture = MakeTexture(static_cast<int>(state.range(0)), &block);
  Surface surface{};
  surface.texture = &texture;
  // u = 65536 (x + 1000) / Q, v = 65536 (y + 1000) / Q, with Q from 1.0 at the left to 1.8 at the right.
  const float q[3] = {0.8f / kWidth, 0.0f, 1.4f};
  const float s[3] = {65536.0f * (1.0f + 0.0f), 0.0f, 65536.0f * 1320.0f};
  const float t[3] = {0.0f, 65536.0f, 65536.0f * 1240.0f};
  for (int k = 0; k < 3; ++k) {
    surface.gradients[0 + k] = s[k];
    surface.gradients[3 + k] = t[k];
    surface.gradients[6 + k] = q[k];
  }
  WorldPolygon polygon{};
  polygon.surface = &surface;
  polygon.flatColour = 20;
  BspFragment fragment{};
  fragment.polygon = &polygon;

  std::vector<std::uint8_t> screen(kWidth * kHeight);
  View view = ScreenView(screen.data());
  constexpr int kTile = 32;
  std::vector<ScreenVertex> quads;
  std::vector<ScreenVertexLit> litQuads;
  for (int ty = 0; ty < kHeight / kTile; ++ty) {
    for (int tx = 0; tx < kWidth / kTile; ++tx) {
      const int x0 = tx * kTile, y0 = ty * kTile, x1 = x0 + kTile, y1 = y0 + kTile;
      // Left edge forward from the top; the right edge x is inclusive in
      // the hooked fillers, so tiles end one pixel before the next.
      const int corners[4][2] = {{x0, y0}, {x0, y1}, {x1 - 1, y1}, {x1 - 1, y0}};
      for (const auto& c : corners) {
        quads.push_back({c[0] << 16, c[1] << 16});
        litQuads.push_back({c[0] << 16, c[1] << 16, ((c[0] + c[1]) % 28 + 1) << 16});
      }
    }
  }
  g_FrameStamp = 1;
  for (auto _ : state) {
    ++g_FrameStamp;
    surface.stamp = g_FrameStamp;  // gradients of this frame are ready
    CoverageReset(&view);
    for (std::size_t i = 0; i < quads.size(); i += 4) {
      if (lit) {
        SetupShadedPolygon(&view, &litQuads[i], &litQuads[i] + 4, &fragment);
      } else {
        SetupTexturedFragment(&view, &quads[i], &quads[i] + 4, &fragment);
      }
    }
    FinishFrameSpans(&view);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void FullScreen_Unlit(benchmark::State& state) { FullScreenTexturedPolygons(state, false); }
void FullScreen_Lit(benchmark::State& state) { FullScreenTexturedPolygons(state, true); }
BENCHMARK(FullScreen_Unlit)->Arg(6)->Arg(8)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullScreen_Lit)->Arg(6)->Arg(8)->Unit(benchmark::kMicrosecond);

// A 640x480 frame tiled with 20 x 15 instance faces (32 x 32 pixels, a 64x64
// texture) through the affine fillers and the coverage buffer, or through the
// z-buffered fillers with the z-buffer cleared each frame: mostly the fillers'
// per-line edge walking, on small faces.
void FullScreenInstanceFaces(benchmark::State& state, bool zBuffered) {
  FillTables();
  std::vector<std::uint8_t> block;
  Texture texture = MakeTexture(6, &block);
  std::vector<std::uint8_t> screen(kWidth * kHeight);
  View view = ScreenView(screen.data());
  if (zBuffered) ZBufferAllocate(kWidth, kHeight);
  constexpr int kTile = 32;
  std::vector<ScreenVertexUV> faces;
  std::vector<ScreenVertexZ> zFaces;
  for (int ty = 0; ty < kHeight / kTile; ++ty) {
    for (int tx = 0; tx < kWidth / kTile; ++tx) {
      const int x0 = tx * kTile, y0 = ty * kTile, x1 = x0 + kTile, y1 = y0 + kTile;
      const int corners[4][4] = {{x0, y0, 0, 0}, {x0, y1, 0, 63}, {x1, y1, 63, 63}, {x1, y0, 63, 0}};
      for (const auto& c : corners) {
        faces.push_back({c[0] << 16, c[1] << 16, c[2] << 16, c[3] << 16});
        zFaces.push_back({c[0] << 16, c[1] << 16, 0.5f, c[2] << 16, c[3] << 16});
      }
    }
  }
  g_FrameStamp = 1;
  for (auto _ : state) {
    ++g_FrameStamp;
    CoverageReset(&view);
    if (zBuffered) std::fill(g_ZBuffer, g_ZBuffer + kWidth * kHeight, 0u);
    for (std::size_t i = 0; i < faces.size(); i += 4) {
      if (zBuffered) {
        DrawPolyZUnlit(&view, &zFaces[i], &zFaces[i] + 4, &texture);
      } else {
        DrawQueuedPolyUnlit(&view, &faces[i], &faces[i] + 4, &texture);
      }
    }
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  if (zBuffered) ZBufferRelease();
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void InstanceFaces_Affine(benchmark::State& state) { FullScreenInstanceFaces(state, false); }
void InstanceFaces_ZBuffer(benchmark::State& state) { FullScreenInstanceFaces(state, true); }
BENCHMARK(InstanceFaces_Affine)->Unit(benchmark::kMicrosecond);
BENCHMARK(InstanceFaces_ZBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
