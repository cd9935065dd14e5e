// Checking a freshly read "OBJECTS" graph before anything walks it, and
// freeing a bad one. The links come from the file: a list that loops, a
// record on two lists or a child whose parent does not list it would make
// the frees and walks of the rest of the engine loop or free twice.
#include <cmath>
#include <unordered_set>

#include "engine/engine_error.h"
#include "engine/model.h"
#include "engine/model_graph.h"
#include "engine/pool.h"
#include "engine/properties.h"

namespace {

using Seen = std::unordered_set<const void*>;

// Walks first..last through next: every record's prev is the one before it,
// it belongs to the list's owner, it is on no list of this kind yet, and the
// walk ends at last. A loop meets a record already seen and fails.
template <typename T, typename Next, typename Prev, typename Belongs>
bool ListValid(T* first, T* last, Next next, Prev prev, Belongs belongs, Seen* seen) {
  T* before = nullptr;
  for (T* record = first; record; record = next(record)) {
    if (prev(record) != before || !belongs(record) || !seen->insert(record).second) return false;
    before = record;
  }
  return before == last;
}

bool Finite(const float* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool NodeNumbersFinite(const MeshNode* n) {
  const int v = n->vertexCount, f = n->faceCount;
  return Finite(n->pivot) && std::isfinite(n->radius) && Finite(n->x, v) && Finite(n->y, v) && Finite(n->z, v) &&
         Finite(n->nx, v) && Finite(n->ny, v) && Finite(n->nz, v) && Finite(n->faceNx, f) && Finite(n->faceNy, f) &&
         Finite(n->faceNz, f) && Finite(n->faceD, f) && Finite(n->faceRadius, f);
}

bool NumbersFinite(const ModelGraph& g) {
  for (const MeshNode* n : g.nodes) {
    if (!NodeNumbersFinite(n)) return false;
  }
  for (const RotationKey* k : g.rotationKeys) {
    if (!std::isfinite(k->time) || !Finite(k->matrix, kMatrixElements) || !Finite(k->axis) ||
        !std::isfinite(k->angle)) {
      return false;
    }
  }
  for (const PositionKey* k : g.positionKeys) {
    if (!std::isfinite(k->time) || !Finite(k->position)) return false;
  }
  for (const PathSegment* s : g.segments) {
    if (!std::isfinite(s->startTime) || !std::isfinite(s->endTime) || !std::isfinite(s->duration) ||
        !Finite(s->velocity) || !Finite(s->angularVelocity)) {
      return false;
    }
  }
  return true;
}

// The node's children, its place in the tree and its keys.
bool NodeLinksValid(MeshNode* node, Seen* children, Seen* rotationKeys, Seen* positionKeys) {
  if (!ListValid(
          node->firstChild, node->lastChild, [](MeshNode* c) { return c->nextSibling; },
          [](MeshNode* c) { return c->prevSibling; }, [node](MeshNode* c) { return c->parent == node; }, children)) {
    return false;
  }
  if (!ListValid(
          node->firstRotKey, node->lastRotKey, [](RotationKey* k) { return k->next; },
          [](RotationKey* k) { return k->prev; }, [node](RotationKey* k) { return k->node == node; }, rotationKeys)) {
    return false;
  }
  return ListValid(
      node->firstPosKey, node->lastPosKey, [](PositionKey* k) { return k->next; },
      [](PositionKey* k) { return k->prev; }, [node](PositionKey* k) { return k->node == node; }, positionKeys);
}

// Every node with a parent is one of that parent's listed children (in the
// same model), a root has no siblings, and no chain of parents is longer
// than kMeshMaxDepth (which also rules out loops of parents).
bool TreeValid(const MeshNode* node, const Seen& children) {
  if (!node->parent) return !node->prevSibling && !node->nextSibling && !children.count(node);
  if (!children.count(node) || node->parent->model != node->model) return false;
  int depth = 0;
  for (const MeshNode* up = node->parent; up; up = up->parent) {
    if (++depth > kMeshMaxDepth) return false;
  }
  return true;
}

// A shared vertex names a vertex of a node of the same model; an entry with
// index -1 shares nothing, whatever node the file gave it.
bool SharedVerticesValid(MeshNode* node) {
  for (int i = 0; i < node->vertexCount; ++i) {
    const int index = node->sharedIndex[i];
    MeshNode* other = node->sharedNode[i];
    if (index == -1) {
      node->sharedNode[i] = nullptr;
      continue;
    }
    if (index < 0 || !other || other->model != node->model || index >= other->vertexCount) return false;
  }
  return true;
}

bool JunctionLinksValid(PathJunction* j, Seen* outgoing, Seen* incoming) {
  return ListValid(
             j->firstOut, j->lastOut, [](PathSegment* s) { return s->nextOut; },
             [](PathSegment* s) { return s->prevOut; }, [j](PathSegment* s) { return s->fromJunction == j; },
             outgoing) &&
         ListValid(
             j->firstIn, j->lastIn, [](PathSegment* s) { return s->nextIn; }, [](PathSegment* s) { return s->prevIn; },
             [j](PathSegment* s) { return s->toJunction == j; }, incoming);
}

}  // namespace

namespace {

bool GraphValid(const ModelGraph& g, Model* root) {
  if (!NumbersFinite(g)) return false;
  Seen models, nodes, children, rotationKeys, positionKeys, junctions, outgoing, incoming;
  Model* first = root;
  // The model list has no stored tail: walk it with its own end as "last".
  Model* tail = first;
  for (size_t steps = 0; tail && tail->next && steps <= g.models.size(); ++steps) tail = tail->next;
  if (!ListValid(
          first, tail, [](Model* m) { return m->next; }, [](Model* m) { return m->prev; }, [](Model*) { return true; },
          &models) ||
      models.size() != g.models.size()) {
    return false;
  }
  for (Model* m : g.models) {
    if (!ListValid(
            m->firstNode, m->lastNode, [](MeshNode* n) { return n->nextInModel; },
            [](MeshNode* n) { return n->prevInModel; }, [m](MeshNode* n) { return n->model == m; }, &nodes) ||
        !ListValid(
            m->firstJunction, m->lastJunction, [](PathJunction* j) { return j->next; },
            [](PathJunction* j) { return j->prev; }, [m](PathJunction* j) { return j->model == m; }, &junctions)) {
      return false;
    }
  }
  if (nodes.size() != g.nodes.size() || junctions.size() != g.junctions.size()) return false;
  for (MeshNode* n : g.nodes) {
    if (!NodeLinksValid(n, &children, &rotationKeys, &positionKeys)) return false;
  }
  if (rotationKeys.size() != g.rotationKeys.size() || positionKeys.size() != g.positionKeys.size()) return false;
  for (MeshNode* n : g.nodes) {
    if (!TreeValid(n, children) || !SharedVerticesValid(n)) return false;
  }
  for (PathJunction* j : g.junctions) {
    if (!JunctionLinksValid(j, &outgoing, &incoming)) return false;
  }
  if (outgoing.size() != g.segments.size() || incoming.size() != g.segments.size()) return false;
  for (const PathSegment* s : g.segments) {
    if (s->fromJunction->model != s->toJunction->model) return false;
  }
  return true;
}

}  // namespace

int ModelGraphValid(const ModelGraph& g, Model* root) {
  if (GraphValid(g, root)) return 1;
  return EngineRefuse("the %zu models and %zu mesh nodes read do not form well-shaped models", g.models.size(),
                      g.nodes.size());
}

void ModelGraphFreeAll(ModelGraph* g) {
  for (MeshNode* n : g->nodes) {
    // Links from a bad file are not followed: the node is freed on its own.
    n->firstRotKey = n->lastRotKey = nullptr;
    n->firstPosKey = n->lastPosKey = nullptr;
    n->prevInModel = n->nextInModel = nullptr;
    n->model = nullptr;
    n->parent = n->prevSibling = n->nextSibling = nullptr;
    n->firstChild = n->lastChild = nullptr;
    MeshNodeFree(n);
  }
  for (Model* m : g->models) {
    PropFreeList(&m->props);
    PoolDelete(m);
  }
  for (RotationKey* k : g->rotationKeys) PoolDelete(k);
  for (PositionKey* k : g->positionKeys) PoolDelete(k);
  for (PathJunction* j : g->junctions) PoolDelete(j);
  for (PathSegment* s : g->segments) PoolDelete(s);
  *g = ModelGraph{};
}
