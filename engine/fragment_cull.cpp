#include "engine/fragment_cull.h"

#include <algorithm>
#include <cmath>

#include "engine/bsp_node_index.h"
#include "engine/polygon_math.h"
#include "engine/render_math.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

using namespace polymath;

namespace {

// Rounding allowed for: a vertex's float transform (a few units in the last
// place of its terms) and this code's own sums, a hundred times over.
constexpr float kRounding = 1e-5f;
// Screen positions are rounded 16.16 quotients of floats: this much
// further off an edge makes sure one rounds beyond it.
constexpr float kEdgeSlack16 = 64.0f;

// A linear function of the world point, a . p + a3: a camera-space
// coordinate (a column of the camera matrix), or a combination of them.
struct Linear {
  float a0, a1, a2, a3;
  float At(Vec3 p) const { return a0 * p.x + a1 * p.y + a2 * p.z + a3; }
  // How far it moves from the box's centre to its farthest corner.
  float Spread(Vec3 half) const { return std::fabs(a0) * half.x + std::fabs(a1) * half.y + std::fabs(a2) * half.z; }
  // What float rounding may add to it at points no further out than extent
  // on any axis.
  float Rounding(float extent) const {
    return kRounding * ((std::fabs(a0) + std::fabs(a1) + std::fabs(a2)) * extent + std::fabs(a3));
  }
};

Linear Column(const float* m, int k) { return {m[k], m[4 + k], m[8 + k], m[12 + k]}; }

// x - k z.
Linear Minus(const Linear& x, float k, const Linear& z) {
  return {x.a0 - k * z.a0, x.a1 - k * z.a1, x.a2 - k * z.a2, x.a3 - k * z.a3};
}

// The range of a coordinate over a box, rounding included.
struct Range {
  float lo, hi;
};
Range Over(const Linear& f, Vec3 c, Vec3 half, float extent) {
  const float value = f.At(c);
  const float spread = f.Spread(half) + f.Rounding(extent);
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

// What the tests need of the frame's camera, made once per traversal.
struct CullFrame {
  Linear x, y, z;
  float right16, bottom16;  // past the right and bottom edges: X - right16 Z > 0, Y - bottom16 Z > 0
  Linear right, bottom;
  float inRange;  // |X| and |Y| below this times Z stay exact on the screen
  float focal;
  int width16, height16;
};
CullFrame g_Frame;

// 1 when the box lies wholly outside the frustum plane, rounding allowed for.
bool Outside(const Plane& p, Vec3 c, Vec3 half, float extent) {
  const Linear distance = {p.nx, p.ny, p.nz, -p.d};
  return distance.At(c) + distance.Spread(half) + distance.Rounding(extent) + 0.01f < 0.0f;
}

float Extent(Vec3 c, Vec3 half) {
  return std::max({std::fabs(c.x), std::fabs(c.y), std::fabs(c.z)}) + std::max({half.x, half.y, half.z});
}

// 1 when the box lies wholly outside one of the four side planes of the
// view: the clipper keeps nothing of it.
bool OutsideASide(Vec3 c, Vec3 half, float extent) {
  for (int k = 1; k <= 4; ++k) {
    if (Outside(g_FrustumPlanes[k], c, half, extent)) return true;
  }
  return false;
}

// What the full test would make of a fragment in this box.
FragmentCullResult Test(Vec3 c, Vec3 half, int back, int vertexCount, int awayBack, View* view) {
  const CullFrame& f = g_Frame;
  if (vertexCount >= 3 && back == awayBack) return kFragmentDropped;
  const float extent = Extent(c, half);
  const Range z = Over(f.z, c, half, extent);
  if (z.hi < 1.0f) return kFragmentDropped;  // every vertex at depth 1.0 or less: none is seen
  const Range x = Over(f.x, c, half, extent), y = Over(f.y, c, half, extent);
  // Some vertex may send it through the clipper: the full test hands it
  // to the drawing whatever its rectangle. Wholly off the view, the
  // drawing keeps nothing of it but its effect on the light switch.
  if (!(z.lo > f.focal) || !(std::max(std::fabs(x.lo), std::fabs(x.hi)) < f.inRange * z.lo &&
                             std::max(std::fabs(y.lo), std::fabs(y.hi)) < f.inRange * z.lo)) {
    return vertexCount >= 3 && OutsideASide(c, half, extent) ? kFragmentOffView : kFragmentKept;
  }
  if (vertexCount >= 3) {
    // Off an edge, every vertex clamps to it: an empty rectangle. The
    // rounding of X and Z apart counts, as the vertices are projected so.
    if (x.hi < 0.0f || y.hi < 0.0f) return kFragmentDropped;
    const float zRounding = f.z.Rounding(extent);
    const float rightLow = f.right.At(c) - f.right.Spread(half) - f.x.Rounding(extent) - f.right16 * zRounding;
    const float bottomLow = f.bottom.At(c) - f.bottom.Spread(half) - f.y.Rounding(extent) - f.bottom16 * zRounding;
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
  f.right = Minus(f.x, f.right16, f.z);
  f.bottom = Minus(f.y, f.bottom16, f.z);
  f.inRange = rendermath::kScreenLimit16 * 0.5f;
  f.focal = g_FocalLength;
}

bool FragmentBeyondFar(const BspFragment* fragment) {
  const Vec3 c = fragment->boundCentre, half = fragment->boundHalf;
  return Outside(g_FrustumPlanes[5], c, half, Extent(c, half));
}

void FragmentCull(BspNode* node, int side, View* view, std::vector<FragmentCullItem>* out) {
  const int awayBack = side == 1 ? 1 : 0;  // the back flag of a fragment facing away
  if (node->fragmentCount <= 0) return;
  // All of them at once, when the box round them is dropped as a fragment
  // of any facing (and of two vertices if one has) would be; so for each
  // cluster of a busy node.
  const Vec3 centre = (node->fragmentMin + node->fragmentMax) * 0.5f;
  const Vec3 half = (node->fragmentMax - node->fragmentMin) * 0.5f;
  if (Test(centre, half, -1, node->lineFragments > 0 ? 2 : 3, awayBack, view) == kFragmentDropped) return;
  if (const BspNodeIndex* index = BspNodeIndexFor(node)) {
    const std::size_t first = out->size();
    for (const BspIndexCluster& cluster : index->clusters) {
      if (cluster.entries.empty()) continue;
      const Vec3 middle = (cluster.min + cluster.max) * 0.5f, around = (cluster.max - cluster.min) * 0.5f;
      if (Test(middle, around, -1, cluster.lineFragments > 0 ? 2 : 3, awayBack, view) == kFragmentDropped) continue;
      for (const BspIndexEntry& e : cluster.entries) {
        const FragmentCullResult result = Test(e.centre, e.half, e.back, e.vertexCount, awayBack, view);
        if (result != kFragmentDropped) out->push_back({e.fragment, result});
      }
    }
    std::sort(out->begin() + static_cast<long>(first), out->end(),
              [](const FragmentCullItem& l, const FragmentCullItem& r) { return l.fragment->order < r.fragment->order; });
    return;
  }
  for (BspFragment* f = node->firstFragment; f; f = f->next) {
    __builtin_prefetch(f->next);
    const FragmentCullResult result = Test(f->boundCentre, f->boundHalf, f->back, f->vertexCount, awayBack, view);
    if (result != kFragmentDropped) out->push_back({f, result});
  }
}
