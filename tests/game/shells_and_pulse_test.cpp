// The shells round ships (vortex and static shields), the uncloak sphere,
// the script's fire sphere and the satellite's energy pulse in the demo
// level: their geometry and timing, the document's shield flags in every
// case round players, the pulse's damage column, saved records and
// network messages. The enemy side goes through the enemy hooks.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/world_polygon.h"
#include "tests/game/world_effect_fixture.h"
#include "tools/builder/demo_level.h"
#include "world/enemies/enemy_fire.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/fire_ball.h"
#include "world/objects/energy_pulse.h"
#include "world/objects/enemy_effect_hooks.h"
#include "world/objects/fire_sphere.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/sphere.h"
#include "world/objects/vortex_shield.h"
#include "world/objects/weapon_math.h"

namespace {

constexpr float kOutside = 100000.0f;
constexpr float kPi = 3.1415927f;

// One enemy the hooks know: where it is, whether it is there, and what it
// was told.
struct FakeEnemy {
  uint64_t id = 0x0000000700000021ull;
  float x = 0, y = 0, z = 0;
  bool present = true;
  std::vector<std::pair<uint64_t, bool>> shieldsEnded;
  std::vector<std::vector<float>> areaDamage;
};
FakeEnemy* g_Enemy = nullptr;

bool EnemyPosition(uint64_t id, float* x, float* y, float* z) {
  if (!g_Enemy || !g_Enemy->present || id != g_Enemy->id) return false;
  *x = g_Enemy->x, *y = g_Enemy->y, *z = g_Enemy->z;
  return true;
}
void ShieldEnded(uint64_t id, bool staticShield) { g_Enemy->shieldsEnded.emplace_back(id, staticShield); }
void AreaDamage(float x, float z, float radius, float damage, uint32_t ms) {
  g_Enemy->areaDamage.push_back({x, z, radius, damage, static_cast<float>(ms)});
}

class ShellsTest : public WorldEffectTest {
 protected:
  void SetUp() override {
    WorldEffectTest::SetUp();
    g_Enemy = &enemy_;
    saved_ = g_EnemyEffectHooks;
    g_EnemyEffectHooks.enemyPosition = &EnemyPosition;
    g_EnemyEffectHooks.shieldEnded = &ShieldEnded;
    g_EnemyEffectHooks.areaDamageScaled = &AreaDamage;
    // Far from the camera, so the view never stands inside a shell.
    view_.position = {0, 0, -2000};
  }
  void TearDown() override {
    g_EnemyEffectHooks = saved_;
    g_Enemy = nullptr;
    WorldEffectTest::TearDown();
  }
  bool Invulnerable() const { return doc_->IsInvulnerable(); }
  bool StaticUp() const { return doc_->IsStaticShieldActive(); }

