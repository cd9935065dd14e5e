#include "engine/instance.h"

#include <cmath>
#include <cstring>
#include <set>

#include "engine/name_hash.h"
#include "engine/properties.h"
#include "engine/texture_remap.h"
#include "tests/engine/model_fixture.h"
#include "tools/builder/demo_models.h"

namespace {

// Row-vector product a x b, for expected matrices built independently of the
// matrix stack.
std::array<float, 16> Mul(const std::array<float, 16>& a, const std::array<float, 16>& b) {
  std::array<float, 16> r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) r[4 * i + j] += a[4 * i + k] * b[4 * k + j];
  return r;
}

std::array<float, 16> RotX(float a) {
  return {1, 0, 0, 0, 0, std::cos(a), std::sin(a), 0, 0, -std::sin(a), std::cos(a), 0, 0, 0, 0, 1};
}
std::array<float, 16> RotY(float a) {
  return {std::cos(a), 0, -std::sin(a), 0, 0, 1, 0, 0, std::sin(a), 0, std::cos(a), 0, 0, 0, 0, 1};
}
std::array<float, 16> RotZ(float a) {
  return {std::cos(a), std::sin(a), 0, 0, -std::sin(a), std::cos(a), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

class InstanceTest : public ModelTest {
 protected:
  static bool Listed(const Texture* texture) {
    for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
      if (t == texture) return true;
    }
    return false;
  }
  void SetUp() override {
    ASSERT_EQ(LoadModels({BoxModel("box.3ds", {1, 2, 3}), MakeDemoModels().back()}), 1);
    box_ = ModelFindByFileName("box.3ds");
    rig_ = ModelFindByFileName(kDemoTestRigModel);
    ASSERT_TRUE(box_ && rig_);
  }
  Model* box_ = nullptr;
  Model* rig_ = nullptr;
};

TEST_F(InstanceTest, CreationMirrorsTheModelAndAppendsAtTheWorldsTail) {
  World* world = NewWorld();
  Instance* first = InstanceCreate(world, box_, 1, 2, 3, 0, 0, 0, 0);
  Instance* rig = InstanceCreate(world, rig_, 0, 0, 0, 0.1f, 0.2f, 0.3f, 4);
  ASSERT_TRUE(first && rig);
  EXPECT_EQ(world->firstInstance, first);
  EXPECT_EQ(world->lastInstance, rig);
  EXPECT_EQ(first->next, rig);
  EXPECT_EQ(rig->prev, first);
  EXPECT_EQ(rig_->useCount, 2);
  EXPECT_EQ(rig->radius, rig_->radius);
  EXPECT_EQ(rig->dirty, 1);
  EXPECT_EQ(rig->collidable, 1);
  EXPECT_EQ(rig->ownAmbient, kAmbientUseDefault);
  EXPECT_EQ(rig->drawn, 0);
  EXPECT_EQ(rig->name[0], 0);
  EXPECT_EQ(rig->pathSegment, nullptr);
  EXPECT_EQ(rig->animTime, 4);
  // One node per mesh node, in the model's order, with its tree.
  InstanceNode* base = InstanceFirstNode(rig);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->meshNode, rig_->firstNode);
  EXPECT_EQ(base->nextInInstance, rig->lastNode);
  EXPECT_EQ(rig->lastNode->meshNode, rig_->lastNode);
  EXPECT_EQ(rig->lastNode->parent, base);
  EXPECT_EQ(base->firstChild, rig->lastNode);
  EXPECT_EQ(base->animated, 1);
  EXPECT_EQ(first->firstNode, first->lastNode);
  // The world's node list holds all three, in creation order.
  EXPECT_EQ(world->firstInstanceNode, first->firstNode);
  EXPECT_EQ(world->firstInstanceNode->nextInWorld, base);
  EXPECT_EQ(world->lastInstanceNode, rig->lastNode);
}

