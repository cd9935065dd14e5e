#include "engine/instance.h"

#include <cstdint>
#include <cstring>

#include "engine/collision.h"
#include "engine/data_archive.h"
#include "engine/engine_error.h"
#include "engine/instance_fragment.h"
#include "engine/intrusive_list.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/texture_remap.h"

std::int64_t g_InstanceReadBudget = INT64_MAX;

namespace {

// What a new or freshly read instance starts with besides its placement.
void SetDefaults(Instance* instance) {
  MatrixSetIdentity(instance->matrix);
  instance->pathSegment = nullptr;
  instance->callback = nullptr;
  instance->radius = instance->model->radius;
  instance->dirty = 1;
  instance->matrixGiven = 0;
  instance->parentGroup = nullptr;
  instance->drawn = 0;
  instance->collidable = 1;
  instance->ownAmbient = kAmbientUseDefault;
  instance->remap = nullptr;
  instance->remapCount = 0;
}

void FreeNodes(Instance* instance) {
  while (instance->firstNode) InstanceNodeFree(instance->firstNode);
}

// One node per mesh node, linked as the mesh nodes are; each shared vertex
// points at the node made for its mesh node (the mesh node's building slot).
int BuildNodes(Instance* instance) {
  Model* model = instance->model;
  for (MeshNode* mesh = model->firstNode; mesh; mesh = mesh->nextInModel) {
    mesh->building = InstanceNodeCreate(instance->world, mesh, nullptr, instance);
    if (!mesh->building) {
      FreeNodes(instance);
      return 0;
    }
  }
  for (MeshNode* mesh = model->firstNode; mesh; mesh = mesh->nextInModel) {
    if (mesh->parent) InstanceNodeSetParent(mesh->building, mesh->parent->building);
  }
  for (MeshNode* mesh = model->firstNode; mesh; mesh = mesh->nextInModel) {
    InstanceNode* node = mesh->building;
    for (int i = 0; i < mesh->vertexCount; ++i) {
      MeshNode* other = mesh->sharedIndex[i] != -1 ? mesh->sharedNode[i] : nullptr;
      node->vertexNode[i] = other && other->model == model ? other->building : nullptr;
    }
  }
  return 1;
}

// A node made without a world or an instance was never put on that list.
void UnlinkFromWorld(InstanceNode* node) {
  if (World* world = node->world) {
    ListUnlink(world->firstInstanceNode, world->lastInstanceNode, node, &InstanceNode::prevInWorld,
               &InstanceNode::nextInWorld);
  }
}

void UnlinkFromInstance(InstanceNode* node) {
  if (Instance* instance = node->instance) {
    ListUnlink(instance->firstNode, instance->lastNode, node, &InstanceNode::prevInInstance,
               &InstanceNode::nextInInstance);
  }
}

// An instance without a world is one whose read failed before its links.
void UnlinkInstance(Instance* instance) {
  if (World* world = instance->world) {
    ListUnlink(world->firstInstance, world->lastInstance, instance, &Instance::prev, &Instance::next);
  }
}

// The body after the links: model hash, placement, name.
int InstanceBody(Instance* instance) {
  int hash;
  return ArchiveReadInt(&hash) && ArchiveReadVec3(&instance->x, &instance->y, &instance->z) &&
         ArchiveReadVec3(&instance->angleX, &instance->angleY, &instance->angleZ) &&
         ArchiveReadFloat(&instance->animTime) && ArchiveReadBytes(instance->name, kInstanceNameLength) &&
         (instance->model = ModelFindByHash(hash)) != nullptr;
}

// Takes the bytes of the model's instance nodes from g_InstanceReadBudget.
int TakeFromReadBudget(const Model* model) {
  std::int64_t bytes = 0;
  for (const MeshNode* mesh = model->firstNode; mesh; mesh = mesh->nextInModel) {
    bytes += static_cast<std::int64_t>(sizeof(InstanceNode)) +
             static_cast<std::int64_t>(mesh->vertexCount) * static_cast<std::int64_t>(sizeof(InstanceNode*));
  }
  if (bytes > g_InstanceReadBudget) {
    return EngineRefuse("instances of \"%s\" need more memory than a member of this size may ask for", model->name);
  }
  g_InstanceReadBudget -= bytes;
  return 1;
}

}  // namespace

Instance* InstanceCreate(World* world, Model* model, float x, float y, float z, float angleX, float angleY,
                         float angleZ, float animTime) {
  if (!world || !model) return nullptr;
  Instance* instance = PoolNew<Instance>();
  if (!instance) return nullptr;
  instance->world = world;
  instance->model = model;
  InstanceSetPlacement(instance, x, y, z, angleX, angleY, angleZ, animTime);
  SetDefaults(instance);
  if (!BuildNodes(instance)) {
    PoolDelete(instance);
    return nullptr;
  }
  ++model->useCount;
  ListAppend(world->firstInstance, world->lastInstance, instance, &Instance::prev, &Instance::next);
  return instance;
}

