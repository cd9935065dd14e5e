#include "engine/instance_fragment.h"

#include <cfloat>
#include <cmath>
#include <vector>

#include "engine/animation.h"
#include "engine/instance.h"
#include "tests/engine/model_fixture.h"

namespace {

// The box's faces, as the builder makes a box: 0 at z = -1, 1 at z = +1,
// 2 at y = -1, 3 at y = +1, 4 at x = -1, 5 at x = +1.
class FragmentTest : public ModelTest {
 protected:
  void SetUp() override {
    BuilderModel odd;
    odd.name = "odd.3ds";
    BuilderMeshNode node;
    auto triangle = [&node](Vec3 a, Vec3 b, Vec3 c) {
      BuilderFace face;
      for (Vec3 p : {a, b, c}) {
        face.vertices.push_back(static_cast<int32_t>(node.vertices.size()));
        BuilderVertex vertex;
        vertex.position = p;
        node.vertices.push_back(vertex);
      }
      node.faces.push_back(face);
    };
    triangle({0, 0, 1}, {1, 0, 1}, {0, 1, 1});            // first vertex exactly at +faceRadius
    triangle({0, 0, 0.5f}, {1, 0, -0.5f}, {0, 1, 0.5f});  // across
    triangle({0, 0, -5}, {1, 0, -5}, {0, 1, -5});         // behind
    odd.nodes.push_back(node);
    BuilderModel many;
    many.name = "many.3ds";
    BuilderMeshNode strip;
    for (int i = 0; i < 1500; ++i) {
      BuilderFace face;
      for (Vec3 p :
           {Vec3{static_cast<float>(i), 0, -1}, Vec3{static_cast<float>(i), 0, 1}, Vec3{static_cast<float>(i), 1, 1}}) {
        face.vertices.push_back(static_cast<int32_t>(strip.vertices.size()));
        BuilderVertex vertex;
        vertex.position = p;
        strip.vertices.push_back(vertex);
      }
      strip.faces.push_back(face);
    }
    many.nodes.push_back(strip);
    ASSERT_EQ(LoadModels({BoxModel("box.3ds", {1, 1, 1}), odd, many}), 1);
    root_ = MakeNode({0, 0, 1}, 0);
    front_ = MakeNode({1, 0, 0}, 0.5f);
    back_ = MakeNode({0, 1, 0}, 0);
  }
  void TearDown() override {
    FreeWorld();
    for (BspNode* node : nodes_) {
      EXPECT_EQ(node->firstInstanceFragment, nullptr);
      PoolDelete(node);
    }
    ModelTest::TearDown();
  }

  BspNode* MakeNode(Vec3 normal, float d) {
    BspNode* node = PoolNew<BspNode>();
    node->normal = normal;
    node->d = d;
    node->boxMin = {FLT_MAX, FLT_MAX, FLT_MAX};
    node->boxMax = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    nodes_.push_back(node);
    return node;
  }

  // An instance of the model, posed, with no fragments yet.
  InstanceNode* Placed(const char* model, Vec3 at, float angleY = 0) {
    Instance* instance = InstanceCreate(NewWorld(), ModelFindByFileName(model), at.x, at.y, at.z, 0, angleY, 0, 0);
    InstanceUpdateMatrix(instance);
    InstanceNodeUpdate(instance->firstNode, 0);
    return instance->firstNode;
  }

  static std::vector<int> Faces(const InstanceFragment* f) { return {f->faces, f->faces + f->faceCount}; }

  BspNode* root_ = nullptr;
  BspNode* front_ = nullptr;
  BspNode* back_ = nullptr;
  std::vector<BspNode*> nodes_;
};

TEST_F(FragmentTest, AnInstanceAcrossThePlaneGetsFrontSpanningAndBackFacesAndDescendsBothSides) {
  InstanceNode* node = Placed("box.3ds", {0, 0, 0});
  InstanceFragment* top = InstanceFragmentCreate(node, root_, nullptr, 0);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->frontCount, 1);
  EXPECT_EQ(top->spanCount, 4);
  EXPECT_EQ(top->backCount, 1);
  // Front faces first, spanning ones in reverse order of finding, back last.
  EXPECT_EQ(Faces(top), (std::vector<int>{1, 5, 4, 3, 2, 0}));
  EXPECT_EQ(top->node, node);
  EXPECT_EQ(top->bspNode, root_);
  EXPECT_EQ(node->firstFragment, top);
  EXPECT_EQ(root_->firstInstanceFragment, top);

  // The front child (plane x = 0.5) sorts the front and spanning faces.
  InstanceFragment* front = InstanceFragmentCreate(node, front_, top, 1);
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(Faces(front), (std::vector<int>{5, 2, 3, 1, 4}));
  EXPECT_EQ(front->frontCount, 1);
  EXPECT_EQ(front->spanCount, 3);
  EXPECT_EQ(front->backCount, 1);
  // The back child (plane y = 0) sorts the spanning and back faces.
  InstanceFragment* back = InstanceFragmentCreate(node, back_, top, -1);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Faces(back), (std::vector<int>{3, 0, 4, 5, 2}));
  EXPECT_EQ(node->lastFragment, back);
  EXPECT_EQ(back->prev, front);
  EXPECT_EQ(back->pushedFront + back->pushedBack, 0);
}