  FakeEnemy enemy_;
  EnemyEffectHooks saved_;
};

TEST_F(ShellsTest, TheShellHas48PolygonsFacingTheViewerAndTurnsAQuarterTurnASecond) {
  doc_->SetExternalViewFlag(true);
  CVortexShield shield(0, 1, false);
  EXPECT_EQ(shield.GetFramePrefix(), "!VORTX");
  EXPECT_EQ(shield.GetFrameCount(), 8);
  EXPECT_FLOAT_EQ(shield.GetRadius(), 1.3f * ship_->GetRadius());
  EXPECT_EQ(shield.GetTimeLeft(), 1500) << "the tuning table's vortex lifetime";
  ASSERT_EQ(shield.CountShell(), kShellPolygons);
  ASSERT_TRUE(shield.Update(1000));
  EXPECT_NEAR(shield.GetAngle(), kPi / 2.0f, 1e-5f);
  ASSERT_EQ(shield.CountShell(), kShellPolygons);
  const V3 viewer = {view_.position.x, view_.position.y, view_.position.z};
  const V3 centre = {ship_->GetX(), ship_->GetY(), ship_->GetZ()};
  int facing = 0;
  for (int i = 0; i < kShellPolygons; ++i) {
    WorldPolygon* polygon = shield.GetShell(i);
    EXPECT_EQ(polygon->vertexCount, i < 24 ? 3 : 4) << i;
    EXPECT_EQ(polygon->flags & 0x74, 0x74) << "an effect polygon";
    EXPECT_EQ(polygon->surface->texture, shield.GetFrame(static_cast<int>(shield.GetFramePosition())));
    // The vertex farthest round (by angle) of the first band polygon moved
    // a quarter turn: seen from above, the first band corner lies at angle
    // pi / 2 from +x.
    V3 mid = {0, 0, 0};
    for (int k = 0; k < polygon->vertexCount; ++k) {
      mid = mid + V3{polygon->vertices[k].x, polygon->vertices[k].y, polygon->vertices[k].z};
    }
    mid = mid * (1.0f / static_cast<float>(polygon->vertexCount));
    const Vec3 n = polygon->worldNormal;
    facing += Dot({n.x, n.y, n.z}, viewer - mid) > 0.0f ? 1 : -1;
  }
  EXPECT_EQ(std::abs(facing), kShellPolygons) << "near and far halves both wound toward the viewer";
  const WorldPolygon* band = shield.GetShell(24);
  float least = 1e9f;
  for (int k = 0; k < 4; ++k) {
    const float dx = band->vertices[k].x - centre.x, dz = band->vertices[k].z - centre.z;
    least = std::min(least, std::fabs(std::atan2(dz, dx) - kPi / 2.0f));
  }
  EXPECT_LT(least, 1e-3f) << "a band corner at the turned angle";
  // 8 frames: 9.5 wraps to 1.5 at the next build.
  shield.SetFramePosition(9.5f);
  ASSERT_TRUE(shield.Update(0));
  EXPECT_FLOAT_EQ(shield.GetFramePosition(), 1.5f);
  EXPECT_EQ(shield.GetShell(0)->surface->texture, shield.GetFrame(1));
}

TEST_F(ShellsTest, AStaticShieldLastsTwoSecondsAndThePilotSeesNoShellFromTheCockpit) {
  doc_->SetExternalViewFlag(false);
  CVortexShield shield(0, 1, true);
  EXPECT_EQ(shield.GetFramePrefix(), "!STATIC");
  EXPECT_EQ(shield.GetTypeCode(), kTypeStaticShield);
  ASSERT_TRUE(shield.Update(1000));
  EXPECT_EQ(shield.CountShell(), 0) << "cockpit view";
  doc_->SetExternalViewFlag(true);
  ASSERT_TRUE(shield.Update(1000));
  EXPECT_EQ(shield.GetTimeLeft(), 0);
  EXPECT_EQ(shield.CountShell(), kShellPolygons) << "0 left is still shown";
  EXPECT_FALSE(shield.Update(1000));
}

TEST_F(ShellsTest, TheLocalShipsFlagsFollowItsShieldsAndNoOneElses) {
  CDirectPlayer* other = AddPlayer(0xA00, 300, 0, 0);
  {
    CVortexShield vortex(0, 1, false);
    EXPECT_TRUE(Invulnerable());
    EXPECT_FALSE(StaticUp());
    const float before = ship_->GetShields();
    ship_->TakeDamageFrom(10.0f, nullptr);
    EXPECT_FLOAT_EQ(ship_->GetShields(), before) << "the vortex shield keeps all damage off";
  }
  EXPECT_FALSE(Invulnerable());
  {
    CVortexShield staticShield(0, 2, true);
    EXPECT_TRUE(StaticUp());
    EXPECT_FALSE(Invulnerable());
  }
  EXPECT_FALSE(StaticUp());
  // Round another player: followed, announced by nobody here, no flag.
  {
    CVortexShield theirs(other->GetId(), 3, false);
    CVortexShield theirsStatic(other->GetId(), 4, true);
    EXPECT_FALSE(Invulnerable());
    EXPECT_FALSE(StaticUp());
    EXPECT_EQ(theirs.GetPlayerId(), other->GetId());
    float x, y, z;
    ASSERT_TRUE(theirs.Update(10));
    theirs.GetPosition(x, y, z);
    EXPECT_FLOAT_EQ(x, 300.0f);
  }
  // An owner nobody knows: the HUD line, no flag, and the shield ends.
  {
    CVortexShield stray(0xBAD, 5, false);
    CVortexShield strayStatic(0xBAD, 6, true);
    EXPECT_FALSE(Invulnerable());
    EXPECT_FALSE(StaticUp());
    EXPECT_FALSE(stray.Update(10));
  }
}

TEST_F(ShellsTest, OverlappingShieldsKeepTheFlagUntilTheLastEndsAndALoadedOneRestoresIt) {
  auto first = std::make_unique<CVortexShield>(0, 1, false);
  auto second = std::make_unique<CVortexShield>(0, 2, false);
  EXPECT_EQ(CVortexShield::LocalShieldCount(false), 2);
  first.reset();
  EXPECT_TRUE(Invulnerable()) << "the second still surrounds the ship";
  // Saved and loaded while it stands; the original then ends.
  std::unique_ptr<CVortexShield> loaded(RoundTrip(second.get()));
  ASSERT_NE(loaded, nullptr);
  second.reset();
  EXPECT_TRUE(Invulnerable()) << "the loaded shield holds the flag";
  EXPECT_EQ(loaded->GetPlayerId(), doc_->GetLocalPlayerId());
  EXPECT_TRUE(loaded->IsActive());
  loaded.reset();
  EXPECT_FALSE(Invulnerable());
  EXPECT_EQ(CVortexShield::LocalShieldCount(false), 0);

  // The same for the static mode, over the factory: one at a time.
  ship_->TakeDamage(1.0f, nullptr);
  ship_->TakeDamage(1.0f, nullptr);
  EXPECT_EQ(CountOf(kTypeStaticShield), 1) << "no second static shield while one is up";
  EXPECT_TRUE(StaticUp());
  std::unique_ptr<CVortexShield> copy(RoundTrip(static_cast<CVortexShield*>(Newest())));
  g_pObjectManager->RemoveObject(Newest());
  EXPECT_TRUE(StaticUp());
  copy.reset();
  EXPECT_FALSE(StaticUp());
}

TEST_F(ShellsTest, AShieldEndsWhenItsPlayerOrEnemyIsGone) {
  CDirectPlayer* other = AddPlayer(0xA00, 300, 0, 0);
  CVortexShield theirs(other->GetId(), 1, false);
  ASSERT_TRUE(theirs.Update(10));
  doc_->RemovePlayer(other);
  delete other;
  EXPECT_FALSE(theirs.Update(10)) << "its player left the game";

  enemy_.x = 10, enemy_.y = 20, enemy_.z = 30;
  doc_->SetExternalViewFlag(false);
  auto vortex = std::make_unique<CVortexShield>(2, enemy_.id, 25.0f, 3000, false);
  auto timed = std::make_unique<CVortexShield>(3, enemy_.id, 25.0f, kStaticShieldLifetime, true);
  EXPECT_FALSE(Invulnerable());
  EXPECT_FALSE(StaticUp());
  EXPECT_EQ(vortex->CountShell(), kShellPolygons) << "an enemy's shell is seen from the cockpit";
  enemy_.x = 50;
  ASSERT_TRUE(vortex->Update(10));
  float x, y, z;
  vortex->GetPosition(x, y, z);
  EXPECT_FLOAT_EQ(x, 50.0f);
  // Ending one tells the enemy its own mode only.
  timed.reset();
  ASSERT_EQ(enemy_.shieldsEnded.size(), 1u);
  EXPECT_EQ(enemy_.shieldsEnded[0], std::make_pair(enemy_.id, true));
  enemy_.present = false;
  EXPECT_FALSE(vortex->Update(10)) << "its enemy is gone";
  vortex.reset();
  EXPECT_EQ(enemy_.shieldsEnded.back(), std::make_pair(enemy_.id, false));
}

TEST_F(ShellsTest, PlayerShieldsAreAnnouncedAndRepeatedEnemyShieldsNever) {
  JoinNetwork();
  doc_->SpawnPlayerVortexShield(0);
  doc_->SpawnEnemyVortexShield(enemy_.id, 20.0f, 1000);
  doc_->SpawnTimedVortexShield(enemy_.id, 20.0f);
  const auto vortex = Sent(kTypeVortexShield);
  ASSERT_EQ(vortex.size(), 1u) << "only the player's";
  ASSERT_EQ(vortex[0].size(), 20u);
  EXPECT_EQ(NetReadU32(vortex[0].data() + 4), doc_->GetLocalPlayerId());
  EXPECT_EQ(vortex[0][16], 1);
  EXPECT_TRUE(Sent(kTypeStaticShield).empty());

  CDirectPlayer* sender = AddPlayer(0xB00, 0, 0, 0);
  const size_t sent = sends_.size();
  for (uint16_t type : {kTypeVortexShield, kTypeStaticShield}) {
    std::vector<uint8_t> m = Message(type, 20, sender->GetId());
    const int count = CountOf(type);
    doc_->HandleNetMessage(sender->GetId(), doc_->GetLocalPlayerId(), m.data(), 19);
    m[16] = 2;
    doc_->HandleNetMessage(sender->GetId(), doc_->GetLocalPlayerId(), m.data(), m.size());
    EXPECT_EQ(CountOf(type), count) << "short, or not a creation: nothing";
    m[16] = 1;
    doc_->HandleNetMessage(sender->GetId(), doc_->GetLocalPlayerId(), m.data(), m.size());
    ASSERT_EQ(CountOf(type), count + 1);
    auto* copy = static_cast<CVortexShield*>(Newest());
    EXPECT_EQ(copy->GetPlayerId(), sender->GetId());
    EXPECT_NE(copy->GetObjectId(), 77u);
  }
  EXPECT_EQ(sends_.size(), sent) << "copies are not announced";
  EXPECT_TRUE(StaticUp() == false) << "another's static shield is not the local ship's";
}

// ---------------------------------------------------------------------------
// Sphere

TEST_F(ShellsTest, TheSphereGrowsToItsFinalRadiusAndEnds) {
  CSphere sphere(0, 1, kOutside, 0, 0, 10.0f);
  EXPECT_FLOAT_EQ(sphere.GetRadius(), 0.2f);
  EXPECT_EQ(sphere.CountShell(), kShellPolygons);
  for (int i = 1; i <= 8; ++i) {
    ASSERT_TRUE(sphere.Update(100)) << i;
    EXPECT_NEAR(sphere.GetRadius(), 0.2f + 1.2f * static_cast<float>(i), 1e-4f);
    EXPECT_EQ(sphere.CountShell(), kShellPolygons);
  }
  EXPECT_NEAR(sphere.GetAngle(), 0.8f * kPi / 4.0f, 1e-5f) << "an eighth of a turn a second";
  EXPECT_FALSE(sphere.Update(100)) << "11.0 is past 10";
  EXPECT_EQ(sphere.CountShell(), 0);
  // Nearly round: the poles stand 0.99 of the radius off the equator.
  CSphere round(0, 2, kOutside, 0, 0, 10.0f);
  ASSERT_TRUE(round.Update(500));
  const float r = round.GetRadius();
  float top = 0, bottom = 0;
  for (int i = 0; i < 24; ++i) {
    const WorldPolygon* cap = round.GetShell(i);
    for (int k = 0; k < 3; ++k) top = std::min(top, cap->vertices[k].y), bottom = std::max(bottom, cap->vertices[k].y);
  }
  EXPECT_NEAR(top, -0.99f * r, 1e-3f);
  EXPECT_NEAR(bottom, 0.99f * r, 1e-3f);
  // Below 0.2: one shell of 0.2, then the end.
  CSphere tiny(0, 3, kOutside, 0, 0, 0.1f);
  EXPECT_EQ(tiny.CountShell(), kShellPolygons);
  EXPECT_FALSE(tiny.Update(10));
}

TEST_F(ShellsTest, TheSpheresSavedRecordHasItsReservedWordZeroAndItsMessageIsDropped) {
  CSphere sphere(0, 1, kOutside, 1, 2, 10.0f);
  ASSERT_TRUE(sphere.Update(100));
  CMemFile file;
  {
    CArchive out(&file, CArchive::store);
    sphere.Serialize(out);
    out.Close();
  }
  CMemFile input(file.Data());
  CArchive in(&input, CArchive::load);
  uint16_t type = 0;
  float f[10];
  uint32_t id = 0;
  int32_t reserved = -1;
  in >> type >> f[0] >> f[1] >> f[2] >> id >> f[3] >> f[4] >> f[5] >> f[6] >> f[7] >> f[8] >> reserved;
  EXPECT_EQ(type, kTypeSphere);
  EXPECT_FLOAT_EQ(f[5], 2.0f) << "z";
  EXPECT_FLOAT_EQ(f[7], 10.0f) << "final radius";
  EXPECT_EQ(reserved, 0);
  std::unique_ptr<CSphere> back(RoundTrip(&sphere));
  ASSERT_NE(back, nullptr);
  EXPECT_FLOAT_EQ(back->GetRadius(), sphere.GetRadius());
  EXPECT_EQ(back->CountShell(), kShellPolygons);

  JoinNetwork();
  doc_->SpawnSphere(0, kOutside, 0, 0, 10.0f);
  const auto sent = Sent(kTypeSphere);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].size(), 20u);
  CDirectPlayer* sender = AddPlayer(0xB00, 0, 0, 0);
  const int count = CountOf(kTypeSphere);
  std::vector<uint8_t> m = Message(kTypeSphere, 20, sender->GetId());
  doc_->HandleNetMessage(sender->GetId(), doc_->GetLocalPlayerId(), m.data(), m.size());
  EXPECT_EQ(CountOf(kTypeSphere), count) << "each program shows its own enemy's";
}

