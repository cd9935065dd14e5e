#include "engine/bsp_visit.h"

#include <algorithm>

#include "engine/depth_cue.h"
#include "engine/instance_fragment.h"
#include "engine/particle.h"
#include "engine/particle_draw.h"
#include "engine/render_math.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

namespace {

FrameStamp g_LeafChainStamp = kStampNever;
BspNode* g_LeafChainHead = nullptr;
BspNode* g_LeafChainEnd = nullptr;

// The frustum planes the node tests use: 0..4, and 5 while the cue is on.
int CullPlaneCount() { return g_DepthCueFar > 0.0f ? kFrustumPlaneCount : kFrustumPlaneCount - 1; }

float PlaneDistance(const Plane& p, Vec3 v) { return p.nx * v.x + p.ny * v.y + p.nz * v.z - p.d; }

bool InBox(const BspNode* node, Vec3 p) {
  return p.x >= node->boxMin.x && p.x < node->boxMax.x && p.y >= node->boxMin.y && p.y < node->boxMax.y &&
         p.z >= node->boxMin.z && p.z < node->boxMax.z;
}

// Screen-rectangle test of a big node: 1 when culled.
bool RectCulled(const BspNode* node, View* view) {
  const float farLimit = g_DepthCueFar < 0.0f ? kFarDistanceDefault : g_DepthCueFar;
  rendermath::PixelRect rect;
  if (!rendermath::BoxPixelRect(g_CameraMatrix, node->boxMin, node->boxMax, &farLimit, &rect)) return false;
  const int minX = std::max(rect.minX, 0);
  const int minY = std::max(rect.minY, 0);
  const int maxX = std::min(rect.maxX, view->width);
  const int maxY = std::min(rect.maxY, view->height);
  if (minX > maxX || minY > maxY) return true;
  return CoverageRectHidden(view, minX, minY, maxX, maxY) != 0;
}

}  // namespace

int BspEyeInBox(const BspNode* node) {
  const Vec3& e = g_CameraPosition;
  return e.x >= node->boxMin.x && e.x <= node->boxMax.x && e.y >= node->boxMin.y && e.y <= node->boxMax.y &&
         e.z >= node->boxMin.z && e.z <= node->boxMax.z;
}

int BspNodeCulled(const BspNode* node, int* mask, View* view) {
  const int planes = CullPlaneCount();
  for (int i = 0; i < planes; ++i) {
    if (!(*mask & (1 << i))) continue;
    const float s = PlaneDistance(g_FrustumPlanes[i], node->centre);
    if (s < -node->radius) return 1;
    if (s > node->radius) *mask &= ~(1 << i);
  }
  for (int i = 0; i < planes; ++i) {
    if (!(*mask & (1 << i))) continue;
    const Plane& p = g_FrustumPlanes[i];
    const Vec3 corner = {p.nx >= 0.0f ? node->boxMax.x : node->boxMin.x, p.ny >= 0.0f ? node->boxMax.y : node->boxMin.y,
                         p.nz >= 0.0f ? node->boxMax.z : node->boxMin.z};
    if (PlaneDistance(p, corner) < 0.0f) return 1;
  }
  if (node->radius >= kBspRectTestRadius && RectCulled(node, view)) return 1;
  return 0;
}

void BspNodeSortParticles(BspNode* node) {
  ParticleLink* link = node->firstParticleLink;
  while (link) {
    ParticleLink* next = link->next;
    const Particle* particle = link->particle;
    const Vec3 p = {particle->x, particle->y, particle->z};
    const bool behind = BspNodeDistance(node, p) < 0.0f;
    BspNode* child = behind ? node->back : node->front;
    if (child && InBox(child, p)) {
      ParticleLinkAttach(child, link);  // off this node's list first
    } else {
      link->side = behind ? -1 : 1;
    }
    link = next;
  }
}

void BspNodeDrawParticles(BspNode* node, int side, View* view) {
  for (ParticleLink* link = node->firstParticleLink; link; link = link->next) {
    if (link->side == side) DrawParticle(link->particle, view);
  }
}

Vec3 InstanceNodeCentre(const InstanceNode* node) {
  const float* m = node->worldMatrix;
  return {m[12], m[13], m[14]};
}

