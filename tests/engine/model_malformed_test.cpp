// Malformed "OBJECTS" members: every one fails the load cleanly (result 0,
// no model left, nothing leaked under the sanitizers) and none crashes.

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include "engine/animation.h"
#include "engine/engine_error.h"
#include "engine/instance.h"
#include "tests/engine/model_fixture.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/mesh_shapes.h"

namespace {

// ---------------------------------------------------------------------------
// Counts, offsets and indices, through the builder's stored overrides
// ---------------------------------------------------------------------------

struct BoxFault {
  const char* what;
  std::function<void(BuilderModel&)> spoil;
};

class BadBoxTest : public ModelTest, public ::testing::WithParamInterface<BoxFault> {};

TEST_P(BadBoxTest, FailsTheLoadAndLeavesNoModel) {
  // A good model first, so that a failure must also drop models read before.
  BuilderModel bad = BoxModel("bad.3ds", {1, 1, 1}, {0, 0, 0}, "NOSUCH.BMP");
  GetParam().spoil(bad);
  EXPECT_EQ(LoadModels({BoxModel("good.3ds", {1, 1, 1}, {0, 0, 0}, "NOSUCH.BMP"), bad}), 0) << GetParam().what;
  EXPECT_EQ(ModelListHead(), nullptr);
  // The placeholder textures of the faces read so far were handed back.
  EXPECT_EQ(TextureListHead(), nullptr);
}

// The box: 24 vertices, 6 faces of 4, faceData 30 values ([4, i, i, i, i]
// per face, face k at offset 5k).
INSTANTIATE_TEST_SUITE_P(
    Counts, BadBoxTest,
    ::testing::Values(
        BoxFault{"negative vertex count", [](BuilderModel& m) { m.nodes[0].storedVertexCount = -5; }},
        BoxFault{"vertex count past the limit", [](BuilderModel& m) { m.nodes[0].storedVertexCount = 0x7FFFFFFF; }},
        BoxFault{"vertex count one past the limit",
                 [](BuilderModel& m) { m.nodes[0].storedVertexCount = kMeshMaxVertices + 1; }},
        BoxFault{"negative face count", [](BuilderModel& m) { m.nodes[0].storedFaceCount = -2; }},
        BoxFault{"face count past the limit", [](BuilderModel& m) { m.nodes[0].storedFaceCount = 1 << 30; }},
        BoxFault{"negative face data count", [](BuilderModel& m) { m.nodes[0].storedFaceDataCount = -3; }},
        BoxFault{"face data count past the limit",
                 [](BuilderModel& m) { m.nodes[0].storedFaceDataCount = kMeshMaxFaceData + 1; }},
        BoxFault{"face offset at the end of faceData", [](BuilderModel& m) { m.nodes[0].faces[5].storedOffset = 30; }},
        BoxFault{"face offset far past faceData", [](BuilderModel& m) { m.nodes[0].faces[0].storedOffset = 1 << 28; }},
        BoxFault{"negative face offset", [](BuilderModel& m) { m.nodes[0].faces[3].storedOffset = -7; }},
        BoxFault{"face list running past faceData", [](BuilderModel& m) { m.nodes[0].faces[5].storedOffset = 28; }},
        BoxFault{"face of no vertices", [](BuilderModel& m) { m.nodes[0].faces[2].storedOffset = 1; }},
        BoxFault{"vertex index equal to the vertex count",
                 [](BuilderModel& m) { m.nodes[0].faces[4].vertices[1] = 24; }},
        BoxFault{"negative vertex index", [](BuilderModel& m) { m.nodes[0].faces[0].vertices[3] = -1; }},
        BoxFault{"vertex count smaller than a face's indices",
                 [](BuilderModel& m) {
                   m.nodes[0].storedVertexCount = 20;
                   m.nodes[0].vertices.resize(20);
                 }},
        BoxFault{"face of 65 vertices",
                 [](BuilderModel& m) {
                   BuilderFace face;
                   for (int i = 0; i < 65; ++i) face.vertices.push_back(i % 24);
                   m.nodes[0].faces.push_back(face);
                 }},
        BoxFault{"shared index past the other node's vertices",
                 [](BuilderModel& m) {
                   BuilderMeshNode child = m.nodes[0];
                   child.parent = 0;
                   child.vertices[3].sharedNode = 0;
                   child.vertices[3].sharedIndex = 24;
                   m.nodes.push_back(child);
                 }},
        BoxFault{"shared index below -1",
                 [](BuilderModel& m) {
                   m.nodes[0].vertices[2].sharedNode = 0;
                   m.nodes[0].vertices[2].sharedIndex = -2;
                 }},
        BoxFault{"shared index without a node", [](BuilderModel& m) { m.nodes[0].vertices[2].sharedIndex = 1; }},
        BoxFault{"vertex not a number",
                 [](BuilderModel& m) { m.nodes[0].vertices[5].position.y = std::numeric_limits<float>::quiet_NaN(); }},
        BoxFault{"key time infinite",
                 [](BuilderModel& m) {
                   m.nodes[0].positionKeys = {{std::numeric_limits<float>::infinity(), {0, 0, 0}}};
                 }},
        BoxFault{"segment duration not a number", [](BuilderModel& m) {
                   m.junctions = {{1, 0}};
                   m.segments = {{1, 0, 0}};
                   m.segments[0].duration = std::numeric_limits<float>::quiet_NaN();
                 }}));

TEST_F(ModelTest, AFaceOfSixtyFourVerticesAndASharedVertexInRangeLoad) {
  BuilderModel model = BoxModel("fine.3ds", {1, 1, 1});
  BuilderFace face;
  for (int i = 0; i < 64; ++i) face.vertices.push_back(i % 24);
  face.twoSided = true;
  model.nodes[0].faces.push_back(face);
  BuilderMeshNode child = model.nodes[0];
  child.parent = 0;
  child.vertices[3].sharedNode = 0;
  child.vertices[3].sharedIndex = 23;
  model.nodes.push_back(child);
  ASSERT_EQ(LoadModels({model}), 1);
  EXPECT_EQ(g_ModelListHead->firstNode->faceVertices[6][0], -64);
  EXPECT_EQ(g_ModelListHead->lastNode->sharedIndex[3], 23);
}

// ---------------------------------------------------------------------------
// Short members: the file ends inside the member
// ---------------------------------------------------------------------------

TEST_F(ModelTest, AMemberCutShortAnywhereFailsCleanly) {
  const std::vector<uint8_t> whole = ObjectsMember({MakeDemoModels().back(), BoxModel("box.3ds", {1, 1, 1})});
  ASSERT_EQ(LoadObjectsBytes(whole), 1);
  int cuts = 0;
  for (size_t length = 0; length < whole.size(); length += 1 + length / 16, ++cuts) {
    ArchiveWriter archive;
    ASSERT_TRUE(archive.AddMember("OBJECTS", whole));
    temp_.WriteFile("cut.can", archive.Build());
    const std::string path = temp_.Join("cut.can");
    ASSERT_EQ(ArchiveOpen(path.c_str()), 1);
    ASSERT_EQ(ArchiveFindMember("OBJECTS"), 1);
    // The file now ends inside the member: reads meet its end there.
    std::filesystem::resize_file(path, 4 + length);
    EXPECT_EQ(ModelsReload(), 0) << "cut at " << length;
    EXPECT_EQ(ModelListHead(), nullptr);
    ArchiveClose();
  }
  EXPECT_GT(cuts, 50);
}

// Any byte of a member may be anything: the load may fail or, rarely, read
// something still well formed, but it never crashes, and what it keeps can
// be instanced, posed and freed.
TEST_F(ModelTest, SpoiltBytesNeverCrashTheLoadOrWhatUsesIt) {
  const std::vector<uint8_t> whole = ObjectsMember({MakeDemoModels().back(), BoxModel("box.3ds", {1, 1, 1})});
  World* world = NewWorld();
  int loaded = 0, runs = 0;
  for (size_t at = 0; at < whole.size(); at += 3) {
    for (uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
      std::vector<uint8_t> spoilt = whole;
      spoilt[at] = value;
      ++runs;
      if (LoadObjectsBytes(spoilt) != 1) {
        EXPECT_EQ(ModelListHead(), nullptr);
        continue;
      }
      ++loaded;
      for (Model* model = g_ModelListHead; model; model = model->next) {
        Instance* instance = InstanceCreate(world, model, 0, 0, 0, 0.1f, 0.2f, 0.3f, 5);
        ASSERT_NE(instance, nullptr);
        InstanceUpdateMatrix(instance);
        for (InstanceNode* node = instance->firstNode; node; node = node->nextInInstance) {
          if (!node->parent) InstanceNodeUpdate(node, 7.5f);
        }
        InstanceDelete(instance);
      }
    }
  }
  EXPECT_GT(runs, 1000);
  EXPECT_LT(loaded, runs);
}

TEST_F(ModelTest, LongKeyChainsLoadWhole) {
  // Each key's body holds the next one's: far deeper than recursion could go.
  constexpr int kKeys = 20000;
  BuilderModel model = BoxModel("keys.3ds", {1, 1, 1});
  for (int i = 0; i < kKeys; ++i) model.nodes[0].positionKeys.push_back({static_cast<float>(i), {0, 0, 0}});
  ASSERT_EQ(LoadModels({model}), 1);
  int count = 0;
  for (const PositionKey* key = ModelListHead()->firstNode->firstPosKey; key; key = key->next) {
    EXPECT_EQ(key->time, static_cast<float>(count));
    ++count;
  }
  EXPECT_EQ(count, kKeys);
}

// ---------------------------------------------------------------------------
// Links: a graph written by hand, record by record
// ---------------------------------------------------------------------------

struct RawNode;
struct RawKey;
struct RawJunction;
struct RawSegment;

struct RawModel {
  RawNode* firstNode = nullptr;
  RawNode* lastNode = nullptr;
  RawModel* prev = nullptr;
  RawModel* next = nullptr;
  RawJunction* firstJunction = nullptr;
  RawJunction* lastJunction = nullptr;
};

struct RawNode {
  RawKey* firstKey = nullptr;
  RawKey* lastKey = nullptr;
  RawNode* prevInModel = nullptr;
  RawNode* nextInModel = nullptr;
  RawModel* model = nullptr;
  RawNode* parent = nullptr;
  RawNode* prevSibling = nullptr;
  RawNode* nextSibling = nullptr;
  RawNode* firstChild = nullptr;
  RawNode* lastChild = nullptr;
  RawNode* shared = nullptr;  // vertex 0 follows vertex 0 of this node
};

struct RawKey {
  RawKey* prev = nullptr;
  RawKey* next = nullptr;
  RawNode* node = nullptr;
};

struct RawJunction {
  RawSegment* firstIn = nullptr;
  RawSegment* lastIn = nullptr;
  RawSegment* firstOut = nullptr;
  RawSegment* lastOut = nullptr;
  RawModel* model = nullptr;
  RawJunction* prev = nullptr;
  RawJunction* next = nullptr;
};

struct RawSegment {
  RawJunction* from = nullptr;
  RawJunction* to = nullptr;
  RawSegment* prevOut = nullptr;
  RawSegment* nextOut = nullptr;
  RawSegment* prevIn = nullptr;
  RawSegment* nextIn = nullptr;
};

class RawWriter {
 public:
  explicit RawWriter(ObjectGraphWriter& g) : g_(g) {}