// ---------------------------------------------------------------------------
// Fire sphere

TEST_F(ShellsTest, TheFireSphereSwellsFadingAndBurstsOnTheShip) {
  const float x = ship_->GetX(), y = ship_->GetY(), z = ship_->GetZ();
  view_.position = {x, y, z - 300};
  CFireSphere sphere(0, 1, x, y, z, 10.0f, 1000);
  EXPECT_FLOAT_EQ(sphere.GetRadius(), 3.0f);
  EXPECT_GT(sphere.GetPolygons().size(), 0u);
  ASSERT_TRUE(sphere.Update(500));
  EXPECT_FLOAT_EQ(sphere.GetRadius(), 8.0f);
  const std::vector<WorldPolygon*>& polygons = sphere.GetPolygons();
  ASSERT_GT(polygons.size(), 0u);
  EXPECT_LT(polygons.size(), static_cast<size_t>(kFireSphereMaxPolygons)) << "most of the far half left out";
  for (WorldPolygon* polygon : polygons) {
    EXPECT_NEAR(polygon->vertices[0].light, 0.4f, 1e-5f);
    EXPECT_EQ(polygon->flags & 0x74, 0x70) << "an effect polygon that is not view-sorted";
    EXPECT_EQ(polygon->surface->texture, doc_->GetFireWaveTexture());
  }
  const float before = ship_->GetShields() + ship_->GetHealth();
  ASSERT_TRUE(sphere.Update(200)) << "radius 10: not past it";
  EXPECT_FLOAT_EQ(sphere.GetRadius(), 10.0f);
  EXPECT_FLOAT_EQ(ship_->GetShields() + ship_->GetHealth(), before);
  EXPECT_FALSE(sphere.Update(1));
  EXPECT_TRUE(sphere.GetPolygons().empty());
  EXPECT_LT(ship_->GetShields() + ship_->GetHealth(), before) << "the burst of strength 1000";

  // From its own centre nothing of it is seen.
  view_.position = {kOutside, 0, 0};
  CFireSphere around(0, 2, kOutside, 0, 0, 10.0f, 1000);
  EXPECT_TRUE(around.GetPolygons().empty());
}

