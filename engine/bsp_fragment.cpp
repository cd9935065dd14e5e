#include "engine/bsp_fragment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/bsp.h"
#include "engine/bsp_node_index.h"
#include "engine/frame_stamp.h"
#include "engine/intrusive_list.h"
#include "engine/polygon_math.h"
#include "engine/pool.h"
#include "engine/render_world.h"
#include "engine/surface.h"
#include "engine/surface_mapping.h"
#include "engine/vertex_pool.h"
#include "engine/view.h"

using namespace polymath;

namespace {

float ValueOrZero(const float* values, int i) { return values ? values[i] : 0.0f; }

float PlaneDistance(Vec3 normal, float d, Vec3 p) { return Dot(normal, p) - d; }

void FragmentUnlinkFromNode(BspFragment* fragment) {
  BspNode* node = fragment->node;
  if (!node) return;
  if (node->index) BspNodeIndexRemove(fragment);
  ListUnlink(node->firstFragment, node->lastFragment, fragment, &BspFragment::prev, &BspFragment::next);
  fragment->node = nullptr;
  --node->fragmentCount;
  if (fragment->vertexCount == 2) --node->lineFragments;
}

// The node's box of its fragments takes in one more.
void GrowFragmentBox(BspNode* node, const BspFragment* fragment) {
  const Vec3 lo = fragment->boundCentre - fragment->boundHalf, hi = fragment->boundCentre + fragment->boundHalf;
  if (node->fragmentCount == 1) {
    node->fragmentMin = lo;
    node->fragmentMax = hi;
    return;
  }
  node->fragmentMin = {std::fmin(node->fragmentMin.x, lo.x), std::fmin(node->fragmentMin.y, lo.y),
                       std::fmin(node->fragmentMin.z, lo.z)};
  node->fragmentMax = {std::fmax(node->fragmentMax.x, hi.x), std::fmax(node->fragmentMax.y, hi.y),
                       std::fmax(node->fragmentMax.z, hi.z)};
}

// Order keys: a fragment's key lies between its neighbours' in the list,
// spaced out so that most insertions find room between two keys; when
// there is none the whole list is numbered afresh.
constexpr std::int64_t kOrderGap = std::int64_t{1} << 32;

void NumberNodeList(BspNode* node) {
  const std::int64_t count = node->fragmentCount > 0 ? node->fragmentCount : 1;
  const std::int64_t gap = std::min(kOrderGap, (std::numeric_limits<std::int64_t>::max() / 2) / count);
  std::int64_t key = -(count / 2) * gap;
  for (BspFragment* f = node->firstFragment; f; f = f->next, key += gap) f->order = key;
}

// The key of a fragment just linked between its neighbours.
void SetOrderKey(BspFragment* fragment, BspNode* node) {
  const BspFragment* previous = fragment->prev;
  const BspFragment* next = fragment->next;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  if (!previous && !next) {
    fragment->order = 0;
  } else if (!next && previous->order <= kMax - kOrderGap) {
    fragment->order = previous->order + kOrderGap;
  } else if (!previous && next->order >= kMin + kOrderGap) {
    fragment->order = next->order - kOrderGap;
  } else if (previous && next && next->order - previous->order >= 2) {
    fragment->order = previous->order + (next->order - previous->order) / 2;
  } else {
    NumberNodeList(node);
  }
}

// Puts the fragment ahead of before on the node's list, or at its end when
// before is null.
void FragmentInsertInNode(BspFragment* fragment, BspNode* node, BspFragment* before) {
  fragment->node = node;
  ListInsertBefore(node->firstFragment, node->lastFragment, fragment, before, &BspFragment::prev, &BspFragment::next);
  ++node->fragmentCount;
  if (fragment->vertexCount == 2) ++node->lineFragments;
  GrowFragmentBox(node, fragment);
  SetOrderKey(fragment, node);
  if (node->index) BspNodeIndexAdd(fragment);
}

// The box round the fragment's vertices, a little larger than the exact
// one so that rounding never leaves a vertex outside it.
void SetBoundingBox(BspFragment* fragment) {
  const World* world = fragment->polygon->world;
  Vec3 min = VertexPosition(world, fragment->vertices[0].vertex), max = min;
  for (int i = 1; i < fragment->vertexCount; ++i) {
    const Vec3 p = VertexPosition(world, fragment->vertices[i].vertex);
    min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
    max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
  }
  fragment->boundCentre = (min + max) * 0.5f;
  const Vec3 half = (max - min) * 0.5f;
  const float slack = 1e-6f * std::fmax(std::fmax(std::fabs(fragment->boundCentre.x), std::fabs(fragment->boundCentre.y)),
                                        std::fabs(fragment->boundCentre.z)) + 1e-4f;
  fragment->boundHalf = {half.x * 1.0001f + slack, half.y * 1.0001f + slack, half.z * 1.0001f + slack};
}

void FragmentSetBack(BspFragment* fragment, const BspNode* node) {
  fragment->back = Dot(fragment->polygon->worldNormal, node->normal) < 0.0f ? 1 : 0;
}

// Frees node and every ancestor that is left with no children and no
// fragments; the root (no parent) always stays.
void BspPruneFrom(BspNode* node) {
  while (node && !node->front && !node->back && !node->firstFragment && node->parent) {
    BspNode* parent = node->parent;
    BspNodeFree(node);
    node = parent;
  }
}

// A vertex of a piece being built by a split.
struct SplitVertex {
  int index;
  float light, colour1, colour2, colour3;
};

SplitVertex SplitVertexOf(const FragmentVertex& v) { return {v.vertex, v.light, v.colour1, v.colour2, v.colour3}; }

// The point at t along the edge from a to b, welded; its values interpolated
// with the same t. The ends are taken exactly, so that a cut through a
// vertex welds onto that vertex.
SplitVertex SplitVertexBetween(World* world, const FragmentVertex& a, const FragmentVertex& b, float t) {
  const Vec3 pa = VertexPosition(world, a.vertex);
  const Vec3 pb = VertexPosition(world, b.vertex);
  Vec3 p;
  if (t <= 0.0f) {
    p = pa;
  } else if (t >= 1.0f) {
    p = pb;
  } else {
    p = pa + (pb - pa) * t;
  }
  auto lerp = [t](float from, float to) { return from + (to - from) * t; };
  return {VertexWeld(world, p.x, p.y, p.z), lerp(a.light, b.light), lerp(a.colour1, b.colour1),
          lerp(a.colour2, b.colour2), lerp(a.colour3, b.colour3)};
}

// Up to a fragment's 16 vertices, each edge cut adds one: room for a cut of
// every edge.
constexpr int kSplitListSize = 2 * kFragmentMaxVertices + 2;

struct SplitList {
  SplitVertex vertices[kSplitListSize];
  int count = 0;

