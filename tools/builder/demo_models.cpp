#include "tools/builder/demo_models.h"

#include <cstdio>
#include <string>

#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/mesh_shapes.h"
#include "tools/builder/procedural.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr Vec3 kAxisX = {1, 0, 0};
constexpr Vec3 kAxisY = {0, 1, 0};
constexpr Vec3 kAxisZ = {0, 0, 1};

BuilderMeshNode Node(const std::string& name, int parent = -1) {
  BuilderMeshNode node;
  node.name = name;
  node.parent = parent;
  return node;
}

BuilderModel OneNodeModel(const std::string& name, BuilderMeshNode node) {
  BuilderModel model;
  model.name = name;
  model.nodes.push_back(std::move(node));
  return model;
}

// A frustum along the given axis (+y or -y instead of +z) from its base.
Solid Upright(const Solid& alongZ, bool upwards) {
  // Turning about x by -pi/2 takes +z to -y (up); by +pi/2 to +y (down).
  return Turned(alongZ, kAxisX, upwards ? -kPi / 2 : kPi / 2);
}

// Four fins round the z axis, each a slab in the x-z plane turned into place.
void AddFins(BuilderMeshNode* node, const std::vector<std::pair<float, float>>& outline, float thickness,
             const SurfaceStyle& style, float firstAngle = kPi / 4) {
  for (int k = 0; k < 4; ++k) {
    AddSolid(node, Turned(SlabSolid(outline, thickness), kAxisZ, firstAngle + k * kPi / 2), style);
  }
}

// The player's ship: hull and nose in the body skin, swept wings in the
// wing skin, a tail fin, a canopy and two engines with glowing nozzles.
BuilderModel Ship(const std::string& name, const std::string& body, const std::string& wing) {
  BuilderMeshNode hull = Node("hull");
  const SurfaceStyle skin = {body};
  AddSolid(&hull, Moved(FrustumSolid(4.5f, 3.2f, 22, 8), {0, 0, -12}), skin);
  AddSolid(&hull, Moved(FrustumSolid(3.2f, 0, 9, 8), {0, 0, 10}), skin);
  AddSolid(&hull, Moved(BoxSolid({1.8f, 1.1f, 4}), {0, -3.9f, 3}), {kDemoLightStrip});
  const SurfaceStyle wings = {wing};
  AddSolid(&hull, Moved(SlabSolid({{3, 6}, {3, -8}, {17, -10}, {17, -5}}, 1.2f), {0, 0.6f, 0}), wings);
  AddSolid(&hull, Moved(SlabSolid({{-3, 6}, {-17, -5}, {-17, -10}, {-3, -8}}, 1.2f), {0, 0.6f, 0}), wings);
  // The fin: a slab in x-z turned so that +x points up (-y).
  AddSolid(&hull, Turned(SlabSolid({{2.5f, -4}, {2.5f, -12}, {10, -12}, {8, -7}}, 0.8f), kAxisZ, kPi / 2), wings);
  for (float side : {-5.5f, 5.5f}) {
    AddSolid(&hull, Moved(FrustumSolid(2, 1.6f, 6, 6), {side, 1, -15}), {kDemoMetalPlate});
    AddSolid(&hull, Moved(FrustumSolid(1.4f, 1.4f, 0.3f, 6), {side, 1, -15.3f}), {kDemoLightPanel});
  }
  return OneNodeModel(name, std::move(hull));
}

BuilderModel Rocket() {
  BuilderMeshNode body = Node("rocket");
  AddSolid(&body, Moved(FrustumSolid(0.8f, 0.8f, 6, 6), {0, 0, -3}), {kDemoMetalPlate});
  AddSolid(&body, Moved(FrustumSolid(0.8f, 0, 2.5f, 6), {0, 0, 3}), {kDemoHazardStripes});
  AddFins(&body, {{0.6f, -3}, {0.6f, -1}, {2.2f, -3.2f}, {2.2f, -3.8f}}, 0.25f, {kDemoMetalPlate});
  AddSolid(&body, Moved(FrustumSolid(0.6f, 0.6f, 0.3f, 6), {0, 0, -3.3f}), {"FIREWAVE.BMP"});
  return OneNodeModel("rocket.3ds", std::move(body));
}

