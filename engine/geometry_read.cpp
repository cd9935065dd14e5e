// Readers of the world member's geometry: surfaces, BSP nodes, the
// vertex pool and the polygon block with its fragments. Everything read is
// checked before the engine relies on it.
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "engine/bsp.h"
#include "engine/bsp_fragment.h"
#include "engine/data_archive.h"
#include "engine/engine_error.h"
#include "engine/object_graph.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/vertex_pool.h"
#include "engine/world_internal.h"
#include "engine/world_polygon.h"

namespace {

int ReadVec3(Vec3* v) { return ArchiveReadVec3(&v->x, &v->y, &v->z); }

constexpr int kMaxPoolSlack = 65536;

bool InPool(int index, int used) { return index >= 0 && index < used; }

// Every head and link names an entry (or is an end mark), and following them
// never comes round again: each entry is on at most one bucket chain or the
// free list, once.
bool VertexPoolLinksValid(const VertexPool& pool) {
  const int used = pool.used;
  if (pool.freeHead != kVertexNone && !InPool(pool.freeHead, used)) return false;
  for (int i = 0; i < used; ++i) {
    const int prev = pool.prev[i];
    if (prev != i && !InPool(prev, used) && !(prev < 0 && prev >= -kWeldBucketCount)) return false;
    if (pool.next[i] != kVertexNone && !InPool(pool.next[i], used)) return false;
  }
  std::vector<char> seen(static_cast<size_t>(used), 0);
  for (int head : pool.buckets) {
    if (head != kVertexNone && !InPool(head, used)) return false;
    for (int i = head; i != kVertexNone; i = pool.next[i]) {
      if (seen[i]) return false;
      seen[i] = 1;
    }
  }
  for (int i = pool.freeHead; i != kVertexNone; i = -pool.refCount[i]) {
    if (!InPool(i, used) || seen[i]) return false;
    seen[i] = 1;
  }
  return true;
}

bool ReadFragmentVertex(FragmentVertex* v) {
  float values[6];
  if (!ArchiveReadInt(&v->vertex) || !ArchiveReadFloats(values, 6)) return false;
  v->light = values[0];
  v->colour1 = values[1];
  v->colour2 = values[2];
  v->colour3 = values[3];
  v->u = values[4];
  v->v = values[5];
  return true;
}

// One stored fragment of the polygon, linked in when it is whole and sound.
bool ReadFragment(WorldPolygon* polygon) {
  int count;
  if (!ArchiveReadInt(&count) || count < 2 || count > kFragmentMaxVertices) return false;
  BspFragment* fragment = PoolNew<BspFragment>();
  fragment->vertexCount = count;
  fragment->polygon = polygon;
  BspNode* node = nullptr;
  bool ok = true;
  for (int i = 0; ok && i < count; ++i) ok = ReadFragmentVertex(&fragment->vertices[i]);
  ok = ok && ObjReadRecord<BspNode, BspNodeRead>(&node) && ArchiveReadInt(&fragment->back) &&
       ArchiveReadInt(&fragment->renderMark) && FragmentVerticesValid(polygon->world, fragment);
  if (!ok) {
    PoolDelete(fragment);
    return false;
  }
  FragmentLink(fragment, node);
  return true;
}

bool ReadPolygonVertex(PolygonVertex* v) {
  float values[7];
  if (!ArchiveReadFloats(values, 7)) return false;
  *v = PolygonVertex{values[0], values[1], values[2], values[3], values[4], values[5], values[6]};
  return true;
}

bool ReadPolygon(World* world) {
  int count;
  if (!ArchiveReadInt(&count) || count < 0 || count > kPolygonMaxVertices) return false;
  WorldPolygon* polygon = PoolNew<WorldPolygon>();
  polygon->vertexCount = count;
  PolygonGroup* group = nullptr;
  bool ok = PropReadList(&polygon->props);
  for (int i = 0; ok && i < count; ++i) ok = ReadPolygonVertex(&polygon->vertices[i]);
  ok = ok && ReadVec3(&polygon->normal) && ArchiveReadFloat(&polygon->d) &&
       ObjReadRecordCounted<Surface, SurfaceRead>(&polygon->surface) && ArchiveReadInt(&polygon->flatColour) &&
       ArchiveReadInt(&polygon->lineColour) && ArchiveReadInt(&polygon->flags) && ObjReadEarlierRecord(&group);
  polygon->worldNormal = polygon->normal;
  polygon->worldD = polygon->d;
  polygon->lastDrawn = kStampNever;
  // Linked even when the read failed halfway: the world's teardown then frees
  // it with whatever it holds (its surface may be shared through the graph).
  PolygonAppendToWorld(polygon, world);
  if (!ok) return false;
  if (group) PolygonSetGroup(polygon, group, 0);

  int fragments;
  if (!ArchiveReadInt(&fragments) || fragments < 0) return false;
  for (int i = 0; i < fragments; ++i) {
    if (!ReadFragment(polygon)) return false;
  }
  return true;
}

}  // namespace

