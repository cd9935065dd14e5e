#include "engine/animation.h"

#include <cmath>

#include "engine/instance.h"
#include "engine/instance_fragment.h"
#include "engine/matrix.h"
#include "engine/render_world.h"
#include "tests/engine/model_fixture.h"
#include "tools/builder/demo_models.h"

namespace {

Vec3 Map(float x, float y, float z) {
  Vec3 out;
  MatrixTransformPoint(x, y, z, &out.x, &out.y, &out.z);
  return out;
}

void ExpectNear(Vec3 got, Vec3 want, const char* what, float tolerance = 1e-4f) {
  EXPECT_NEAR(got.x, want.x, tolerance) << what;
  EXPECT_NEAR(got.y, want.y, tolerance) << what;
  EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

// A node with rotation keys at 0, 10 and 20 turning a quarter about z each
// time, and position keys (0,0,0) at 0 and (10,0,0) at 10, built in memory.
class KeyPoseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const float turns[3] = {0, kHalfPi, 2 * kHalfPi};
    for (int i = 0; i < 3; ++i) {
      RotationKey& key = rotation_[i];
      key.time = 10.0f * static_cast<float>(i);
      key.axis = {0, 0, 1};
      key.angle = i ? kHalfPi : 0;
      MatrixIdentity();
      MatrixRotateAxis(0, 0, 1, turns[i]);
      MatrixGet(key.matrix);
      key.prev = i ? &rotation_[i - 1] : nullptr;
      key.next = i < 2 ? &rotation_[i + 1] : nullptr;
      key.node = &node_;
    }
    position_[0] = {{0, 0, 0}, {}, 0, nullptr, &position_[1], &node_};
    position_[1] = {{10, 0, 0}, {}, 10, &position_[0], nullptr, &node_};
    node_.firstRotKey = &rotation_[0];
    node_.lastRotKey = &rotation_[2];
    node_.firstPosKey = &position_[0];
    node_.lastPosKey = &position_[1];
  }
  void TearDown() override { MatrixIdentity(); }

  MeshNode node_{};
  RotationKey rotation_[3]{};
  PositionKey position_[2]{};
};

struct PoseCase {
  float time;
  float turn;  // quarter turns about z (MatrixRotateAxis direction)
  float x;     // translation
};

class KeyPoseTableTest : public KeyPoseTest, public ::testing::WithParamInterface<PoseCase> {};

TEST_P(KeyPoseTableTest, PosesAtAndBetweenKeys) {
  MeshNodeLoadKeyPose(&node_, GetParam().time);
  const float a = GetParam().turn * kHalfPi;
  // (1, 0, 0) turned by a about z the MatrixRotateAxis way: (cos a, -sin a).
  ExpectNear(Map(1, 0, 0), {std::cos(a) + GetParam().x, -std::sin(a), 0}, "point");
  ExpectNear(Map(0, 0, 0), {GetParam().x, 0, 0}, "origin");
}

INSTANTIATE_TEST_SUITE_P(Times, KeyPoseTableTest,
                         ::testing::Values(PoseCase{-5, 0, 0},           // before the first key: the first
                                           PoseCase{0, 0, 0},            // at the first key
                                           PoseCase{2.5f, 0.25f, 2.5f},  // between
                                           PoseCase{10, 1, 10},          // at the next key: still the earlier, f = 1
                                           PoseCase{15, 1.5f, 10},  // after the last position key: no interpolation
                                           PoseCase{20, 2, 10}, PoseCase{35, 2, 10}));  // after the last key

TEST_F(KeyPoseTest, KeysOfEqualTimesDoNotInterpolate) {
  rotation_[1].time = 0;  // keys 0 and 1 both at time 0
  MeshNodeLoadKeyPose(&node_, 0);
  ExpectNear(Map(1, 0, 0), {1, 0, 0}, "at the shared time: key 0, no turn");
  MeshNodeLoadKeyPose(&node_, 0.001f);
  // Past it the walk moves to key 1 and interpolates towards key 2.
  const float a = kHalfPi + kHalfPi * 0.001f / 20.0f;
  ExpectNear(Map(1, 0, 0), {std::cos(a) + 0.001f, -std::sin(a), 0}, "just after");
}

TEST_F(KeyPoseTest, NoKeysGiveIdentity) {
  MeshNode bare{};
  MatrixTranslate(3, 4, 5);
  MeshNodeLoadKeyPose(&bare, 12);
  ExpectNear(Map(1, 2, 3), {1, 2, 3}, "identity");
}