  void Model(const RawModel* m) {
    g_.Ref(kObjKindModel, m, [this, m](ObjectGraphWriter& g) {
      g.Out().I32(0);
      g.Out().I32(1234);
      g.Out().FixedString("raw.3ds", 64);
      Node(m->firstNode);
      Node(m->lastNode);
      Model(m->prev);
      Model(m->next);
      Junction(m->firstJunction);
      Junction(m->lastJunction);
    });
  }
  void Node(const RawNode* n) {
    g_.Ref(kObjKindMeshNode, n, [this, n](ObjectGraphWriter& g) {
      ByteWriter& out = g.Out();
      out.I32(0);
      out.I32(0);
      out.FixedString("node", 64);
      out.I32(0);
      out.FixedString("", 64);
      for (int i = 0; i < 4; ++i) out.F32(0);
      out.I32(1);  // one vertex, no faces
      out.I32(0);
      out.I32(0);
      Key(n->firstKey);
      Key(n->lastKey);
      g.Null();
      g.Null();
      for (const RawNode* link : {n->prevInModel, n->nextInModel}) Node(link);
      Model(n->model);
      for (const RawNode* link : {n->parent, n->prevSibling, n->nextSibling, n->firstChild, n->lastChild}) Node(link);
      for (int i = 0; i < 8; ++i) out.I32(0);  // x .. v of the vertex
      out.I32(n->shared ? 0 : -1);             // sharedIndex
      Node(n->shared);
    });
  }
  void Key(const RawKey* k) {
    g_.Ref(kObjKindRotationKey, k, [this, k](ObjectGraphWriter& g) {
      g.Out().F32(0);
      for (int i = 0; i < 16; ++i) g.Out().F32(i % 5 == 0 ? 1.0f : 0.0f);
      for (int i = 0; i < 8; ++i) g.Out().F32(0);
      Key(k->prev);
      Key(k->next);
      Node(k->node);
    });
  }
  void Junction(const RawJunction* j) {
    g_.Ref(kObjKindPathJunction, j, [this, j](ObjectGraphWriter& g) {
      g.Out().I32(0);
      g.Out().I32(0);
      for (const RawSegment* s : {j->firstIn, j->lastIn, j->firstOut, j->lastOut}) Segment(s);
      Model(j->model);
      Junction(j->prev);
      Junction(j->next);
    });
  }
  void Segment(const RawSegment* s) {
    g_.Ref(kObjKindPathSegment, s, [this, s](ObjectGraphWriter& g) {
      g.Out().I32(0);
      for (int i = 0; i < 9; ++i) g.Out().F32(1);
      g.Out().I32(0);
      g.Out().I32(-1);
      g.Out().I32(0);
      Junction(s->from);
      Junction(s->to);
      for (const RawSegment* link : {s->prevOut, s->nextOut, s->prevIn, s->nextIn}) Segment(link);
    });
  }