BuilderModel Homing() {
  BuilderMeshNode body = Node("missile");
  AddSolid(&body, Moved(FrustumSolid(1, 1, 8, 8), {0, 0, -4}), {kDemoWallTech});
  AddSolid(&body, Moved(FrustumSolid(1, 0.3f, 2.5f, 8), {0, 0, 4}), {kDemoLightPanel});
  AddFins(&body, {{0.8f, -4}, {0.8f, -1.5f}, {2.8f, -3.8f}, {2.8f, -4.4f}}, 0.25f, {kDemoMetalPlate});
  AddFins(&body, {{0.8f, 2}, {0.8f, 3.2f}, {1.8f, 2.2f}, {1.8f, 1.8f}}, 0.2f, {kDemoMetalPlate}, 0);
  AddSolid(&body, Moved(FrustumSolid(0.8f, 0.8f, 0.3f, 8), {0, 0, -4.3f}), {"FIREWAVE.BMP"});
  return OneNodeModel("homing.3ds", std::move(body));
}

// A ground turret: a wide base on the floor, a turret that turns about y and
// twin barrels that pitch about their position key's point.
BuilderModel Sentry() {
  BuilderModel model;
  model.name = "sentry.3ds";
  BuilderMeshNode base = Node("base");
  AddSolid(&base, Moved(Upright(FrustumSolid(7, 5, 4, 8), true), {0, 6, 0}), {kDemoHazardStripes});
  BuilderMeshNode turret = Node("turret", 0);
  AddSolid(&turret, Moved(Upright(FrustumSolid(4.5f, 3, 5, 8), true), {0, 2, 0}), {kDemoWallTech});
  AddSolid(&turret, Moved(BoxSolid({1.2f, 0.6f, 0.4f}), {0, -1.5f, 4.1f}), {kDemoLightPanel});
  BuilderMeshNode barrels = Node("barrels", 1);
  barrels.positionKeys.push_back({0, {0, -1, 2.5f}});
  AddSolid(&barrels, BoxSolid({2.2f, 0.9f, 1.2f}), {kDemoMetalPlate});
  for (float side : {-1.3f, 1.3f}) {
    AddSolid(&barrels, Moved(FrustumSolid(0.6f, 0.6f, 9, 6), {side, 0, 0}), {kDemoPipes});
  }
  model.nodes = {std::move(base), std::move(turret), std::move(barrels)};
  return model;
}

BuilderModel NukeBomb() {
  BuilderMeshNode body = Node("bomb");
  AddSolid(&body, Scaled(SphereSolid(2.5f, 6, 8), {1, 1, 1.8f}), {kDemoHazardStripes});
  AddSolid(&body, Moved(FrustumSolid(1.5f, 0.6f, 2.5f, 8), {0, 0, -6.8f}), {kDemoMetalPlate});
  AddFins(&body, {{0.5f, -7}, {0.5f, -4.6f}, {2.6f, -6.6f}, {2.6f, -7}}, 0.3f, {kDemoMetalPlate});
  return OneNodeModel("nukebomb.3ds", std::move(body));
}

BuilderModel Cargo() {
  BuilderMeshNode crate = Node("crate");
  AddSolid(&crate, BoxSolid({5, 5, 5}), {kDemoMetalPlate});
  AddSolid(&crate, BoxSolid({5.3f, 1.2f, 5.3f}), {kDemoHazardStripes});
  return OneNodeModel("cargo.3ds", std::move(crate));
}

BuilderModel Sensor() {
  BuilderMeshNode marker = Node("sensor");
  AddSolid(&marker, SphereSolid(6, 2, 4), {kDemoLightPanel});
  return OneNodeModel(kDemoSensorModel, std::move(marker));
}

// The network respawn marker: a flat ring of stripes the level start turns
// into a respawn point.
BuilderModel RespawnMarker() {
  BuilderMeshNode marker = Node("respawn");
  AddSolid(&marker, Scaled(SphereSolid(8, 2, 6), {1, 0.25f, 1}), {kDemoHazardStripes});
  return OneNodeModel(kDemoRespawnModel, std::move(marker));
}

// A broken chunk: an octahedron whose six corners lie at different distances.
BuilderModel Debris(int number) {
  const char* textures[] = {kDemoMetalPlate, kDemoWallConcrete, kDemoWallTech};
  const Vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  Vec3 corner[6];
  for (int k = 0; k < 6; ++k) {
    const float r = 2.5f + 4.0f * Hash01(0xDEB815u, number, k);
    corner[k] = {axes[k].x * r, axes[k].y * r, axes[k].z * r};
  }
  Solid chunk;
  for (int x : {0, 1}) {
    for (int y : {2, 3}) {
      for (int z : {4, 5}) chunk.faces.push_back({corner[x], corner[y], corner[z]});
    }
  }
  BuilderMeshNode node = Node("chunk");
  AddSolid(&node, chunk, {textures[number % 3]});
  char name[32];
  std::snprintf(name, sizeof(name), "debris%02d.3ds", number);
  return OneNodeModel(name, std::move(node));
}

