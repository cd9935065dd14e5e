// Weapons in the demo level: target keys, the HUD's target list and line of
// sight, weapon selection and heat, missiles in flight, launches, gun fire
// and its network messages, damage to level objects, hazard zones and
// bullet holes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/animation.h"
#include "engine/depth_cue.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "game/tuning_block.h"
#include "platform/clock.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "tools/builder/demo_level.h"
#include "world/document/hud_targets.h"
#include "world/document/level_group_effects.h"
#include "world/objects/bullet.h"
#include "world/objects/missile.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/static_sprite.h"
#include "world/objects/weapon_math.h"

namespace {

class WeaponsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    g_GameTime = 50000;
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    events_->raised.clear();
    ship_ = doc_->GetLocalPlayer();
    ASSERT_NE(ship_, nullptr);
    Place(ship_, 0, 40, -280);
    // A camera at the origin looking along +z: 640 x 480, focal 320.
    view_ = View{};
    MatrixSetIdentity(view_.cameraMatrix);
    view_.zoom = 1.0f;
    view_.focal = 320.0f;
    view_.width = 640;
    view_.height = 480;
    view_.stamp = 0xFFFFFFF0u;
    doc_->SetViewer(&view_);
  }
  void TearDown() override {
    if (doc_) doc_->SetViewer(nullptr);
    g_Net.Close();
    DocumentTest::TearDown();
  }
  static void Place(CDirectPlayer* player, float x, float y, float z) {
    float* m = player->GetOrientation();
    MatrixSetIdentity(m);
    m[12] = x, m[13] = y, m[14] = z;
  }
  CDirectPlayer* AddPlayer(DPID id, float x, float y, float z) {
    auto* player = new CDirectPlayer("t", "TT", id);
    doc_->AddPlayer(player);
    Place(player, x, y, z);
    return player;
  }
  void Advance(int ms) { g_GameTime = GameTimeAdd(g_GameTime, ms); }
  // A network game with one other player far away, to whom the messages go.
  void JoinNetwork() {
    DPADDRESS address{};
    ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends_)));
    ASSERT_TRUE(IsNetworkGame());
    AddPlayer(0xF00, 5000, 5000, 5000);
  }
  // The messages of a type sent so far.
  std::vector<std::vector<uint8_t>> Sent(uint16_t type) const {
    std::vector<std::vector<uint8_t>> found;
    for (const FakeSend& s : sends_) {
      if (s.bytes.size() >= 4 && (NetReadU32(s.bytes.data()) & ~kNetAckRequested) == kNetCodeBase + type) {
        found.push_back(s.bytes);
      }
    }
    return found;
  }
  int CountObjects(const CRuntimeClass* type) const {
    int count = 0;
    const CObjectList& list = g_pObjectManager->GetObjects();
    for (POSITION at = list.GetHeadPosition(); at;) {
      CGenericObject* object = list.GetNext(at);
      if (object->IsKindOf(type)) ++count;
    }
    return count;
  }
  size_t Raised(const std::string& text) const {
    size_t n = 0;
    for (const auto& [raised, source] : events_->raised) n += raised == text;
    return n;
  }

  View view_{};
  CDirectPlayer* ship_ = nullptr;
  std::vector<FakeSend> sends_;
};

// ---------------------------------------------------------------------------
// Targets

TEST(HudTargets, PlayerKeysAreTheDpidInTheHighHalfAndTheMapWalksBucketsNewestFirst) {
  CDirectPlayer player("p", "PP", 0x1234);
  EXPECT_EQ(PlayerTargetKey(&player), 0x1234ull << 32);
  EXPECT_EQ(PlayerTargetKey(nullptr), 0u);
  HudTargetMap map;
  // Players share bucket 0 (newest first); enemy 0x20 is bucket 2, 0x10
  // bucket 1, 0x120 bucket 18 mod 17 = 1 (added later, so first).
  for (uint64_t key : {0x500ull << 32, 0x501ull << 32, 0x7ull << 32 | 0x20, 0x7ull << 32 | 0x10,
                       0x7ull << 32 | 0x120}) {
    map.Add(key);
  }
  const std::vector<uint64_t> expected = {0x501ull << 32, 0x500ull << 32, 0x7ull << 32 | 0x120,
                                          0x7ull << 32 | 0x10, 0x7ull << 32 | 0x20};
  EXPECT_EQ(map.Keys(), expected);
  EXPECT_TRUE(map.Remove(0x500ull << 32));
  EXPECT_FALSE(map.Remove(0x500ull << 32));
  EXPECT_EQ(map.GetCount(), 4);
  CHudTarget target(1);
  target.StartLockTimer(1000);
  EXPECT_EQ(target.GetLockAge(1000), 1u) << "a started timer is at least 1 ms old";
  EXPECT_FALSE(target.IsLocked(1499));
  EXPECT_TRUE(target.IsLockNear(1300));
  EXPECT_TRUE(target.IsLocked(1500));
  target.ResetLockTimer();
  EXPECT_EQ(target.GetLockAge(5000), 0u);
}

