// The demo's network mission, "M4.CAN", started through the document: its
// ring of eight respawn points round the core (each facing it, opposite
// points in each other's line of fire), its pick-ups, doors, lift and
// turbine; in a network game each arriving ship first appears at a point
// of its own, and the network tuning holds once the session is open.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/collision.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "tools/builder/demo_level_arena.h"
#include "tools/builder/demo_mission_arena.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/supply.h"
#include "world/script/door.h"
#include "world/script/script_manager.h"

namespace {

constexpr float kPi = 3.14159265f;

class ArenaMissionTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    std::string error;
    ASSERT_TRUE(WriteDemoArenaMission(folder_.Path(), &error)) << error;
    g_CurrentMissionArchive = "M4.CAN";
  }
  void TearDown() override {
    g_Net.Close();
    g_CurrentMissionArchive = "M1.CAN";
    DocumentTest::TearDown();
  }
  // A network session of this program with the named players in it already.
  void Connect(std::vector<std::string> players) {
    auto fake = std::make_unique<FakeDirectPlay>(&sends_);
    fake->players = std::move(players);
    DPADDRESS address{};
    ASSERT_TRUE(g_Net.InitConnection(address, std::move(fake)));
    ASSERT_TRUE(g_Net.EnumPlayers());
    ASSERT_TRUE(IsNetworkGame());
  }
  std::set<std::string> SupplyNames() const {
    std::set<std::string> names;
    const CObjectList& list = g_pObjectManager->GetObjects();
    for (POSITION at = list.GetHeadPosition(); at;) {
      if (auto* supply = dynamic_cast<CCommonSupply*>(list.GetNext(at))) names.insert(supply->GetName());
    }
    return names;
  }
  static Vec3 RingPoint(int k) {
    const float angle = static_cast<float>(k) * kPi / 4;
    return {kDemoArenaRingRadius * std::sin(angle), kDemoArenaRingY, kDemoArenaRingRadius * std::cos(angle)};
  }
  std::vector<FakeSend> sends_;
};

TEST_F(ArenaMissionTest, EightRespawnPointsRingTheCoreFacingItAcrossClearLinesOfFire) {
  MakeInterface(2);
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  EXPECT_EQ(doc_->GetFileId()[0], kDemoArenaFileId);
  const std::vector<std::pair<std::string, std::string>> raised = {{kDemoArenaStartEvent, "player start"}};
  EXPECT_EQ(events_->raised, raised);

  const CPtrList& points = doc_->RespawnPoints();
  ASSERT_EQ(points.GetCount(), kDemoArenaRespawnCount);
  std::set<int> angles;
  for (POSITION at = points.GetHeadPosition(); at;) {
    const float* m = static_cast<const float*>(points.GetNext(at));
    const float x = m[12], y = m[13], z = m[14];
    EXPECT_NEAR(std::hypot(x, z), kDemoArenaRingRadius, 0.5f);
    EXPECT_FLOAT_EQ(y, kDemoArenaRingY);
    angles.insert(static_cast<int>(std::lround(std::atan2(x, z) / (kPi / 4) + 8)) % 8);
    // Forward (the third row) toward the core's axis.
    const float toward = -(m[8] * x + m[10] * z) / std::hypot(x, z);
    EXPECT_GT(toward, 0.999f) << x << " " << z;
    // The line to the opposite point passes under the core, over its
    // plinth and between the pillars.
    EXPECT_FALSE(WorldSegmentBlocked(doc_->GetWorld(), x, y, z, -x, y, -z)) << x << " " << z;
  }
  EXPECT_EQ(angles.size(), 8u) << "one point every 45 degrees";

  // The ring's supplies, the armouries' and the balcony's prizes.
  const std::set<std::string> supplies = SupplyNames();
  for (const char* model : kDemoArenaRingSupplies) EXPECT_EQ(supplies.count(std::string("ring_") + model), 1u) << model;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(supplies.count(std::string("north_") + kDemoArenaNorthPrizes[k]), 1u);
    EXPECT_EQ(supplies.count(std::string("south_") + kDemoArenaSouthPrizes[k]), 1u);
    EXPECT_EQ(supplies.count(std::string("balcony_") + kDemoArenaBalconyPrizes[k]), 1u);
  }

  // The north door slides open for a ship nearby; the south one swings; the
  // turbine turns for ever.
  ASSERT_NE(g_pScriptManager, nullptr);
  CDoor* north = g_pScriptManager->FindDoorByName(kDemoArenaNorthDoorGroup);
  CDoor* south = g_pScriptManager->FindDoorByName(kDemoArenaSouthDoorGroup);
  CDoor* turbine = g_pScriptManager->FindDoorByName(kDemoArenaTurbineGroup);
  ASSERT_TRUE(north && south && turbine);
  EXPECT_EQ(north->GetShape(), kDoorShapeSliding);
  EXPECT_EQ(north->kind, kDoorKindAuto);
  EXPECT_EQ(south->GetShape(), kDoorShapeRotating);
  EXPECT_EQ(turbine->kind, kDoorKindSpin);
}

