#include "tools/builder/demo_enemy_models.h"

#include <utility>

#include "tools/builder/demo_textures.h"
#include "tools/builder/mesh_shapes.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr Vec3 kAxisX = {1, 0, 0};
constexpr Vec3 kAxisY = {0, 1, 0};

BuilderMeshNode Node(const char* name, int parent = -1) {
  BuilderMeshNode node;
  node.name = name;
  node.parent = parent;
  return node;
}

// A frustum standing on its base (+z turned to -y, up).
Solid Standing(const Solid& alongZ) { return Turned(alongZ, kAxisX, -kPi / 2); }

// The shapes below are drawn small and built this many times larger, the
// position keys with them.
constexpr float kGunScale = 2.5f;
constexpr float kTankScale = 2.5f;
constexpr float kDroneScale = 2.0f;

void Grow(BuilderModel* model, float k) {
  for (BuilderMeshNode& node : model->nodes) {
    for (BuilderVertex& vertex : node.vertices) {
      vertex.position = {vertex.position.x * k, vertex.position.y * k, vertex.position.z * k};
    }
    for (BuilderPositionKey& key : node.positionKeys) {
      key.position = {key.position.x * k, key.position.y * k, key.position.z * k};
    }
  }
}

// The stationary gun: a squat base 6 units high, a turret on it and twin
// barrels that recoil 1.5 units between frames 0 and 10.
BuilderModel Gun() {
  BuilderModel model;
  model.name = kDemoGunModel;
  BuilderMeshNode base = Node("base");
  AddSolid(&base, Moved(Standing(FrustumSolid(8, 6, 6, 8)), {0, 6, 0}), {kDemoHazardStripes});
  BuilderMeshNode turret = Node("turret", 0);
  turret.positionKeys = {{0, {0, 0, 0}}};
  AddSolid(&turret, Moved(BoxSolid({5, 2.5f, 5}), {0, -2.5f, 0}), {kDemoWallTech});
  AddSolid(&turret, Moved(BoxSolid({2, 0.6f, 0.4f}), {0, -3.5f, 5.1f}), {kDemoLightPanel});
  BuilderMeshNode barrels = Node("barrels", 1);
  barrels.positionKeys = {{0, {0, -3, 3}}, {kDemoGunRecoilFrames, {0, -3, 1.5f}}};
  AddSolid(&barrels, BoxSolid({2.5f, 1, 1.5f}), {kDemoMetalPlate});
  for (float side : {-1.5f, 1.5f}) AddSolid(&barrels, Moved(FrustumSolid(0.7f, 0.6f, 10, 6), {side, 0, 0}), {kDemoPipes});
  model.nodes = {std::move(base), std::move(turret), std::move(barrels)};
  Grow(&model, kGunScale);
  return model;
}

// The tank: a hull on tracks, a tower on top and a rack of rockets that
// tilts. Drawn 11.2 high from its tracks (y 5.6) to the rack's top, so that
// it stands centred on its origin, as the ground rule places it.
BuilderModel Tank() {
  BuilderModel model;
  model.name = kDemoTankModel;
  BuilderMeshNode hull = Node("hull");
  AddSolid(&hull, Moved(BoxSolid({8, 2.5f, 12}), {0, 1.6f, 0}), {kDemoMetalPlate});
  for (float side : {-9.0f, 9.0f}) {
    AddSolid(&hull, Moved(BoxSolid({2, 3, 12.5f}), {side, 2.6f, 0}), {kDemoFloorGrating});
  }
  BuilderMeshNode tower = Node("tower", 0);
  tower.positionKeys = {{0, {0, -0.9f, -1}}};
  AddSolid(&tower, Moved(Standing(FrustumSolid(5.5f, 4.5f, 3, 8)), {0, 0, 0}), {kDemoWallTech});
  BuilderMeshNode rack = Node("rckt00", 1);
  rack.positionKeys = {{0, {0, -3.5f, 2}}};
  AddSolid(&rack, BoxSolid({3.5f, 1.2f, 4}), {kDemoHazardStripes});
  for (float side : {-2.0f, 0.0f, 2.0f}) {
    AddSolid(&rack, Moved(FrustumSolid(0.6f, 0.6f, 2, 6), {side, 0, 4}), {kDemoLightPanel});
  }
  model.nodes = {std::move(hull), std::move(tower), std::move(rack)};
  Grow(&model, kTankScale);
  return model;
}

// The drone: a ball with a ring of four vanes and a glowing eye ahead.
BuilderModel Drone() {
  BuilderModel model;
  model.name = kDemoDroneModel;
  BuilderMeshNode body = Node("drone");
  AddSolid(&body, SphereSolid(4, 4, 8), {kDemoWallTech});
  for (int k = 0; k < 4; ++k) {
    AddSolid(&body, Turned(Moved(BoxSolid({1, 0.4f, 3}), {6, 0, 0}), kAxisY, k * kPi / 2), {kDemoMetalPlate});
  }
  AddSolid(&body, Moved(SphereSolid(1.5f, 2, 6), {0, 0, 4}), {kDemoLightPanel});
  model.nodes = {std::move(body)};
  Grow(&model, kDroneScale);
  return model;
}

// The striker: a flat hull with swept wings and twin fireball tubes ahead.
BuilderModel Striker() {
  BuilderModel model;
  model.name = kDemoStrikerModel;
  BuilderMeshNode body = Node("striker");
  AddSolid(&body, BoxSolid({3, 1.5f, 6}), {kDemoHazardStripes});
  for (float side : {-1.0f, 1.0f}) {
    AddSolid(&body, Moved(BoxSolid({4, 0.4f, 3}), {side * 6, 0, -1}), {kDemoMetalPlate});
    AddSolid(&body, Moved(FrustumSolid(0.6f, 0.5f, 4, 6), {side * 2, 0, 6}), {kDemoPipes});
  }
  model.nodes = {std::move(body)};
  Grow(&model, kDroneScale);
  return model;
}

}  // namespace

std::vector<BuilderModel> MakeDemoEnemyModels() { return {Gun(), Tank(), Drone(), Striker()}; }
