// The level's paths built from fabricated "path_" groups, the nearest node,
// path followers gliding along them with their node events, and the paths
// and followers in a saved game.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/world/script_world.h"
#include "world/paths/path.h"
#include "world/paths/path_manager.h"
#include "world/paths/path_point.h"
#include "world/script/event_manager.h"

namespace {

// Keeps what is raised; runs nothing.
class RecordingEvents : public CEventManager {
 public:
  BOOL RaiseEvent(const CString& command, const char* source) override {
    raised.emplace_back(command.GetString(), source ? source : "");
    return TRUE;
  }
  std::vector<std::pair<std::string, std::string>> raised;
};

// A path manager and an event recorder in the globals for one test.
class PathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEvents_ = g_pEventManager;
    savedPaths_ = g_pPathMgr;
    g_pEventManager = &events_;
    g_pPathMgr = &paths_;
  }
  void TearDown() override {
    g_pEventManager = savedEvents_;
    g_pPathMgr = savedPaths_;
  }
  // A path of named points joined in order, each node with its event.
  CNewPath* MakePath(const char* name, const std::vector<std::pair<Vec3, const char*>>& points) {
    auto* path = new CNewPath;
    path->SetName(name);
    CPathNode* previous = nullptr;
    for (const auto& [p, event] : points) {
      CPathNode* node = path->FindOrAddNode(p.x, p.y, p.z, event);
      if (previous) {
        previous->SetNext(node);
        node->SetPrev(previous);
      }
      previous = node;
    }
    path->FindFirstNode();
    paths_.AddPath(path);
    return path;
  }

  RecordingEvents events_;
  CNewPathMgr paths_;
  CEventManager* savedEvents_ = nullptr;
  CNewPathMgr* savedPaths_ = nullptr;
};

int CountGroups(World* world) {
  int n = 0;
  for (PolygonGroup* g = GroupFirst(world); g; g = GroupNext(g)) ++n;
  return n;
}

TEST_F(PathTest, SegmentsBecomeLinkedNodesAndLeaveTheWorld) {
  ScriptWorld level;
  PolygonGroup* group = level.Group("path_one");
  WorldPolygon* ab = level.Line(group, {0, 0, 0}, {100, 0, 0});
  level.Line(group, {100.05f, 0, 0}, {100, 0, 100});  // starts within 0.1 of B
  PropSet(&ab->props, NameHash("event"), "open door");
  WorldPolygon* face = level.Face(group, 500, 0, 0);
  level.Group("door");
  CNewPathMgr manager;
  manager.BuildFromScene(level.world());

  ASSERT_EQ(manager.GetPathCount(), 1);
  CNewPath* path = manager.FindPath("PATH_ONE");
  ASSERT_NE(path, nullptr) << "found whatever the case";
  EXPECT_STREQ(path->GetName(), "path_one");
  ASSERT_EQ(path->GetNodeCount(), 3);
  CPathNode* a = path->GetFirstNode();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetPrev(), nullptr);
  EXPECT_STREQ(a->GetEvent(), "open door");
  CPathNode* b = a->GetNext();
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->GetX(), 100.05f) << "a matched node moves to the newest point";
  EXPECT_FALSE(b->HasEvent());
  EXPECT_EQ(b->GetPrev(), a);
  CPathNode* c = b->GetNext();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetNext(), nullptr);
  EXPECT_FLOAT_EQ(c->GetZ(), 100.0f);
  EXPECT_FLOAT_EQ(c->GetRadius(), 1.0f);

  // The group and its segments are gone; its face stays, ungrouped.
  EXPECT_EQ(GroupFindByName(level.world(), "path_one"), nullptr);
  EXPECT_NE(GroupFindByName(level.world(), "door"), nullptr);
  EXPECT_EQ(CountGroups(level.world()), 1);
  int lines = 0, faces = 0;
  for (WorldPolygon* p = WorldFirstPolygon(level.world()); p; p = PolygonNext(p)) {
    (p->vertexCount == 2 ? lines : faces)++;
    if (p == face) EXPECT_EQ(p->group, nullptr);
  }
  EXPECT_EQ(lines, 0);
  EXPECT_EQ(faces, 1);
}