TEST_F(ShellsTest, TheScriptsFireballWordMakesAFireSphereUnlessItsTimeIsNone) {
  events_->runs = true;
  const int count = CountOf(kTypeFireSphere);
  events_->RaiseEvent("fireball door_main 40 0", "test");
  events_->RaiseEvent("fireball door_main 40 -5", "test");
  EXPECT_EQ(CountOf(kTypeFireSphere), count) << "a growth time of 0 or less is refused";
  events_->RaiseEvent("fireball door_main 40 800", "test");
  ASSERT_EQ(CountOf(kTypeFireSphere), count + 1);
  auto* sphere = static_cast<CFireSphere*>(Newest());
  EXPECT_FLOAT_EQ(sphere->GetFinalRadius(), 40.0f);
  EXPECT_EQ(sphere->GetDuration(), 800);
  // Built directly or loaded with none, it bursts at once instead of
  // dividing by zero.
  CFireSphere direct(0, 9, kOutside, 0, 0, 10.0f, 0);
  EXPECT_EQ(direct.GetDuration(), 1);
  EXPECT_FALSE(direct.Update(1));
  std::unique_ptr<CFireSphere> back(RoundTrip(sphere));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetDuration(), 800);
  EXPECT_FLOAT_EQ(back->GetRadius(), 3.0f);
}