float InstanceNodeRadius(const InstanceNode* node) { return node->meshNode ? node->meshNode->radius : 0.0f; }

int InstanceNodeInFrustum(const InstanceNode* node) {
  const Vec3 c = InstanceNodeCentre(node);
  const float r = InstanceNodeRadius(node);
  for (int i = 0; i < kFrustumPlaneCount; ++i) {
    const Plane& p = g_FrustumPlanes[i];
    if (p.nx * c.x + p.ny * c.y + p.nz * c.z + r < p.d) return 0;
  }
  return 1;
}

InstanceNode* InstanceFragmentDrawnOnSide(const BspNode* node, const InstanceFragment* fragment, int side) {
  InstanceNode* instanceNode = fragment->node;
  if (!instanceNode || !instanceNode->instance || !instanceNode->instance->collidable) return nullptr;
  if (!InstanceNodeInFrustum(instanceNode)) return nullptr;
  const float r = InstanceNodeRadius(instanceNode);
  const float s = BspNodeDistance(node, InstanceNodeCentre(instanceNode));
  if (side == 1 ? !(s > -r) : !(s < r)) return nullptr;
  return instanceNode;
}

void BspNodePushInstanceFragments(BspNode* node) {
  for (InstanceFragment* f = node->firstInstanceFragment; f; f = f->nextInBsp) {
    if (f->pushedFront && f->pushedBack) continue;
    InstanceNode* instanceNode = f->node;
    if (!instanceNode || !InstanceNodeInFrustum(instanceNode)) continue;
    const float r = InstanceNodeRadius(instanceNode);
    const float s = BspNodeDistance(node, InstanceNodeCentre(instanceNode));
    if (node->front && s > -r && !f->pushedFront) {
      f->pushedFront = 1;
      InstanceFragmentCreate(instanceNode, node->front, f, 1);
      ++g_StatNewPres;
    }
    if (node->back && s < r && !f->pushedBack) {
      f->pushedBack = 1;
      InstanceFragmentCreate(instanceNode, node->back, f, -1);
      ++g_StatNewPres;
    }
  }
}

void BspRecordLeafChain(BspNode* node) {
  // The stamp only tells this chain's links from older ones; 0 is skipped
  // so that a cleared node is never taken as on the chain.
  if (++g_LeafChainStamp == kStampNever) ++g_LeafChainStamp;
  node->chainStamp = g_LeafChainStamp;
  node->chainNext = nullptr;
  BspNode* child = node;
  for (BspNode* parent = node->parent; parent; parent = parent->parent) {
    parent->chainStamp = g_LeafChainStamp;
    parent->chainNext = child;
    child = parent;
  }
  g_LeafChainHead = child;
  g_LeafChainEnd = node;
}

BspNode* LeafChainFirst() { return g_LeafChainHead; }

BspNode* LeafChainNext(const BspNode* node) {
  if (!node || node == g_LeafChainEnd || node->chainStamp != g_LeafChainStamp) return nullptr;
  return node->chainNext;
}

bool InstanceNodeCubeHidden(Vec3 c, float r, View* view) {
  rendermath::PixelRect rect;
  const Vec3 lo = {c.x - r, c.y - r, c.z - r}, hi = {c.x + r, c.y + r, c.z + r};
  if (!rendermath::BoxPixelRect(g_CameraMatrix, lo, hi, nullptr, &rect)) return false;
  return CoverageRectHidden(view, rect.minX, rect.minY, rect.maxX, rect.maxY) != 0;
}

bool InstanceLeafPlanesAppend(const InstanceNode* node, Vec3 c, float r) {
  g_FrustumPlaneCount = kFrustumPlaneCount;
  for (BspNode* b = LeafChainFirst(); b && g_FrustumPlaneCount < kMaxFrustumPlanes; b = LeafChainNext(b)) {
    const float s = BspNodeDistance(b, c);
    if ((b->side == 1 && s < -r) || (b->side == -1 && s > r)) return false;
    if (!(s > -r && s < r)) continue;
    const Plane p = BspNodePlaneInFrame(b, node->worldMatrix);
    const float sign = b->side == -1 ? -1.0f : 1.0f;
    g_FrustumPlanes[g_FrustumPlaneCount++] = {sign * p.nx, sign * p.ny, sign * p.nz, sign * p.d};
  }
  return true;
}