ObjBody SurfaceRead(Surface* surface) {
  if (!PropReadList(&surface->props)) co_return 0;
  int textureId;
  if (!ReadVec3(&surface->origin) || !ReadVec3(&surface->uAxis) || !ReadVec3(&surface->vAxis) ||
      !ArchiveReadInt(&surface->uOffset) || !ArchiveReadInt(&surface->vOffset) || !ArchiveReadInt(&textureId)) {
    co_return 0;
  }
  surface->texture = TextureFromId(textureId);
  surface->worldOrigin = surface->origin;
  surface->worldU = surface->uAxis;
  surface->worldV = surface->vAxis;
  surface->stamp = kStampNever;
  int ok = co_await ObjRef<Surface, SurfaceRead>(&surface->prev);
  if (ok) ok = co_await ObjRef<Surface, SurfaceRead>(&surface->next);
  if (!ok) co_return 0;
  co_return ObjReadEarlierRecord(&surface->world);
}

ObjBody BspNodeRead(BspNode* node) {
  ++g_BspNodeCount;
  int storedCount;
  if (!ReadVec3(&node->normal) || !ArchiveReadFloat(&node->d) || !ReadVec3(&node->centre) ||
      !ArchiveReadFloat(&node->radius) || !ReadVec3(&node->boxMin) || !ReadVec3(&node->boxMax) ||
      !ArchiveReadInt(&storedCount) || !ArchiveReadInt(&node->code)) {
    co_return 0;
  }
  node->chainStamp = kStampNever;
  int ok = co_await ObjRef<BspNode, BspNodeRead>(&node->front);
  if (ok) ok = co_await ObjRef<BspNode, BspNodeRead>(&node->back);
  if (ok) ok = co_await ObjRef<BspNode, BspNodeRead>(&node->parent);
  co_return ok;
}

int BspTreeValid(const BspNode* root) {
  if (!root || root->parent) return root == nullptr;
  struct Pending {
    const BspNode* node;
    int depth;
  };
  std::unordered_set<const BspNode*> seen;
  std::vector<Pending> pending{{root, 1}};
  while (!pending.empty()) {
    const Pending visit = pending.back();
    pending.pop_back();
    if (visit.depth > kBspMaxLoadedDepth || !seen.insert(visit.node).second) return 0;
    for (const BspNode* child : {visit.node->front, visit.node->back}) {
      if (!child) continue;
      if (child->parent != visit.node) return 0;
      pending.push_back({child, visit.depth + 1});
    }
  }
  return 1;
}

int VertexPoolRead(World* world) {
  VertexPoolFree(world);
  VertexPool& pool = world->vertexPool;
  // The stored fragment count is not kept: PolygonsRead counts the
  // fragments it links in.
  int storedFragmentCount, used, capacity;
  int buckets[kWeldBucketCount];
  int freeHead, welding;
  if (!ArchiveReadInt(&storedFragmentCount) || !ArchiveReadInt(&used) || !ArchiveReadInt(&capacity) ||
      !ArchiveReadInts(buckets, kWeldBucketCount) || !ArchiveReadInt(&freeHead) || !ArchiveReadInt(&welding)) {
    return 0;
  }
  if (used < 0 || capacity < used || capacity - used > kMaxPoolSlack) {
    return EngineRefuse("vertex pool of %d used entries in a capacity of %d", used, capacity);
  }
  // Six 4-byte values an entry follow: a count the member cannot hold is
  // refused before anything is allocated for it.
  if (static_cast<std::int64_t>(used) * 24 > ArchiveMemberRemaining()) {
    return EngineRefuse("vertex pool of %d entries exceeds the member's %lld bytes", used,
                        static_cast<long long>(ArchiveMemberRemaining()));
  }
  if (!VertexPoolSetCapacity(world, capacity)) return EngineRefuse("no memory for a vertex pool of %d", capacity);
  const bool read = ArchiveReadFloats(pool.x, used) && ArchiveReadFloats(pool.y, used) &&
                    ArchiveReadFloats(pool.z, used) && ArchiveReadInts(pool.prev, used) &&
                    ArchiveReadInts(pool.next, used) && ArchiveReadInts(pool.refCount, used);
  pool.used = used;
  for (int i = 0; i < kWeldBucketCount; ++i) pool.buckets[i] = buckets[i];
  pool.freeHead = freeHead;
  pool.welding = welding;
  if (!read || !VertexPoolLinksValid(pool)) {
    VertexPoolFree(world);
    return read ? EngineRefuse("vertex pool links out of range or in a loop") : 0;
  }
  return 1;
}

int PolygonsRead(World* world) {
  int count;
  if (!ArchiveReadInt(&count) || count < 0) return 0;
  world->fragmentCount = 0;
  for (int i = 0; i < count; ++i) {
    if (!ReadPolygon(world)) return 0;
  }
  return 1;
}