TEST_F(WeaponsTest, TargetPositionsComeFromPlayersByKeyAndEnemyKeysNameNoPresentEnemy) {
  CDirectPlayer* other = AddPlayer(0x600, 10, 20, 30);
  float x = 0, y = 0, z = 0;
  ASSERT_TRUE(doc_->GetTargetPosition(PlayerTargetKey(other), &x, &y, &z));
  EXPECT_EQ(std::vector<float>({x, y, z}), std::vector<float>({10, 20, 30}));
  EXPECT_FALSE(doc_->GetTargetPosition(0x600ull << 32 | 5, &x, &y, &z)) << "a non-zero low half is an enemy";
  EXPECT_FALSE(doc_->GetTargetPosition(0, &x, &y, &z));
  EXPECT_FALSE(doc_->IsTargetGone(PlayerTargetKey(other)));
  doc_->RemovePlayer(other);
  delete other;
  EXPECT_TRUE(doc_->IsTargetGone(0x600ull << 32)) << "gone by its key, no pointer kept";
}

TEST_F(WeaponsTest, PointsOnBothScreenEdgesAreInSightAndAWallHidesThem) {
  Place(ship_, 200, 0, 300);
  // x = 100 at depth 300 projects to 426; (300, 0, 600) lies beyond the
  // hangar's far wall as seen from the ship.
  EXPECT_TRUE(doc_->IsPointInSight(100, 0, 300));
  EXPECT_FALSE(doc_->IsPointInSight(300, 0, 600)) << "behind the wall";
  EXPECT_FALSE(doc_->IsPointInSight(0, 0, -50)) << "behind the camera";
  // Depth 100: x = 100 projects onto x = 640, y = 75 onto y = 480.
  Place(ship_, 100, 75, 60);
  EXPECT_TRUE(doc_->IsPointInSight(100, 75, 100)) << "the right and bottom edges are inside";
  EXPECT_TRUE(doc_->IsPointInSight(-100, -75, 100)) << "the left and top edges are inside";
  EXPECT_FALSE(doc_->IsPointInSight(101, 0, 100));
}

TEST_F(WeaponsTest, TheTargetListLocksTheSelectedPlayerOnceAfterHalfASecond) {
  Place(ship_, 0, 0, -100);
  CDirectPlayer* a = AddPlayer(0x700, 50, 0, 200);
  CDirectPlayer* b = AddPlayer(0x701, -50, 0, 200);
  doc_->SetOwnedWeapons(1, 1 | 2);
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetHomingToggle(1);
  doc_->SetAmmo(kAmmoHoming, 0);
  doc_->UpdateTargetList();
  EXPECT_TRUE(doc_->TargetMap().IsEmpty()) << "no homing missiles in stock: targeting is off";
  EXPECT_EQ(doc_->GetSelectedTarget(), 0u);

  doc_->SetAmmo(kAmmoHoming, 3);
  // With depth cueing off the targets are still taken (within a fixed
  // range), so homing works either way.
  const float cueFar = g_DepthCueFar;
  g_DepthCueFar = -1.0f;
  doc_->UpdateTargetList();
  EXPECT_EQ(doc_->TargetMap().GetCount(), 2) << "depth cue off";
  g_DepthCueFar = cueFar;
  doc_->TargetMap().Clear();
  doc_->SetSelectedTarget(0);
  doc_->UpdateTargetList();
  ASSERT_EQ(doc_->TargetMap().GetCount(), 2);
  const uint64_t first = doc_->TargetMap().Keys().front();
  const uint64_t second = doc_->TargetMap().Keys().back();
  EXPECT_EQ(doc_->GetSelectedTarget(), first) << "the first in the map's order is selected";
  Advance(400);
  doc_->UpdateTargetList();
  EXPECT_FALSE(doc_->TargetMap().Find(first)->locked);
  Advance(200);
  doc_->UpdateTargetList();
  EXPECT_TRUE(doc_->TargetMap().Find(first)->locked);
  // Switching away resets the timer: coming back costs the full 500 ms.
  doc_->SelectNextTarget();
  EXPECT_EQ(doc_->GetSelectedTarget(), second);
  doc_->UpdateTargetList();
  doc_->SelectNextTarget();
  EXPECT_EQ(doc_->GetSelectedTarget(), first) << "the last entry wraps to the first";
  Advance(100);
  doc_->UpdateTargetList();
  EXPECT_FALSE(doc_->TargetMap().Find(first)->locked);
  // A target that leaves the map is dropped with the selection.
  CDirectPlayer* leaver = first == PlayerTargetKey(a) ? a : b;
  CDirectPlayer* stayer = leaver == a ? b : a;
  doc_->RemovePlayer(leaver);
  delete leaver;
  doc_->UpdateTargetList();
  EXPECT_EQ(doc_->TargetMap().GetCount(), 1);
  EXPECT_EQ(doc_->GetSelectedTarget(), PlayerTargetKey(stayer));
  doc_->SelectNextTarget();
  EXPECT_EQ(doc_->GetSelectedTarget(), PlayerTargetKey(stayer)) << "one target: nothing to cycle";
}

TEST_F(WeaponsTest, TheEnergyPulseHurtsAPlayerInItsColumnWhateverItsHeight) {
  Place(ship_, 10, 1000, 0);
  const float before = ship_->GetShields();
  doc_->DamagePlayersNear(0, 0, 16, 50, 100);
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 5.0f);
  Place(ship_, 100, 0, 0);
  doc_->DamagePlayersNear(0, 0, 16, 50, 100);
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 5.0f) << "outside the radius plus the ship's own";
}

// ---------------------------------------------------------------------------
// Weapon selection