 private:
  ObjectGraphWriter& g_;
};

// Two models, well linked: A with nodes a0 (root, keys k0, k1) and a1 (its
// child), junctions j0, j1 joined by segment s; B with node b0.
struct RawWorld {
  RawModel a, b;
  RawNode a0, a1, b0;
  RawKey k0, k1;
  RawJunction j0, j1;
  RawSegment s;

  RawWorld() {
    a.next = &b;
    b.prev = &a;
    a.firstNode = &a0;
    a.lastNode = &a1;
    a0.nextInModel = &a1;
    a1.prevInModel = &a0;
    a0.model = a1.model = &a;
    a0.firstChild = a0.lastChild = &a1;
    a1.parent = &a0;
    a0.firstKey = &k0;
    a0.lastKey = &k1;
    k0.next = &k1;
    k1.prev = &k0;
    k0.node = k1.node = &a0;
    a1.shared = &a0;
    b.firstNode = b.lastNode = &b0;
    b0.model = &b;
    a.firstJunction = &j0;
    a.lastJunction = &j1;
    j0.next = &j1;
    j1.prev = &j0;
    j0.model = j1.model = &a;
    s.from = &j0;
    s.to = &j1;
    j0.firstOut = j0.lastOut = &s;
    j1.firstIn = j1.lastIn = &s;
  }

