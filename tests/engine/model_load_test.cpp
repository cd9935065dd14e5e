#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "engine/name_hash.h"
#include "engine/path.h"
#include "tests/engine/model_fixture.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/mesh_shapes.h"

namespace {

int NodeCount(const Model* model) {
  int n = 0;
  for (const MeshNode* node = model->firstNode; node; node = node->nextInModel) ++n;
  return n;
}

TEST_F(ModelTest, TheDemoModelsLoadWithTheDemoTexturesAndEveryModelTheLevelLoadNeeds) {
  std::string error;
  ASSERT_TRUE(WriteDemoData(temp_.Path(), &error)) << error;
  ASSERT_EQ(OpenTextureArchive(kTextureBudgetDefault, temp_.Join("TEXTURES.CAN").c_str()), 1);
  const std::vector<BuilderModel> demo = MakeDemoModels();
  ASSERT_EQ(LoadModels(demo), 1);
  EXPECT_EQ(ModelCount(), static_cast<int>(demo.size()));

  for (const char* name :
       {"hero.3ds", "player.3ds", "rocket.3ds", "homing.3ds", "sentry.3ds", "nukebomb.3ds", "cargo.3ds", "sensor.3ds",
        "debris00.3ds", "debris05.3ds", "SHIELDS.3DS", "FREON.3DS", "CARGO.3DS", "testrig.3ds"}) {
    Model* model = ModelFindByFileName(name);
    ASSERT_NE(model, nullptr) << name;
    EXPECT_EQ(model->useCount, 1) << name;
    EXPECT_GT(model->radius, 1.0f) << name;
    EXPECT_GT(NodeCount(model), 0) << name;
  }
  EXPECT_EQ(ModelFindByFileName("debris06.3ds"), nullptr);
  EXPECT_STREQ(ModelFindByFileName("hero.3ds")->name, "hero.3ds");

  // Every face has a real texture of the set (a missing name would have
  // given a temporary placeholder).
  int faces = 0;
  for (Model* model = g_ModelListHead; model; model = model->next) {
    for (MeshNode* node = model->firstNode; node; node = node->nextInModel) {
      for (int i = 0; i < node->faceCount; ++i, ++faces) {
        ASSERT_NE(node->faceTexture[i], nullptr) << model->name;
        EXPECT_EQ(node->faceTexture[i]->temporary, 0) << model->name << " " << node->faceTexture[i]->name;
      }
    }
  }
  EXPECT_GT(faces, 1000);

  // The ship's skins replace exactly the textures the hero is made of.
  bool body = false, wing = false;
  for (MeshNode* node = ModelFindByFileName("hero.3ds")->firstNode; node; node = node->nextInModel) {
    for (int i = 0; i < node->faceCount; ++i) {
      body |= std::strcmp(node->faceTexture[i]->name, "BODY05.BMP") == 0;
      wing |= std::strcmp(node->faceTexture[i]->name, "WING05.BMP") == 0;
    }
  }
  EXPECT_TRUE(body && wing);

  // The sentry's parts hang as the enemy code looks for them.
  const Model* sentry = ModelFindByFileName("sentry.3ds");
  ASSERT_EQ(NodeCount(sentry), 3);
  const MeshNode* base = sentry->firstNode;
  EXPECT_STREQ(base->name, "base");
  EXPECT_STREQ(base->firstChild->name, "turret");
  EXPECT_STREQ(base->firstChild->firstChild->name, "barrels");
  EXPECT_EQ(base->firstChild->firstChild->parent, base->firstChild);
}

struct FileNameCase {
  const char* lookup;
  bool found;
};

class ModelFileNameTest : public ModelTest, public ::testing::WithParamInterface<FileNameCase> {};

TEST_P(ModelFileNameTest, ThePathUpToTheLastBackslashOrColonIsDroppedAndCaseIgnored) {
  ASSERT_EQ(LoadModels({BoxModel("cargo.3ds", {1, 1, 1}), BoxModel("hero.3ds", {2, 2, 2})}), 1);
  Model* hero = g_ModelListHead->next;
  ASSERT_STREQ(hero->name, "hero.3ds");
  EXPECT_EQ(ModelFindByFileName(GetParam().lookup), GetParam().found ? hero : nullptr);
}

INSTANTIATE_TEST_SUITE_P(Names, ModelFileNameTest,
                         ::testing::Values(FileNameCase{"hero.3ds", true}, FileNameCase{"HERO.3DS", true},
                                           FileNameCase{"C:\\GAME\\MODELS\\Hero.3ds", true},
                                           FileNameCase{"D:hero.3ds", true},
                                           FileNameCase{"models\\x:y\\HERO.3DS", true},
                                           FileNameCase{"models/hero.3ds", false}, FileNameCase{"hero.3d", false},
                                           FileNameCase{"hero.3ds\\", false}));

TEST_F(ModelTest, FindingANullNameFindsNothing) {
  ASSERT_EQ(LoadModels({BoxModel("hero.3ds", {1, 1, 1})}), 1);
  EXPECT_EQ(ModelFindByFileName(nullptr), nullptr);
}

TEST_F(ModelTest, BoundsCoverTheRestPoseAndRadiusIsTheFarthestVertex) {
  ASSERT_EQ(LoadModels({BoxModel("box.3ds", {2, 3, 4}, {1, 0, 0})}), 1);
  const Model* model = g_ModelListHead;
  EXPECT_NEAR(model->halfExtent.x, 2.2f, 1e-5);
  EXPECT_NEAR(model->halfExtent.y, 3.3f, 1e-5);
  EXPECT_NEAR(model->halfExtent.z, 4.4f, 1e-5);
  EXPECT_NEAR(model->centre.x, 1.0f, 1e-5);
  EXPECT_NEAR(model->centre.y, 0.0f, 1e-5);
  EXPECT_NEAR(model->radius, std::sqrt(9.0f + 9.0f + 16.0f), 1e-4);
}

TEST_F(ModelTest, EveryVertexAtTenGivesRadiusTenWhateverTheBox) {
  BuilderModel model;
  model.name = "star.3ds";
  BuilderMeshNode node;
  AddSolid(&node, Scaled(SphereSolid(10, 2, 4), {1, 1, 1}), {});
  model.nodes.push_back(node);
  ASSERT_EQ(LoadModels({model}), 1);
  EXPECT_NEAR(g_ModelListHead->radius, 10.0f, 1e-4);
  EXPECT_NEAR(g_ModelListHead->halfExtent.y, 11.0f, 1e-4);
}

TEST_F(ModelTest, ChildBoundsGoThroughTheParentsAndTheirOwnFirstKeys) {
  BuilderModel model = BoxModel("pair.3ds", {1, 1, 1});
  model.nodes[0].rotationKeys = RotationKeysFromTurns({{0, {0, 0, 1}, 0}});
  model.nodes[0].rotationKeys[0].matrix = AxisAngleMatrix({0, 0, 1}, kHalfPi);
  BuilderMeshNode child = model.nodes[0];
  child.rotationKeys.clear();
  child.parent = 0;
  child.positionKeys = {{0, {10, 0, 0}}, {5, {20, 0, 0}}};  // only the first key counts at rest
  model.nodes.push_back(child);
  ASSERT_EQ(LoadModels({model}), 1);
  const Model* m = g_ModelListHead;
  // The child's box, moved to x = 10, then turned a quarter about z by the
  // parent: x = 10 goes to y = -10 (MatrixRotateAxis turns against RotateZ).
  EXPECT_NEAR(m->centre.x, 0.0f, 1e-4);
  EXPECT_NEAR(m->centre.y, -5.0f, 1e-4);
  EXPECT_NEAR(m->halfExtent.y, 6.0f * 1.1f, 1e-4);
  EXPECT_NEAR(m->radius, std::sqrt(11.0f * 11.0f + 2.0f), 1e-3);
}

TEST_F(ModelTest, ANodeWithoutKeysRestsAtIdentity) {
  ASSERT_EQ(LoadModels({BoxModel("box.3ds", {1, 1, 1})}), 1);
  MatrixTranslate(5, 5, 5);
  MeshNodeLoadRestTransform(g_ModelListHead->firstNode);
  const Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(g_CurrentMatrix[i], identity[i]) << i;
}

TEST_F(ModelTest, ANegativeFaceCountIsATwoSidedFaceOfThatManyVertices) {
  BuilderModel model = BoxModel("card.3ds", {1, 1, 1});
  model.nodes[0].faces[2].twoSided = true;
  ASSERT_EQ(LoadModels({model}), 1);
  const MeshNode* node = g_ModelListHead->firstNode;
  EXPECT_EQ(node->faceVertices[2][0], -4);
  EXPECT_EQ(node->faceVertices[1][0], 4);
  EXPECT_EQ(node->faceVertices[2], node->faceData + 10);
  EXPECT_EQ(node->faceDataBytes, 6 * 5 * 4);
}

TEST_F(ModelTest, NamesOfAllSixtyFourStoredBytesStillEndInANul) {
  BuilderModel model = BoxModel(std::string(70, 'm'), {1, 1, 1});
  model.nodes[0].name = std::string(64, 'n');
  model.nodes[0].text = std::string(64, 't');
  ASSERT_EQ(LoadModels({model}), 1);
  EXPECT_EQ(std::strlen(g_ModelListHead->name), 64u);
  EXPECT_EQ(std::string(g_ModelListHead->firstNode->name), std::string(64, 'n'));
  EXPECT_EQ(std::string(g_ModelListHead->firstNode->text), std::string(64, 't'));
}

TEST_F(ModelTest, ReloadingReplacesTheListAndAnEmptyMemberLeavesNoModels) {
  ASSERT_EQ(LoadModels({BoxModel("a.3ds", {1, 1, 1}), BoxModel("b.3ds", {1, 1, 1})}), 1);
  EXPECT_EQ(ModelCount(), 2);
  ASSERT_EQ(LoadModels({BoxModel("c.3ds", {1, 1, 1})}), 1);
  EXPECT_EQ(ModelCount(), 1);
  EXPECT_EQ(ModelFindByFileName("a.3ds"), nullptr);
  EXPECT_NE(ModelFindByFileName("c.3ds"), nullptr);
  ASSERT_EQ(LoadModels({}), 1);
  EXPECT_EQ(ModelListHead(), nullptr);
}

TEST_F(ModelTest, TheCentroidIsTheMeanOfTheNodeMeansRawOrThroughTheRestPose) {
  BuilderModel model = BoxModel("two.3ds", {1, 1, 1}, {4, 0, 0});
  BuilderMeshNode small;
  AddSolid(&small, Moved(BoxSolid({0.1f, 0.1f, 0.1f}), {0, 8, 0}), {});
  small.parent = 0;
  small.positionKeys = {{0, {0, 0, 30}}};
  model.nodes.push_back(small);
  ASSERT_EQ(LoadModels({model}), 1);
  float x = -1, y = -1, z = -1;
  ModelCentroid(g_ModelListHead, &x, &y, &z, 0);
  // Each node counts once, whatever its vertex count.
  EXPECT_NEAR(x, 2.0f, 1e-5);
  EXPECT_NEAR(y, 4.0f, 1e-5);
  EXPECT_NEAR(z, 0.0f, 1e-5);
  InstanceCentroid(g_ModelListHead, &x, &y, &z, 1);
  EXPECT_NEAR(z, 15.0f, 1e-5);

  BuilderModel empty;
  empty.name = "empty.3ds";
  ASSERT_EQ(LoadModels({empty}), 1);
  x = y = z = 7;
  ModelCentroid(g_ModelListHead, &x, &y, &z, 0);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(z, 7);
}

TEST_F(ModelTest, FreeingAModelFreesEveryNodeOfItsTreeAndItsPathNetworkOnce) {
  // A chain of nodes, each the child of the one before, all on the model's
  // list: freeing node 0 frees the rest with it.
  BuilderModel model = BoxModel("chain.3ds", {1, 1, 1});
  for (int i = 1; i < 6; ++i) {
    BuilderMeshNode node = model.nodes[0];
    node.parent = i - 1;
    model.nodes.push_back(node);
  }
  BuilderMeshNode sibling = model.nodes[0];
  sibling.parent = 2;
  model.nodes.push_back(sibling);
  model.junctions = {{1, 0}, {2, 0}};
  model.segments = {{1, 0, 1}, {2, 1, 0}, {3, 0, 1}};
  ASSERT_EQ(LoadModels({model, BoxModel("other.3ds", {1, 1, 1})}), 1);
  Model* chain = g_ModelListHead;
  EXPECT_EQ(NodeCount(chain), 7);
  // Freeing the middle of the chain takes its subtree off the list.
  MeshNodeFree(chain->firstNode->nextInModel->nextInModel);
  EXPECT_EQ(NodeCount(chain), 2);
  EXPECT_EQ(chain->firstNode->nextInModel->firstChild, nullptr);
  ModelFree(chain);
  ASSERT_NE(g_ModelListHead, nullptr);
  EXPECT_STREQ(g_ModelListHead->name, "other.3ds");
  EXPECT_EQ(g_ModelListHead->prev, nullptr);
  // A node freed twice would sit twice on the pool's free list and be handed
  // out twice.
  std::set<void*> blocks;
  std::vector<void*> taken;
  for (int i = 0; i < 16; ++i) {
    taken.push_back(PoolAlloc(sizeof(MeshNode)));
    EXPECT_TRUE(blocks.insert(taken.back()).second);
  }
  for (void* block : taken) PoolFree(block, sizeof(MeshNode));
}

TEST_F(ModelTest, ANodeCannotBecomeTheChildOfItsOwnSubtree) {
  BuilderModel model = BoxModel("pair.3ds", {1, 1, 1});
  model.nodes.push_back(model.nodes[0]);
  model.nodes[1].parent = 0;
  ASSERT_EQ(LoadModels({model}), 1);
  MeshNode* root = g_ModelListHead->firstNode;
  MeshNode* child = g_ModelListHead->lastNode;
  MeshNodeSetParent(root, child);
  MeshNodeSetParent(root, root);
  EXPECT_EQ(root->parent, nullptr);
  EXPECT_EQ(child->parent, root);
  MeshNodeSetParent(child, nullptr);
  EXPECT_EQ(root->firstChild, nullptr);
  MeshNodeSetParent(root, child);
  EXPECT_EQ(child->firstChild, root);
  EXPECT_EQ(child->lastChild, root);
}

TEST_F(ModelTest, PathNetworksArriveLinkedBothWays) {
  const std::vector<BuilderModel> demo = MakeDemoModels();
  ASSERT_EQ(LoadModels({demo.back()}), 1);
  const Model* rig = ModelFindByFileName("testrig.3ds");
  ASSERT_NE(rig, nullptr);
  const PathJunction* j0 = rig->firstJunction;
  ASSERT_NE(j0, nullptr);
  EXPECT_EQ(j0->id, 100);
  const PathJunction* j1 = j0->next;
  EXPECT_EQ(j1->id, 101);
  EXPECT_EQ(rig->lastJunction->id, 102);
  EXPECT_EQ(j0->firstOut->id, 1);
  EXPECT_EQ(j0->firstOut->toJunction, j1);
  EXPECT_EQ(j1->firstIn, j0->firstOut);
  EXPECT_EQ(j1->firstOut->id, 4);
  EXPECT_EQ(j1->firstOut->nextOut->id, 2);
  EXPECT_EQ(j1->lastOut->prevOut, j1->firstOut);
  EXPECT_EQ(j1->firstOut->selectMask, 1u);
  EXPECT_EQ(j1->firstOut->selectPattern, 0xFFFFFFFEu);
  EXPECT_FLOAT_EQ(j1->firstOut->nextOut->angularVelocity.y, kTestRigTurn);
  // The rig's arm shares its first vertex with the base's.
  const MeshNode* arm = rig->lastNode;
  EXPECT_EQ(arm->sharedIndex[0], 0);
  EXPECT_EQ(arm->sharedNode[0], rig->firstNode);
  EXPECT_EQ(arm->sharedIndex[1], -1);
  EXPECT_EQ(arm->sharedNode[1], nullptr);
}

}  // namespace