TEST_F(WeaponsTest, GunsAndLaunchersAreUsableWithTheirAmmunition) {
  doc_->SetOwnedWeapons(1 | 4 | 8 | 16, 1 | 2 | 8);
  for (int i = 0; i < kAmmoCounters; ++i) doc_->SetAmmo(i, 0);
  EXPECT_FALSE(doc_->HasGun(0));
  EXPECT_FALSE(doc_->HasMissile(0));
  EXPECT_TRUE(doc_->HasGun(4)) << "the laser needs no ammunition to count as usable";
  EXPECT_FALSE(doc_->HasGun(8 | 16));
  doc_->SetAmmo(kAmmoEnergyCells, 1);
  EXPECT_TRUE(doc_->HasGun(8 | 16));
  EXPECT_FALSE(doc_->HasGun(2)) << "not owned";
  doc_->SetAmmo(kAmmoHoming, 5);
  EXPECT_TRUE(doc_->HasMissile(1)) << "rockets 0, homing 5";
  EXPECT_FALSE(doc_->HasMissile(8));
  EXPECT_FALSE(doc_->HasMissile(32)) << "no vortex shields, no satellite";
}

TEST_F(WeaponsTest, TheGunCycleMovesOnlyForwardAndDryGunsPassTheSelectionOn) {
  doc_->SetOwnedWeapons(1 | 2 | 16 | 32, 1);
  doc_->SetAmmo(kAmmoShells, 10);
  doc_->SetAmmo(kAmmoPlasmaBolts, 10);
  doc_->SetAmmo(kAmmoEnergyCells, 0);
  doc_->SetAmmo(kAmmoSlugs, 5);
  struct Case {
    uint8_t selected;
    int request;
    uint8_t expected;
  };
  const Case cases[] = {
      {1, 0, 32},   // after the autocannon the molnia arc, which has no cells
      {32, 0, 2},   // core accelerator -> (pulse laser not owned) plasma coil
      {2, 0, 1},    // plasma coil wraps to the autocannon
      {2, 1, 2},    // collecting the autocannon keeps the later plasma coil
      {1, 2, 2},    // collecting the plasma coil selects it
      {0, 32, 32},  // nothing selected: the requested gun
  };
  for (const Case& c : cases) {
    doc_->SetSelectedWeapons(c.selected, 1);
    doc_->CycleGun(c.request);
    EXPECT_EQ(doc_->GetSelectedGun(), c.expected) << int(c.selected) << " " << c.request;
    EXPECT_EQ(doc_->GetGunLockout(), 600);
  }
  // The autocannon runs dry and asks for itself: the next usable gun.
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetAmmo(kAmmoShells, 0);
  doc_->CycleGun(1);
  EXPECT_EQ(doc_->GetSelectedGun(), 32);
  for (int i = 0; i < kAmmoCounters; ++i) doc_->SetAmmo(i, 0);
  doc_->SetLockouts(0, 0);
  doc_->CycleGun(0);
  EXPECT_EQ(doc_->GetSelectedGun(), 0) << "no usable gun: none selected";
  EXPECT_EQ(doc_->GetGunLockout(), 0) << "and the lockout unchanged";
}

TEST_F(WeaponsTest, KeySelectionLocksOutAndRefusesWhatCannotBeUsed) {
  doc_->SetOwnedWeapons(1 | 2, 1 | 2 | 4 | 8);
  doc_->SetAmmo(kAmmoShells, 10);
  doc_->SetAmmo(kAmmoPlasmaBolts, 0);
  doc_->SetAmmo(kAmmoMicroMissiles, 2);
  doc_->SetAmmo(kAmmoNukes, 0);
  doc_->SetSelectedWeapons(1, 4);
  doc_->SelectGun(2);
  EXPECT_EQ(doc_->GetSelectedGun(), 1) << "a plasma coil without bolts is refused";
  EXPECT_EQ(doc_->GetGunLockout(), 400);
  doc_->SelectMissile(8);
  EXPECT_EQ(doc_->GetSelectedMissile(), 4) << "no nukes: the selection stays";
  EXPECT_EQ(doc_->GetMissileLockout(), 600);
  doc_->SetAmmo(kAmmoRockets, 1);
  doc_->SelectMissile(2);
  EXPECT_EQ(doc_->GetSelectedMissile(), 1) << "homing counts as the rockets slot";
  // Cycling from rockets skips the unusable vortex shield.
  doc_->CycleMissile(0);
  EXPECT_EQ(doc_->GetSelectedMissile(), 4);
  EXPECT_EQ(doc_->GetMissileLockout(), 900);
}

TEST_F(WeaponsTest, FiringHeatsTheGunOnceTheFreonIsSpent) {
  doc_->SetGunHeat(0.0f);
  doc_->SetFreon(0.1f);
  doc_->HeatGun(0.01f);
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 0.0f);
  EXPECT_NEAR(doc_->GetGunHeat(), 0.005f, 1e-6);
  doc_->SetGunHeat(0.96f);
  doc_->HeatGun(0.0f);
  EXPECT_FLOAT_EQ(doc_->GetGunHeat(), 1.1f) << "above 0.95: overheated";
  EXPECT_TRUE(doc_->IsGunOverheated());
  doc_->Tuning().shellCapacity = 50;
  doc_->ResetNetworkLoadout();
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 40);
  EXPECT_EQ(doc_->GetOwnedMissiles(), 1 | 2 | 4 | 8 | 32 | 64);
}

