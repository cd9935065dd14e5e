#include "engine/fragment_cull.h"

#include <algorithm>
#include <cmath>

#include "engine/bsp_node_index.h"
#include "engine/render_math.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

namespace {

// A camera-space coordinate as a linear function of the world point:
// a . p + a3 (one column of the camera matrix).
struct Linear {
  float a0, a1, a2, a3;
  float norm;     // |(a0, a1, a2)|: how far it moves over a sphere's radius
  float absSum;   // |a0| + |a1| + |a2|: what its rounding grows with
  float At(Vec3 p) const { return a0 * p.x + a1 * p.y + a2 * p.z + a3; }
};

Linear Column(const float* m, int k) {
  const float a0 = m[k], a1 = m[4 + k], a2 = m[8 + k];
  return {a0, a1, a2, m[12 + k], std::sqrt(a0 * a0 + a1 * a1 + a2 * a2), std::fabs(a0) + std::fabs(a1) + std::fabs(a2)};
}

// Rounding allowed for: a vertex's float transform (a few units in the last
// place of its terms) and this code's own sums, a hundred times over.
constexpr float kRounding = 1e-5f;
// Screen positions are rounded 16.16 quotients of floats: this much
// further off an edge makes sure one rounds beyond it.
constexpr float kEdgeSlack16 = 64.0f;

// The range of a coordinate over the sphere, rounding included.
struct Range {
  float lo, hi;
};
Range Over(const Linear& f, Vec3 c, float extent, float radius) {
  const float value = f.At(c);
  const float spread = f.norm * radius + kRounding * (f.absSum * extent + std::fabs(f.a3) + 2.0f * f.norm * radius);
  return {value - spread, value + spread};
}

// The 16.16 quotient X / Z over the box of ranges (Z above 0), as whole
// pixels held to the screen.
int PixelLow(Range x, Range z, int limit16) {
  float q = x.lo <= 0.0f ? x.lo / z.lo : x.lo / z.hi;
  q -= 2.0f + std::fabs(q) * kRounding;
  return static_cast<int>(std::clamp(q, 0.0f, static_cast<float>(limit16))) >> 16;
}
int PixelHigh(Range x, Range z, int limit16) {
  float q = x.hi >= 0.0f ? x.hi / z.lo : x.hi / z.hi;
  q += 2.0f + std::fabs(q) * kRounding;
  return static_cast<int>(std::clamp(q, 0.0f, static_cast<float>(limit16))) >> 16;
}

}  // namespace