// The ship broken up: its nose, the back of its hull and its two wings,
// each where it sits in "hero.3ds", so that the pieces fly apart from their
// own places.
std::vector<BuilderModel> HeroParts() {
  std::vector<BuilderModel> parts;
  auto part = [&](int number, BuilderMeshNode node) {
    char name[32];
    std::snprintf(name, sizeof(name), "HERO-%d.3ds", number);
    parts.push_back(OneNodeModel(name, std::move(node)));
  };
  BuilderMeshNode nose = Node("nose");
  AddSolid(&nose, Moved(FrustumSolid(3.2f, 0, 9, 8), {0, 0, 10}), {"BODY05.BMP"});
  part(1, std::move(nose));
  BuilderMeshNode back = Node("back");
  AddSolid(&back, Moved(FrustumSolid(4.5f, 3.2f, 22, 8), {0, 0, -12}), {"BODY05.BMP"});
  part(2, std::move(back));
  BuilderMeshNode left = Node("left");
  AddSolid(&left, Moved(SlabSolid({{3, 6}, {3, -8}, {17, -10}, {17, -5}}, 1.2f), {0, 0.6f, 0}), {"WING05.BMP"});
  part(3, std::move(left));
  BuilderMeshNode right = Node("right");
  AddSolid(&right, Moved(SlabSolid({{-3, 6}, {-17, -5}, {-17, -10}, {-3, -8}}, 1.2f), {0, 0.6f, 0}),
           {"WING05.BMP"});
  part(4, std::move(right));
  return parts;
}

// Pick-ups: orbs, ammunition crates and guns, small ("...S") or large.
BuilderModel Orb(const std::string& name, float r, const std::string& texture) {
  BuilderMeshNode node = Node("orb");
  AddSolid(&node, SphereSolid(r, 4, 6), {texture});
  return OneNodeModel(name, std::move(node));
}

BuilderModel AmmoCrate(const std::string& name, float size, const std::string& label) {
  BuilderMeshNode node = Node("crate");
  AddSolid(&node, BoxSolid({size, size * 0.6f, size * 0.8f}), {kDemoMetalPlate});
  AddSolid(&node, Moved(BoxSolid({size * 0.5f, size * 0.1f, size * 0.4f}), {0, -size * 0.65f, 0}), {label});
  return OneNodeModel(name, std::move(node));
}

BuilderModel Armour(const std::string& name, float size) {
  BuilderMeshNode node = Node("plate");
  AddSolid(&node, BoxSolid({size, size * 0.3f, size}), {kDemoWallTech});
  AddSolid(&node, Moved(BoxSolid({size * 0.6f, size * 0.15f, size * 0.6f}), {0, -size * 0.4f, 0}), {kDemoMetalPlate});
  return OneNodeModel(name, std::move(node));
}

BuilderModel Gun(const std::string& name, const std::string& accent) {
  BuilderMeshNode node = Node("gun");
  AddSolid(&node, BoxSolid({1.5f, 1.5f, 3}), {kDemoMetalPlate});
  AddSolid(&node, Moved(FrustumSolid(0.6f, 0.5f, 5, 6), {0, -0.3f, 3}), {kDemoPipes});
  AddSolid(&node, Moved(BoxSolid({0.8f, 0.3f, 2}), {0, -1.8f, 0}), {accent});
  return OneNodeModel(name, std::move(node));
}

