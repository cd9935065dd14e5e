// Segment queries: WorldSegmentBlocked, CollideSegment and CollideRay.
#include <cmath>

#include "engine/bsp.h"
#include "engine/collision.h"
#include "engine/collision_internal.h"
#include "engine/polygon_math.h"
#include "engine/vertex_pool.h"

using namespace polymath;

namespace {

bool InsideGrownBox(const BspNode* node, Vec3 x) {
  const float e = kCollideNodeBoxSlack;
  return x.x >= node->boxMin.x - e && x.x <= node->boxMax.x + e && x.y >= node->boxMin.y - e &&
         x.y <= node->boxMax.y + e && x.z >= node->boxMin.z - e && x.z <= node->boxMax.z + e;
}

// Where the segment crosses the node's plane (one end behind it, the other
// not), when that point lies in the node's box grown by the slack.
bool PlaneCrossing(const BspNode* node, Vec3 start, Vec3 end, float d0, float d1, Vec3* x) {
  if ((d0 < 0.0f) == (d1 < 0.0f)) return false;
  *x = start + (end - start) * (d0 / (d0 - d1));
  return InsideGrownBox(node, *x);
}

// The point in the plane lies inside every edge of the fragment (edges from
// the previous vertex, the last one's first), on the inner side given by
// the fragment's facing.
bool InsideEdges(const World* world, const BspFragment* fragment, Vec3 n, Vec3 x) {
  const int count = fragment->vertexCount;
  Vec3 k = VertexPosition(world, fragment->vertices[count - 1].vertex);
  for (int i = 0; i < count; ++i) {
    const Vec3 j = VertexPosition(world, fragment->vertices[i].vertex);
    const float s = Dot(x - k, Cross(n, j - k));
    if (fragment->back ? s > 0.0f : s < 0.0f) return false;
    k = j;
  }
  return true;
}

// The first fragment of the node whose front face the segment meets at x
// (triggers, flag 0x10 polygons and lines let it through).
const BspFragment* CrossedFragment(const World* world, const BspNode* node, Vec3 start, Vec3 end, Vec3 x) {
  const int towardsBack = Dot(end - start, node->normal) < 0.0f ? 1 : 0;
  for (const BspFragment* f = node->firstFragment; f; f = f->next) {
    if (f->back == towardsBack || f->vertexCount <= 2) continue;
    if (f->polygon->flags & (kPolygonTrigger | kPolygonNoCollide)) continue;
    if (InsideEdges(world, f, node->normal, x)) return f;
  }
  return nullptr;
}

// A cast in progress: every hit moves the end nearer to the start, so each
// later test only sees what lies before the nearest hit so far.
struct Cast {
  World* world;
  Vec3 start;
  Vec3 end;
  int hit;
  int endVersion;  // counts the moves of the end
  WorldPolygon* polygon;
  Instance* instance;