// ---------------------------------------------------------------------------
// Missiles

TEST_F(WeaponsTest, ARocketFliesStraightAndExplodesAtTheHangarWall) {
  // From the start towards the back wall at z = -400.
  CMissileObject rocket(0, 1, doc_->GetPlayerShip(), 0, 40, -300, 0, 0, -300, 0, 40, -299, 18);
  EXPECT_FLOAT_EQ(rocket.GetSpeed(), 300.0f);
  EXPECT_TRUE(rocket.IsDumb());
  EXPECT_EQ(rocket.GetSearchTimer() >= 250 && rocket.GetSearchTimer() <= 375, true);
  BOOL flying = TRUE;
  int updates = 0;
  float x, y, z;
  while (flying && updates < 100) {
    flying = rocket.Update(100);
    ++updates;
  }
  EXPECT_FALSE(flying);
  rocket.GetPosition(x, y, z);
  EXPECT_GT(z, -400.0f) << "placed back before the wall";
  EXPECT_LT(z, -390.0f);
  EXPECT_EQ(updates, 4) << "100 units at 300 a second, 30 an update";
  EXPECT_LT(rocket.GetRangeLeft(), 1800.0f);
}

TEST_F(WeaponsTest, AHomingMissileTurnsTowardAMovingTargetWithinItsSteeringLimit) {
  Place(ship_, 0, 40, -280);
  CDirectPlayer* target = AddPlayer(0x800, 200, 40, 0);
  const uint64_t key = PlayerTargetKey(target);
  CHMissileObject missile(0, 2, nullptr, static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32), 0, 40, -200,
                          0, 0, 100, 0, 40, -201, 12);
  const float speed = missile.GetSpeed();
  EXPECT_FLOAT_EQ(speed, 130.0f);
  EXPECT_EQ(missile.GetModel(), doc_->GetRocketModel());
  bool hit = false;
  for (int i = 0; i < 200 && !hit; ++i) {
    const V3 before = Load3(missile.GetVelocity());
    if (!missile.Update(33)) {
      hit = true;
      break;
    }
    const V3 after = Load3(missile.GetVelocity());
    // One sub-step: the velocity changes by at most S x step, and never
    // exceeds S.
    EXPECT_LE(Length(after - before), speed * 0.033f + 1e-3f) << i;
    EXPECT_LE(Length(after), speed + 1e-3f);
    Place(target, 200, 40, static_cast<float>(i));  // the target drifts along +z
  }
  float x, y, z;
  missile.GetPosition(x, y, z);
  ASSERT_TRUE(hit) << "reached its target";
  EXPECT_LT(std::hypot(x - 200.0f, z - target->GetZ()), 2 * 2 * 3.6f + 5.0f);
  // A sentry's strength shows the sentry model.
  CHMissileObject sentry(0, 3, nullptr, static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32), 0, 40, -200, 0,
                         0, 100, 0, 40, -201, 35);
  EXPECT_EQ(sentry.GetModel(), doc_->GetSentryModel());
}

TEST_F(WeaponsTest, AMicroMissileSearchesAtHalfSpeedAndDropsAVanishedTarget) {
  Place(ship_, 0, 40, -350);
  CDirectPlayer* target = AddPlayer(0x900, 0, 40, 300);
  CSMissileObject micro(0, 4, nullptr, 0, 40, -250, 0, 0, 250, 0, 40, -251, 12);
  micro.SetSearchTimer(300);
  ASSERT_TRUE(micro.Update(33));
  EXPECT_LE(Length(Load3(micro.GetVelocity())), 125.0f + 1e-3f) << "half speed without a target";
  int searched = 1;
  for (; searched < 8 && micro.GetTargetKey() == 0; ++searched) ASSERT_TRUE(micro.Update(33));
  ASSERT_EQ(micro.GetTargetKey(), PlayerTargetKey(target)) << "found once the timer passed 500 ms";
  EXPECT_GE(searched, 6) << "300 + 33 x 6 > 500";
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(micro.Update(33));
  EXPECT_GT(Length(Load3(micro.GetVelocity())), 125.0f + 30.0f) << "full speed with a target";
  doc_->RemovePlayer(target);
  delete target;
  ASSERT_TRUE(micro.Update(33));
  EXPECT_EQ(micro.GetTargetKey(), 0u) << "the vanished target is dropped";
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(micro.Update(33));
  EXPECT_LE(Length(Load3(micro.GetVelocity())), 125.0f + 1e-3f) << "straight on at half speed";
  EXPECT_EQ(micro.GetTargetKey(), 0u) << "its two searches are spent";
}

TEST_F(WeaponsTest, AMissileWhoseLauncherIsDeletedInFlightForgetsIt) {
  Instance* launcher = InstanceCreate(doc_->GetWorld(), doc_->GetShipModel(), 0, 40, -250, 0, 0, 0, 0);
  ASSERT_NE(launcher, nullptr);
  launcher->radius = 17.0f;
  CMissileObject rocket(0, 5, launcher, 0, 40, -250, 0, 0, 300, 0, 40, -251, 18);
  ASSERT_TRUE(rocket.Update(20));
  EXPECT_FLOAT_EQ(launcher->radius, 17.0f) << "the radius comes back after the update";
  InstanceDelete(launcher);
  ASSERT_TRUE(rocket.Update(20)) << "no write to the freed launcher (the address sanitizer watches)";
  EXPECT_EQ(rocket.GetLauncher(), nullptr);
}