TEST_F(PathTest, BuildingFollowsTheLastSegmentReadAndTheGroupsEvent) {
  ScriptWorld level;
  // Points exactly 0.1 apart are two nodes.
  PolygonGroup* apart = level.Group("path_apart");
  level.Line(apart, {0, 0, 0}, {10, 0, 0});
  level.Line(apart, {10.1f, 0, 0}, {20, 0, 0});
  // Two segments from one start: the later decides next and, having an
  // event, the text.
  PolygonGroup* fork = level.Group("PATH_FORK");
  WorldPolygon* first = level.Line(fork, {0, 0, 0}, {0, 0, 50});
  WorldPolygon* second = level.Line(fork, {0, 0, 0}, {0, 50, 0});
  PropSet(&first->props, NameHash("event"), "first");
  PropSet(&second->props, NameHash("event"), "second");
  // An event on the group names every start node; an end that starts no
  // segment has none.
  level.Group("path_group_event", {{"event", "each"}});
  PolygonGroup* shared = GroupFindByName(level.world(), "path_group_event");
  level.Line(shared, {0, 0, 0}, {10, 0, 0});
  level.Line(shared, {10, 0, 0}, {20, 0, 0});
  // A closed loop has no first node.
  PolygonGroup* loop = level.Group("path_loop");
  level.Line(loop, {0, 0, 0}, {10, 0, 0});
  level.Line(loop, {10, 0, 0}, {0, 10, 0});
  level.Line(loop, {0, 10, 0}, {0, 0, 0});
  level.Group("path_empty");
  level.Group("pathway");  // no underscore: not a path
  CNewPathMgr manager;
  manager.BuildFromScene(level.world());

  ASSERT_EQ(manager.GetPathCount(), 5);
  EXPECT_EQ(manager.FindPath("path_apart")->GetNodeCount(), 4);
  CPathNode* start = manager.FindPath("path_fork")->GetFirstNode();
  ASSERT_NE(start, nullptr);
  EXPECT_STREQ(start->GetEvent(), "second");
  EXPECT_FLOAT_EQ(start->GetNext()->GetY(), 50.0f);
  CPathNode* each = manager.FindPath("path_group_event")->GetFirstNode();
  EXPECT_STREQ(each->GetEvent(), "each");
  EXPECT_STREQ(each->GetNext()->GetEvent(), "each");
  EXPECT_FALSE(each->GetNext()->GetNext()->HasEvent());
  EXPECT_EQ(manager.FindPath("path_loop")->GetNodeCount(), 3);
  EXPECT_EQ(manager.FindPath("path_loop")->GetFirstNode(), nullptr);
  EXPECT_EQ(manager.FindPath("path_empty")->GetNodeCount(), 0);
  EXPECT_EQ(manager.FindPath("pathway"), nullptr);
  EXPECT_EQ(manager.FindPath(nullptr), nullptr);
  EXPECT_NE(GroupFindByName(level.world(), "pathway"), nullptr);
}

