// What the world loader checks before it hands out a world, and how it
// frees whatever a failed load read.
//
// The object graph lets a file name any record of the right kind from
// anywhere, so a world that read without a short read can still be
// unusable: a light or group on no list (never freed), lists that loop or
// disagree with their prev links (endless walks, wrong unlinks), a group
// hierarchy with a cycle (endless recursion in every rebuild), a running
// mover list that does not match the mover types, weld chains whose prev
// links would unlink the wrong entry, and fragments that name free pool
// entries (the next weld would hand them out again). Each of these fails
// the load.
#include <cstring>
#include <unordered_set>
#include <vector>

#include "engine/bsp.h"
#include "engine/engine_error.h"
#include "engine/instance.h"
#include "engine/list_check.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/texture_remap.h"
#include "engine/vertex_pool.h"
#include "engine/world_internal.h"

namespace {

// How many records of each kind the object table holds.
struct TableCounts {
  int worlds = 0;
  int lights = 0;
  int groups = 0;
  int surfaces = 0;
  int nodes = 0;
  int instances = 0;
  int others = 0;
};

TableCounts CountTable() {
  TableCounts counts;
  const int n = ObjTableCount();
  for (int i = 0; i < n; ++i) {
    void* object;
    ObjKind kind;
    ObjTableEntryAt(i, &object, &kind);
    switch (kind) {
      case kObjKindWorld:
        ++counts.worlds;
        break;
      case kObjKindLight:
        ++counts.lights;
        break;
      case kObjKindPolygonGroup:
        ++counts.groups;
        break;
      case kObjKindSurface:
        ++counts.surfaces;
        break;
      case kObjKindBspNode:
        ++counts.nodes;
        break;
      case kObjKindInstance:
        ++counts.instances;
        break;
      default:
        ++counts.others;
        break;
    }
  }
  return counts;
}

// A sound list holding exactly `expected` records (so every record of that
// kind in the table is on it), each owned by the world.
template <typename T>
bool ListHoldsAll(const World* world, const T* first, const T* last, int expected) {
  if (!ListConsistent(first, last, expected)) return false;
  int count = 0;
  for (const T* record = first; record; record = record->next) {
    if (record->world != world) return false;
    ++count;
  }
  return count == expected;
}

int TreeSize(const BspNode* root) {
  int size = 0;
  std::vector<const BspNode*> pending;
  if (root) pending.push_back(root);
  while (!pending.empty()) {
    const BspNode* node = pending.back();
    pending.pop_back();
    ++size;
    if (node->front) pending.push_back(node->front);
    if (node->back) pending.push_back(node->back);
  }
  return size;
}

// Children lists sound, every group with a parent on its parent's list, no
// group its own ancestor and no hierarchy deeper than kGroupMaxLoadedDepth.
bool GroupHierarchyValid(const World* world, int groups) {
  int children = 0;
  for (const PolygonGroup* group = world->firstGroup; group; group = group->next) {
    if (!group->parent && (group->prevSibling || group->nextSibling)) return false;
    if (group->parent) ++children;
    if ((group->firstChild == nullptr) != (group->lastChild == nullptr)) return false;
    if (group->firstChild && group->firstChild->prevSibling) return false;
    const PolygonGroup* previous = nullptr;
    int count = 0;
    for (const PolygonGroup* child = group->firstChild; child; child = child->nextSibling) {
      if (++count > groups || child->parent != group || child->prevSibling != previous) return false;
      previous = child;
    }
    if (previous != group->lastChild) return false;
    children -= count;
    int depth = 0;
    for (const PolygonGroup* up = group->parent; up; up = up->parent) {
      if (++depth >= kGroupMaxLoadedDepth || depth > groups || up == group) return false;
    }
  }
  return children == 0;
}

// The running list holds exactly the groups whose mover runs.
bool MoverListValid(const World* world, int groups) {
  int running = 0;
  for (const PolygonGroup* group = world->firstGroup; group; group = group->next) {
    if (group->moverType > 0) {
      ++running;
    } else if (group->nextMover || group->prevMover || world->firstMover == group) {
      return false;
    }
  }
  const PolygonGroup* previous = nullptr;
  int count = 0;
  for (const PolygonGroup* group = world->firstMover; group; group = group->nextMover) {
    if (++count > groups || group->moverType <= 0 || group->prevMover != previous) return false;
    previous = group;
  }
  return count == running;
}

// Every weld chain's prev links lead back the way the chain runs (the first
// entry's prev names its bucket) and every other live entry is unwelded
// (prev = itself): releasing an entry then unlinks it from the right chain.
// Fragments name only live entries and hold no more references than counted.
bool VertexPoolMatchesFragments(const World* world) {
  const VertexPool& pool = world->vertexPool;
  const int used = pool.used;
  // 0 live and unwelded so far, 1 on a chain, 2 free.
  std::vector<char> state(static_cast<size_t>(used), 0);
  for (int bucket = 0; bucket < kWeldBucketCount; ++bucket) {
    int previous = -(bucket + 1);
    for (int i = pool.buckets[bucket]; i != kVertexNone; i = pool.next[i]) {
      if (pool.prev[i] != previous) return false;
      state[i] = 1;
      previous = i;
    }
  }
  for (int i = pool.freeHead; i != kVertexNone; i = -pool.refCount[i]) state[i] = 2;
  for (int i = 0; i < used; ++i) {
    if (state[i] == 0 && pool.prev[i] != i) return false;
  }
  std::vector<int> references(static_cast<size_t>(used), 0);
  for (const WorldPolygon* polygon = world->firstPolygon; polygon; polygon = polygon->next) {
    for (const BspFragment* fragment = polygon->firstFragment; fragment; fragment = fragment->nextInPolygon) {
      for (int k = 0; k < fragment->vertexCount; ++k) {
        const int index = fragment->vertices[k].vertex;
        if (index < 0 || index >= used || state[index] == 2) return false;
        ++references[index];
      }
    }
  }
  for (int i = 0; i < used; ++i) {
    if (state[i] != 2 && pool.refCount[i] < references[i]) return false;
  }
  return true;
}

}  // namespace