  std::vector<uint8_t> Bytes() const {
    ByteWriter out;
    ObjectGraphWriter graph(out);
    RawWriter(graph).Model(&a);
    return out.Take();
  }
};

TEST_F(ModelTest, AWellLinkedHandWrittenGraphLoads) {
  RawWorld raw;
  ASSERT_EQ(LoadObjectsBytes(raw.Bytes()), 1);
  ASSERT_EQ(ModelCount(), 2);
  const Model* a = g_ModelListHead;
  EXPECT_EQ(a->firstNode->firstChild, a->lastNode);
  EXPECT_EQ(a->lastNode->sharedNode[0], a->firstNode);
  EXPECT_EQ(a->firstJunction->firstOut, a->lastJunction->firstIn);
}

struct LinkFault {
  const char* what;
  std::function<void(RawWorld&)> spoil;
};

class BadLinksTest : public ModelTest, public ::testing::WithParamInterface<LinkFault> {};

TEST_P(BadLinksTest, FailTheLoadAndLeaveNoModel) {
  RawWorld raw;
  GetParam().spoil(raw);
  EXPECT_EQ(LoadObjectsBytes(raw.Bytes()), 0) << GetParam().what;
  EXPECT_EQ(ModelListHead(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Links, BadLinksTest,
    ::testing::Values(
        LinkFault{"model list looping", [](RawWorld& w) { w.b.next = &w.a; }},
        LinkFault{"model whose prev is wrong", [](RawWorld& w) { w.b.prev = nullptr; }},
        LinkFault{"first model with a prev", [](RawWorld& w) { w.a.prev = &w.b; }},
        LinkFault{"last model looping onto itself", [](RawWorld& w) { w.b.next = &w.b; }},
        LinkFault{"node on two models' lists", [](RawWorld& w) { w.b.firstNode = w.b.lastNode = &w.a1; }},
        LinkFault{"last node not the end of the list", [](RawWorld& w) { w.a.lastNode = &w.a0; }},
        LinkFault{"node list looping", [](RawWorld& w) { w.a1.nextInModel = &w.a0; }},
        LinkFault{"node naming another model", [](RawWorld& w) { w.a1.model = &w.b; }},
        LinkFault{"child its parent does not list", [](RawWorld& w) { w.a0.firstChild = w.a0.lastChild = nullptr; }},
        LinkFault{"listed child with another parent", [](RawWorld& w) { w.a1.parent = nullptr; }},
        LinkFault{"parents in a loop",
                  [](RawWorld& w) {
                    w.a0.parent = &w.a1;
                    w.a1.firstChild = w.a1.lastChild = &w.a0;
                  }},
        LinkFault{"node its own child",
                  [](RawWorld& w) {
                    w.a1.parent = &w.a1;
                    w.a1.firstChild = w.a1.lastChild = &w.a1;
                    w.a0.firstChild = w.a0.lastChild = nullptr;
                  }},
        LinkFault{"parent in another model",
                  [](RawWorld& w) {
                    w.b0.parent = &w.a0;
                    w.a1.nextSibling = &w.b0;
                    w.b0.prevSibling = &w.a1;
                    w.a0.lastChild = &w.b0;
                  }},
        LinkFault{"root with a sibling", [](RawWorld& w) { w.a0.nextSibling = &w.b0; }},
        LinkFault{"key on two nodes' lists", [](RawWorld& w) { w.b0.firstKey = w.b0.lastKey = &w.k1; }},
        LinkFault{"key naming another node", [](RawWorld& w) { w.k1.node = &w.a1; }},
        LinkFault{"key list looping", [](RawWorld& w) { w.k1.next = &w.k0; }},
        LinkFault{"last key not the end of the list", [](RawWorld& w) { w.a0.lastKey = &w.k0; }},
        LinkFault{"shared vertex in another model", [](RawWorld& w) { w.a1.shared = &w.b0; }},
        LinkFault{"segment on no outgoing list", [](RawWorld& w) { w.j0.firstOut = w.j0.lastOut = nullptr; }},
        LinkFault{"segment on the incoming list of a junction it does not reach",
                  [](RawWorld& w) { w.j0.firstIn = w.j0.lastIn = &w.s; }},
        LinkFault{"segment between two models' junctions",
                  [](RawWorld& w) {
                    w.a.lastJunction = &w.j0;
                    w.j0.next = nullptr;
                    w.j1.prev = nullptr;
                    w.j1.model = &w.b;
                    w.b.firstJunction = w.b.lastJunction = &w.j1;
                  }},
        LinkFault{"junction naming another model", [](RawWorld& w) { w.j1.model = &w.b; }}));

TEST_F(ModelTest, NodeTreesDeeperThanTheLimitAreRefused) {
  auto chain = [](int depth) {
    BuilderModel model = BoxModel("deep.3ds", {1, 1, 1});
    for (int i = 1; i <= depth; ++i) {
      BuilderMeshNode node = model.nodes[0];
      node.parent = i - 1;
      model.nodes.push_back(node);
    }
    return model;
  };
  ASSERT_EQ(LoadModels({chain(kMeshMaxDepth)}), 1);
  EXPECT_EQ(LoadModels({chain(kMeshMaxDepth + 1)}), 0);
  EXPECT_EQ(ModelListHead(), nullptr);
}

// Fifty nodes, each the child of the one before, each claiming the most
// vertices, faces and face values: about 9 MB of arrays apiece from a member
// of about 70 KB. The innermost node is read first and refused before
// any node has allocated its arrays.
TEST_F(ModelTest, NodesClaimingMoreThanTheMemberHoldsAreRefusedBeforeAllocating) {
  BuilderModel model = BoxModel("greedy.3ds", {1, 1, 1});
  for (int i = 1; i < 50; ++i) {
    BuilderMeshNode node = model.nodes[0];
    node.parent = i - 1;
    model.nodes.push_back(node);
  }
  for (BuilderMeshNode& node : model.nodes) {
    node.storedVertexCount = kMeshMaxVertices;
    node.storedFaceCount = kMeshMaxFaces;
    node.storedFaceDataCount = kMeshMaxFaceData;
  }
  const std::vector<uint8_t> member = ObjectsMember({model});
  ASSERT_LT(member.size(), 100u * 1024u);
  EXPECT_EQ(LoadObjectsBytes(member), 0);
  EXPECT_EQ(ModelListHead(), nullptr);
  EXPECT_EQ(g_EngineError.code, kEngineErrorBadData);
  EXPECT_NE(std::string(g_EngineError.message)
                .find("OBJECTS: mesh node of 65536 vertices, 65536 faces and 1048576 face values exceeds the member's"),
            std::string::npos)
      << g_EngineError.message;
}

TEST_F(ModelTest, ABadFaceSaysWhichNodeAndFace) {
  BuilderModel model = BoxModel("box.3ds", {1, 1, 1});
  model.nodes[0].name = "lid";
  model.nodes[0].faces[4].vertices[1] = 24;
  EXPECT_EQ(LoadModels({model}), 0);
  EXPECT_STREQ(g_EngineError.message, "OBJECTS: mesh node \"lid\": face 4 names vertex 24 of 24");
}

}  // namespace
