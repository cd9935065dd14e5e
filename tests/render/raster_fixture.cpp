#include "raster_fixture.h"

#include <algorithm>

#include "engine/engine_error.h"
#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

PixelTarget::PixelTarget(int width, int height, std::uint8_t fill, int pitch, bool oddStart) {
  if (pitch == 0) pitch = width;
  storage.assign(static_cast<std::size_t>(pitch) * height + 8, fill);
  view = View{};
  view.width = width;
  view.height = height;
  view.pitch = pitch;
  view.target = storage.data() + (oddStart ? 1 : 0);
  view.firstRow = view.target;
  view.flags = kRenderFlagsDefault;
}

void PixelTarget::Fill(std::uint8_t value) { std::fill(storage.begin(), storage.end(), value); }

int PixelTarget::CountNot(std::uint8_t value) const {
  int count = 0;
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) count += At(x, y) != value;
  }
  return count;
}

PixelSet PixelTarget::Changed(std::uint8_t value) const {
  PixelSet set;
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      if (At(x, y) != value) set.insert({x, y});
    }
  }
  return set;
}

std::unique_ptr<TestTexture> MakeTestTexture(int log2Width, int log2Height,
                                             const std::function<std::uint8_t(int, int)>& texel) {
  auto result = std::make_unique<TestTexture>();
  const int width = 1 << log2Width;
  const int height = 1 << log2Height;
  const int mipBytes = TextureMipBytes(width, height);
  result->block.assign(static_cast<std::size_t>(mipBytes) + kTexturePreviewBytes, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) result->block[y * width + x] = texel(x, y);
  }
  int offset = width * height;
  int level = 1;
  for (int w = width, h = height; w >= 64 && h >= 64; ++level) {
    w /= 2;
    h /= 2;
    std::fill_n(result->block.begin() + offset, w * h, static_cast<std::uint8_t>(kMipMarker + level));
    offset += w * h;
  }
  int preview = 0;
  for (int size = 16; size >= 1; size /= 2, ++preview) {
    std::fill_n(result->block.begin() + offset, size * size, static_cast<std::uint8_t>(kPreviewMarker + preview));
    offset += size * size;
  }
  Texture& t = result->texture;
  t = Texture{};
  t.refs = 1;
  t.log2Width = log2Width;
  t.log2Height = log2Height;
  t.width = width;
  t.height = height;
  t.byteSize = static_cast<std::int32_t>(result->block.size());
  t.pixels = result->block.data();
  t.archiveOffset = -1;
  t.hardwareSlot = kTextureNoHardwareSlot;
  return result;
}

std::unique_ptr<TestFragment> MakeTestFragment(Texture* texture, int flatColour, int flags) {
  auto result = std::make_unique<TestFragment>();
  result->surface = Surface{};
  result->surface.refs = 1;
  result->surface.texture = texture;
  result->polygon = WorldPolygon{};
  result->polygon.surface = &result->surface;
  result->polygon.flatColour = flatColour;
  result->polygon.flags = flags;
  result->fragment = BspFragment{};
  result->fragment.polygon = &result->polygon;
  return result;
}

void SetSurfaceGradients(Surface& surface, const float s[3], const float t[3], const float q[3]) {
  // The S, T and Q planes one after the other.
  for (int k = 0; k < 3; ++k) {
    surface.gradients[0 + k] = s[k];
    surface.gradients[3 + k] = t[k];
    surface.gradients[6 + k] = q[k];
  }
}

void SetScreenAlignedGradients(Surface& surface, int width, int height, float uPerPixel, float vPerLine) {
  const float s[3] = {uPerPixel * 65536.0f, 0.0f, uPerPixel * 65536.0f * static_cast<float>(width >> 1)};
  const float t[3] = {0.0f, vPerLine * 65536.0f, vPerLine * 65536.0f * static_cast<float>(height >> 1)};
  const float q[3] = {0.0f, 0.0f, 1.0f};
  SetSurfaceGradients(surface, s, t, q);
}

void RasterTest::SetUp() {
  g_Raster = RasterState{};
  g_Raster.stepLog2 = kPerspectiveStepLog2Initial;
  g_Raster.step = 1 << kPerspectiveStepLog2Initial;
  g_Raster.stepFloat = static_cast<float>(g_Raster.step);
  ZBufferRelease();
  g_TranslucencyMode = 1;
  g_StippleParity = 0;
  g_BackgroundFill = 1;
  g_FrameStamp = 1;
  g_PixelsDrawn = 0;
  g_StatPolysVisible = 0;
  g_StatPolysRendered = 0;
  for (int row = 0; row < kShadeRows; ++row) {
    for (int texel = 0; texel < kPaletteSize; ++texel)
      g_pShadeTable[row * kPaletteSize + texel] = ShadeValue(row, texel);
  }
  for (int old = 0; old < 256; ++old) {
    for (int texel = 0; texel < 256; ++texel) g_BlendTable[old * 256 + texel] = BlendValue(old, texel);
  }
  for (int i = 0; i < kPaletteSize; ++i) g_ColourRemap[i] = static_cast<std::uint8_t>(255 - i);
}

void RasterTest::TearDown() {
  ZBufferRelease();
  View none{};
  CoverageReset(&none);  // release the test's nodes
}