TEST_F(FragmentTest, TheBspNodeGrowsToCoverTheNodesCube) {
  InstanceNode* node = Placed("box.3ds", {4, 0, 0});
  const float r = std::sqrt(3.0f);
  ASSERT_NE(InstanceFragmentCreate(node, root_, nullptr, 0), nullptr);
  EXPECT_NEAR(root_->boxMin.x, 4 - r, 1e-5);
  EXPECT_NEAR(root_->boxMax.x, 4 + r, 1e-5);
  EXPECT_NEAR(root_->boxMin.z, -r, 1e-5);
  // Farthest corner of the cube from the node's centre (the origin).
  EXPECT_NEAR(root_->radius, std::sqrt((4 + r) * (4 + r) + 2 * r * r), 1e-4);
  const float grown = root_->radius;
  // A nearer node does not shrink it.
  ASSERT_NE(InstanceFragmentCreate(Placed("box.3ds", {0, 0, 0}), root_, nullptr, 0), nullptr);
  EXPECT_EQ(root_->radius, grown);
  EXPECT_NEAR(root_->boxMin.x, -r, 1e-5);
  EXPECT_NEAR(root_->boxMax.x, 4 + r, 1e-5);
}

TEST_F(FragmentTest, ThePlaneIsTakenIntoTheNodesOwnAxes) {
  // Turned a quarter about y, the box's x = +1 face looks down -z.
  InstanceNode* node = Placed("box.3ds", {0, 0, 0}, 1.5707964f);
  InstanceFragment* f = InstanceFragmentCreate(node, root_, nullptr, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Faces(f), (std::vector<int>{4, 3, 2, 1, 0, 5}));
  // Moved up past the plane, every face is in front (through the quick test).
  InstanceFragment* high = InstanceFragmentCreate(Placed("box.3ds", {0, 0, 10}), root_, nullptr, 0);
  EXPECT_EQ(Faces(high), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(high->frontCount, 6);
  // ... and its fragment has nothing for a back child.
  EXPECT_EQ(InstanceFragmentCreate(high->node, back_, high, -1), nullptr);
  InstanceFragment* low = InstanceFragmentCreate(Placed("box.3ds", {0, 0, -10}), root_, nullptr, 0);
  EXPECT_EQ(Faces(low), (std::vector<int>{5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(low->backCount, 6);
  EXPECT_EQ(InstanceFragmentCreate(low->node, front_, low, 1), nullptr);
}

TEST_F(FragmentTest, AFirstVertexExactlyAtTheFaceRadiusIsDecidedByTheVertices) {
  InstanceFragment* f = InstanceFragmentCreate(Placed("odd.3ds", {0, 0, 0}), root_, nullptr, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Faces(f), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(f->frontCount, 1);
  EXPECT_EQ(f->spanCount, 1);
  EXPECT_EQ(f->backCount, 1);
}

TEST_F(FragmentTest, MoreThanAThousandSpanningFacesAreAllKept) {
  InstanceFragment* f = InstanceFragmentCreate(Placed("many.3ds", {0, 0, 0}), root_, nullptr, 0);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->spanCount, 1500);
  ASSERT_EQ(f->faceCount, 1500);
  for (int k = 0; k < 1500; ++k) ASSERT_EQ(f->faces[k], 1499 - k) << k;
}

TEST_F(FragmentTest, FreeingAFragmentTakesItOffBothLists) {
  InstanceNode* node = Placed("box.3ds", {0, 0, 0});
  InstanceFragment* a = InstanceFragmentCreate(node, root_, nullptr, 0);
  InstanceFragment* b = InstanceFragmentCreate(node, root_, nullptr, 0);
  InstanceFragment* c = InstanceFragmentCreate(node, root_, nullptr, 0);
  InstanceFragmentFree(b);
  EXPECT_EQ(a->next, c);
  EXPECT_EQ(c->prev, a);
  EXPECT_EQ(a->nextInBsp, c);
  EXPECT_EQ(c->prevInBsp, a);
  InstanceFragmentFree(c);
  EXPECT_EQ(node->lastFragment, a);
  EXPECT_EQ(root_->lastInstanceFragment, a);
  InstanceFragmentFree(a);
  EXPECT_EQ(node->firstFragment, nullptr);
  EXPECT_EQ(root_->firstInstanceFragment, nullptr);
  InstanceFragmentFree(nullptr);
  EXPECT_EQ(InstanceFragmentCreate(nullptr, root_, nullptr, 0), nullptr);
  EXPECT_EQ(InstanceFragmentCreate(node, nullptr, nullptr, 0), nullptr);
}

}  // namespace
