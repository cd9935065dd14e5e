#include "engine/light_select.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/light.h"
#include "engine/render_world.h"

LightSelection g_LightSelection;

namespace {

// Fewer lights than this are walked as a list.
constexpr int kMinLights = 8;
// A light or a box over more cells than this along an axis is not
// looked up through the grid.
constexpr int kMaxCellsAcross = 4;
// A spot needs the light within 4 x size of the polygon's plane, measured
// along its normal: a normal this much longer than 1 is not trusted to
// keep that distance.
constexpr float kNormalSlack = 1e-5f;

struct Grid {
  bool frame = false;  // within a frame
  bool built = false;
  const World* world = nullptr;
  std::uint32_t lightsChanged = 0;   // g_LightsChanged when built
  std::vector<const Light*> lights;  // the list's lights that can reach anything, in list order
  std::vector<float> reach;          // half the side of each one's cube
  std::vector<int> everywhere;       // reach beyond the grid: tested for every box
  float cellSize = 1.0f;
  std::uint32_t mask = 0;               // bucket count - 1
  std::vector<std::int32_t> firstInBucket;  // [buckets + 1] into inBucket
  std::vector<std::int32_t> inBucket;       // light ordinals, by bucket
  std::vector<std::uint32_t> seen;          // per light, the query that last took it
  std::uint32_t query = 0;
  std::vector<int> chosen;                  // ordinals of the current choice
  std::vector<const Light*> selection;
};
Grid g_Grid;

std::int64_t Cell(float value, float size) { return static_cast<std::int64_t>(std::floor(value / size)); }

std::uint32_t Bucket(std::int64_t x, std::int64_t y, std::int64_t z, std::uint32_t mask) {
  std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full + (h >> 29);
  h ^= static_cast<std::uint64_t>(z) * 0x165667B19E3779F9ull + (h >> 32);
  return static_cast<std::uint32_t>(h ^ (h >> 31)) & mask;
}

// The half side of the cube round a light beyond which it neither lights a
// point nor makes a spot; 0 when it does neither anywhere. A test that a
// NaN fails can never pass, and neither can a light whose position is not
// finite.
float Reach(const Light* light) {
  if (!std::isfinite(light->x) || !std::isfinite(light->y) || !std::isfinite(light->z)) return 0.0f;
  float reach = 0.0f;
  if (light->type != kLightTypeSphere && light->radius > 0.0f) reach = light->radius;
  if (light->type == kLightTypePoint && light->size > 0.0f) {
    reach = std::max(reach, 4.0f * light->size * (1.0f + kNormalSlack));
  }
  // Room for the rounding of the float tests and of the sums below.
  return reach * 1.0001f + 0.01f;
}

struct CellRange {
  std::int64_t lo[3], hi[3];
};

// The cells of the box; false when it spans too many.
bool CellsOf(Vec3 min, Vec3 max, float size, CellRange* r) {
  const float lo[3] = {min.x, min.y, min.z}, hi[3] = {max.x, max.y, max.z};
  for (int k = 0; k < 3; ++k) {
    const float a = lo[k] / size, b = hi[k] / size;
    if (!(a > -1e9f && b < 1e9f && b - a < kMaxCellsAcross)) return false;
    r->lo[k] = Cell(lo[k], size);
    r->hi[k] = Cell(hi[k], size);
  }
  return true;
}

template <typename Visit>
void ForEachCell(const CellRange& r, Visit visit) {
  for (std::int64_t x = r.lo[0]; x <= r.hi[0]; ++x)
    for (std::int64_t y = r.lo[1]; y <= r.hi[1]; ++y)
      for (std::int64_t z = r.lo[2]; z <= r.hi[2]; ++z) visit(x, y, z);
}

void Build(Grid& g, const World* world) {
  g.built = true;
  g.world = world;
  g.lightsChanged = g_LightsChanged;
  g.lights.clear();
  g.reach.clear();
  g.everywhere.clear();
  for (const Light* light = world->firstLight; light; light = light->next) {
    const float reach = Reach(light);
    if (!(reach > 0.0f)) continue;
    g.lights.push_back(light);
    g.reach.push_back(reach);
  }
  const int count = static_cast<int>(g.lights.size());
  g.seen.assign(static_cast<std::size_t>(count), 0);
  g.query = 0;
  if (count < kMinLights) return;
  // Cells about the size of a typical light's cube.
  std::vector<float> sides(g.reach);
  std::nth_element(sides.begin(), sides.begin() + count / 2, sides.end());
  g.cellSize = std::max(2.0f * sides[static_cast<std::size_t>(count / 2)], 1.0f);
  if (!std::isfinite(g.cellSize)) g.cellSize = 1e30f;

  // Each light in the bucket of every cell its cube meets (counted, then
  // placed), or on the list of lights tested everywhere.
  std::vector<std::pair<std::uint32_t, std::int32_t>> placed;
  std::uint32_t buckets = 64;
  while (buckets < 4u * static_cast<std::uint32_t>(count)) buckets *= 2;
  g.mask = buckets - 1;
  for (int i = 0; i < count; ++i) {
    const Light* l = g.lights[static_cast<std::size_t>(i)];
    const float r = g.reach[static_cast<std::size_t>(i)];
    CellRange cells;
    if (!CellsOf({l->x - r, l->y - r, l->z - r}, {l->x + r, l->y + r, l->z + r}, g.cellSize, &cells)) {
      g.everywhere.push_back(i);
      continue;
    }
    ForEachCell(cells, [&](std::int64_t x, std::int64_t y, std::int64_t z) {
      placed.push_back({Bucket(x, y, z, g.mask), i});
    });
  }
  g.firstInBucket.assign(buckets + 1, 0);
  for (const auto& p : placed) ++g.firstInBucket[p.first + 1];
  for (std::uint32_t b = 0; b < buckets; ++b) g.firstInBucket[b + 1] += g.firstInBucket[b];
  g.inBucket.resize(placed.size());
  std::vector<std::int32_t> fill(g.firstInBucket.begin(), g.firstInBucket.end() - 1);
  for (const auto& p : placed) g.inBucket[static_cast<std::size_t>(fill[p.first]++)] = p.second;
}

}  // namespace

