#include "tools/builder/demo_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "engine/name_hash.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/mesh_shapes.h"

namespace {

using Point = std::tuple<float, float, float>;

Point Key(Vec3 p) { return {p.x, p.y, p.z}; }

// Closed and outward: every edge, as a pair of positions, is run as often
// one way as the other (solids of one node may share edges), and the
// enclosed volume is positive (faces face out).
void ExpectClosedAndOutward(const BuilderMeshNode& node, const std::string& where) {
  std::map<std::pair<Point, Point>, int> edges;
  double volume = 0;
  for (const BuilderFace& face : node.faces) {
    const size_t n = face.vertices.size();
    ASSERT_GE(n, 3u) << where;
    for (size_t k = 0; k < n; ++k) {
      const Vec3 a = node.vertices[static_cast<size_t>(face.vertices[k])].position;
      const Vec3 b = node.vertices[static_cast<size_t>(face.vertices[(k + 1) % n])].position;
      ++edges[{Key(a), Key(b)}];
    }
    const Vec3 o = node.vertices[static_cast<size_t>(face.vertices[0])].position;
    for (size_t k = 1; k + 1 < n; ++k) {
      const Vec3 b = node.vertices[static_cast<size_t>(face.vertices[k])].position;
      const Vec3 c = node.vertices[static_cast<size_t>(face.vertices[k + 1])].position;
      volume += (o.x * (b.y * c.z - b.z * c.y) - o.y * (b.x * c.z - b.z * c.x) + o.z * (b.x * c.y - b.y * c.x)) / 6;
    }
  }
  for (const auto& [edge, count] : edges) {
    auto reverse = edges.find({edge.second, edge.first});
    ASSERT_NE(reverse, edges.end()) << where << ": an open edge";
    ASSERT_EQ(reverse->second, count) << where << ": an edge run more often one way";
  }
  EXPECT_GT(volume, 0) << where;
}

// Every face is planar and its vertices' normals are its own.
void ExpectFlatFaces(const BuilderMeshNode& node, const std::string& where) {
  for (const BuilderFace& face : node.faces) {
    const Vec3 n = node.vertices[static_cast<size_t>(face.vertices[0])].normal;
    const Vec3 o = node.vertices[static_cast<size_t>(face.vertices[0])].position;
    EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-4) << where;
    for (int32_t index : face.vertices) {
      const Vec3 p = node.vertices[static_cast<size_t>(index)].position;
      EXPECT_NEAR(n.x * (p.x - o.x) + n.y * (p.y - o.y) + n.z * (p.z - o.z), 0.0f, 1e-3) << where;
    }
  }
}

TEST(DemoModels, EveryMeshIsClosedFlatFacedAndTexturedFromTheDemoSet) {
  const std::vector<std::string> names = DemoTextureNames();
  const std::set<std::string> textures(names.begin(), names.end());
  for (const BuilderModel& model : MakeDemoModels()) {
    ASSERT_FALSE(model.nodes.empty()) << model.name;
    for (const BuilderMeshNode& node : model.nodes) {
      const std::string where = model.name + "/" + node.name;
      ASSERT_FALSE(node.faces.empty()) << where;
      // The hardware pass caches projections of vertex indices below this.
      EXPECT_LT(node.vertices.size(), static_cast<size_t>(kInstanceProjectionCache)) << where;
      ExpectClosedAndOutward(node, where);
      ExpectFlatFaces(node, where);
      for (const BuilderFace& face : node.faces) EXPECT_TRUE(textures.count(face.texture)) << where << face.texture;
    }
  }
}