  // Takes one pool reference for the vertex.
  void Add(World* world, const SplitVertex& v, bool referenceTaken) {
    if (v.index < 0 || count >= kSplitListSize) return;
    if (!referenceTaken) VertexAddRef(world, v.index);
    vertices[count++] = v;
  }
};

// The list as a new fragment in node when it has enough vertices and no more
// than a fragment holds; else its references are released.
BspFragment* SplitListToFragment(World* world, WorldPolygon* polygon, const SplitList& list, int minimum,
                                 BspNode* node) {
  if (list.count >= minimum && list.count <= kFragmentMaxVertices) {
    int indices[kFragmentMaxVertices];
    float light[kFragmentMaxVertices], colour1[kFragmentMaxVertices], colour2[kFragmentMaxVertices],
        colour3[kFragmentMaxVertices];
    for (int i = 0; i < list.count; ++i) {
      indices[i] = list.vertices[i].index;
      light[i] = list.vertices[i].light;
      colour1[i] = list.vertices[i].colour1;
      colour2[i] = list.vertices[i].colour2;
      colour3[i] = list.vertices[i].colour3;
    }
    return FragmentCreate(node, polygon, list.count, indices, light, colour1, colour2, colour3);
  }
  for (int i = 0; i < list.count; ++i) VertexRelease(world, list.vertices[i].index);
  return nullptr;
}

}  // namespace

