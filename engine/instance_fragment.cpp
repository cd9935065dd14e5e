#include "engine/instance_fragment.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/bsp.h"
#include "engine/intrusive_list.h"
#include "engine/pool.h"

namespace {

enum FaceSide { kFaceFront, kFaceBack, kFaceSpanning };

int FacesBytes(int count) { return count * static_cast<int>(sizeof(std::int32_t)); }

// Grows the BSP node's box by the cube of half size r around c, and its
// radius to the cube corner farthest from its centre.
void GrowBounds(BspNode* bsp, Vec3 c, float r) {
  bsp->boxMin = {std::fmin(bsp->boxMin.x, c.x - r), std::fmin(bsp->boxMin.y, c.y - r),
                 std::fmin(bsp->boxMin.z, c.z - r)};
  bsp->boxMax = {std::fmax(bsp->boxMax.x, c.x + r), std::fmax(bsp->boxMax.y, c.y + r),
                 std::fmax(bsp->boxMax.z, c.z + r)};
  const float dx = std::fabs(bsp->centre.x - c.x) + r;
  const float dy = std::fabs(bsp->centre.y - c.y) + r;
  const float dz = std::fabs(bsp->centre.z - c.z) + r;
  const float far = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (far > bsp->radius) bsp->radius = far;
}

// The plane in the node's own coordinates.
struct LocalPlane {
  float nx, ny, nz, d;
  float Distance(const MeshNode* mesh, int vertex) const {
    return nx * mesh->x[vertex] + ny * mesh->y[vertex] + nz * mesh->z[vertex] - d;
  }
};

FaceSide Classify(const MeshNode* mesh, int face, const LocalPlane& plane) {
  const std::int32_t* list = mesh->faceVertices[face];
  const int count = std::abs(list[0]);
  const float s = plane.Distance(mesh, list[1]);
  const float r = mesh->faceRadius[face];
  if (s > r) return kFaceFront;
  if (s < -r) return kFaceBack;
  bool front = s >= 0.0f, back = !front;
  for (int k = 2; k <= count && !(front && back); ++k) {
    if (plane.Distance(mesh, list[k]) >= 0.0f) {
      front = true;
    } else {
      back = true;
    }
  }
  return front && back ? kFaceSpanning : (front ? kFaceFront : kFaceBack);
}

// The spanning faces of one classification, before they are copied in. It
// only grows: a node has as many spanning faces as it has.
std::vector<std::int32_t>& SpanningWorkList() {
  static std::vector<std::int32_t> list;
  return list;
}

}  // namespace

InstanceFragment* InstanceFragmentCreate(InstanceNode* node, BspNode* bspNode, InstanceFragment* parentFragment,
                                         int side) {
  if (!node || !bspNode || !node->meshNode) return nullptr;
  const MeshNode* mesh = node->meshNode;
  const std::int32_t* candidates = nullptr;
  int candidateCount = mesh->faceCount;
  if (parentFragment) {
    const InstanceFragment* p = parentFragment;
    if (side == 1) {
      candidates = p->faces;
      candidateCount = p->frontCount + p->spanCount;
    } else {
      candidates = p->faces + p->frontCount;
      candidateCount = p->spanCount + p->backCount;
    }
    if (candidateCount <= 0) return nullptr;
  }
  const float* m = node->worldMatrix;
  GrowBounds(bspNode, {m[12], m[13], m[14]}, mesh->radius);
  const Plane local = BspNodePlaneInFrame(bspNode, m);
  const LocalPlane plane = {local.nx, local.ny, local.nz, local.d};

  InstanceFragment* fragment = PoolNew<InstanceFragment>();
  if (!fragment) return nullptr;
  fragment->faceCount = candidateCount;
  if (candidateCount > 0) {
    fragment->faces = static_cast<std::int32_t*>(PoolAlloc(FacesBytes(candidateCount)));
    if (!fragment->faces) {
      PoolDelete(fragment);
      return nullptr;
    }
  }
  std::vector<std::int32_t>& spanning = SpanningWorkList();
  spanning.clear();
  for (int i = 0; i < candidateCount; ++i) {
    const int face = candidates ? candidates[i] : i;
    switch (Classify(mesh, face, plane)) {
      case kFaceFront:
        fragment->faces[fragment->frontCount++] = face;
        break;
      case kFaceBack:
        fragment->faces[candidateCount - 1 - fragment->backCount++] = face;
        break;
      case kFaceSpanning:
        spanning.push_back(face);
        break;
    }
  }
  fragment->spanCount = static_cast<int>(spanning.size());
  for (int k = 0; k < fragment->spanCount; ++k) {
    fragment->faces[fragment->frontCount + k] = spanning[fragment->spanCount - 1 - k];
  }

  fragment->node = node;
  ListAppend(node->firstFragment, node->lastFragment, fragment, &InstanceFragment::prev, &InstanceFragment::next);
  fragment->bspNode = bspNode;
  ListAppend(bspNode->firstInstanceFragment, bspNode->lastInstanceFragment, fragment, &InstanceFragment::prevInBsp,
             &InstanceFragment::nextInBsp);
  return fragment;
}

void InstanceFragmentFree(InstanceFragment* fragment) {
  if (!fragment) return;
  if (InstanceNode* node = fragment->node) {
    ListUnlink(node->firstFragment, node->lastFragment, fragment, &InstanceFragment::prev, &InstanceFragment::next);
  }
  if (BspNode* bsp = fragment->bspNode) {
    ListUnlink(bsp->firstInstanceFragment, bsp->lastInstanceFragment, fragment, &InstanceFragment::prevInBsp,
               &InstanceFragment::nextInBsp);
  }
  PoolFree(fragment->faces, FacesBytes(fragment->faceCount));
  PoolDelete(fragment);
}