TEST_F(PathTest, NearestNodeBySumOfDifferencesEarlierWinsNothingFarOff) {
  CNewPath* path = MakePath("path_n", {{{0, 0, 0}, nullptr}, {{10, 0, 0}, nullptr}, {{0, 10, 0}, nullptr}});
  const struct {
    Vec3 at;
    float expectX, expectY;
    bool none;
  } cases[] = {
      {{9, 0, 0}, 10, 0, false},
      {{1, 1, 1}, 0, 0, false},
      {{5, 5, 0}, 0, 0, false},  // 10 from each node: the earliest wins
      {{0, 99990, 0}, 0, 10, false},
      {{0, 100010, 0}, 0, 0, true},  // 100000 away from the nearest: none
  };
  for (const auto& c : cases) {
    CPathNode* node = path->NearestNode(c.at.x, c.at.y, c.at.z);
    if (c.none) {
      EXPECT_EQ(node, nullptr);
      continue;
    }
    ASSERT_NE(node, nullptr) << c.at.x << "," << c.at.y;
    EXPECT_FLOAT_EQ(node->GetX(), c.expectX) << c.at.x << "," << c.at.y;
    EXPECT_FLOAT_EQ(node->GetY(), c.expectY) << c.at.x << "," << c.at.y;
  }
  EXPECT_EQ(CNewPath().NearestNode(0, 0, 0), nullptr);
}

TEST_F(PathTest, AFollowerGlidesAtTheSpeedOfItsTimeAndRaisesNodeEvents) {
  MakePath("path_glide",
           {{{0, 0, 0}, "at a"}, {{10, 0, 0}, "at b"}, {{30, 0, 0}, "at c"}, {{30, 0, 40}, "at d"}});
  CPathPoint follower;
  EXPECT_TRUE(follower.IsFinished()) << "a new follower is finished";
  follower.Start("PATH_GLIDE", 7.0f);  // 70 units in 7 s
  EXPECT_FALSE(follower.IsFinished());
  EXPECT_FLOAT_EQ(follower.GetSpeed(), 10.0f);
  EXPECT_FLOAT_EQ(follower.GetLinearPosition().x, 0.0f);

  // 10 units to b; 25 units pass it and go 15 on toward c.
  follower.Advance(2500, false);
  EXPECT_FLOAT_EQ(follower.GetLinearPosition().x, 25.0f);
  using Raised = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(events_.raised, (Raised{{"at b", "path_glide"}}));
  // Ending exactly on c: on the node, target d, not finished.
  follower.Advance(500, false);
  EXPECT_FLOAT_EQ(follower.GetLinearPosition().x, 30.0f);
  EXPECT_FALSE(follower.IsFinished());
  EXPECT_EQ(follower.GetTarget()->GetZ(), 40.0f);
  // Silent: d's event is lost; left-over movement finishes it at once.
  follower.Advance(5000, true);
  EXPECT_TRUE(follower.IsFinished());
  EXPECT_EQ(events_.raised.size(), 2u);
  EXPECT_EQ(events_.raised.back().first, "at c");
  const Vec3 end = follower.GetPoint();
  EXPECT_FLOAT_EQ(end.z, 40.0f);
  follower.Advance(1000, false);
  EXPECT_EQ(events_.raised.size(), 2u) << "a finished follower stays";
}

TEST_F(PathTest, TheSmoothedPositionPassesThroughTheNodes) {
  MakePath("path_curve", {{{0, 0, 0}, nullptr}, {{100, 0, 0}, nullptr}, {{100, 0, 100}, nullptr}});
  CPathPoint follower;
  follower.Start("path_curve", 2.0f);  // 100 units a second
  Vec3 p = follower.GetPoint();
  EXPECT_NEAR(p.x, 0.0f, 1e-4f);  // t = 0: the previous node (P0 = P1 on the first segment)
  follower.Advance(500, false);
  p = follower.GetPoint();
  // Halfway along the first segment with P0 = P1 = (0,0,0), P2 = (100,0,0),
  // P3 = (100,0,100): x = 50, z = -6.25 (the curve bends away from the turn).
  EXPECT_NEAR(p.x, 50.0f, 1e-3f);
  EXPECT_NEAR(p.z, -6.25f, 1e-3f);
  follower.Advance(500, false);
  p = follower.GetPoint();
  EXPECT_NEAR(p.x, 100.0f, 1e-3f);  // t = 0 on the last segment: node B
  EXPECT_NEAR(p.z, 0.0f, 1e-3f);
}