int WorldCheck(World* world) {
  const TableCounts counts = CountTable();
  if (counts.worlds != 1 || counts.others != 0) return EngineRefuse("records of a kind a world does not hold");
  if (!ListHoldsAll(world, world->firstLight, world->lastLight, counts.lights)) {
    return EngineRefuse("the light list does not hold the %d lights read", counts.lights);
  }
  if (!ListHoldsAll(world, world->firstGroup, world->lastGroup, counts.groups)) {
    return EngineRefuse("the group list does not hold the %d groups read", counts.groups);
  }
  if (!ListHoldsAll(world, world->firstSurface, world->lastSurface, counts.surfaces)) {
    return EngineRefuse("the surface list does not hold the %d surfaces read", counts.surfaces);
  }
  if (!ListHoldsAll(world, world->firstInstance, world->lastInstance, counts.instances)) {
    return EngineRefuse("the instance list does not hold the %d instances read", counts.instances);
  }
  if (!BspTreeValid(world->bspRoot) || TreeSize(world->bspRoot) != counts.nodes) {
    return EngineRefuse("the %d BSP nodes read are not one tree of depth %d or less", counts.nodes,
                        kBspMaxLoadedDepth);
  }
  if (!GroupHierarchyValid(world, counts.groups) || !MoverListValid(world, counts.groups)) {
    return EngineRefuse("the group hierarchy or the mover list is broken");
  }
  if (!VertexPoolMatchesFragments(world)) return EngineRefuse("the vertex pool does not match the fragments");
  for (const Instance* instance = world->firstInstance; instance; instance = instance->next) {
    if (instance->parentGroup) return EngineRefuse("an instance is attached to a group");
  }
  return 1;
}

namespace {

void FreePolygonRaw(WorldPolygon* polygon) {
  BspFragment* fragment = polygon->firstFragment;
  while (fragment) {
    BspFragment* next = fragment->nextInPolygon;
    PoolDelete(fragment);
    fragment = next;
  }
  PropFreeList(&polygon->props);
  PoolDelete(polygon);
}

void FreeGroupRaw(PolygonGroup* group) {
  PropFreeList(&group->props);
  if (group->name) PoolFree(group->name, static_cast<int>(std::strlen(group->name)) + 1);
  if (group->polygons) PoolFree(group->polygons, group->polygonCapacity * static_cast<int>(sizeof(WorldPolygon*)));
  PoolDelete(group);
}

}  // namespace

void WorldDiscardRead(World* world) {
  const int n = ObjTableCount();
  // Instances first, while the world whose node list holds their nodes is
  // still there. Their own links may disagree, so they are not unlinked.
  for (int i = 0; i < n; ++i) {
    void* object;
    ObjKind kind;
    ObjTableEntryAt(i, &object, &kind);
    if (kind != kObjKindInstance) continue;
    Instance* instance = static_cast<Instance*>(object);
    while (instance->firstNode) InstanceNodeFree(instance->firstNode);
    InstanceClearTextureRemap(instance);
    PropFreeList(&instance->props);
    if (Model* model = instance->model) {
      if (--model->useCount == 0) ModelFree(model);
    }
    PoolDelete(instance);
  }
  // Polygons (not objects of the graph) hang on the world's list, read
  // halfway or whole, with their fragments.
  if (world) {
    WorldPolygon* polygon = world->firstPolygon;
    while (polygon) {
      WorldPolygon* next = polygon->next;
      FreePolygonRaw(polygon);
      polygon = next;
    }
    world->firstPolygon = world->lastPolygon = nullptr;
    world->firstLine = world->lastLine = nullptr;
  }
  for (int i = 0; i < n; ++i) {
    void* object;
    ObjKind kind;
    ObjTableEntryAt(i, &object, &kind);
    switch (kind) {
      case kObjKindWorld: {
        World* w = static_cast<World*>(object);
        PropFreeList(&w->props);
        VertexPoolFree(w);
        PoolDelete(w);
        break;
      }
      case kObjKindLight: {
        Light* light = static_cast<Light*>(object);
        PropFreeList(&light->props);
        PoolDelete(light);
        break;
      }
      case kObjKindPolygonGroup:
        FreeGroupRaw(static_cast<PolygonGroup*>(object));
        break;
      case kObjKindSurface: {
        Surface* surface = static_cast<Surface*>(object);
        PropFreeList(&surface->props);
        ReleaseTexture(surface->texture);
        PoolDelete(surface);
        break;
      }
      case kObjKindBspNode:
        --g_BspNodeCount;
        PoolDelete(static_cast<BspNode*>(object));
        break;
      default:
        break;  // instances above; no other kind is read with a world
    }
  }
}