BspFragment* FragmentCreate(BspNode* node, WorldPolygon* polygon, int n, const int* indices, const float* light,
                            const float* colour1, const float* colour2, const float* colour3) {
  if (!polygon || !polygon->world || !indices || n < 2 || n > kFragmentMaxVertices) return nullptr;
  World* world = polygon->world;
  BspFragment* fragment = PoolNew<BspFragment>();
  fragment->vertexCount = n;
  fragment->polygon = polygon;
  for (int i = 0; i < n; ++i) {
    FragmentVertex& v = fragment->vertices[i];
    v.vertex = indices[i];
    v.light = ValueOrZero(light, i);
    v.colour1 = ValueOrZero(colour1, i);
    v.colour2 = ValueOrZero(colour2, i);
    v.colour3 = ValueOrZero(colour3, i);
  }
  if (HardwareModeActive() && polygon->surface) {
    ComputeSurfaceGradients(polygon->surface, 0, 0, polygon->group ? polygon->group->worldMatrix : nullptr);
    for (int i = 0; i < n; ++i) {
      FragmentVertex& v = fragment->vertices[i];
      const Vec3 p = VertexPosition(world, v.vertex);
      TexCoordsAtPoint(polygon->surface, p.x, p.y, p.z, &v.u, &v.v);
    }
  }
  if (node) FragmentSetBack(fragment, node);
  FragmentLink(fragment, node);
  return fragment;
}

void FragmentLink(BspFragment* fragment, BspNode* node) {
  WorldPolygon* polygon = fragment->polygon;
  SetBoundingBox(fragment);
  ++polygon->world->fragmentCount;
  ListAppend(polygon->firstFragment, polygon->lastFragment, fragment, &BspFragment::prevInPolygon,
             &BspFragment::nextInPolygon);
  if (node) FragmentInsertInNode(fragment, node, nullptr);
}

int FragmentContains(const BspFragment* outer, const BspFragment* inner) {
  const World* world = outer->polygon->world;
  const Vec3 n = outer->polygon->worldNormal;
  for (int k = 0; k < outer->vertexCount; ++k) {
    const int previous = k == 0 ? outer->vertexCount - 1 : k - 1;
    const Vec3 p = VertexPosition(world, outer->vertices[k].vertex);
    const Vec3 q = VertexPosition(world, outer->vertices[previous].vertex);
    const Vec3 m = Normalise(Cross(n, q - p));
    const float limit = Dot(m, p) + kFragmentContainSlack;
    for (int i = 0; i < inner->vertexCount; ++i) {
      if (Dot(m, VertexPosition(world, inner->vertices[i].vertex)) > limit) return 0;
    }
  }
  return 1;
}

void FragmentSetNode(BspFragment* fragment, BspNode* node) {
  if (!fragment) return;
  FragmentUnlinkFromNode(fragment);
  if (!node) return;
  FragmentSetBack(fragment, node);
  FragmentInsertInNode(fragment, node, BspNodeFirstContaining(node, fragment));
}

int FragmentFree(BspFragment* fragment, int prune) {
  if (!fragment) return 0;
  WorldPolygon* polygon = fragment->polygon;
  if (polygon) {
    if (World* world = polygon->world) {
      --world->fragmentCount;
      for (int i = 0; i < fragment->vertexCount; ++i) VertexRelease(world, fragment->vertices[i].vertex);
    }
    ListUnlink(polygon->firstFragment, polygon->lastFragment, fragment, &BspFragment::prevInPolygon,
               &BspFragment::nextInPolygon);
  }
  BspNode* node = fragment->node;
  FragmentUnlinkFromNode(fragment);
  PoolDelete(fragment);
  if (prune) BspPruneFrom(node);
  return 1;
}

int BspClassifyFragment(float nx, float ny, float nz, float d, BspFragment* fragment, float epsilon) {
  const World* world = fragment->polygon->world;
  const Vec3 normal = {nx, ny, nz};
  bool front = false;
  bool back = false;
  for (int i = 0; i < fragment->vertexCount; ++i) {
    const float distance = PlaneDistance(normal, d, VertexPosition(world, fragment->vertices[i].vertex));
    if (distance > epsilon) {
      front = true;
    } else if (distance < -epsilon) {
      back = true;
    }
    if (front && back) return 2;
  }
  return front ? 1 : (back ? -1 : 0);
}