TEST_F(PathTest, StartsThatCannotRunLeaveTheFollowerStill) {
  // Two nodes 0.005 apart (closer than building would ever keep apart).
  auto* tiny = new CNewPath;
  tiny->SetName("path_short");
  auto* a = new CPathNode;
  auto* b = new CPathNode;
  a->Set(5, 5, 5, nullptr);
  b->Set(5, 5, 5.005f, "never");
  a->SetNext(b);
  b->SetPrev(a);
  tiny->AppendNode(a);
  tiny->AppendNode(b);
  tiny->FindFirstNode();
  paths_.AddPath(tiny);
  auto* loop = new CNewPath;  // nodes but no first node
  loop->SetName("path_ring");
  loop->FindOrAddNode(0, 0, 0, nullptr);
  paths_.AddPath(loop);
  auto* empty = new CNewPath;
  empty->SetName("path_none");
  paths_.AddPath(empty);

  CPathPoint follower;
  follower.Start("path_short", 0.0f);
  EXPECT_FLOAT_EQ(follower.GetSpeed(), 0.0f) << "length at most 0.01: no speed";
  follower.Advance(100000, false);
  EXPECT_FALSE(follower.IsFinished()) << "it stays on the first node";
  EXPECT_TRUE(events_.raised.empty());

  for (const char* name : {"path_ring", "path_none"}) {
    CPathPoint still;
    still.Start(name, 3.0f);
    EXPECT_TRUE(still.IsFinished()) << name;
    still.Advance(1000, false);
    const Vec3 p = still.GetPoint();
    EXPECT_FLOAT_EQ(p.x + p.y + p.z, 0.0f) << name;
  }

  CPathPoint lost;
  lost.Start("path_missing", 3.0f);
  EXPECT_TRUE(lost.IsFinished());
  EXPECT_EQ(lost.GetPath(), nullptr);
}

TEST_F(PathTest, AnEventThatReleasesTheFollowerEndsItsAdvance) {
  MakePath("path_stop", {{{0, 0, 0}, nullptr}, {{10, 0, 0}, "stop"}, {{20, 0, 0}, "later"}});
  auto* follower = new CPathPoint;
  follower->Start("path_stop", 2.0f);
  class Deleting : public CEventManager {
   public:
    BOOL RaiseEvent(const CString& command, const char*) override {
      texts.emplace_back(command.GetString());
      delete *held;
      *held = nullptr;
      return TRUE;
    }
    CPathPoint** held = nullptr;
    std::vector<std::string> texts;
  } deleting;
  deleting.held = &follower;
  g_pEventManager = &deleting;
  follower->Advance(1500, false);  // passes b (stop) only
  EXPECT_EQ(follower, nullptr);
  EXPECT_EQ(deleting.texts, std::vector<std::string>{"stop"});
  g_pEventManager = &events_;
}