// A group's missile event is raised once per hit in the whole session: the
// program owning the missile raises it and sends it on; the copies of that
// missile in the other programs (another owner here) raise and send nothing.
TEST_F(WeaponsTest, OnlyTheMissilesOwnerRaisesAndSendsTheGroupsMissileEvent) {
  JoinNetwork();
  PolygonGroup* panel = GroupFindByName(doc_->GetWorld(), kDemoShockPanelGroup);
  ASSERT_NE(panel, nullptr);
  PropSet(&panel->props, NameHash("missile_event"), "log MISSILE");
  const DPID other = 0xC00;
  AddPlayer(other, 5000, 5000, 4000);
  struct Case {
    DPID owner;
    size_t raised;
  };
  // The panel hangs at z = 1449 over x 1150..1250, y -100..0, facing -z.
  for (const Case& c : {Case{other, 0u}, Case{0, 1u}, Case{other, 0u}}) {
    events_->raised.clear();
    sends_.clear();
    CMissileObject rocket(c.owner, 9, nullptr, 1200, -50, 1380, 0, 0, 300, 1200, -50, 1379, 18);
    ASSERT_EQ(rocket.IsLocal(), c.owner == 0);
    BOOL flying = TRUE;
    for (int i = 0; flying && i < 20; ++i) flying = rocket.Update(50);
    EXPECT_FALSE(flying) << "the rocket of " << c.owner << " met the panel";
    EXPECT_EQ(Raised("log MISSILE"), c.raised) << "owner " << c.owner;
    size_t sent = 0;
    for (const auto& message : Sent(kNetTypeScriptEvent)) {
      sent += std::string(reinterpret_cast<const char*>(message.data() + kNetTextOffset),
                          message.size() - kNetTextOffset)
                  .find("log MISSILE") != std::string::npos;
    }
    EXPECT_EQ(sent, c.raised) << "owner " << c.owner;
  }
}

TEST_F(WeaponsTest, ScoresPreferNearTargetsAheadAndRefuseFarOrHiddenOnes) {
  CMissileObject rocket(0, 6, nullptr, 0, 40, -300, 0, 0, 100, 0, 40, -301, 18);
  const float near = rocket.ScoreTarget(0, 40, -200);
  const float aside = rocket.ScoreTarget(100, 40, -300);
  EXPECT_GE(near, 0.0f);
  EXPECT_GE(aside, 0.0f);
  EXPECT_EQ(rocket.ScoreTarget(0, 40, -350), -1.0f) << "behind";
  EXPECT_EQ(rocket.ScoreTarget(0, 40, 800), -1.0f) << "beyond 1000 units";
  EXPECT_EQ(rocket.ScoreTarget(0, 40, -500), -1.0f) << "behind it and the wall";
  EXPECT_EQ(rocket.ScoreTarget(600, 40, -300), -1.0f) << "the side wall hides it";
}

// ---------------------------------------------------------------------------
// Launches

TEST_F(WeaponsTest, TheMissileKeyLaunchesRocketsByTheirIntervalAndFallsBackWithoutATarget) {
  JoinNetwork();
  doc_->SetOwnedWeapons(1, 1 | 2 | 4);
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetAmmo(kAmmoRockets, 3);
  doc_->SetAmmo(kAmmoHoming, 3);
  doc_->SetLockouts(0, 0);
  Place(ship_, 0, 40, -280);
  float* m = ship_->GetOrientation();
  m[8] = 0, m[9] = 0, m[10] = 1;  // forward +z
  const int before = CountObjects(RUNTIME_CLASS(CMissileObject));
  doc_->FireMissile();
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CMissileObject)), before + 1) << "no target locked: a rocket";
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 2);
  EXPECT_EQ(doc_->GetAmmo(kAmmoHoming), 3);
  Advance(900);
  doc_->FireMissile();
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 2) << "900 ms is not enough";
  Advance(1);
  doc_->FireMissile();
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 1);
  const auto created = Sent(kTypeMissile);
  ASSERT_EQ(created.size(), 2u);
  const std::vector<uint8_t>& message = created[0];
  ASSERT_EQ(message.size(), 72u);
  EXPECT_EQ(NetReadU32(message.data() + 4), doc_->GetLocalPlayerId());
  EXPECT_EQ(message[16], 1);
  EXPECT_EQ(NetReadU32(message.data() + 24), 0u) << "a rocket has no target";
  EXPECT_FLOAT_EQ(NetReadF32(message.data() + 44 + 8), 0.8f * 300.0f);
  EXPECT_FLOAT_EQ(NetReadF32(message.data() + 68), 18.0f);
  // Micro missiles: three at once, and an empty slot goes back to rockets.
  doc_->SetSelectedWeapons(1, 4);
  doc_->SetAmmo(kAmmoMicroMissiles, 1);
  doc_->FireMissile();
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CSMissileObject)), 3);
  EXPECT_EQ(Sent(kTypeMicroMissile).size(), 3u);
  Advance(1500);
  doc_->FireMissile();
  EXPECT_EQ(doc_->GetSelectedMissile(), 1);
}