// The rig of the demo set: base turns about y and rises, the arm hangs 3
// above it and tips about x.
class RigTest : public ModelTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadModels({MakeDemoModels().back()}), 1);
    rig_ = ModelFindByFileName(kDemoTestRigModel);
    ASSERT_NE(rig_, nullptr);
    instance_ = InstanceCreate(NewWorld(), rig_, 100, 0, 0, 0, 0, 0, 10);
    ASSERT_NE(instance_, nullptr);
    base_ = instance_->firstNode;
    arm_ = instance_->lastNode;
  }
  void Pose(float time) {
    InstanceUpdateMatrix(instance_);
    InstanceNodeUpdate(base_, time);
  }
  Model* rig_ = nullptr;
  Instance* instance_ = nullptr;
  InstanceNode* base_ = nullptr;
  InstanceNode* arm_ = nullptr;
};

TEST_F(RigTest, NodesArePosedThroughTheirParentsAndTheInstance) {
  Pose(10);
  // Base: a quarter turn about y (the RotateAxis way), half way up, at x 100.
  const float* b = base_->worldMatrix;
  ExpectNear({b[12], b[13], b[14]}, {100, -5, 0}, "base position");
  MatrixLoad(b);
  ExpectNear(Map(0, 0, 1), {100 - 1, -5, 0}, "base turned (z goes to -x)");
  // Arm: 3 above the base, its x axis tipped by pi/8, then the base's pose.
  const float* a = arm_->worldMatrix;
  ExpectNear({a[12], a[13], a[14]}, {100, -8, 0}, "arm position");
  EXPECT_EQ(arm_->parent, base_);
  ExpectNear(arm_->pivotWorld, {100, -8, 0}, "arm pivot");
  // The current matrix is the caller's again.
  MatrixIdentity();
  MatrixTranslate(1, 2, 3);
  InstanceNodeUpdate(base_, 3);
  ExpectNear(Map(0, 0, 0), {1, 2, 3}, "caller's matrix kept");
}

TEST_F(RigTest, ANodeNotAnimatedUsesItsLocalMatrixAndOffset) {
  arm_->animated = 0;
  MatrixIdentity();
  MatrixRotateY(kHalfPi);
  MatrixGet(arm_->localMatrix);
  arm_->localOffset = {0, 0, 7};
  Pose(0);
  // Base at time 0 sits at the instance's place unturned.
  MatrixLoad(arm_->worldMatrix);
  ExpectNear(Map(0, 0, 0), {100, 0, 7}, "offset");
  ExpectNear(Map(1, 0, 0), {100, 0, 6}, "local rotation (RotateY takes x to -z)");
}

TEST_F(RigTest, AParentGroupMovesTheWholeInstance) {
  PolygonGroup group{};
  MatrixIdentity();
  MatrixTranslate(0, 0, 50);
  MatrixGet(group.worldMatrix);
  instance_->parentGroup = &group;
  Pose(0);
  ExpectNear({base_->worldMatrix[12], base_->worldMatrix[13], base_->worldMatrix[14]}, {100, 0, 50}, "base");
  ExpectNear({arm_->worldMatrix[12], arm_->worldMatrix[13], arm_->worldMatrix[14]}, {100, -3, 50}, "arm");
  instance_->parentGroup = nullptr;
}

TEST_F(RigTest, SharedVerticesPointAtTheNodeMadeForTheirMeshNodeAndTheRestAreClear) {
  EXPECT_EQ(arm_->vertexNode[0], base_);
  for (int i = 1; i < arm_->meshNode->vertexCount; ++i) EXPECT_EQ(arm_->vertexNode[i], nullptr) << i;
  for (int i = 0; i < base_->meshNode->vertexCount; ++i) EXPECT_EQ(base_->vertexNode[i], nullptr) << i;
}

TEST_F(RigTest, PosingRemakesOneFragmentAtTheBspRootUnlessInstancesAreZBuffered) {
  BspNode root{};
  root.normal = {0, 0, 1};
  world_->bspRoot = &root;
  Pose(0);
  Pose(5);
  ASSERT_NE(base_->firstFragment, nullptr);
  EXPECT_EQ(base_->firstFragment, base_->lastFragment);
  EXPECT_EQ(base_->firstFragment->bspNode, &root);
  EXPECT_NE(arm_->firstFragment, nullptr);
  g_InstancesZBuffered = 1;
  while (base_->firstFragment) InstanceFragmentFree(base_->firstFragment);
  Pose(6);
  EXPECT_EQ(base_->firstFragment, nullptr);
  g_InstancesZBuffered = 0;
  while (root.firstInstanceFragment) InstanceFragmentFree(root.firstInstanceFragment);
  world_->bspRoot = nullptr;
}

}  // namespace