void AddPickups(std::vector<BuilderModel>* models) {
  for (const char* size : {"S", "L"}) {
    const bool large = size[0] == 'L';
    const float s = large ? 1.6f : 1.0f;
    const std::string tail = std::string(size) + ".3DS";
    models->push_back(Orb("SHIELD" + tail, 3 * s, kDemoLightStrip));
    models->push_back(Armour("ARMOR" + tail, 3 * s));
    models->push_back(AmmoCrate("MGAMMO" + tail, 2.5f * s, "RBULLET.BMP"));
    models->push_back(AmmoCrate("RGAMMO" + tail, 2.5f * s, "SLASER.BMP"));
    models->push_back(AmmoCrate("ROCKET" + tail, 2.5f * s, kDemoHazardStripes));
    models->push_back(AmmoCrate("HMSSL" + tail, 2.5f * s, kDemoLightPanel));
    models->push_back(AmmoCrate("MMSSL" + tail, 2.5f * s, kDemoComputer));
    models->push_back(AmmoCrate("NUKE" + tail, 2.5f * s, kDemoLava));
    models->push_back(AmmoCrate("SMSSL" + tail, 2.5f * s, kDemoLightStrip));
    models->push_back(AmmoCrate("FLETCHT" + tail, 2.5f * s, kDemoPipes));
    models->push_back(Orb("SVORTEX" + tail, 2.5f * s, "!mpulse0.bmp"));
    models->push_back(Orb("ENERGY" + tail, 2.5f * s, "FIREWAVE.BMP"));
  }
  models->push_back(Gun("MG.3DS", "RBULLET.BMP"));
  models->push_back(Gun("RAILGUN.3DS", "SLASER.BMP"));
  models->push_back(Gun("LASER.3DS", "RLASER.BMP"));
  models->push_back(Gun("PLASER.3DS", "SLASER.BMP"));
  models->push_back(Gun("FLTCHCAN.3DS", kDemoHazardStripes));
  models->push_back(Gun("MOLNIA.3DS", "MOLNIA.BMP"));
  models->push_back(Gun("EMS.3DS", kDemoComputer));
  models->push_back(Gun("FREON.3DS", kDemoWater));
}

BuilderModel TestRig() {
  BuilderModel model;
  model.name = kDemoTestRigModel;
  BuilderMeshNode base = Node("base");
  AddSolid(&base, BoxSolid({4, 2, 4}), {kDemoMetalPlate});
  base.rotationKeys = RotationKeysFromTurns({{0, kAxisY, 0}, {10, kAxisY, kTestRigTurn}, {20, kAxisY, kTestRigTurn}});
  base.positionKeys = {{0, {0, 0, 0}}, {20, {0, -10, 0}}};
  BuilderMeshNode arm = Node("arm", 0);
  AddSolid(&arm, Moved(BoxSolid({1, 1, 5}), {0, 0, 6}), {kDemoHazardStripes});
  arm.rotationKeys = RotationKeysFromTurns({{0, kAxisX, 0}, {20, kAxisX, kPi / 4}});
  arm.positionKeys = {{0, {0, -3, 0}}};
  arm.vertices[0].sharedNode = 0;
  arm.vertices[0].sharedIndex = 0;
  model.nodes = {std::move(base), std::move(arm)};
  model.junctions = {{100, 0}, {101, 0}, {102, 0}};
  BuilderSegment forward;
  forward.id = 1;
  forward.from = 0;
  forward.to = 1;
  forward.duration = 2;
  forward.velocity = {0, 0, 10};
  forward.startTime = 0;
  forward.endTime = 10;
  BuilderSegment back;
  back.id = 4;
  back.from = 1;
  back.to = 0;
  back.duration = 0.5f;
  back.velocity = {0, 0, -40};
  back.selectMask = 1;
  back.selectPattern = ~1u;
  BuilderSegment turn;
  turn.id = 2;
  turn.from = 1;
  turn.to = 2;
  turn.duration = 1;
  turn.velocity = {5, 0, 0};
  turn.angularVelocity = {0, kTestRigTurn, 0};
  turn.startTime = 10;
  turn.endTime = 20;
  BuilderSegment home;
  home.id = 3;
  home.from = 2;
  home.to = 0;
  home.duration = 1;
  home.velocity = {0, 0, -10};
  home.startTime = 20;
  home.endTime = 0;
  model.segments = {forward, back, turn, home};
  return model;
}

}  // namespace

std::vector<BuilderModel> MakeDemoModels() {
  std::vector<BuilderModel> models;
  models.push_back(Ship(kDemoHeroModel, "BODY05.BMP", "WING05.BMP"));
  for (BuilderModel& part : HeroParts()) models.push_back(std::move(part));
  models.push_back(Ship(kDemoPlayerStartModel, "BODY01.BMP", "WING01.BMP"));
  models.push_back(Rocket());
  models.push_back(Homing());
  models.push_back(Sentry());
  models.push_back(NukeBomb());
  models.push_back(Cargo());
  models.push_back(Sensor());
  models.push_back(RespawnMarker());
  for (int n = 0; n < kDemoDebrisCount; ++n) models.push_back(Debris(n));
  AddPickups(&models);
  // The enemies come before the test rig, which stays the last model.
  for (BuilderModel& enemy : MakeDemoEnemyModels()) models.push_back(std::move(enemy));
  models.push_back(TestRig());
  return models;
}