// A rocket whose launch point ahead of the ship lies behind a wall never
// flies: it explodes there, and the round is spent.
TEST_F(WeaponsTest, ARocketLaunchedIntoAWallExplodesAtItsLaunchPoint) {
  doc_->SetOwnedWeapons(1, 1);
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetAmmo(kAmmoRockets, 2);
  doc_->SetLockouts(0, 0);
  // Ten units before the hangar's back wall, facing it.
  Place(ship_, 0, 40, -390);
  float* m = ship_->GetOrientation();
  m[0] = -1, m[10] = -1;
  const int rockets = CountObjects(RUNTIME_CLASS(CMissileObject));
  const int explosions = CountObjects(RUNTIME_CLASS(CExplosionObject));
  doc_->FireMissile();
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CMissileObject)), rockets);
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CExplosionObject)), explosions + 1);
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 1);
}

// ---------------------------------------------------------------------------
// Gun fire

TEST_F(WeaponsTest, TheAutocannonFiresByItsIntervalAndItsShotsAreSent) {
  JoinNetwork();
  doc_->SetOwnedWeapons(1, 1);
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetAmmo(kAmmoShells, 100);
  doc_->SetLockouts(0, 0);
  doc_->SetGunHeat(0);
  doc_->SetFreon(100);
  int shots = 0;
  for (int frame = 0; frame < 32; ++frame) {  // 960 ms in frames of 30 ms
    const int before = doc_->GetAmmo(kAmmoShells);
    doc_->FireGun();
    shots += before - doc_->GetAmmo(kAmmoShells);
    Advance(30);
  }
  EXPECT_EQ(shots, 4) << "every 240 ms: at 0, 240, 480, 720";
  const auto sent = Sent(kTypeHitscanShot);
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0].size(), 52u);
  EXPECT_EQ(sent[0][16], 1);
  EXPECT_FLOAT_EQ(NetReadF32(sent[0].data() + 20 + 4), 41.0f) << "the muzzle is one unit up";
  const float damage = NetReadF32(sent[0].data() + 44);
  const float shot = doc_->GetTuning().shotDamage;
  EXPECT_TRUE(damage >= 0.8f * shot && damage <= shot) << damage << ": the tuning's shot damage, less up to 20 %";
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 100.0f - 4 * 0.06f * 20.0f);
}

TEST_F(WeaponsTest, LasersFireTwoBoltsSlugsEighteenAndADryGunCycles) {
  JoinNetwork();
  doc_->SetOwnedWeapons(1 | 4 | 32, 1);
  doc_->SetAmmo(kAmmoEnergyCells, 3);
  doc_->SetAmmo(kAmmoSlugs, 1);
  doc_->SetAmmo(kAmmoShells, 1);
  doc_->SetLockouts(0, 0);
  doc_->SetFreon(100);
  doc_->SetSelectedWeapons(4, 1);
  doc_->FireGun();
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CBullet)), 2);
  EXPECT_EQ(doc_->GetAmmo(kAmmoEnergyCells), 0) << "3 cells pay for one shot of 4";
  EXPECT_EQ(Sent(kTypeBulletShot).size(), 2u);
  EXPECT_EQ(doc_->GetShakeLevel(), 400);
  Advance(300);
  doc_->FireGun();
  EXPECT_EQ(doc_->GetSelectedGun(), 1) << "out of cells: the cycle moves on";
  doc_->SetSelectedWeapons(32, 1);
  doc_->SetLockouts(0, 0);
  doc_->FireGun();
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CBullet)), 2 + 18);
  const auto salvo = Sent(kTypeSlugShot);
  ASSERT_EQ(salvo.size(), 1u);
  const float damage = NetReadF32(salvo[0].data() + 44);
  EXPECT_TRUE(damage >= 2.4f && damage <= 3.0f) << "the default slug damage is applied before sending";
  EXPECT_TRUE(Sent(kTypeBullet).size() >= 2u) << "the bolts announce themselves; slugs never do";
}

TEST_F(WeaponsTest, AnOverheatedGunOrAGodModeShipKeepsItsAmmunitionRules) {
  doc_->SetOwnedWeapons(1, 1);
  doc_->SetSelectedWeapons(1, 1);
  doc_->SetAmmo(kAmmoShells, 5);
  doc_->SetLockouts(0, 0);
  doc_->SetGunHeat(1.1f);
  doc_->FireGun();
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 5) << "overheated";
  doc_->SetGunHeat(0.95f);
  ship_->ToggleGodMode();
  doc_->FireGun();
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 5) << "god mode takes no ammunition";
  doc_->SetAmmo(kAmmoShells, 0);
  Advance(300);
  doc_->FireGun();
  EXPECT_EQ(doc_->GetSelectedGun(), 0) << "but still needs some";
  ship_->ToggleGodMode();
}

