#pragma once
// Small hand-built render targets, textures and world fragments for the
// rasteriser's tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "engine/records.h"

// A set of pixels as (x, y).
using PixelSet = std::set<std::pair<int, int>>;

// An 8-bit pixel block with a view on it. pitch may exceed width; the block
// starts one byte into its storage when oddStart is set (so that a column's
// parity differs from its address's parity).
struct PixelTarget {
  PixelTarget(int width, int height, std::uint8_t fill = 0, int pitch = 0, bool oddStart = false);
  std::uint8_t At(int x, int y) const { return view.firstRow[y * view.pitch + x]; }
  std::uint8_t* Row(int y) { return view.firstRow + y * view.pitch; }
  void Fill(std::uint8_t value);
  // Pixels (inside width x height) that differ from value: how many, and
  // which (x, y).
  int CountNot(std::uint8_t value) const;
  PixelSet Changed(std::uint8_t value) const;

  std::vector<std::uint8_t> storage;
  View view;
};

// A texture whose pixel block is laid out as the texture store lays it out:
// level 0 from texel(x, y), then each smaller mip level filled with
// kMipMarker + level number, then the previews 16x16 .. 1x1 filled with
// kPreviewMarker + 0 .. 4.
inline constexpr std::uint8_t kMipMarker = 200;
inline constexpr std::uint8_t kPreviewMarker = 210;
struct TestTexture {
  Texture texture;
  std::vector<std::uint8_t> block;
};
std::unique_ptr<TestTexture> MakeTestTexture(int log2Width, int log2Height,
                                             const std::function<std::uint8_t(int, int)>& texel);

// A world polygon with its surface and one fragment, linked to each other.
struct TestFragment {
  Surface surface;
  WorldPolygon polygon;
  BspFragment fragment;
};
std::unique_ptr<TestFragment> MakeTestFragment(Texture* texture, int flatColour = 20, int flags = 0);

// Screen-space planes, each (x step, y step, value at the view centre), in
// the surface's layout.
void SetSurfaceGradients(Surface& surface, const float s[3], const float t[3], const float q[3]);
// A mapping with Q = 1 everywhere and u = uPerPixel * x, v = vPerLine * y
// (texels, absolute pixel coordinates) on a width x height view.
void SetScreenAlignedGradients(Surface& surface, int width, int height, float uPerPixel, float vPerLine);

// Contents used by the shade and blend tables of the tests.
inline std::uint8_t ShadeValue(int row, int texel) { return static_cast<std::uint8_t>(texel + row * 5 + 1); }
inline std::uint8_t BlendValue(int old, int texel) { return static_cast<std::uint8_t>(old * 3 + texel * 7 + 1); }

// Resets the rasteriser's globals before each test: state, counters,
// z-buffer, translucency, stipple parity, background fill, shade and blend
// tables, and a frame stamp of 1.
class RasterTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};
