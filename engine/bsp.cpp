#include "engine/bsp.h"

#include <cfloat>
#include <cmath>
#include <vector>

#include "engine/bsp_fragment.h"
#include "engine/bsp_node_index.h"
#include "engine/instance_fragment.h"
#include "engine/particle.h"
#include "engine/polygon_math.h"
#include "engine/pool.h"
#include "engine/vertex_pool.h"

using namespace polymath;

int g_BspNodeCount = 0;
int g_StatBspInserts = 0;

namespace {

// The box and bounding sphere of a polygon's welded vertices.
struct PolygonBounds {
  Vec3 min, max, centre;
  float radius;
};

PolygonBounds FragmentBounds(const World* world, const BspFragment* fragment) {
  PolygonBounds b;
  b.min = {FLT_MAX, FLT_MAX, FLT_MAX};
  b.max = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  for (int i = 0; i < fragment->vertexCount; ++i) {
    const Vec3 p = VertexPosition(world, fragment->vertices[i].vertex);
    b.min = {std::fmin(b.min.x, p.x), std::fmin(b.min.y, p.y), std::fmin(b.min.z, p.z)};
    b.max = {std::fmax(b.max.x, p.x), std::fmax(b.max.y, p.y), std::fmax(b.max.z, p.z)};
  }
  b.centre = (b.min + b.max) * 0.5f;
  float radiusSquared = 0.0f;
  for (int i = 0; i < fragment->vertexCount; ++i) {
    radiusSquared =
        std::fmax(radiusSquared, LengthSquared(VertexPosition(world, fragment->vertices[i].vertex) - b.centre));
  }
  b.radius = std::sqrt(radiusSquared);
  return b;
}

// Grows the node's box by the polygon's box, and its radius to the polygon
// box's corner farthest from the node's centre.
void BspNodeGrow(BspNode* node, const PolygonBounds& b) {
  node->boxMin = {std::fmin(node->boxMin.x, b.min.x), std::fmin(node->boxMin.y, b.min.y),
                  std::fmin(node->boxMin.z, b.min.z)};
  node->boxMax = {std::fmax(node->boxMax.x, b.max.x), std::fmax(node->boxMax.y, b.max.y),
                  std::fmax(node->boxMax.z, b.max.z)};
  const Vec3 c = node->centre;
  const Vec3 far = {std::fmax(std::fabs(b.min.x - c.x), std::fabs(b.max.x - c.x)),
                    std::fmax(std::fabs(b.min.y - c.y), std::fabs(b.max.y - c.y)),
                    std::fmax(std::fabs(b.min.z - c.z), std::fabs(b.max.z - c.z))};
  const float distance = std::sqrt(LengthSquared(far));
  if (distance > node->radius) node->radius = distance;
}

// A new leaf under parent on the polygon's world plane, bounded by the polygon.
BspNode* BspNodeCreateLeaf(BspNode* parent, const WorldPolygon* polygon, const PolygonBounds& b) {
  BspNode* node =
      BspNodeCreate(polygon->worldNormal.x, polygon->worldNormal.y, polygon->worldNormal.z, polygon->worldD);
  node->parent = parent;
  node->boxMin = b.min;
  node->boxMax = b.max;
  node->centre = b.centre;
  node->radius = b.radius;
  return node;
}

// An instance fragment freed with its BSP node: its instance is marked so
// that its fragments are made again.
void InstanceFragmentRelease(InstanceFragment* fragment) {
  if (InstanceNode* owner = fragment->node) {
    if (owner->instance) owner->instance->dirty = 1;
  }
  InstanceFragmentFree(fragment);
}

}  // namespace

BspNode* BspNodeCreate(float nx, float ny, float nz, float d) {
  BspNode* node = PoolNew<BspNode>();
  node->normal = {nx, ny, nz};
  node->d = d;
  node->boxMin = {FLT_MAX, FLT_MAX, FLT_MAX};
  node->boxMax = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  node->chainStamp = kStampNever;
  ++g_BspNodeCount;
  return node;
}

void BspNodeFree(BspNode* node) {
  if (!node) return;
  BspNode* survivor = node->parent;
  if (survivor) {
    if (survivor->front == node) survivor->front = nullptr;
    if (survivor->back == node) survivor->back = nullptr;
  }
  // The subtree may be deep (run-time insertion never rebalances): walk it
  // with a stack of our own rather than recursion.
  std::vector<BspNode*> pending{node};
  while (!pending.empty()) {
    BspNode* current = pending.back();
    pending.pop_back();
    if (current->front) pending.push_back(current->front);
    if (current->back) pending.push_back(current->back);
    while (current->firstFragment) FragmentFree(current->firstFragment, 0);
    while (current->firstInstanceFragment) InstanceFragmentRelease(current->firstInstanceFragment);
    // Particles outlive nodes: their links go up to the surviving ancestor.
    while (ParticleLink* link = current->firstParticleLink) {
      ParticleLinkDetach(link);
      if (survivor) ParticleLinkAttach(survivor, link);
    }
    BspNodeIndexFree(current);
    PoolDelete(current);
    --g_BspNodeCount;
  }
}

// Insertion: the polygon becomes one fragment of its welded vertices in a
// temporary node, then descends from the root with a stack of (node, piece)
// pairs. At each node the piece lies on the plane (it stays there), on one
// side, or across it (it is cut in two). A piece that reaches a side with no
// child becomes a new leaf on the polygon's own plane.
void BspInsertPolygon(BspNode* root, WorldPolygon* polygon) {
  if (!root || !polygon || !polygon->world) return;
  if (polygon->group && !polygon->group->visible) return;
  ++g_StatBspInserts;
  const World* world = polygon->world;
  BspNode* holding = BspNodeCreate(0.0f, 0.0f, 0.0f, 0.0f);
  BspFragment* whole = PolygonMakeFragment(polygon, holding);
  if (!whole) {
    BspNodeFree(holding);
    return;
  }
  const PolygonBounds bounds = FragmentBounds(world, whole);

  struct Pending {
    BspNode* node;
    BspFragment* fragment;
  };
  // Grows as needed: a piece is never dropped for want of room.
  std::vector<Pending> pending;
  pending.reserve(64);
  pending.push_back({root, whole});
  while (!pending.empty()) {
    const Pending item = pending.back();
    pending.pop_back();
    BspNode* node = item.node;
    BspNodeGrow(node, bounds);
    const int side = BspClassifyFragment(node->normal.x, node->normal.y, node->normal.z, node->d, item.fragment,
                                         kBspClassifyEpsilon);
    if (side == 0) {
      FragmentSetNode(item.fragment, node);
      continue;
    }
    BspFragment* frontPiece = nullptr;
    BspFragment* backPiece = nullptr;
    if (side == 1) {
      frontPiece = item.fragment;
    } else if (side == -1) {
      backPiece = item.fragment;
    } else {
      BspSplitFragment(item.fragment, &frontPiece, holding, &backPiece, holding, node->normal.x, node->normal.y,
                       node->normal.z, node->d);
      FragmentFree(item.fragment, 0);
    }
    BspNode** children[2] = {&node->front, &node->back};
    BspFragment* pieces[2] = {frontPiece, backPiece};
    for (int i = 0; i < 2; ++i) {
      if (!pieces[i]) continue;
      BspNode*& child = *children[i];
      if (!child) {
        child = BspNodeCreateLeaf(node, polygon, bounds);
        FragmentSetNode(pieces[i], child);
      } else {
        pending.push_back({child, pieces[i]});
      }
    }
  }
  BspNodeFree(holding);
}
