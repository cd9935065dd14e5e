#include "tests/engine/model_fixture.h"

#include "engine/instance.h"
#include "tools/builder/mesh_shapes.h"

void ModelTest::FreeWorld() {
  if (!world_) return;
  // Nodes first, as the world does: each call frees a whole subtree.
  while (world_->firstInstanceNode) InstanceNodeFree(world_->firstInstanceNode);
  while (world_->firstInstance) InstanceDelete(world_->firstInstance);
  PoolDelete(world_);
  world_ = nullptr;
}

BuilderModel BoxModel(const std::string& name, Vec3 half, Vec3 centre, const std::string& texture) {
  BuilderModel model;
  model.name = name;
  BuilderMeshNode node;
  node.name = "box";
  AddSolid(&node, Moved(BoxSolid(half), centre), {texture});
  model.nodes.push_back(node);
  return model;
}
