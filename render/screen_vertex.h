#pragma once
// Screen-space vertex rings handed to the rasteriser. Every field is 32 bits;
// x, y, u, v and light are 16.16 fixed point (pixels, texels, shade rows), z
// is the reciprocal-depth quantity Q of the surface gradients as a float. A
// ring is a start pointer and an end pointer (one past the last vertex) of a
// closed convex polygon, top vertex anywhere, left edge running forward.
#include <cstdint>

struct ScreenVertex {
  std::int32_t x, y;
};
struct ScreenVertexLit {
  std::int32_t x, y, light;
};
struct ScreenVertexUV {
  std::int32_t x, y, u, v;
};
struct ScreenVertexUVLit {
  std::int32_t x, y, u, v, light;
};
struct ScreenVertexZ {
  std::int32_t x, y;
  float z;
  std::int32_t u, v;
};
struct ScreenVertexZLit {
  std::int32_t x, y;
  float z;
  std::int32_t u, v, light;
};

static_assert(sizeof(ScreenVertex) == 8 && sizeof(ScreenVertexLit) == 12 && sizeof(ScreenVertexUV) == 16 &&
              sizeof(ScreenVertexUVLit) == 20 && sizeof(ScreenVertexZ) == 20 && sizeof(ScreenVertexZLit) == 24);

// One pixel in 16.16.
inline constexpr std::int32_t kFixedOne = 0x10000;