namespace {

// What the tests need of the frame's camera, made once per traversal.
struct CullFrame {
  Linear x, y, z;
  float right16, bottom16;   // past the right and bottom edges: X - right16 Z > 0, ...
  float rightNorm, bottomNorm;
  float inRange;             // |X| and |Y| below this times Z stay exact on the screen
  float focal;
  int width16, height16;
};
CullFrame g_Frame;

float EdgeNorm(const Linear& a, const Linear& z, float k) {
  const float b0 = a.a0 - k * z.a0, b1 = a.a1 - k * z.a1, b2 = a.a2 - k * z.a2;
  return std::sqrt(b0 * b0 + b1 * b1 + b2 * b2);
}

// 1 when the sphere lies wholly outside one of the four side planes of the
// view, rounding allowed for: the clipper keeps nothing of it.
bool OutsideASide(Vec3 c, float r, float extent) {
  for (int k = 1; k <= 4; ++k) {
    const Plane& p = g_FrustumPlanes[k];
    const float distance = p.nx * c.x + p.ny * c.y + p.nz * c.z - p.d;
    if (distance < -r - kRounding * (extent + std::fabs(p.d)) - 0.01f) return true;
  }
  return false;
}

// What the full test would make of a fragment with this bounding sphere.
FragmentCullResult Test(Vec3 c, float r, int back, int vertexCount, int awayBack, View* view) {
  const CullFrame& f = g_Frame;
  if (vertexCount >= 3 && back == awayBack) return kFragmentDropped;
  const float extent = std::max({std::fabs(c.x), std::fabs(c.y), std::fabs(c.z)}) + r;
  const Range z = Over(f.z, c, extent, r);
  if (z.hi < 1.0f) return kFragmentDropped;  // every vertex at depth 1.0 or less: none is seen
  const Range x = Over(f.x, c, extent, r), y = Over(f.y, c, extent, r);
  // Some vertex may send it through the clipper: the full test hands it
  // to the drawing whatever its rectangle. Wholly off the view, the
  // drawing keeps nothing of it but its effects on the light switch.
  if (!(z.lo > f.focal) || !(std::max(std::fabs(x.lo), std::fabs(x.hi)) < f.inRange * z.lo &&
                             std::max(std::fabs(y.lo), std::fabs(y.hi)) < f.inRange * z.lo)) {
    return vertexCount >= 3 && OutsideASide(c, r, extent) ? kFragmentOffView : kFragmentKept;
  }
  if (vertexCount >= 3) {
    // Off an edge, every vertex clamps to it: an empty rectangle.
    if (x.hi < 0.0f || y.hi < 0.0f) return kFragmentDropped;
    const float xErr = 0.5f * (x.hi - x.lo) - f.x.norm * r, yErr = 0.5f * (y.hi - y.lo) - f.y.norm * r;
    const float zErr = 0.5f * (z.hi - z.lo) - f.z.norm * r;
    const float rightLow = (f.x.At(c) - f.right16 * f.z.At(c)) - f.rightNorm * r - (xErr + f.right16 * zErr);
    const float bottomLow = (f.y.At(c) - f.bottom16 * f.z.At(c)) - f.bottomNorm * r - (yErr + f.bottom16 * zErr);
    if (rightLow > 0.0f || bottomLow > 0.0f) return kFragmentDropped;
  }
  // A covered rectangle round all its vertices covers theirs.
  const bool hidden = CoverageRectHidden(view, PixelLow(x, z, f.width16), PixelLow(y, z, f.height16),
                                         PixelHigh(x, z, f.width16), PixelHigh(y, z, f.height16)) != 0;
  return hidden ? kFragmentDropped : kFragmentKept;
}

}  // namespace

void FragmentCullBegin() {
  CullFrame& f = g_Frame;
  f.x = Column(g_CameraMatrix, 0);
  f.y = Column(g_CameraMatrix, 1);
  f.z = Column(g_CameraMatrix, 2);
  f.width16 = g_ViewWidth16;
  f.height16 = g_ViewHeight16;
  f.right16 = static_cast<float>(g_ViewWidth16) + kEdgeSlack16;
  f.bottom16 = static_cast<float>(g_ViewHeight16) + kEdgeSlack16;
  f.rightNorm = EdgeNorm(f.x, f.z, f.right16);
  f.bottomNorm = EdgeNorm(f.y, f.z, f.bottom16);
  f.inRange = rendermath::kScreenLimit16 * 0.5f;
  f.focal = g_FocalLength;
}

void FragmentCull(BspNode* node, int side, View* view, std::vector<FragmentCullItem>* out) {
  const int awayBack = side == 1 ? 1 : 0;  // the back flag of a fragment facing away
  if (const BspNodeIndex* index = BspNodeIndexFor(node)) {
    int count = 0;
    const BspIndexEntry* entries = BspNodeIndexEntries(index, &count);
    const std::size_t first = out->size();
    for (int i = 0; i < count; ++i) {
      const BspIndexEntry& e = entries[i];
      const FragmentCullResult result = Test(e.centre, e.radius, e.back, e.vertexCount, awayBack, view);
      if (result != kFragmentDropped) out->push_back({e.fragment, result});
    }
    std::sort(out->begin() + static_cast<long>(first), out->end(),
              [](const FragmentCullItem& l, const FragmentCullItem& r) { return l.fragment->order < r.fragment->order; });
    return;
  }
  for (BspFragment* f = node->firstFragment; f; f = f->next) {
    const FragmentCullResult result = Test(f->boundCentre, f->boundRadius, f->back, f->vertexCount, awayBack, view);
    if (result != kFragmentDropped) out->push_back({f, result});
  }
}