// ---------------------------------------------------------------------------
// Energy pulse

TEST_F(ShellsTest, ThePulseStandsFromOneToTwoAndAHalfSecondsAndHurtsItsWholeColumn) {
  // The ship 1000 units under the centre, inside the ring's radius.
  const float x = ship_->GetX() + 5, y = ship_->GetY() - 1000, z = ship_->GetZ();
  doc_->SpawnEnergyPulse(0, x, y, z, 16.0f, 50.0f);
  EXPECT_EQ(SoundCount(kSoundSat), 1);
  auto* pulse = static_cast<CEnergyPulse*>(Newest());
  ASSERT_EQ(pulse->GetTypeCode(), kTypeEnergyPulse);
  EXPECT_EQ(pulse->GetFrameCount(), 8);
  const float full = ship_->GetShields();
  for (int i = 0; i < 24; ++i) ASSERT_TRUE(pulse->Update(40)) << i;  // age 960
  EXPECT_FALSE(pulse->HasWall());
  EXPECT_FLOAT_EQ(ship_->GetShields(), full) << "nothing in the first second";
  EXPECT_TRUE(enemy_.areaDamage.empty());
  ASSERT_TRUE(pulse->Update(40));  // age 1000
  ASSERT_TRUE(pulse->HasWall());
  for (int k = 0; k < kEnergyPulseWall; ++k) {
    WorldPolygon* wall = pulse->GetWall(k);
    ASSERT_NE(wall, nullptr) << k;
    EXPECT_EQ(wall->surface->texture, pulse->GetFrame(pulse->GetFrameIndex()));
    EXPECT_EQ(wall->flags & 0x74, 0x70);
    ASSERT_NE(wall->firstFragment, nullptr);
    EXPECT_FLOAT_EQ(wall->firstFragment->vertices[0].light, 1.0f) << "brightness 4 at age 1000";
  }
  EXPECT_NEAR(ship_->GetShields(), full - 0.04f * 50.0f, 1e-4f) << "40 ms of 50 a second";
  ASSERT_EQ(enemy_.areaDamage.size(), 1u);
  EXPECT_EQ(enemy_.areaDamage[0], (std::vector<float>{x, z, 16.0f, 50.0f, 40.0f}));
  // The lights: intensity 4, the outer ones 6 R off the centre.
  EXPECT_FLOAT_EQ(pulse->GetLight(0)->intensity, 4.0f);
  EXPECT_FLOAT_EQ(pulse->GetLight(0)->y, y - 6.0f * 16.0f);
  EXPECT_FLOAT_EQ(pulse->GetLight(2)->y, y + 6.0f * 16.0f);
  EXPECT_FLOAT_EQ(pulse->GetLight(1)->radius, 16.0f * 16.0f);
  ASSERT_TRUE(pulse->Update(1500));  // age 2500: still standing
  EXPECT_TRUE(pulse->HasWall());
  EXPECT_FALSE(pulse->Update(1));
  // Outside the ring, at the same height: untouched.
  Place(ship_, x + 100, ship_->GetY(), z);
  const float outside = ship_->GetShields();
  CEnergyPulse beside(0, 2, x, y, z, 16.0f, 50.0f);
  ASSERT_TRUE(beside.Update(1200));
  EXPECT_FLOAT_EQ(ship_->GetShields(), outside);
}