  // The end moves to x, the nearest hit so far: a polygon or an instance.
  void Hit(Vec3 x, WorldPolygon* p, Instance* i) {
    end = x;
    hit = 1;
    ++endVersion;
    polygon = p;
    instance = i;
  }
};

// The segment against the sphere (c, radius): a start inside it hits at the
// start; otherwise the segment hits where it enters the sphere, when that
// lies on it.
bool SphereEntry(const Cast& cast, Vec3 c, float radius, Vec3* entry) {
  const Vec3 toCentre = c - cast.start;
  const float radiusSquared = radius * radius;
  if (LengthSquared(toCentre) < radiusSquared) {
    *entry = cast.start;
    return true;
  }
  const Vec3 direction = cast.end - cast.start;
  const float lengthSquared = LengthSquared(direction);
  if (lengthSquared <= 0.0f) return false;
  const float length = std::sqrt(lengthSquared);
  const float along = Dot(toCentre, direction) / length;  // to the point nearest the centre
  if (along < 0.0f) return false;
  const Vec3 closest = cast.start + direction * (along / length);
  const float missSquared = LengthSquared(closest - c);
  if (!(radiusSquared - missSquared > 0.0f)) return false;
  const float at = std::fmax(0.0f, along - std::sqrt(radiusSquared - missSquared));
  if (at > length) return false;  // enters beyond the end (or beyond a nearer hit)
  *entry = cast.start + direction * (at / length);
  return true;
}

void TestInstanceFragments(Cast& cast, const BspNode* node) {
  for (const InstanceFragment* f = node->firstInstanceFragment; f; f = f->nextInBsp) {
    const InstanceNode* owner = f->node;
    Instance* instance = owner ? owner->instance : nullptr;
    if (!instance || instance == collide::g_Ignore || instance->radius <= 0.0f || !instance->collidable) continue;
    Vec3 entry;
    if (SphereEntry(cast, owner->pivotWorld, instance->radius, &entry)) cast.Hit(entry, nullptr, instance);
  }
}

// The cast's walk: at each node the instance spheres (with instance checks
// on), then the node's polygons, then the back child when part of the
// segment lies behind the plane, then the front child when part of what is
// left of it lies in front.
void CastWalk(Cast& cast) {
  struct Step {
    BspNode* node;
    int frontPhase;  // 1: the node is done, decide on its front child
    float d0, d1;    // plane distances of the start and of the end ...
    int endVersion;  // ... as the end was then
  };
  collide::SmallStack<Step> stack;
  stack.Push({cast.world->bspRoot, 0, 0.0f, 0.0f, 0});
  Step step;
  while (stack.Pop(&step)) {
    BspNode* node = step.node;
    if (step.frontPhase) {
      const float d1 = step.endVersion == cast.endVersion ? step.d1 : BspNodeDistance(node, cast.end);
      if ((step.d0 > 0.0f || d1 > 0.0f) && node->front) stack.Push({node->front, 0, 0.0f, 0.0f, 0});
      continue;
    }
    // An end that lies exactly on the start is a hit: callers take an object
    // that did not move as blocked. The end is never moved, so neither a
    // polygon nor an instance is named.
    if (cast.end == cast.start) {
      cast.hit = 1;
      return;
    }
    if (collide::g_InstanceChecks) TestInstanceFragments(cast, node);
    const float d0 = BspNodeDistance(node, cast.start);
    float d1 = BspNodeDistance(node, cast.end);
    Vec3 x;
    if (PlaneCrossing(node, cast.start, cast.end, d0, d1, &x)) {
      if (const BspFragment* f = CrossedFragment(cast.world, node, cast.start, cast.end, x)) {
        cast.Hit(x, f->polygon, nullptr);
        d1 = 0.0f;  // the end now lies in this plane
      }
    }
    stack.Push({node, 1, d0, d1, cast.endVersion});
    if ((d0 < 0.0f || d1 < 0.0f) && node->back) stack.Push({node->back, 0, 0.0f, 0.0f, 0});
  }
}

Cast CastSegment(World* world, Vec3 start, Vec3 end) {
  Cast cast{world, start, end, 0, 0, nullptr, nullptr};
  if (world && world->bspRoot) CastWalk(cast);
  return cast;
}

}  // namespace

int WorldSegmentBlocked(World* world, float x0, float y0, float z0, float x1, float y1, float z1) {
  if (!world || !world->bspRoot) return 0;
  const Vec3 start = {x0, y0, z0}, end = {x1, y1, z1};
  collide::SmallStack<BspNode*> stack;
  stack.Push(world->bspRoot);
  BspNode* node;
  while (stack.Pop(&node)) {
    const float d0 = BspNodeDistance(node, start);
    const float d1 = BspNodeDistance(node, end);
    Vec3 x;
    if (PlaneCrossing(node, start, end, d0, d1, &x) && CrossedFragment(world, node, start, end, x)) return 1;
    // Back subtree before the front one, as the casts walk.
    if (!(d0 < 0.0f && d1 < 0.0f) && node->front) stack.Push(node->front);
    if (!(d0 >= 0.0f && d1 >= 0.0f) && node->back) stack.Push(node->back);
  }
  return 0;
}

int CollideSegment(World* world, float x0, float y0, float z0, float* x1, float* y1, float* z1) {
  collide::g_LastHit = nullptr;
  if (!x1 || !y1 || !z1) return 0;
  const Cast cast = CastSegment(world, {x0, y0, z0}, {*x1, *y1, *z1});
  if (!cast.hit) return 0;
  collide::g_LastHit = cast.polygon;
  *x1 = cast.end.x;
  *y1 = cast.end.y;
  *z1 = cast.end.z;
  return 1;
}

int CollideRay(World* world, float* hx, float* hy, float* hz, WorldPolygon** polygon, Instance** instance, float x0,
               float y0, float z0, float x1, float y1, float z1) {
  collide::g_LastHit = nullptr;
  collide::g_InstanceChecks = 1;
  const Cast cast = CastSegment(world, {x0, y0, z0}, {x1, y1, z1});
  collide::g_InstanceChecks = 0;
  collide::g_LastHit = cast.polygon;
  if (hx) *hx = cast.end.x;
  if (hy) *hy = cast.end.y;
  if (hz) *hz = cast.end.z;
  if (polygon) *polygon = cast.polygon;
  if (instance) *instance = cast.instance;
  if (cast.polygon) return kRayPolygon;
  if (cast.instance) return kRayInstance;
  return kRayNothing;
}