TEST(DemoModels, EveryNameTheLevelLoadLooksUpIsThereOnceAndHashesApart) {
  std::set<int> hashes;
  std::set<std::string> names;
  for (const BuilderModel& model : MakeDemoModels()) {
    EXPECT_TRUE(hashes.insert(NameHash(model.name.c_str())).second) << model.name;
    EXPECT_LE(model.name.size(), 64u);
    names.insert(model.name);
  }
  for (const char* required : {"hero.3ds", "player.3ds", "rocket.3ds", "homing.3ds", "sentry.3ds", "nukebomb.3ds",
                               "cargo.3ds", "sensor.3ds", "debris00.3ds", "testrig.3ds"}) {
    EXPECT_TRUE(names.count(required)) << required;
  }
  // The 33 pick-up models, "CARGO.3DS" being the cargo model.
  const char* pickups[] = {
      "SHIELDS.3DS",  "SHIELDL.3DS", "ARMORS.3DS",  "ARMORL.3DS", "MGAMMOS.3DS",  "MGAMMOL.3DS",  "RGAMMOS.3DS",
      "RGAMMOL.3DS",  "ROCKETS.3DS", "ROCKETL.3DS", "HMSSLS.3DS", "HMSSLL.3DS",   "MMSSLS.3DS",   "MMSSLL.3DS",
      "NUKES.3DS",    "NUKEL.3DS",   "SMSSLS.3DS",  "SMSSLL.3DS", "FLETCHTS.3DS", "FLETCHTL.3DS", "SVORTEXS.3DS",
      "SVORTEXL.3DS", "ENERGYS.3DS", "ENERGYL.3DS", "MG.3DS",     "RAILGUN.3DS",  "LASER.3DS",    "PLASER.3DS",
      "FLTCHCAN.3DS", "MOLNIA.3DS",  "EMS.3DS",     "FREON.3DS",  "CARGO.3DS"};
  for (const char* pickup : pickups) EXPECT_TRUE(hashes.count(NameHash(pickup))) << pickup;
}

TEST(DemoModels, TheTestRigHasTwoAnimatedNodesASharedVertexAndAPathNetwork) {
  const BuilderModel rig = MakeDemoModels().back();
  ASSERT_EQ(rig.name, kDemoTestRigModel);
  ASSERT_EQ(rig.nodes.size(), 2u);
  EXPECT_EQ(rig.nodes[1].parent, 0);
  for (const BuilderMeshNode& node : rig.nodes) {
    EXPECT_GE(node.rotationKeys.size(), 2u);
    EXPECT_GE(node.positionKeys.size(), 1u);
  }
  EXPECT_EQ(rig.nodes[1].vertices[0].sharedNode, 0);
  EXPECT_EQ(rig.junctions.size(), 3u);
  EXPECT_EQ(rig.segments.size(), 4u);
}

TEST(ModelWriter, RotationKeysFromTurnsLandOnEachKey) {
  const std::vector<BuilderRotationKey> keys =
      RotationKeysFromTurns({{0, {0, 1, 0}, 0}, {5, {0, 1, 0}, 0.5f}, {9, {1, 0, 0}, 0.25f}});
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].matrix, (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
  const std::array<float, 16> want =
      MultiplyMatrices(AxisAngleMatrix({0, 1, 0}, 0.5f), AxisAngleMatrix({1, 0, 0}, 0.25f));
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(keys[2].matrix[i], want[i], 1e-6) << i;
  EXPECT_EQ(keys[2].time, 9);
  EXPECT_EQ(keys[2].angle, 0.25f);
}

TEST(MeshShapes, SolidsAreClosedAndOrientedOutwardWhateverTheirPlacement) {
  const Solid solids[] = {BoxSolid({1, 2, 3}),
                          FrustumSolid(2, 1, 3, 7),
                          FrustumSolid(2, 0, 3, 5),
                          SphereSolid(2, 5, 7),
                          SlabSolid({{0, 0}, {4, 0}, {5, 3}, {1, 4}}, 0.5f),
                          Turned(Moved(BoxSolid({1, 1, 1}), {3, 0, 0}), {1, 1, 0}, 0.7f),
                          Scaled(SphereSolid(1, 3, 4), {1, 2, 3})};
  int index = 0;
  for (const Solid& solid : solids) {
    BuilderMeshNode node;
    AddSolid(&node, solid, {"METAL01.BMP"});
    ExpectClosedAndOutward(node, "solid " + std::to_string(index));
    ExpectFlatFaces(node, "solid " + std::to_string(index++));
  }
}

}  // namespace