void LightSelectFrameBegin() {
  g_Grid.frame = true;
  LightSelectRelease();
}

void LightSelectFrameEnd() {
  g_Grid.frame = false;
  LightSelectRelease();
}

bool LightSelectBox(Vec3 min, Vec3 max, float normalLength) {
  Grid& g = g_Grid;
  LightSelectRelease();
  if (!g.frame || !g_CurrentWorld || !(normalLength <= 1.0f + kNormalSlack)) return false;
  if (!g.built || g.world != g_CurrentWorld || g.lightsChanged != g_LightsChanged) Build(g, g_CurrentWorld);
  if (static_cast<int>(g.lights.size()) < kMinLights) return false;
  // Lit points lie in the box up to rounding: clipped points between its
  // vertices, and a light spot's foot inside the fragment by a float test.
  const float extent = std::max({std::fabs(min.x), std::fabs(min.y), std::fabs(min.z), std::fabs(max.x),
                                 std::fabs(max.y), std::fabs(max.z)});
  const float margin = 1e-4f * extent + 0.1f;
  min = {min.x - margin, min.y - margin, min.z - margin};
  max = {max.x + margin, max.y + margin, max.z + margin};
  CellRange cells;
  if (!CellsOf(min, max, g.cellSize, &cells)) return false;

  if (++g.query == 0) {  // after wrapping round, no light counts as taken
    std::fill(g.seen.begin(), g.seen.end(), 0u);
    g.query = 1;
  }
  g.chosen.clear();
  auto consider = [&](int i) {
    if (g.seen[static_cast<std::size_t>(i)] == g.query) return;
    g.seen[static_cast<std::size_t>(i)] = g.query;
    const Light* l = g.lights[static_cast<std::size_t>(i)];
    const float r = g.reach[static_cast<std::size_t>(i)];
    if (l->x + r >= min.x && l->x - r <= max.x && l->y + r >= min.y && l->y - r <= max.y && l->z + r >= min.z &&
        l->z - r <= max.z) {
      g.chosen.push_back(i);
    }
  };
  ForEachCell(cells, [&](std::int64_t x, std::int64_t y, std::int64_t z) {
    const std::uint32_t b = Bucket(x, y, z, g.mask);
    for (std::int32_t k = g.firstInBucket[b]; k < g.firstInBucket[b + 1]; ++k) consider(g.inBucket[static_cast<std::size_t>(k)]);
  });
  for (int i : g.everywhere) consider(i);
  std::sort(g.chosen.begin(), g.chosen.end());
  g.selection.clear();
  for (int i : g.chosen) g.selection.push_back(g.lights[static_cast<std::size_t>(i)]);
  g_LightSelection = {true, static_cast<int>(g.selection.size()), g.selection.data()};
  return true;
}

void LightSelectRelease() { g_LightSelection = {false, 0, nullptr}; }