TEST_F(ShellsTest, InANetworkGameThePulseStandsFromHalfASecondToTwoAndIsRepeated) {
  JoinNetwork();
  EXPECT_EQ(CEnergyPulse::EffectStart(true), 500u);
  doc_->SpawnEnergyPulse(0, kOutside, 1, 2, 16.0f, 50.0f);
  const auto sent = Sent(kTypeEnergyPulse);
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].size(), 40u);
  EXPECT_FLOAT_EQ(NetReadF32(sent[0].data() + 20), kOutside);
  EXPECT_FLOAT_EQ(NetReadF32(sent[0].data() + 28), 2.0f);
  EXPECT_FLOAT_EQ(NetReadF32(sent[0].data() + 32), 16.0f);
  EXPECT_FLOAT_EQ(NetReadF32(sent[0].data() + 36), 50.0f);
  for (int i : {17, 18, 19}) EXPECT_EQ(sent[0][i], 0);
  auto* pulse = static_cast<CEnergyPulse*>(Newest());
  ASSERT_TRUE(pulse->Update(499));
  EXPECT_FALSE(pulse->HasWall());
  ASSERT_TRUE(pulse->Update(1));
  EXPECT_TRUE(pulse->HasWall());
  // Signed time before age 1000: dark at 500, not a wrapped angle.
  EXPECT_NEAR(pulse->GetLight(1)->intensity, 0.0f, 1e-4f);
  ASSERT_TRUE(pulse->Update(1500));  // age 2000
  EXPECT_FALSE(pulse->Update(1));

  CDirectPlayer* sender = AddPlayer(0xB00, 0, 0, 0);
  std::vector<uint8_t> m = Message(kTypeEnergyPulse, 40, sender->GetId());
  NetWriteF32(m.data() + 20, kOutside);
  NetWriteF32(m.data() + 32, 20.0f);
  NetWriteF32(m.data() + 36, 30.0f);
  const int count = CountOf(kTypeEnergyPulse);
  Sounds().clear();
  doc_->HandleNetMessage(sender->GetId(), doc_->GetLocalPlayerId(), m.data(), 39);
  EXPECT_EQ(CountOf(kTypeEnergyPulse), count) << "short: refused";
  doc_->HandleNetMessage(sender->GetId(), doc_->GetLocalPlayerId(), m.data(), m.size());
  ASSERT_EQ(CountOf(kTypeEnergyPulse), count + 1);
  auto* copy = static_cast<CEnergyPulse*>(Newest());
  EXPECT_EQ(copy->GetOwner(), sender->GetId());
  EXPECT_FLOAT_EQ(copy->GetRadius(), 20.0f);
  EXPECT_FLOAT_EQ(copy->GetDamage(), 30.0f);
  EXPECT_EQ(copy->GetAge(), 0u);
  EXPECT_EQ(SoundCount(kSoundSat), 1);
}