TEST_F(PathTest, PathsAndFollowersComeBackFromASavedGame) {
  CNewPath* path = MakePath("path_saved", {{{0, 0, 0}, "go"}, {{10, 0, 0}, nullptr}, {{10, 20, 0}, "turn"}});
  MakePath("path_other", {{{1, 2, 3}, nullptr}, {{4, 5, 6}, nullptr}});
  CPathPoint follower;
  follower.Start("path_saved", 3.0f);
  follower.Advance(1500, false);

  CMemFile file;
  {
    CArchive out(&file, CArchive::store);
    out << &follower;  // the follower first, as the document's state is
    paths_.SerializePaths(out);
    out.Close();
  }
  CMemFile input(file.Data());
  CArchive in(&input, CArchive::load);
  CPathPoint* loaded = nullptr;
  in >> loaded;
  ASSERT_NE(loaded, nullptr);
  std::unique_ptr<CPathPoint> owned(loaded);
  CNewPathMgr manager;
  manager.SerializePaths(in);

  ASSERT_EQ(manager.GetPathCount(), 2);
  CNewPath* back = manager.FindPath("path_saved");
  ASSERT_NE(back, nullptr);
  EXPECT_NE(back, path);
  EXPECT_EQ(loaded->GetPath(), back) << "the follower's path is the manager's";
  EXPECT_EQ(back->GetNodeCount(), 3);
  EXPECT_STREQ(back->GetFirstNode()->GetEvent(), "go");
  EXPECT_STREQ(back->GetFirstNode()->GetNext()->GetNext()->GetEvent(), "turn");
  EXPECT_EQ(back->GetFirstNode()->GetNext()->GetNext()->GetPrev(), back->GetFirstNode()->GetNext());
  EXPECT_EQ(loaded->GetTarget(), back->GetFirstNode()->GetNext()->GetNext());
  EXPECT_FLOAT_EQ(loaded->GetSpeed(), follower.GetSpeed());
  EXPECT_FLOAT_EQ(loaded->GetLinearPosition().x, 10.0f);
  EXPECT_FLOAT_EQ(loaded->GetLinearPosition().y, 5.0f);
  EXPECT_FALSE(loaded->IsFinished());
}

// A node's record with an event of the given length.
std::vector<uint8_t> NodeArchive(uint32_t eventLength) {
  CMemFile file;
  CArchive out(&file, CArchive::store);
  out.WriteClass(RUNTIME_CLASS(CPathNode));
  const float xyz[3] = {1, 2, 3};
  for (float v : xyz) out << v;
  out << eventLength;
  // The bytes are cut short for a huge length: it must be refused before
  // anything is read.
  const std::string text(std::min<uint32_t>(eventLength, 600), 'e');
  out.Write(text.data(), static_cast<UINT>(text.size()));
  out << static_cast<uint16_t>(0) << static_cast<uint16_t>(0) << 1.0f;
  out.Close();
  return file.Data();
}

TEST_F(PathTest, ASavedNodeWithAnOverlongEventIsRefused) {
  for (uint32_t length : {511u, 512u, 0xFFFFFFFFu}) {
    CMemFile input(NodeArchive(length));
    CArchive in(&input, CArchive::load);
    CObject* node = nullptr;
    if (length == 511u) {
      node = in.ReadObject(RUNTIME_CLASS(CPathNode));
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(std::string(static_cast<CPathNode*>(node)->GetEvent()).size(), 511u);
      delete node;
    } else {
      EXPECT_THROW(in.ReadObject(RUNTIME_CLASS(CPathNode)), CArchiveException) << length;
      for (CObject* made : in.LoadedObjects()) delete made;
    }
  }
}

TEST_F(PathTest, ANodeListedByTwoSavedPathsIsOwnedOnce) {
  // Two paths that list one node, and one path listed twice (a damaged or
  // crafted file): loading keeps each once, so the manager frees each once.
  CNewPath* first = MakePath("path_a", {{{0, 0, 0}, nullptr}, {{1, 0, 0}, nullptr}});
  CNewPath crafted;
  crafted.SetName("path_b");
  crafted.AppendNode(new CPathNode);
  crafted.AppendNode(first->GetFirstNode());
  CMemFile file;
  {
    CArchive out(&file, CArchive::store);
    out.WriteCount(3);
    out << static_cast<const CObject*>(first) << static_cast<const CObject*>(&crafted)
        << static_cast<const CObject*>(first);
    out.Close();
  }
  crafted.ReleaseNode(first->GetFirstNode());
  CMemFile input(file.Data());
  CArchive in(&input, CArchive::load);
  CNewPathMgr manager;
  manager.SerializePaths(in);
  ASSERT_EQ(manager.GetPathCount(), 2);
  EXPECT_EQ(manager.FindPath("path_a")->GetNodeCount(), 2);
  EXPECT_EQ(manager.FindPath("path_b")->GetNodeCount(), 1);
}

}  // namespace
