// Sphere queries: WorldCollideSphere and WorldSphereTouch.
#include <cassert>
#include <cmath>

#include "engine/collision.h"
#include "engine/collision_internal.h"
#include "engine/frame_stamp.h"
#include "engine/polygon_math.h"
#include "engine/vertex_pool.h"

using namespace polymath;

namespace {

enum class Pass { kFaces, kEdges };

// One sphere query in the scaled space.
struct SphereQuery {
  World* world;
  float scale;
  Vec3 p;  // centre, y scaled
  float r;
  int pushOut;
  int result;      // 0 or kCollidePolygon
  int touchCalls;  // group calls made with code 4
  FrameStamp stamp;
  collide::PendingCalls* calls;
};

// A fragment vertex in the scaled space.
Vec3 ScaledVertex(const SphereQuery& q, const FragmentVertex& v) {
  Vec3 p = VertexPosition(q.world, v.vertex);
  p.y *= q.scale;
  return p;
}

// The group's call for this query, unless it already had one (one call per
// group per query: the stamp). 1 when the call was queued.
int GroupNotify(SphereQuery& q, PolygonGroup* group, int code) {
  if (!group || !group->callback) return 0;
  if (group->callbackStamp == q.stamp) return 0;
  group->callbackStamp = q.stamp;
  q.calls->AddGroup(group, code);
  if (code == kGroupTouched) ++q.touchCalls;
  return 1;
}

// What a contact with a polygon that is not a trigger does, after the
// centre has been moved (or not, with push-out off).
void SolidContact(SphereQuery& q, WorldPolygon* polygon) {
  collide::g_LastHit = polygon;
  const int called = GroupNotify(q, polygon->group, q.pushOut ? kGroupPushed : kGroupTouched);
  if (q.pushOut || called) q.result = kCollidePolygon;
}

// Face test: the centre's projection on the plane lies inside every edge,
// and it is within the radius of the plane (the caller checked |dist| < r).
// Returns 1 when a solid contact ends the node's scan.
int FaceTest(SphereQuery& q, const BspFragment* fragment, Vec3 n, float dist) {
  const Vec3 c = q.p - n * dist;
  const int count = fragment->vertexCount;
  Vec3 k = ScaledVertex(q, fragment->vertices[count - 1]);
  for (int i = 0; i < count; ++i) {
    const Vec3 j = ScaledVertex(q, fragment->vertices[i]);
    const float s = Dot(c - k, Cross(n, j - k));
    if (fragment->back ? s > 0.0f : s < 0.0f) return 0;
    k = j;
  }
  WorldPolygon* polygon = fragment->polygon;
  if (polygon->flags & kPolygonTrigger) {
    // A trigger moves nothing, so it must not hide a solid polygon listed
    // after it at the same node (a trigger painted on a wall): the scan
    // goes on.
    GroupNotify(q, polygon->group, kGroupTrigger);
    return 0;
  }
  if (q.pushOut) {
    const Vec3 facing = fragment->back ? n * -1.0f : n;
    q.p = q.p + facing * (q.r - std::fabs(dist) + kCollidePushMargin);
  }
  SolidContact(q, polygon);
  return 1;
}

// Edge test: the centre lies within the radius of an edge, beside it (its
// nearest point strictly between the ends). Returns 1 when a solid contact
// ends the node's scan.
int EdgeTest(SphereQuery& q, const BspFragment* fragment) {
  const int count = fragment->vertexCount;
  Vec3 a = ScaledVertex(q, fragment->vertices[count - 1]);
  for (int i = 0; i < count; ++i) {
    const Vec3 b = ScaledVertex(q, fragment->vertices[i]);
    const Vec3 ab = b - a;
    const float lengthSquared = LengthSquared(ab);
    const float t = Dot(q.p - a, ab);
    if (t > 0.0f && Dot(q.p - b, a - b) > 0.0f && t < lengthSquared) {
      const Vec3 nearest = a + ab * (t / lengthSquared);
      const Vec3 away = q.p - nearest;
      const float distanceSquared = LengthSquared(away);
      if (distanceSquared > 0.0f && distanceSquared < q.r * q.r) {
        WorldPolygon* polygon = fragment->polygon;
        if (polygon->flags & kPolygonTrigger) {
          GroupNotify(q, polygon->group, kGroupTrigger);
          return 0;  // as for faces: the rest of the node is still scanned
        }
        if (q.pushOut) q.p = nearest + away * (q.r / std::sqrt(distanceSquared));
        SolidContact(q, polygon);
        return 1;
      }
    }
    a = b;
  }
  return 0;
}

// The node's plane in the scaled space, normalised unless it already has
// unit length (or none).
void ScaledPlane(const BspNode* node, float scale, Vec3* n, float* d) {
  *n = {node->normal.x, node->normal.y / scale, node->normal.z};
  *d = node->d;
  const float lengthSquared = LengthSquared(*n);
  const float length = std::sqrt(lengthSquared);
  if (std::fabs(lengthSquared - 1.0f) > 1e-8f && length > 1e-8f) {
    *n = *n * (1.0f / length);
    *d /= length;
  }
}

// One walk of the whole tree. Pre-order, front subtree before back subtree,
// with a stack of our own: run-time insertion never rebalances, so a tree
// may be far deeper than recursion should go.
void SphereWalk(SphereQuery& q, Pass pass) {
  collide::SmallStack<BspNode*> stack;
  stack.Push(q.world->bspRoot);
  BspNode* node;
  while (stack.Pop(&node)) {
    Vec3 n;
    float d;
    ScaledPlane(node, q.scale, &n, &d);
    const float dist = Dot(n, q.p) - d;
    if (std::fabs(dist) < q.r) {
      for (const BspFragment* f = node->firstFragment; f; f = f->next) {
        if (f->vertexCount <= 2 || (f->polygon->flags & kPolygonNoCollide)) continue;
        if (f->back ? !(dist < 0.0f) : !(dist > 0.0f)) continue;  // centre behind the polygon
        const int contact = pass == Pass::kFaces ? FaceTest(q, f, n, dist) : EdgeTest(q, f);
        if (contact) break;
      }
    }
    if (dist < q.r && node->back) stack.Push(node->back);
    if (dist > -q.r && node->front) stack.Push(node->front);
  }
}

int InstancePass(World* world, Vec3* p, float r, collide::PendingCalls* calls) {
  int result = kCollideNothing;
  for (Instance* instance = world->firstInstance; instance; instance = instance->next) {
    if (instance->radius <= 0.0f || instance == collide::g_Ignore || !instance->collidable) continue;
    Vec3 c = {instance->x, instance->y, instance->z};
    if (instance->parentGroup) c = MapPoint(instance->parentGroup->worldMatrix, c);
    const Vec3 away = *p - c;
    const float q = LengthSquared(away);
    if (q <= kCollideInstanceMinDistanceSquared) continue;
    const float distance = std::sqrt(q);
    const float reach = r + instance->radius;
    if (distance < reach) {
      *p = c + away * (reach / distance);
      result = kCollideInstance;
      if (instance->callback) calls->AddInstance(instance, kInstanceCallbackPushed);
    }
  }
  return result;
}

bool ScaleUsable(float scale) {
  assert(scale > 0.0f && "g_CollideVerticalScale must be above 0");
  return std::isfinite(scale) && scale > 0.0f;
}

// The two BSP walks; the centre in and out unscaled.
void WorldWalks(SphereQuery& q, Vec3* centre) {
  q.p = {centre->x, centre->y * q.scale, centre->z};
  if (q.world->bspRoot) {
    SphereWalk(q, Pass::kFaces);
    SphereWalk(q, Pass::kEdges);
  }
  *centre = {q.p.x, q.p.y / q.scale, q.p.z};
}

}  // namespace