TEST_F(ShellsTest, ThePulsesLightsBeatOnceASecondAndItsFramesWrap) {
  const struct {
    uint32_t age;
    float brightness;
  } beats[] = {{500, 0.0f}, {750, 2.0f}, {1000, 4.0f}, {1500, 0.0f}, {2000, 4.0f}, {2500, 0.0f}};
  for (const auto& beat : beats) EXPECT_NEAR(CEnergyPulse::Brightness(beat.age), beat.brightness, 1e-4f) << beat.age;
  CEnergyPulse pulse(0, 1, kOutside, 0, 0, 16.0f, 50.0f);
  ASSERT_TRUE(pulse.Update(1000));
  pulse.SetFramePosition(7.9f);
  ASSERT_TRUE(pulse.Update(40));  // 0.8 frames
  EXPECT_EQ(pulse.GetFrameIndex(), 0);
  EXPECT_NEAR(pulse.GetFramePosition(), 0.7f, 1e-4f);
}

TEST_F(ShellsTest, ALoadedPulseKeepsItsAgeAndShowsItsWallOnTime) {
  CEnergyPulse pulse(0, 1, kOutside, 0, 0, 16.0f, 50.0f);
  ASSERT_TRUE(pulse.Update(600));
  std::unique_ptr<CEnergyPulse> back(RoundTrip(&pulse));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetAge(), 600u);
  EXPECT_EQ(back->GetFrameCount(), 8);
  ASSERT_TRUE(back->Update(399));
  EXPECT_FALSE(back->HasWall());
  ASSERT_TRUE(back->Update(1));
  EXPECT_TRUE(back->HasWall());
}

