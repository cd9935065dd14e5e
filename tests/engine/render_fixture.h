#pragma once
// Worlds, views and models built in memory for the render-pass tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/records.h"

// An 8-bit target with a view on it. A negative pitch makes the view draw
// bottom-up into the block (first row at its end), as a DIB does.
struct RenderTarget {
  RenderTarget(int width, int height, bool bottomUp = false);
  std::uint8_t At(int x, int y) const { return view.firstRow[static_cast<std::ptrdiff_t>(y) * view.pitch + x]; }
  // Pixels that equal value, inside the view.
  int Count(std::uint8_t value) const;
  int CountIn(int x0, int y0, int x1, int y1, std::uint8_t value) const;
  void Fill(std::uint8_t value);
  std::vector<std::uint8_t> pixels;
  View view;
};

// The eye at (x, y, z) looking along +z, x to the right, y down the screen.
void ViewLookAlongZ(View* view, float x, float y, float z);
// The eye at (x, y, z) turned by yaw about the y axis (0 = along +z, positive
// turns toward +x).
void ViewLookYaw(View* view, float x, float y, float z, float yaw);

// A texture made at run time (64 x 64) whose level 0 is all colour.
Texture* RenderTestTexture(const char* name, std::uint8_t colour);
// A surface on the plane of the given axes holding one more reference to
// texture (one repeat per 64 world units along u and v).
Surface* RenderTestSurface(World* world, Texture* texture, Vec3 origin, Vec3 u, Vec3 v);

// Quad in the plane z = const facing -z (toward an eye at smaller z).
std::vector<Vec3> QuadFacingEye(float x0, float y0, float x1, float y1, float z);
// The points in the order whose normal faces the point eye.
std::vector<Vec3> FacingPoint(std::vector<Vec3> points, Vec3 eye);
// A polygon in the BSP with flat colour, flags and, optionally, a surface.
WorldPolygon* RenderTestPolygon(World* world, const std::vector<Vec3>& points, int flatColour, int flags = 0,
                                Surface* surface = nullptr, float light = 1.0f);

// A one-node model: a cube of half size half round the origin, six quads
// facing out, each with texture (one reference each; null = untextured).
// twoSided makes every face two-sided.
Model* RenderTestCubeModel(float half, Texture* texture, bool twoSided = false);

// A one-node model: a flat grid of cols x rows cells of size cell round the
// origin in the plane z = 0, facing -z, two triangles per cell.
Model* RenderTestGridModel(int cols, int rows, float cell, Texture* texture);

// A world with a BSP root far behind everything (plane z = -10000, normal
// +z), a view of 64 x 48 pixels with focal 64, and the rasteriser and
// engine globals reset.
class RenderFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Render();
  // The frame state that the passes need when a test calls them outside
  // RenderWorld: a new stamp, the camera, an open coverage buffer, the
  // current world, zeroed node count.
  void BeginFrame();
  World* world_ = nullptr;
  RenderTarget target_{64, 48};
  std::vector<Model*> models_;
};

// Background index that FinishFrameSpans fills with (the empty palette's
// nearest black).
inline constexpr std::uint8_t kBackground = 10;