int WorldCollideSphere(World* world, float* x, float* y, float* z, float radius) {
  if (!world || !x || !y || !z) return kCollideNothing;
  const float scale = g_CollideVerticalScale;
  if (!ScaleUsable(scale)) return kCollideNothing;
  collide::PendingCalls calls;
  // Every sphere query takes a stamp of its own.
  SphereQuery q{world, scale, {}, radius, g_CollidePushOut ? 1 : 0, kCollideNothing, 0, FrameStampAdvance(), &calls};
  collide::g_LastHit = nullptr;
  Vec3 centre = {*x, *y, *z};
  int result = kCollideNothing;
  if (g_CollideMode == kCollideWorldAndInstances || g_CollideMode == kCollideWorldOnly) {
    WorldWalks(q, &centre);
    result = q.result;
  }
  if (g_CollideMode == kCollideWorldAndInstances || g_CollideMode == kCollideInstancesOnly) {
    const int pushed = InstancePass(world, &centre, radius, &calls);
    if (pushed) result = pushed;
  }
  *x = centre.x;
  *y = centre.y;
  *z = centre.z;
  calls.Run(world);
  return result;
}

int WorldSphereTouch(World* world, float x, float y, float z, float radius) {
  if (!world) return 0;
  const float scale = g_CollideVerticalScale;
  if (!ScaleUsable(scale)) return 0;
  collide::PendingCalls calls;
  SphereQuery q{world, scale, {}, radius, 0, kCollideNothing, 0, FrameStampAdvance(), &calls};
  collide::g_LastHit = nullptr;
  Vec3 copy = {x, y, z};
  WorldWalks(q, &copy);
  g_CollidePushOut = 1;
  calls.Run(world);
  return q.touchCalls > 0 ? 1 : 0;
}
