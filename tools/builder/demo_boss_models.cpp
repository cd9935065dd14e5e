#include "tools/builder/demo_boss_models.h"

#include <utility>

#include "tools/builder/demo_textures.h"
#include "tools/builder/mesh_shapes.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr Vec3 kAxisX = {1, 0, 0};
constexpr Vec3 kAxisY = {0, 1, 0};
constexpr Vec3 kAxisZ = {0, 0, 1};
// Drawn small, built this many times larger: a part is about 70 units
// across, twice the ship; the core about 80.
constexpr float kBossScale = 4.5f;

BuilderModel OneNode(const char* name, const char* node, std::vector<std::pair<Solid, const char*>> solids) {
  BuilderModel model;
  model.name = name;
  BuilderMeshNode body;
  body.name = node;
  body.parent = -1;
  for (auto& [solid, texture] : solids) {
    AddSolid(&body, Scaled(solid, {kBossScale, kBossScale, kBossScale}), {texture});
  }
  model.nodes = {std::move(body)};
  return model;
}

// The claw: a hull with two pincers reaching forward.
BuilderModel Claw() {
  std::vector<std::pair<Solid, const char*>> solids = {{BoxSolid({4, 2, 5}), kDemoHazardStripes}};
  for (float side : {-1.0f, 1.0f}) {
    solids.push_back({Moved(Turned(FrustumSolid(1.5f, 0.3f, 7, 6), kAxisY, -side * 0.35f), {side * 3, 0, 4}),
                      kDemoMetalPlate});
  }
  solids.push_back({Moved(SphereSolid(1.2f, 2, 6), {0, -2.2f, 3}), kDemoLightPanel});
  return OneNode(kDemoBossPartModels[0], "claw", std::move(solids));
}

// The wedge: a flat arrowhead with a fin on top.
BuilderModel Wedge() {
  std::vector<std::pair<Solid, const char*>> solids = {
      {SlabSolid({{-6, -4}, {0, 7}, {6, -4}}, 2.5f), kDemoWallTech},
      {Moved(SlabSolid({{-0.5f, -4}, {-0.5f, 2}, {0.5f, 2}, {0.5f, -4}}, 4), {0, -2.5f, 0}), kDemoPipes},
      {Moved(SphereSolid(1.2f, 2, 6), {0, 0, 4}), kDemoLightPanel}};
  return OneNode(kDemoBossPartModels[1], "wedge", std::move(solids));
}

// The ring: eight plates round a hub, with twin rocket tubes.
BuilderModel Ring() {
  std::vector<std::pair<Solid, const char*>> solids = {{SphereSolid(2, 3, 8), kDemoLightStrip}};
  for (int k = 0; k < 8; ++k) {
    solids.push_back({Turned(Moved(BoxSolid({1.6f, 0.8f, 1.2f}), {5, 0, 0}), kAxisZ, k * kPi / 4), kDemoMetalPlate});
  }
  for (float side : {-1.0f, 1.0f}) {
    solids.push_back({Moved(FrustumSolid(0.7f, 0.6f, 5, 6), {side * 2, 0, 1}), kDemoHazardStripes});
  }
  return OneNode(kDemoBossPartModels[2], "ring", std::move(solids));
}

// The core: a ball of lava with six spikes.
BuilderModel Core() {
  std::vector<std::pair<Solid, const char*>> solids = {{SphereSolid(5, 4, 10), kDemoLava}};
  const std::pair<Vec3, float> spikes[] = {{kAxisY, 0}, {kAxisY, kPi / 2}, {kAxisY, kPi},
                                           {kAxisY, -kPi / 2}, {kAxisX, kPi / 2}, {kAxisX, -kPi / 2}};
  for (const auto& [axis, angle] : spikes) {
    solids.push_back({Turned(Moved(FrustumSolid(1.5f, 0, 4, 5), {0, 0, 4.5f}), axis, angle), kDemoMetalPlate});
  }
  return OneNode(kDemoBossCoreModel, "core", std::move(solids));
}

}  // namespace

std::vector<BuilderModel> MakeDemoBossModels() { return {Claw(), Wedge(), Ring(), Core()}; }
