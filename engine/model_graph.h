#pragma once
// Between the model reader's files: every record read from "OBJECTS" in the
// current load, so that the whole graph can be checked before anything uses
// it and, when it is bad, freed record by record without following a single
// link that came from the file.
#include <vector>

#include "engine/records.h"

struct ModelGraph {
  std::vector<Model*> models;
  std::vector<MeshNode*> nodes;
  std::vector<RotationKey*> rotationKeys;
  std::vector<PositionKey*> positionKeys;
  std::vector<PathJunction*> junctions;
  std::vector<PathSegment*> segments;
  int nesting = 0;  // bodies being read inside one another right now
};

// The graph of the load in progress (ModelsReload).
extern ModelGraph g_ModelGraph;

// Record readers, in the stored order of each kind (engine/model.h,
// engine/path.h). Each one records its object in g_ModelGraph first.
int ModelRead(Model* model);
int MeshNodeRead(MeshNode* node);
int RotationKeyRead(RotationKey* key);
int PositionKeyRead(PositionKey* key);
int PathJunctionRead(PathJunction* junction);
int PathSegmentRead(PathSegment* segment);

// Counts one more body being read inside another; 0 when that is deeper
// than kObjectsMaxNesting. Every 1 is matched by ModelGraphLeave.
int ModelGraphEnter();
void ModelGraphLeave();

// What every reader above does: records the object in list, then reads its
// body one nesting level deeper.
template <typename T>
int ModelGraphReadBody(T* record, std::vector<T*>& list, int (*body)(T*)) {
  list.push_back(record);
  const int ok = ModelGraphEnter() && body(record);
  ModelGraphLeave();
  return ok;
}

// 1 when the records read form well-shaped models with root first on their
// list: see engine/model.h. Shared-vertex entries of index -1 get a null node.
int ModelGraphValid(const ModelGraph& graph, Model* root);
// Frees every record of the graph on its own (arrays, properties, texture
// references), following no links.
void ModelGraphFreeAll(ModelGraph* graph);