int InstanceDelete(Instance* instance) {
  if (!instance) return 0;
  CollideForgetInstance(instance);  // the ignored instance never names a freed one
  PropFreeList(&instance->props);
  InstanceClearTextureRemap(instance);
  FreeNodes(instance);
  UnlinkInstance(instance);
  if (Model* model = instance->model) {
    if (--model->useCount == 0) ModelFree(model);
  }
  PoolDelete(instance);
  return 1;
}

void InstanceSetPlacement(Instance* instance, float x, float y, float z, float angleX, float angleY, float angleZ,
                          float animTime) {
  if (!instance) return;
  instance->x = x;
  instance->y = y;
  instance->z = z;
  instance->angleX = angleX;
  instance->angleY = angleY;
  instance->angleZ = angleZ;
  instance->animTime = animTime;
  instance->dirty = 1;
  instance->matrixGiven = 0;
  instance->pathSegment = nullptr;
}

void InstanceSetMatrix(Instance* instance, const float matrix[16], float animTime) {
  if (!instance) return;
  std::memcpy(instance->matrix, matrix, sizeof(Matrix));
  instance->x = matrix[12];
  instance->y = matrix[13];
  instance->z = matrix[14];
  instance->animTime = animTime;
  instance->dirty = 1;
  instance->matrixGiven = 1;
  instance->pathSegment = nullptr;
}

void InstanceUpdateMatrix(Instance* instance) {
  if (!instance) return;
  if (instance->dirty && !instance->matrixGiven) {
    Matrix saved;
    MatrixGet(saved);
    MatrixIdentity();
    MatrixRotateX(instance->angleX);
    MatrixRotateY(instance->angleY);
    MatrixRotateZ(instance->angleZ);
    MatrixTranslate(instance->x, instance->y, instance->z);
    MatrixGet(instance->matrix);
    MatrixLoad(saved);
  }
  instance->dirty = 0;
}

void InstanceSetAmbient(Instance* instance, float level) {
  if (instance) instance->ownAmbient = level;
}

InstanceNode* InstanceFirstNode(Instance* instance) { return instance ? instance->firstNode : nullptr; }

InstanceNode* InstanceNodeCreate(World* world, MeshNode* meshNode, InstanceNode* parent, Instance* instance) {
  if (!meshNode) return nullptr;
  InstanceNode* node = PoolNew<InstanceNode>();
  if (!node) return nullptr;
  if (meshNode->vertexCount > 0) {
    node->vertexNode = ObjAllocArray<InstanceNode*>(meshNode->vertexCount);
    if (!node->vertexNode) {
      PoolDelete(node);
      return nullptr;
    }
  }
  node->meshNode = meshNode;
  MatrixSetIdentity(node->worldMatrix);
  MatrixSetIdentity(node->localMatrix);
  node->animated = 1;
  node->world = world;
  if (world) {
    ListAppend(world->firstInstanceNode, world->lastInstanceNode, node, &InstanceNode::prevInWorld,
               &InstanceNode::nextInWorld);
  }
  node->instance = instance;
  if (instance) {
    ListAppend(instance->firstNode, instance->lastNode, node, &InstanceNode::prevInInstance,
               &InstanceNode::nextInInstance);
  }
  InstanceNodeSetParent(node, parent);
  return node;
}

void InstanceNodeSetParent(InstanceNode* node, InstanceNode* parent) {
  if (node) TreeSetParent(node, parent);
}

void InstanceNodeFree(InstanceNode* node) {
  if (!node) return;
  TreeDetach(node);
  UnlinkFromWorld(node);
  UnlinkFromInstance(node);
  while (node->firstChild) InstanceNodeFree(node->firstChild);
  while (node->firstFragment) InstanceFragmentFree(node->firstFragment);
  ObjFreeArray(node->vertexNode, node->meshNode ? node->meshNode->vertexCount : 0);
  PropFreeList(&node->props);
  PoolDelete(node);
}

ObjBody InstanceRead(Instance* instance) {
  // The world an instance body names is the one being read, so it is always
  // in the object table already.
  int ok = PropReadList(&instance->props) && ObjReadEarlierRecord(&instance->world) && instance->world;
  if (ok) ok = co_await ObjRef<Instance, InstanceRead>(&instance->prev);
  if (ok) ok = co_await ObjRef<Instance, InstanceRead>(&instance->next);
  ok = ok && InstanceBody(instance);
  if (ok) ok = TakeFromReadBudget(instance->model);
  if (ok) {
    instance->name[kInstanceNameLength] = 0;
    SetDefaults(instance);
    ok = BuildNodes(instance);
  }
  if (!ok) {
    PropFreeList(&instance->props);
    instance->model = nullptr;
    co_return 0;
  }
  ++instance->model->useCount;
  co_return 1;
}
