#include "engine/bsp_node_index.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/bsp_fragment.h"
#include "engine/vertex_pool.h"

// The region a fragment can contain: FragmentContains(F, G) holds only when
// every vertex of G lies within 2.5 of every edge of F, measured in F's
// plane, i.e. inside a prism along F's normal round F grown by 2.5. Every
// fragment sorted to a node lies within half a unit of its plane, so the
// prism is cut to a slab round that plane and bounded by a box. A fragment
// whose prism cannot be bounded so (its plane steep to the node's, or edges
// that bound nothing) counts as able to contain anything.

namespace {

// How far from its node's plane a fragment may lie and still be found
// through the grid: sorted fragments lie within the classification's 0.5.
constexpr double kSlab = 1.0;
// The containment test's slack, and what float rounding may add to it.
constexpr double kContainSlack = kFragmentContainSlack;
// Regions wider than this many cells along either axis are tested every time.
constexpr int kMaxCellsAcross = 8;

struct Vec3d {
  double x, y, z;
};
Vec3d D(Vec3 v) { return {v.x, v.y, v.z}; }
Vec3d operator+(Vec3d a, Vec3d b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3d operator-(Vec3d a, Vec3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3d operator*(Vec3d a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Vec3d a, Vec3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3d Cross(Vec3d a, Vec3d b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(Vec3d a) { return std::sqrt(Dot(a, a)); }
float Axis(Vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

struct Point2 {
  double a, b;
};

// Keeps the part of the convex polygon where ma a + mb b <= limit.
void ClipHalfPlane(std::vector<Point2>& polygon, double ma, double mb, double limit) {
  std::vector<Point2> kept;
  const std::size_t n = polygon.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point2 p = polygon[i], q = polygon[(i + 1) % n];
    const double dp = ma * p.a + mb * p.b - limit, dq = ma * q.a + mb * q.b - limit;
    if (dp <= 0) kept.push_back(p);
    if ((dp < 0 && dq > 0) || (dp > 0 && dq < 0)) {
      const double t = dp / (dp - dq);
      kept.push_back({p.a + (q.a - p.a) * t, p.b + (q.b - p.b) * t});
    }
  }
  polygon.swap(kept);
}

BspRegion RegionOf(const BspFragment* fragment, const BspNode* node) {
  const BspRegion unbounded = {{0, 0, 0}, {0, 0, 0}, false};
  const WorldPolygon* polygon = fragment->polygon;
  if (!polygon || !polygon->world) return unbounded;
  const World* world = polygon->world;
  const int count = fragment->vertexCount;
  const Vec3d n = D(polygon->worldNormal);
  const double nLength = Length(n);
  const Vec3d nodeNormal = D(node->normal);
  const double nodeLength = Length(nodeNormal);
  if (!(nLength > 0) || !(nodeLength > 0) || !std::isfinite(nLength) || !std::isfinite(nodeLength)) return unbounded;
  const Vec3d axis = n * (1.0 / nLength);
  const Vec3d plane = nodeNormal * (1.0 / nodeLength);
  const double planeD = node->d / nodeLength;
  const double cosine = std::fabs(Dot(axis, plane));
  if (!(cosine >= 0.25) || !std::isfinite(planeD)) return unbounded;

  double largest = 0;
  for (int i = 0; i < count; ++i) {
    const Vec3d p = D(VertexPosition(world, fragment->vertices[i].vertex));
    largest = std::max({largest, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
  }
  if (!(largest < 1e15)) return unbounded;  // float products of the test could overflow
  // The float test may pass a point up to about 1e-6 (|P| + 2 |V - P|)
  // beyond its exact edge; with regions no wider than the coordinates
  // (checked below), this covers it ten times over.
  const double rounding = 1e-5 * (largest + 100.0);
  const double slack = kContainSlack + rounding;

  // A basis (u, w) of the plane across the prism.
  const Vec3d helper = std::fabs(axis.x) < 0.6 ? Vec3d{1, 0, 0} : Vec3d{0, 1, 0};
  Vec3d u = Cross(axis, helper);
  u = u * (1.0 / Length(u));
  const Vec3d w = Cross(axis, u);

  // The clip starts from a square far wider than any bounded region may
  // be (a region reaching its edge is not bounded), and no wider, so that
  // the clip's arithmetic stays exact to well under the rounding allowed.
  const double far = 8.0 * (largest + 1000.0);
  std::vector<Point2> region = {{-far, -far}, {far, -far}, {far, far}, {-far, far}};
  for (int k = 0; k < count && !region.empty(); ++k) {
    const int previous = k == 0 ? count - 1 : k - 1;
    const Vec3d p = D(VertexPosition(world, fragment->vertices[k].vertex));
    const Vec3d e = D(VertexPosition(world, fragment->vertices[previous].vertex)) - p;
    const Vec3d m = Cross(n, e);
    const double mLength = Length(m);
    // An edge that is (nearly) a point or runs along the normal may bound
    // nothing in the float test: leaving it out only widens the region.
    if (!(Length(e) >= 1e-6) || !(mLength >= 1e-6 * nLength * Length(e))) continue;
    const Vec3d unit = m * (1.0 / mLength);
    ClipHalfPlane(region, Dot(unit, u), Dot(unit, w), Dot(unit, p) + slack);
  }
  if (region.empty()) return unbounded;
  Point2 lo = region[0], hi = region[0];
  for (const Point2& q : region) {
    lo = {std::min(lo.a, q.a), std::min(lo.b, q.b)};
    hi = {std::max(hi.a, q.a), std::max(hi.b, q.b)};
  }
  const double extent = std::max(hi.a - lo.a, hi.b - lo.b);
  if (!(extent < largest + 500.0)) return unbounded;

  // Along the prism, only the part within the slab round the node's plane:
  // over each corner of the box across it, the stretch of the prism's axis
  // within the slab.
  const double signedCosine = Dot(plane, axis);
  const double halfSlab = ((kSlab + rounding) / nodeLength) / cosine;
  const Point2 corners[4] = {{lo.a, lo.b}, {hi.a, lo.b}, {hi.a, hi.b}, {lo.a, hi.b}};
  Vec3d min = {far, far, far}, max = {-far, -far, -far};
  double along = 0;
  for (const Point2& c : corners) {
    const Vec3d across = u * c.a + w * c.b;
    const double onPlane = (planeD - Dot(plane, across)) / signedCosine;
    along = std::max(along, std::fabs(onPlane) + halfSlab);
    for (double t : {onPlane - halfSlab, onPlane + halfSlab}) {
      const Vec3d v = across + axis * t;
      min = {std::min(min.x, v.x), std::min(min.y, v.y), std::min(min.z, v.z)};
      max = {std::max(max.x, v.x), std::max(max.y, v.y), std::max(max.z, v.z)};
    }
  }
  const double margin = rounding + 1e-5 * (extent + along) + 0.01;
  return {{static_cast<float>(min.x - margin), static_cast<float>(min.y - margin), static_cast<float>(min.z - margin)},
          {static_cast<float>(max.x + margin), static_cast<float>(max.y + margin), static_cast<float>(max.z + margin)},
          true};
}

// --- the grid ----------------------------------------------------------------

struct CellRange {
  std::int64_t a0, a1, b0, b1;
};

std::int64_t CellOf(float value, float cellSize) { return static_cast<std::int64_t>(std::floor(value / cellSize)); }

std::uint64_t CellKey(std::int64_t a, std::int64_t b) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

// The cells a region covers; false when it is better tested every time.
bool CellsOf(const BspNodeIndex& index, const BspRegion& region, CellRange* range) {
  if (!region.bounded) return false;
  constexpr float kLimit = 1e9f;
  const float a0 = Axis(region.min, index.axisA) / index.cellSize, a1 = Axis(region.max, index.axisA) / index.cellSize;
  const float b0 = Axis(region.min, index.axisB) / index.cellSize, b1 = Axis(region.max, index.axisB) / index.cellSize;
  if (!(a0 > -kLimit && a1 < kLimit && b0 > -kLimit && b1 < kLimit)) return false;
  *range = {CellOf(Axis(region.min, index.axisA), index.cellSize), CellOf(Axis(region.max, index.axisA), index.cellSize),
            CellOf(Axis(region.min, index.axisB), index.cellSize), CellOf(Axis(region.max, index.axisB), index.cellSize)};
  return range->a1 - range->a0 < kMaxCellsAcross && range->b1 - range->b0 < kMaxCellsAcross;
}

void EraseFrom(std::vector<BspFragment*>& list, BspFragment* fragment) {
  const auto found = std::find(list.begin(), list.end(), fragment);
  if (found == list.end()) return;
  *found = list.back();
  list.pop_back();
}

void Register(BspNodeIndex& index, BspFragment* fragment, const BspRegion& region) {
  CellRange r;
  if (!CellsOf(index, region, &r)) {
    index.unbounded.push_back(fragment);
    return;
  }
  for (std::int64_t a = r.a0; a <= r.a1; ++a) {
    for (std::int64_t b = r.b0; b <= r.b1; ++b) index.cells[CellKey(a, b)].push_back(fragment);
  }
}

void Unregister(BspNodeIndex& index, BspFragment* fragment, const BspRegion& region) {
  CellRange r;
  if (!CellsOf(index, region, &r)) {
    EraseFrom(index.unbounded, fragment);
    return;
  }
  for (std::int64_t a = r.a0; a <= r.a1; ++a) {
    for (std::int64_t b = r.b0; b <= r.b1; ++b) {
      const auto cell = index.cells.find(CellKey(a, b));
      if (cell == index.cells.end()) continue;
      EraseFrom(cell->second, fragment);
      if (cell->second.empty()) index.cells.erase(cell);
    }
  }
}

// Every fragment's region, and the grid with a cell about the size of a
// typical region.
void MakeRegions(BspNodeIndex& index, const BspNode* node) {
  std::vector<float> sizes;
  for (const BspIndexCluster& cluster : index.clusters) {
    for (const BspIndexEntry& e : cluster.entries) {
      const BspRegion region = RegionOf(e.fragment, node);
      index.regions[e.fragment] = region;
      if (region.bounded) {
        sizes.push_back(std::max(Axis(region.max, index.axisA) - Axis(region.min, index.axisA),
                                 Axis(region.max, index.axisB) - Axis(region.min, index.axisB)));
      }
    }
  }
  if (!sizes.empty()) {
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<long>(sizes.size() / 2), sizes.end());
    index.cellSize = std::max(sizes[sizes.size() / 2], 1.0f);
  }
  for (const auto& [fragment, region] : index.regions) Register(index, const_cast<BspFragment*>(fragment), region);
  index.regionsMade = true;
}

BspFragment* FirstContainingByWalk(BspNode* node, const BspFragment* fragment) {
  BspFragment* before = node->firstFragment;
  while (before && !FragmentContains(before, fragment)) before = before->next;
  return before;
}

// --- clusters ----------------------------------------------------------------

// Clusters of about this many fragments, for fragments spread evenly.
constexpr float kClusterFragments = 16.0f;

// The cluster of a fragment: the cell of its box's centre.
std::uint64_t ClusterKey(const BspNodeIndex& index, const BspFragment* fragment) {
  constexpr float kLimit = 1e9f;
  const float a = std::clamp(Axis(fragment->boundCentre, index.axisA) / index.clusterSize, -kLimit, kLimit);
  const float b = std::clamp(Axis(fragment->boundCentre, index.axisB) / index.clusterSize, -kLimit, kLimit);
  // A NaN centre goes to the cell at 0.
  return CellKey(a == a ? static_cast<std::int64_t>(std::floor(a)) : 0,
                 b == b ? static_cast<std::int64_t>(std::floor(b)) : 0);
}

BspIndexCluster& ClusterOf(BspNodeIndex& index, const BspFragment* fragment) {
  const auto [found, made] =
      index.clusterAt.try_emplace(ClusterKey(index, fragment), static_cast<std::int32_t>(index.clusters.size()));
  if (made) index.clusters.push_back(BspIndexCluster{{0, 0, 0}, {0, 0, 0}, 0, {}});
  return index.clusters[static_cast<std::size_t>(found->second)];
}

void ClusterAdd(BspNodeIndex& index, BspFragment* fragment) {
  BspIndexCluster& cluster = ClusterOf(index, fragment);
  const Vec3 c = fragment->boundCentre, h = fragment->boundHalf;
  const Vec3 lo = {c.x - h.x, c.y - h.y, c.z - h.z}, hi = {c.x + h.x, c.y + h.y, c.z + h.z};
  if (cluster.entries.empty()) {
    cluster.min = lo;
    cluster.max = hi;
  } else {
    cluster.min = {std::fmin(cluster.min.x, lo.x), std::fmin(cluster.min.y, lo.y), std::fmin(cluster.min.z, lo.z)};
    cluster.max = {std::fmax(cluster.max.x, hi.x), std::fmax(cluster.max.y, hi.y), std::fmax(cluster.max.z, hi.z)};
  }
  if (fragment->vertexCount == 2) ++cluster.lineFragments;
  fragment->indexSlot = static_cast<std::int32_t>(cluster.entries.size());
  cluster.entries.push_back(
      {fragment->boundCentre, fragment->boundHalf, fragment, fragment->back, fragment->vertexCount});
}

}  // namespace

BspNodeIndex* BspNodeIndexFor(BspNode* node) {
  if (node->index || node->fragmentCount < kBspIndexMinFragments) return node->index;
  auto* index = new BspNodeIndex;
  const Vec3 n = node->normal;
  const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  const int steepest = ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
  index->axisA = steepest == 0 ? 1 : 0;
  index->axisB = steepest == 2 ? 1 : 2;
  // Cells that hold about kClusterFragments of the fragments spread over
  // the box round them.
  const float spanA = Axis(node->fragmentMax, index->axisA) - Axis(node->fragmentMin, index->axisA);
  const float spanB = Axis(node->fragmentMax, index->axisB) - Axis(node->fragmentMin, index->axisB);
  const float area = std::fmax(spanA, 1.0f) * std::fmax(spanB, 1.0f);
  const float size = std::sqrt(area / static_cast<float>(node->fragmentCount) * kClusterFragments);
  index->clusterSize = size >= 1.0f && size < 1e30f ? size : 1.0f;
  for (BspFragment* f = node->firstFragment; f; f = f->next) ClusterAdd(*index, f);
  node->index = index;
  return index;
}

void BspNodeIndexFree(BspNode* node) {
  if (!node) return;
  delete node->index;
  node->index = nullptr;
}

void BspNodeIndexAdd(BspFragment* fragment) {
  BspNodeIndex& index = *fragment->node->index;
  ClusterAdd(index, fragment);
  if (index.regionsMade) {
    const BspRegion region = RegionOf(fragment, fragment->node);
    index.regions[fragment] = region;
    Register(index, fragment, region);
  }
}

void BspNodeIndexRemove(BspFragment* fragment) {
  BspNodeIndex& index = *fragment->node->index;
  if (index.regionsMade) {
    const auto found = index.regions.find(fragment);
    Unregister(index, fragment, found->second);
    index.regions.erase(found);
  }
  BspIndexCluster& cluster = ClusterOf(index, fragment);
  const std::size_t slot = static_cast<std::size_t>(fragment->indexSlot);
  if (fragment->vertexCount == 2) --cluster.lineFragments;
  cluster.entries[slot] = cluster.entries.back();
  cluster.entries[slot].fragment->indexSlot = static_cast<std::int32_t>(slot);
  cluster.entries.pop_back();
}

void BspNodeIndexPlaneMoved(BspFragment* fragment) {
  BspNode* node = fragment->node;
  if (!node || !node->index || !node->index->regionsMade) return;
  BspNodeIndex& index = *node->index;
  BspRegion& region = index.regions[fragment];
  Unregister(index, fragment, region);
  region = RegionOf(fragment, node);
  Register(index, fragment, region);
}

BspFragment* BspNodeFirstContaining(BspNode* node, const BspFragment* fragment) {
  BspNodeIndex* index = BspNodeIndexFor(node);
  if (!index || !fragment->polygon || !fragment->polygon->world) return FirstContainingByWalk(node, fragment);
  // The grid holds what each fragment can contain of a fragment lying near
  // the plane; one that does not must be tried against the whole list.
  const World* world = fragment->polygon->world;
  Vec3 min = VertexPosition(world, fragment->vertices[0].vertex), max = min;
  for (int i = 0; i < fragment->vertexCount; ++i) {
    const Vec3 p = VertexPosition(world, fragment->vertices[i].vertex);
    const float distance = node->normal.x * p.x + node->normal.y * p.y + node->normal.z * p.z - node->d;
    if (!(std::fabs(distance) <= kSlab)) return FirstContainingByWalk(node, fragment);
    min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
    max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
  }
  if (!index->regionsMade) MakeRegions(*index, node);

  // Those whose region holds the whole fragment, tried in list order.
  std::vector<BspFragment*> candidates;
  auto consider = [&](const std::vector<BspFragment*>& list) {
    for (BspFragment* f : list) {
      const BspRegion& r = index->regions.find(f)->second;
      if (!r.bounded || (r.min.x <= min.x && r.min.y <= min.y && r.min.z <= min.z && max.x <= r.max.x &&
                         max.y <= r.max.y && max.z <= r.max.z)) {
        candidates.push_back(f);
      }
    }
  };
  const Vec3 first = VertexPosition(world, fragment->vertices[0].vertex);
  const float a = Axis(first, index->axisA) / index->cellSize, b = Axis(first, index->axisB) / index->cellSize;
  if (a > -1e9f && a < 1e9f && b > -1e9f && b < 1e9f) {
    const auto cell = index->cells.find(CellKey(CellOf(Axis(first, index->axisA), index->cellSize),
                                                CellOf(Axis(first, index->axisB), index->cellSize)));
    if (cell != index->cells.end()) consider(cell->second);
  } else {
    return FirstContainingByWalk(node, fragment);
  }
  consider(index->unbounded);
  std::sort(candidates.begin(), candidates.end(),
            [](const BspFragment* l, const BspFragment* r) { return l->order < r->order; });
  for (BspFragment* f : candidates) {
    if (FragmentContains(f, fragment)) return f;
  }
  return nullptr;
}