// Each ship that joins takes the point after those of the players already
// in the session (in the level's order, the same in every program); with
// more players than points they share them in turn.
TEST_F(ArenaMissionTest, EachArrivingShipFirstAppearsAtAPointOfItsOwn) {
  std::vector<std::string> before;
  for (int k = 0; k < 10; ++k) {
    SCOPED_TRACE(k);
    Connect(before);
    MakeInterface(0);
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    CDirectPlayer* ship = doc_->GetLocalPlayer();
    ASSERT_NE(ship, nullptr);
    const Vec3 expected = RingPoint(k % kDemoArenaRespawnCount);
    // Within the respawn's small scatter.
    EXPECT_NEAR(ship->GetX(), expected.x, 5.0f);
    EXPECT_NEAR(ship->GetY(), expected.y, 5.0f);
    EXPECT_NEAR(ship->GetZ(), expected.z, 5.0f);
    DeleteDocument();
    g_Net.Close();
    before.push_back("P" + std::to_string(k + 1));
  }
}

// A respawn passes over the points where other live ships stand (a dead
// one's wreck is in nobody's way); with every point taken it takes the
// next in turn.
TEST_F(ArenaMissionTest, ARespawnPassesOverThePointsWhereOtherShipsStand) {
  Connect({});
  MakeInterface(0);
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  CDirectPlayer* ship = doc_->GetLocalPlayer();
  ASSERT_NE(ship, nullptr);
  std::vector<CDirectPlayer*> others;
  for (int k = 0; k < kDemoArenaRespawnCount; ++k) {
    others.push_back(new CDirectPlayer("o", "OO", static_cast<DPID>(0x300 + k)));
    doc_->AddPlayer(others.back());
    const Vec3 at = RingPoint(k);
    float* m = others.back()->GetOrientation();
    m[12] = at.x, m[13] = at.y, m[14] = at.z;
  }
  auto expectAt = [&](const Vec3& at) {
    EXPECT_NEAR(ship->GetX(), at.x, 5.0f);
    EXPECT_NEAR(ship->GetZ(), at.z, 5.0f);
  };
  // Every point but the sixth taken; the sixth's ship is dead.
  others[5]->GetOrientation()[12] += 1000.0f;
  ship->Respawn();
  expectAt(RingPoint(5));
  others[5]->GetOrientation()[12] -= 1000.0f;
  others[5]->State().flags |= kPlayerStateDead;
  ship->Respawn();
  expectAt(RingPoint(5));
  // All eight taken: the next in turn.
  others[5]->State().flags &= ~kPlayerStateDead;
  const float* next = static_cast<const float*>(doc_->RespawnPoints().GetHead());
  const Vec3 head = {next[12], next[13], next[14]};
  ship->Respawn();
  expectAt(head);
}

// The document is made before the session opens; the level start of a
// network game gives it the network's tuning (the autocannon's double
// damage), single play keeps its own.
TEST_F(ArenaMissionTest, ANetworkLevelStartTakesTheNetworkTuning) {
  MakeInterface(0);
  MakeDocument();
  ASSERT_FLOAT_EQ(doc_->GetTuning().shotDamage, 1.0f);
  Connect({});
  ASSERT_TRUE(doc_->StartLevel());
  EXPECT_FLOAT_EQ(doc_->GetTuning().shotDamage, 2.0f);
  DeleteDocument();
  g_Net.Close();
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  EXPECT_FLOAT_EQ(doc_->GetTuning().shotDamage, 1.0f);
}

}  // namespace