TEST_F(WeaponsTest, AnotherPlayersShotHurtsTheLocalShipAndScoresTheKill) {
  JoinNetwork();
  CDirectPlayer* shooter = AddPlayer(0xA00, 0, 40, -100);
  doc_->AllocScoreSlot(shooter->GetName());
  doc_->AllocScoreSlot(ship_->GetName());
  Instance* ship = doc_->GetPlayerShip();
  ASSERT_NE(ship, nullptr);
  // The ship's sphere takes its place in the world as a frame's render
  // would put it there.
  InstanceSetMatrix(ship, ship_->GetOrientation(), 0);
  InstanceUpdateMatrix(ship);
  for (InstanceNode* node = ship->firstNode; node; node = node->nextInInstance) {
    if (!node->parent) InstanceNodeUpdate(node, ship->animTime);
  }
  const float before = ship_->GetShields();
  // The local ship's sphere lies on the shot's way to the back wall.
  doc_->FireHitscan(shooter->GetId(), shooter->GetInstance(), ship->x, ship->y, ship->z + 150, ship->x, ship->y,
                    -395, 5.0f);
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 5.0f);
  ship_->SetShields(1.0f);
  ship_->SetHealth(1.0f);
  doc_->FireHitscan(shooter->GetId(), shooter->GetInstance(), ship->x, ship->y, ship->z + 150, ship->x, ship->y,
                    -395, 50.0f);
  EXPECT_TRUE(ship_->IsDead());
  int victim = -1, killer = -1;
  doc_->FindScoreSlots(ship_, shooter, &victim, &killer);
  ASSERT_GE(victim, 0);
  ASSERT_GE(killer, 0);
  EXPECT_EQ(doc_->GetKills(victim, killer), 1) << "the shooter scores";
  EXPECT_TRUE(Sent(kTypeHitscanShot).empty()) << "another player's shot is not sent again";
}

// Another player's shot and launch messages are repeated here with the
// sender as owner; a message cut short is refused before any field is read.
TEST_F(WeaponsTest, ReceivedShotsAndLaunchesAreRepeatedAndShortOnesRefused) {
  JoinNetwork();
  CDirectPlayer* shooter = AddPlayer(0xB00, 0, 40, -100);
  Instance* ship = doc_->GetPlayerShip();
  InstanceSetMatrix(ship, ship_->GetOrientation(), 0);
  InstanceUpdateMatrix(ship);
  for (InstanceNode* node = ship->firstNode; node; node = node->nextInInstance) {
    if (!node->parent) InstanceNodeUpdate(node, ship->animTime);
  }
  auto message = [&](uint16_t type, size_t size, uint32_t clock) {
    std::vector<uint8_t> m(size, 0);
    NetWriteU32(m.data(), kNetCodeBase + type);
    NetWriteU32(m.data() + 4, shooter->GetId());
    NetWriteU32(m.data() + 8, clock);
    NetWriteU32(m.data() + 12, 77);
    m[16] = 1;
    return m;
  };
  std::vector<uint8_t> shot = message(kTypeHitscanShot, 52, 1000);
  const float line[7] = {0, 40, -130, 0, 40, -395, 6.0f};
  for (int i = 0; i < 7; ++i) NetWriteF32(shot.data() + 20 + 4 * i, line[i]);
  const float before = ship_->GetShields();
  doc_->HandleNetMessage(shooter->GetId(), doc_->GetLocalPlayerId(), shot.data(), 51);
  EXPECT_FLOAT_EQ(ship_->GetShields(), before) << "51 bytes: refused";
  doc_->HandleNetMessage(shooter->GetId(), doc_->GetLocalPlayerId(), shot.data(), shot.size());
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 6.0f);
  EXPECT_TRUE(Sent(kTypeHitscanShot).empty()) << "not sent on again";

  std::vector<uint8_t> launch = message(kTypeMissile, 72, 2000);
  NetWriteU32(launch.data() + 24, 0);
  NetWriteU32(launch.data() + 28, doc_->GetLocalPlayerId());  // at the local ship
  const float flight[6] = {0, 40, -150, 0, 0, -100};
  for (int i = 0; i < 6; ++i) NetWriteF32(launch.data() + 32 + 4 * i, flight[i]);
  NetWriteF32(launch.data() + 68, 12.0f);
  doc_->HandleNetMessage(shooter->GetId(), doc_->GetLocalPlayerId(), launch.data(), 71);
  EXPECT_EQ(CountObjects(RUNTIME_CLASS(CHMissileObject)), 0) << "71 bytes: refused";
  doc_->HandleNetMessage(shooter->GetId(), doc_->GetLocalPlayerId(), launch.data(), launch.size());
  ASSERT_EQ(CountObjects(RUNTIME_CLASS(CHMissileObject)), 1);
  auto* missile = static_cast<CHMissileObject*>(g_pObjectManager->GetObjects().GetTail());
  EXPECT_EQ(missile->GetOwner(), shooter->GetId());
  EXPECT_FALSE(missile->IsLocal());
  EXPECT_EQ(missile->GetTargetKey(), PlayerTargetKey(ship_));
  EXPECT_FLOAT_EQ(missile->GetDamage(), 12.0f);
  EXPECT_TRUE(Sent(kTypeMissile).empty()) << "a copy is not announced";
}

// ---------------------------------------------------------------------------
// Level objects, hazards, holes

PolygonGroup* MakeDestructible(World* world, CNetDoc* doc, const char* name, float hitPoints) {
  PolygonGroup* group = GroupFindByName(world, name);
  if (!group) return nullptr;
  PropSet(&group->props, NameHash("structural_hits"), "2");
  PropSet(&group->props, NameHash("destroy_event"), "log BOOM");
  auto* record = new DamageableGroup{hitPoints, group, -1};
  void* old = nullptr;
  if (doc->DamageableGroups().Lookup(name, old)) delete static_cast<DamageableGroup*>(old);
  doc->DamageableGroups()[name] = record;
  return group;
}