TEST_F(InstanceTest, NothingIsMadeWithoutAWorldOrAModel) {
  EXPECT_EQ(InstanceCreate(nullptr, box_, 0, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(InstanceCreate(NewWorld(), nullptr, 0, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(box_->useCount, 1);
  EXPECT_EQ(InstanceDelete(nullptr), 0);
}

TEST_F(InstanceTest, TheMatrixIsBuiltFromAnglesXThenYThenZAndThePosition) {
  Instance* instance = InstanceCreate(NewWorld(), box_, 5, -6, 7, 0.3f, -0.7f, 1.1f, 0);
  MatrixTranslate(9, 9, 9);
  InstanceUpdateMatrix(instance);
  EXPECT_EQ(g_CurrentMatrix[12], 9);  // the caller's matrix is kept
  std::array<float, 16> want = Mul(Mul(RotX(0.3f), RotY(-0.7f)), RotZ(1.1f));
  want[12] = 5;
  want[13] = -6;
  want[14] = 7;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(instance->matrix[i], want[i], 1e-5) << i;
  EXPECT_EQ(instance->dirty, 0);
}

TEST_F(InstanceTest, AGivenMatrixIsKeptUntilAPlacementAsksForARebuild) {
  Instance* instance = InstanceCreate(NewWorld(), box_, 0, 0, 0, 0, 0, 0, 0);
  instance->pathSegment = rig_->firstJunction->firstOut;
  const Matrix given = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};
  InstanceSetMatrix(instance, given, 3);
  EXPECT_EQ(instance->pathSegment, nullptr);
  EXPECT_EQ(instance->x, 10);
  EXPECT_EQ(instance->z, 30);
  EXPECT_EQ(instance->animTime, 3);
  InstanceUpdateMatrix(instance);
  EXPECT_EQ(std::memcmp(instance->matrix, given, sizeof(Matrix)), 0);
  EXPECT_EQ(instance->dirty, 0);

  instance->pathSegment = rig_->firstJunction->firstOut;
  InstanceSetPlacement(instance, 1, 2, 3, 0, 0, 0, 8);
  EXPECT_EQ(instance->pathSegment, nullptr);
  EXPECT_EQ(instance->matrixGiven, 0);
  EXPECT_EQ(instance->dirty, 1);
  InstanceUpdateMatrix(instance);
  const Matrix placed = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
  EXPECT_EQ(std::memcmp(instance->matrix, placed, sizeof(Matrix)), 0);
}

TEST_F(InstanceTest, DeletingTheLastInstanceOfAModelFreesIt) {
  World* world = NewWorld();
  box_->useCount = 0;  // as if the level had given up its own count
  Instance* a = InstanceCreate(world, box_, 0, 0, 0, 0, 0, 0, 0);
  Instance* b = InstanceCreate(world, box_, 0, 0, 0, 0, 0, 0, 0);
  PropSet(&a->props, NameHash("type"), "crate");
  InstanceSetTextureRemap(a, 1, std::vector<const char*>{"x"}.data(), std::vector<const char*>{"y"}.data());
  EXPECT_EQ(InstanceDelete(a), 1);
  EXPECT_EQ(world->firstInstance, b);
  EXPECT_EQ(b->prev, nullptr);
  EXPECT_EQ(ModelFindByFileName("box.3ds"), box_);
  EXPECT_EQ(InstanceDelete(b), 1);
  EXPECT_EQ(world->firstInstance, nullptr);
  EXPECT_EQ(world->lastInstance, nullptr);
  EXPECT_EQ(world->firstInstanceNode, nullptr);
  EXPECT_EQ(ModelFindByFileName("box.3ds"), nullptr);
  EXPECT_EQ(g_ModelListHead, rig_);
  EXPECT_EQ(rig_->prev, nullptr);
}

TEST_F(InstanceTest, FreeingTheWorldsNodesOneFirstNodeAtATimeFreesEachOnce) {
  World* world = NewWorld();
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(InstanceCreate(world, rig_, 0, 0, 0, 0, 0, 0, 0), nullptr);
    ASSERT_NE(InstanceCreate(world, box_, 0, 0, 0, 0, 0, 0, 0), nullptr);
  }
  // The first node of the list is a rig's base: freeing it frees its arm,
  // which sits further down the same list.
  int calls = 0;
  while (world->firstInstanceNode) {
    InstanceNodeFree(world->firstInstanceNode);
    ++calls;
  }
  EXPECT_EQ(calls, 6);  // three bases (with their arms) and three boxes
  EXPECT_EQ(world->lastInstanceNode, nullptr);
  for (Instance* i = world->firstInstance; i; i = i->next) EXPECT_EQ(i->firstNode, nullptr);
  // A block freed twice would sit twice on the pool's free list and be
  // handed out twice.
  std::set<void*> blocks;
  std::vector<void*> taken;
  for (int i = 0; i < 16; ++i) {
    void* block = PoolAlloc(sizeof(InstanceNode));
    EXPECT_TRUE(blocks.insert(block).second);
    taken.push_back(block);
  }
  for (void* block : taken) PoolFree(block, sizeof(InstanceNode));
}

TEST_F(InstanceTest, NodesMadeOutsideAnInstanceStartClear) {
  InstanceNode* node = InstanceNodeCreate(nullptr, rig_->lastNode, nullptr, nullptr);
  ASSERT_NE(node, nullptr);
  for (int i = 0; i < rig_->lastNode->vertexCount; ++i) EXPECT_EQ(node->vertexNode[i], nullptr);
  InstanceNode* child = InstanceNodeCreate(nullptr, rig_->firstNode, node, nullptr);
  EXPECT_EQ(node->firstChild, child);
  // A node cannot become its own descendant's child.
  InstanceNodeSetParent(node, child);
  EXPECT_EQ(node->parent, nullptr);
  EXPECT_EQ(child->parent, node);
  InstanceNodeSetParent(child, nullptr);
  EXPECT_EQ(node->firstChild, nullptr);
  InstanceNodeFree(child);
  InstanceNodeFree(node);
}

// ---------------------------------------------------------------------------
// Texture remap
// ---------------------------------------------------------------------------

TEST_F(InstanceTest, TheRemapSwapsTexturesByNameWithoutRegardToCase) {
  Texture* body5 = CreateTexture("BODY05.BMP", 32, 32);
  Texture* wing5 = CreateTexture("WING05.BMP", 32, 32);
  Texture* body2 = CreateTexture("BODY02.BMP", 32, 32);
  Texture* other = CreateTexture("OTHER.BMP", 32, 32);
  Instance* ship = InstanceCreate(NewWorld(), box_, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(TextureRemap(ship, body5), body5);  // an empty table changes nothing

  const char* from[] = {"body05.bmp", "WING05.BMP", "MISSING.BMP"};
  const char* to[] = {"Body02.bmp", "NOSUCH.BMP", "OTHER.BMP"};
  InstanceSetTextureRemap(ship, 3, from, to);
  ASSERT_EQ(ship->remapCount, 3);
  EXPECT_EQ(TextureRemap(ship, body5), body2);
  EXPECT_EQ(TextureRemap(ship, wing5), nullptr);  // its "to" was not found
  EXPECT_EQ(TextureRemap(ship, other), other);
  EXPECT_EQ(TextureRemap(ship, nullptr), nullptr);  // the unfound "from" never matches
  EXPECT_EQ(body5->refs, 2);
  EXPECT_EQ(body2->refs, 2);

  InstanceSetTextureRemap(ship, 0, nullptr, nullptr);
  EXPECT_EQ(ship->remapCount, 0);
  EXPECT_EQ(ship->remap, nullptr);
  EXPECT_EQ(body5->refs, 1);
  EXPECT_EQ(TextureRemap(ship, body5), body5);
}

TEST_F(InstanceTest, ATableKeepsAPlaceholderTextureAliveUntilItGoes) {
  Texture* placeholder = TextureFromId(NameHash("LOST.BMP"));
  ASSERT_NE(placeholder, nullptr);
  ASSERT_EQ(placeholder->temporary, 1);
  Instance* ship = InstanceCreate(NewWorld(), box_, 0, 0, 0, 0, 0, 0, 0);
  const char* from[] = {placeholder->name};
  const char* to[] = {placeholder->name};
  InstanceSetTextureRemap(ship, 1, from, to);
  ReleaseTexture(placeholder);  // the face that held it is gone
  EXPECT_TRUE(Listed(placeholder));
  EXPECT_EQ(TextureRemap(ship, placeholder), placeholder);
  InstanceDelete(ship);
  EXPECT_FALSE(Listed(placeholder));
}

// ---------------------------------------------------------------------------
// Reading instances from a world member
// ---------------------------------------------------------------------------

int ReadTestWorld(World* world) {
  return ObjReadRecord<Instance, InstanceRead>(&world->firstInstance) &&
         ObjReadRecord<Instance, InstanceRead>(&world->lastInstance);
}

struct StoredInstance {
  int32_t modelHash;
  bool nestedWorld = false;
};

// A world body of two references to one instance, the way the world member
// stores its instance list (first, last).
std::vector<uint8_t> WorldWithInstance(const StoredInstance& stored) {
  ByteWriter out;
  ObjectGraphWriter graph(out);
  static const int worldId = 0, instanceId = 0, otherWorld = 0;
  graph.Ref(kObjKindWorld, &worldId, [&](ObjectGraphWriter& g) {
    g.Ref(kObjKindInstance, &instanceId, [&](ObjectGraphWriter& g2) {
      WritePropertyList(g2.Out(), {{"event", "open|door1"}});
      if (stored.nestedWorld) {
        g2.Ref(kObjKindWorld, &otherWorld, [](ObjectGraphWriter& g3) { g3.Out().I32(0); });
      } else {
        g2.Ref(kObjKindWorld, &worldId, nullptr);
      }
      g2.Null();
      g2.Null();
      g2.Out().I32(stored.modelHash);
      for (float f : {1.0f, 2.0f, 3.0f, 0.5f, 0.0f, 0.0f, 7.0f}) g2.Out().F32(f);
      g2.Out().FixedString(std::string(64, 'i'), 64);
    });
    g.Ref(kObjKindInstance, &instanceId, nullptr);
  });
  return out.Take();
}

class InstanceReadTest : public InstanceTest {
 protected:
  int Read(const std::vector<uint8_t>& bytes) {
    ArchiveWriter archive;
    EXPECT_TRUE(archive.AddMember("WORLD.CCW", bytes));
    temp_.WriteFile("world.can", archive.Build());
    EXPECT_EQ(ArchiveOpen(temp_.Join("world.can").c_str()), 1);
    EXPECT_EQ(ArchiveFindMember("WORLD.CCW"), 1);
    ObjTableReset();
    const int ok = ObjReadRecord<World, ReadTestWorld>(&world_);
    ObjTableFree();
    ArchiveClose();
    return ok;
  }
};

TEST_F(InstanceReadTest, AStoredInstanceFindsItsModelAndBuildsItsNodes) {
  ASSERT_EQ(Read(WorldWithInstance({NameHash("testrig.3ds")})), 1);
  Instance* instance = world_->firstInstance;
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(world_->lastInstance, instance);
  EXPECT_EQ(instance->world, world_);
  EXPECT_EQ(instance->model, rig_);
  EXPECT_EQ(rig_->useCount, 2);
  EXPECT_EQ(instance->y, 2);
  EXPECT_EQ(instance->angleX, 0.5f);
  EXPECT_EQ(instance->animTime, 7);
  EXPECT_EQ(std::string(instance->name), std::string(64, 'i'));
  EXPECT_STREQ(InstanceGetProperty(instance, "event"), "open|door1");
  EXPECT_EQ(instance->radius, rig_->radius);
  EXPECT_EQ(instance->dirty, 1);
  EXPECT_EQ(instance->collidable, 1);
  EXPECT_EQ(instance->ownAmbient, kAmbientUseDefault);
  ASSERT_NE(instance->firstNode, nullptr);
  EXPECT_EQ(instance->lastNode->parent, instance->firstNode);
  EXPECT_EQ(instance->lastNode->vertexNode[0], instance->firstNode);
  EXPECT_EQ(world_->firstInstanceNode, instance->firstNode);
}

TEST_F(InstanceReadTest, AnUnknownModelOrANestedWorldFailsAndLeavesNothingBehind) {
  for (const StoredInstance& stored :
       {StoredInstance{NameHash("nosuch.3ds")}, StoredInstance{NameHash("testrig.3ds"), true}}) {
    EXPECT_EQ(Read(WorldWithInstance(stored)), 0);
    ASSERT_NE(world_, nullptr);
    Instance* instance = world_->firstInstance;
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->firstNode, nullptr);
    EXPECT_EQ(instance->model, nullptr);
    EXPECT_EQ(instance->props, nullptr);
    EXPECT_EQ(world_->firstInstanceNode, nullptr);
    EXPECT_EQ(rig_->useCount, 1);
    PoolDelete(instance);
    world_->firstInstance = nullptr;
    FreeWorld();
  }
}

}  // namespace