// The hooks' own ends: the demo mission's tank through the enemy manager.
using EnemyEffectsTest = WorldEffectTest;

// The first shield of the mode in the object manager.
CVortexShield* FirstShield(bool staticMode) {
  const CObjectList& list = g_pObjectManager->GetObjects();
  for (POSITION at = list.GetHeadPosition(); at;) {
    auto* shield = dynamic_cast<CVortexShield*>(list.GetNext(at));
    if (shield && shield->IsStatic() == staticMode) return shield;
  }
  return nullptr;
}

TEST_F(EnemyEffectsTest, BallsPulsesAndShieldsReachTheEnemyManagersEnemies) {
  ASSERT_NE(g_pEnemyManager, nullptr);
  g_EnemyShieldRaiser = &RaiseEnemyShieldByFactories;  // the default, whatever a test before left
  CNewEnemy* tank = g_pEnemyManager->FindByNamePrefix(kDemoTankInstance);
  ASSERT_NE(tank, nullptr);
  const uint64_t id = tank->GetId();
  const float x = tank->GetX(), z = tank->GetZ();
  float hitPoints = tank->GetHitPoints();
  // A plasma ball from 60 units off along x, aimed at its sphere's centre.
  Instance* instance = tank->GetInstance();
  UpdateInstanceSpheres(instance);
  CFireBall ball(0, 1, nullptr, instance->x + 60.0f, instance->y, instance->z, -750.0f, 0, 0, false, 9.0f);
  for (int i = 0; i < 3 && !ball.IsHit(); ++i) ASSERT_TRUE(ball.Update(40));
  ASSERT_TRUE(ball.IsHit());
  EXPECT_LT(tank->GetHitPoints(), hitPoints) << "the tank took the ball";
  hitPoints = tank->GetHitPoints();
  EXPECT_EQ(CountOf(kTypeStaticShield), 0) << "a direct hit raises no shield";
  // The pulse's column over it, high above, hurts it and raises its timed
  // shield through the factories.
  CEnergyPulse pulse(0, 2, x, tank->GetY() - 800.0f, z, 16.0f, 50.0f);
  ASSERT_TRUE(pulse.Update(1000));
  EXPECT_LT(tank->GetHitPoints(), hitPoints) << "the pulse's column";
  ASSERT_EQ(CountOf(kTypeStaticShield), 1);
  CVortexShield* raised = FirstShield(true);
  ASSERT_NE(raised, nullptr);
  EXPECT_EQ(raised->GetEnemyId(), id);
  EXPECT_EQ(raised->GetTimeLeft(), kStaticShieldLifetime);
  EXPECT_FALSE(doc_->IsStaticShieldActive()) << "an enemy's shield is not the local ship's";
  ASSERT_TRUE(pulse.Update(40));
  EXPECT_EQ(CountOf(kTypeStaticShield), 1) << "no second while the first stands";
  // Its end lets the next shieldable hit raise another.
  g_pObjectManager->RemoveObject(raised);
  EXPECT_EQ(CountOf(kTypeStaticShield), 0);
  tank->TakeDamage(1, 100, 1);
  EXPECT_EQ(CountOf(kTypeStaticShield), 1);
  // A shield follows it by id and ends with it.
  CVortexShield shield(3, id, 20.0f, 3000, false);
  ASSERT_TRUE(shield.Update(20));
  float sx, sy, sz;
  shield.GetPosition(sx, sy, sz);
  EXPECT_FLOAT_EQ(sx, x);
  EXPECT_FLOAT_EQ(sz, z);
  g_pEnemyManager->RemoveEnemy(tank->GetInstance());
  EXPECT_FALSE(shield.Update(20));
}

}  // namespace