void BspSplitFragment(BspFragment* fragment, BspFragment** front, BspNode* frontNode, BspFragment** back,
                      BspNode* backNode, float nx, float ny, float nz, float d) {
  *front = nullptr;
  *back = nullptr;
  WorldPolygon* polygon = fragment->polygon;
  World* world = polygon->world;
  const Vec3 normal = {nx, ny, nz};
  const int n = fragment->vertexCount;
  float distance[kFragmentMaxVertices];
  for (int i = 0; i < n; ++i) {
    distance[i] = PlaneDistance(normal, d, VertexPosition(world, fragment->vertices[i].vertex));
  }

  SplitList frontList;
  SplitList backList;
  if (n > 2) {
    // Edges from the last vertex to the first, then onwards; a cut point goes
    // into both pieces ahead of the edge's end.
    for (int i = 0; i < n; ++i) {
      const int previous = i == 0 ? n - 1 : i - 1;
      const bool previousFront = distance[previous] >= 0.0f;
      const bool currentFront = distance[i] >= 0.0f;
      if (previousFront != currentFront) {
        const float t = distance[previous] / (distance[previous] - distance[i]);
        const SplitVertex cut = SplitVertexBetween(world, fragment->vertices[previous], fragment->vertices[i], t);
        frontList.Add(world, cut, true);
        backList.Add(world, cut, false);
      }
      (currentFront ? frontList : backList).Add(world, SplitVertexOf(fragment->vertices[i]), false);
    }
  } else if (n == 2) {
    const FragmentVertex& a = fragment->vertices[0];
    const FragmentVertex& b = fragment->vertices[1];
    const bool aFront = distance[0] >= 0.0f;
    const bool bFront = distance[1] >= 0.0f;
    if (aFront == bFront) {
      SplitList& list = aFront ? frontList : backList;
      list.Add(world, SplitVertexOf(a), false);
      list.Add(world, SplitVertexOf(b), false);
    } else {
      const float t = distance[0] / (distance[0] - distance[1]);
      const SplitVertex cut = SplitVertexBetween(world, a, b, t);
      SplitList& first = aFront ? frontList : backList;
      SplitList& second = aFront ? backList : frontList;
      first.Add(world, SplitVertexOf(a), false);
      first.Add(world, cut, true);
      second.Add(world, cut, false);
      second.Add(world, SplitVertexOf(b), false);
    }
  }
  const int minimum = n > 2 ? 3 : 2;
  *front = SplitListToFragment(world, polygon, frontList, minimum, frontNode);
  *back = SplitListToFragment(world, polygon, backList, minimum, backNode);
}

BspFragment* PolygonMakeFragment(WorldPolygon* polygon, BspNode* node) {
  if (!polygon) return nullptr;
  while (polygon->firstFragment) FragmentFree(polygon->firstFragment, 1);
  const PolygonGroup* group = polygon->group;
  if (group && !group->visible) return nullptr;
  World* world = polygon->world;
  const int n = polygon->vertexCount;
  if (!world || n < 2 || n > kPolygonMaxVertices) return nullptr;
  int indices[kPolygonMaxVertices];
  float light[kPolygonMaxVertices], colour1[kPolygonMaxVertices], colour2[kPolygonMaxVertices],
      colour3[kPolygonMaxVertices];
  for (int i = 0; i < n; ++i) {
    const PolygonVertex& v = polygon->vertices[i];
    Vec3 p = {v.x, v.y, v.z};
    if (group) p = MapPoint(group->worldMatrix, p);
    indices[i] = VertexWeld(world, p.x, p.y, p.z);
    light[i] = v.light;
    colour1[i] = v.colour1;
    colour2[i] = v.colour2;
    colour3[i] = v.colour3;
    if (indices[i] < 0) {
      for (int j = 0; j < i; ++j) VertexRelease(world, indices[j]);
      return nullptr;
    }
  }
  return FragmentCreate(node, polygon, n, indices, light, colour1, colour2, colour3);
}

int FragmentVerticesValid(const World* world, const BspFragment* fragment) {
  if (!world || !fragment || fragment->vertexCount < 2 || fragment->vertexCount > kFragmentMaxVertices) return 0;
  const VertexPool& pool = world->vertexPool;
  for (int i = 0; i < fragment->vertexCount; ++i) {
    const int index = fragment->vertices[i].vertex;
    if (index < 0 || index >= pool.used || index >= pool.capacity || pool.refCount[index] <= 0) return 0;
  }
  return 1;
}
