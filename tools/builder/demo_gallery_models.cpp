#include "tools/builder/demo_gallery_models.h"

#include <string>
#include <utility>

#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_textures.h"

namespace {

// How a gallery model is made from a demo enemy mesh: its base, the new
// names of the base's nodes (by index; null keeps the name), the paint of
// the root node and the size against the base.
struct GalleryModel {
  const char* name;
  const char* base;
  const char* nodeNames[3];
  const char* paint;
  float size;
};

constexpr GalleryModel kGallery[] = {
    {"TMSL.3ds", kDemoGunModel, {}, kDemoLava, 0.9f},
    {"TQLC.3ds", kDemoGunModel, {nullptr, nullptr, "barrel_up"}, kDemoPipes, 1.0f},
    {"ttt.3ds", kDemoGunModel, {}, kDemoWallBrick, 1.1f},
    {"ttg.3ds", kDemoGunModel, {}, kDemoComputer, 1.0f},
    {"mtrrt.3ds", kDemoGunModel, {nullptr, nullptr, "barrel1"}, kDemoSludge, 1.2f},
    {"boss.3ds", kDemoGunModel, {nullptr, "body", nullptr}, kDemoLava, 2.0f},
    {"drugie.3ds", kDemoTankModel, {}, kDemoFloorTiles, 0.6f},
    {"mole.3ds", kDemoTankModel, {}, kDemoWallBrick, 0.8f},
    {"scientst.3ds", kDemoTankModel, {}, kDemoLightStrip, 0.7f},
    {"at.3ds", kDemoTankModel, {}, kDemoPipes, 0.9f},
    {"trans.3ds", kDemoTankModel, {}, kDemoWallConcrete, 1.0f},
    {"convoy.3ds", kDemoTankModel, {}, kDemoCeiling, 1.0f},
    {"gb.3ds", kDemoTankModel, {nullptr, "platform", "gunh"}, kDemoComputer, 1.0f},
    {"tankm.3ds", kDemoTankModel, {nullptr, "turret", "barrels"}, kDemoSludge, 1.1f},
    {"thunder.3ds", kDemoTankModel, {nullptr, nullptr, "barrels"}, kDemoLava, 1.2f},
    {"bossa.3ds", kDemoTankModel, {}, kDemoLightPanel, 2.0f},
    {"ship.3ds", kDemoStrikerModel, {}, kDemoWallTech, 1.0f},
    {"ready.3ds", kDemoStrikerModel, {}, kDemoLightStrip, 1.0f},
    {"ss1.3ds", kDemoStrikerModel, {}, kDemoPipes, 0.8f},
    {"ss2.3ds", kDemoStrikerModel, {}, kDemoComputer, 1.1f},
    {"owl.3ds", kDemoDroneModel, {}, kDemoWallBrick, 1.4f},
    {"cyclone.3ds", kDemoDroneModel, {}, kDemoLightStrip, 1.0f},
    {"manta.3ds", kDemoStrikerModel, {}, kDemoWater, 1.3f},
    {"dc.3ds", kDemoDroneModel, {}, kDemoSludge, 1.5f},
    {"dgh.3ds", kDemoDroneModel, {}, kDemoLava, 0.8f},
    {"drone2.3ds", kDemoDroneModel, {}, kDemoComputer, 0.9f},
    {"vardik.3ds", kDemoDroneModel, {}, kDemoHazardStripes, 1.6f},
    {"ac.3ds", kDemoStrikerModel, {}, kDemoFloorGrating, 1.0f},
};

const BuilderModel* FindBase(const std::vector<BuilderModel>& bases, const char* name) {
  for (const BuilderModel& model : bases) {
    if (model.name == name) return &model;
  }
  return nullptr;
}

void Resize(BuilderModel* model, float k) {
  for (BuilderMeshNode& node : model->nodes) {
    for (BuilderVertex& vertex : node.vertices) {
      vertex.position = {vertex.position.x * k, vertex.position.y * k, vertex.position.z * k};
    }
    for (BuilderPositionKey& key : node.positionKeys) {
      key.position = {key.position.x * k, key.position.y * k, key.position.z * k};
    }
  }
}

// The gun's barrels, copied under the first pair as the second gun part.
void AddLowerBarrels(BuilderModel* model) {
  BuilderMeshNode lower = model->nodes[2];
  lower.name = "barrel_dn";
  for (BuilderPositionKey& key : lower.positionKeys) key.position.y += 4.0f;
  model->nodes.push_back(std::move(lower));
}

// The gun's turret on top of a flier, for the types that turn one.
void AddTurret(BuilderModel* model, const BuilderModel& gun) {
  BuilderMeshNode turret = gun.nodes[1];
  turret.parent = 0;
  turret.positionKeys = {{0, {0, -7, 0}}};
  model->nodes.push_back(std::move(turret));
}

}  // namespace

std::vector<BuilderModel> MakeDemoGalleryModels() {
  const std::vector<BuilderModel> bases = MakeDemoEnemyModels();
  const BuilderModel* gun = FindBase(bases, kDemoGunModel);
  std::vector<BuilderModel> models;
  for (const GalleryModel& entry : kGallery) {
    const BuilderModel* base = FindBase(bases, entry.base);
    if (!base || !gun) return {};
    BuilderModel model = *base;
    model.name = entry.name;
    model.storedHash = 0;
    for (size_t n = 0; n < model.nodes.size() && n < 3; ++n) {
      if (entry.nodeNames[n]) model.nodes[n].name = entry.nodeNames[n];
    }
    for (BuilderFace& face : model.nodes[0].faces) face.texture = entry.paint;
    const std::string name = entry.name;
    if (name == "TQLC.3ds") AddLowerBarrels(&model);
    if (name == "vardik.3ds" || name == "ac.3ds") AddTurret(&model, *gun);
    Resize(&model, entry.size);
    models.push_back(std::move(model));
  }
  return models;
}