TEST_F(WeaponsTest, ALevelObjectIsDentedThenBreaksAfterItsFuseAndRaisesItsEvent) {
  PolygonGroup* target = MakeDestructible(doc_->GetWorld(), doc_, kDemoShockPanelGroup, 30.0f);
  ASSERT_NE(target, nullptr);
  PolygonGroup* spare = GroupFindByName(doc_->GetWorld(), kDemoBlinkingSignGroup);
  ASSERT_NE(spare, nullptr);
  WorldPolygon* face = GroupFirstPolygon(target);
  ASSERT_NE(face, nullptr);
  EXPECT_TRUE(doc_->IsDestructible(face));
  void* value = nullptr;
  ASSERT_TRUE(doc_->DamageableGroups().Lookup(kDemoShockPanelGroup, value));
  auto* record = static_cast<DamageableGroup*>(value);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(doc_->OnPolygonHit(face, 0, 0, 0, 10.0f));
  EXPECT_FLOAT_EQ(record->hitPoints, 0.0f) << "three hits of 10 leave 0: not yet broken";
  EXPECT_EQ(record->countdown, -1);
  doc_->OnPolygonHit(face, 0, 0, 0, 10.0f);
  EXPECT_FLOAT_EQ(record->hitPoints, -10.0f);
  EXPECT_TRUE(record->countdown >= 300 && record->countdown <= 600) << record->countdown;
  doc_->OnPolygonHit(face, 0, 0, 0, 10.0f);
  EXPECT_FLOAT_EQ(record->hitPoints, -10.0f) << "a lit fuse takes no more damage";
  doc_->UpdateTimedObjects(299);
  EXPECT_TRUE(GroupIsVisible(target));
  doc_->UpdateTimedObjects(400);
  EXPECT_FALSE(GroupIsVisible(target)) << "broken and hidden";
  EXPECT_EQ(Raised("log BOOM"), 1u);
  EXPECT_FALSE(doc_->DestroyLevelObject(target)) << "destroyed once";
  EXPECT_EQ(Raised("log BOOM"), 1u);
  // A hit just short of 0 counts as 0; the next one lights the fuse.
  record->hitPoints = 5.0f;
  record->countdown = -1;
  GroupShow(target, 0);
  doc_->DentObject(target, 5.0005f);
  EXPECT_FLOAT_EQ(record->hitPoints, 0.0f);
  doc_->DentObject(target, 1.0f);
  EXPECT_GE(record->countdown, 300);
}

TEST_F(WeaponsTest, AHazardZoneHurtsByDepthAtItsRateWithFramesCappedAt200Ms) {
  PolygonGroup* group = GroupFindByName(doc_->GetWorld(), kDemoShockPanelGroup);
  ASSERT_NE(group, nullptr);
  auto* zone = new HazardZone{0, 40, -280, 100, GetGameTime(), group};
  doc_->GroupEffects().hazardZones->AddTail(zone);
  Place(ship_, 0, 40, -280);
  ship_->SetShields(1000);
  Advance(100);
  doc_->ApplyHazardZones();
  EXPECT_NEAR(ship_->GetShields(), 1000 - 100.5f * 0.1f, 1e-3) << "100.5 a second at the centre";
  EXPECT_TRUE(doc_->TakeHazardFlash());
  Advance(1000);
  doc_->ApplyHazardZones();
  EXPECT_NEAR(ship_->GetShields(), 1000 - 100.5f * 0.3f, 1e-3) << "a 1000 ms frame counts as 200";
  Place(ship_, 100, 40, -280);
  Advance(100);
  doc_->ApplyHazardZones();
  EXPECT_NEAR(ship_->GetShields(), 1000 - 100.5f * 0.3f, 1e-3) << "on the radius: nothing";
}

TEST_F(WeaponsTest, ShotsLeaveOneHoleASpotAndTheSixtyFourthRecyclesTheFirst) {
  // The hangar's back wall at z = -400, shot from the start.
  std::vector<WorldPolygon*> holes;
  int made = 0;
  for (int i = 0; i < 70; ++i) {
    const float x = -300.0f + 9.0f * static_cast<float>(i);
    doc_->FireHitscan(0, nullptr, x, 0, -300, x, 0, -450, 1.0f);
    if (i == 0) {
      ASSERT_NE(doc_->GetBulletHole(0).hole, nullptr);
      holes.push_back(doc_->GetBulletHole(0).hole);
      doc_->FireHitscan(0, nullptr, x + 0.5f, 0, -300, x + 0.5f, 0, -450, 1.0f);
      EXPECT_EQ(doc_->GetBulletHole(1).hole, nullptr) << "one hole a spot";
    }
    ++made;
  }
  EXPECT_EQ(doc_->GetBulletHolesUsed(), 63);
  EXPECT_FLOAT_EQ(doc_->GetBulletHole(0).x, -300.0f + 9.0f * 63) << "the 64th hole recycles the first slot";
  EXPECT_FLOAT_EQ(doc_->GetBulletHole(7).x, -300.0f + 9.0f * 7) << "later slots keep their holes";
  EXPECT_NEAR(doc_->GetBulletHole(0).z, -400.0f + 0.01f, 0.02f) << "lifted off the wall";
}

}  // namespace
