// The world simulation's effects in the demo mission: sprites and
// explosions (frames over time, blast radius, fading light, delay), the
// factories with their sounds, debris under gravity and bouncing, bombs,
// the fire wave, sparks, lights, dust, smoke, and saved-game round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/collision.h"
#include "engine/light.h"
#include "engine/model.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/clock.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/game/document_fixture.h"
#include "world/document/flat_polygons.h"
#include "world/objects/bomb.h"
#include "world/objects/dust.h"
#include "world/objects/effect_services.h"
#include "world/objects/falling_part.h"
#include "world/objects/fire_wave.h"
#include "world/objects/flash_light.h"
#include "world/objects/free_moving_object.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/smoke.h"
#include "world/objects/static_sprite.h"
#include "world/objects/tracer.h"

namespace {

struct PlayedSound {
  int id;
  int flags;
};
std::vector<PlayedSound> g_Sounds;
void RecordSound(int id, float, float, float, int flags) { g_Sounds.push_back({id, flags}); }

// Far outside the level: nothing there blocks or collides.
constexpr float kOutside = 100000.0f;

class EffectsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    options_ = {true, false, 1};
    SetEffectOptionsOverride(&options_);
    g_Sounds.clear();
    g_EffectSoundObserver = &RecordSound;
    MakeInterface(2);
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    player_ = doc_->GetLocalPlayer();
    ASSERT_NE(player_, nullptr);
    doc_->SetInvulnerable(false);
  }
  void TearDown() override {
    g_EffectSoundObserver = nullptr;
    SetEffectOptionsOverride(nullptr);
    DocumentTest::TearDown();
  }
  // The floor's y straight under the ship (+y is down).
  float FloorUnderShip() {
    float x = player_->GetX(), y = player_->GetY() + 2000.0f, z = player_->GetZ();
    EXPECT_EQ(CollideSegment(doc_->GetWorld(), player_->GetX(), player_->GetY(), player_->GetZ(), &x, &y, &z), 1);
    return y;
  }
  CGenericObject* Newest() const {
    return g_pObjectManager->GetCount() ? static_cast<CGenericObject*>(g_pObjectManager->GetObjects().GetTail())
                                        : nullptr;
  }
  int CountOf(uint16_t type) const {
    int count = 0;
    const CObjectList& list = g_pObjectManager->GetObjects();
    for (POSITION at = list.GetHeadPosition(); at;) {
      if (static_cast<CGenericObject*>(list.GetNext(at))->GetTypeCode() == type) ++count;
    }
    return count;
  }

  EffectOptions options_{};
  CDirectPlayer* player_ = nullptr;
};

TEST_F(EffectsTest, FrameSequencesFillGapsFromAboveAndStartAtZero) {
  // Numbered 1 to 8 with 3 missing: 1, 2, 4, 4, 5, 6, 7, 8.
  std::vector<Texture*> made;
  for (int n : {1, 2, 4, 5, 6, 7, 8, 31}) {
    made.push_back(CreateTexture(("!tst" + std::to_string(n) + ".bmp").c_str(), 32, 32));
  }
  Texture* frames[31] = {};
  int count = 0;
  doc_->LoadFrameSequence("!TST", frames, &count);
  ASSERT_EQ(count, 8) << "index 31 is ignored; numbered from 1, shifted down";
  const int expected[8] = {1, 2, 4, 4, 5, 6, 7, 8};
  for (int i = 0; i < 8; ++i) {
    EXPECT_STREQ(frames[i]->name, ("!tst" + std::to_string(expected[i]) + ".bmp").c_str()) << i;
  }
  // Cached under the prefix as passed; a prefix without textures is no
  // sequence (the fatal error is LoadFrameSequence's).
  EXPECT_TRUE(doc_->FindFrameSequence("!TST", frames, &count));
  EXPECT_FALSE(doc_->FindFrameSequence("!nothing", frames, &count));
  EXPECT_EQ(count, 0);
  // The demo set's explosion frames.
  doc_->LoadFrameSequence("!exp_", frames, &count);
  EXPECT_EQ(count, 12);
  EXPECT_STREQ(frames[0]->name, "!exp_1.bmp");
}

TEST_F(EffectsTest, ASpriteShowsEachFrameInTurnAndEndsAfterItsLast) {
  CSmallExplosionObject sprite(0, 1, kOutside, 0, 0);
  ASSERT_TRUE(sprite.IsActive());
  ASSERT_EQ(sprite.GetFrameCount(), 12);
  ASSERT_NE(sprite.GetQuad(), nullptr);
  EXPECT_EQ(sprite.GetQuad()->surface->texture, sprite.GetFrame(0));
  EXPECT_EQ(sprite.GetQuad()->flags & 0x274, 0x274) << "an effect polygon, drawn translucent";
  // 10 frames a second: one frame per 100 ms, gone in the update that
  // reaches frame 12.
  for (int k = 1; k < 12; ++k) {
    ASSERT_TRUE(sprite.Update(100)) << k;
    EXPECT_EQ(sprite.GetCurrentFrame(), k);
    EXPECT_EQ(sprite.GetQuad()->surface->texture, sprite.GetFrame(k));
  }
  EXPECT_FALSE(sprite.Update(100));
}

TEST_F(EffectsTest, AnExplosionBlastsWithinOneAndAHalfTimesItsSize) {
  const float reach = 1.5f * 10.0f + player_->GetRadius();
  const struct {
    float distance;
    bool hurt;
  } cases[] = {{reach - 1.0f, true}, {reach + 1.0f, false}};
  for (const auto& c : cases) {
    player_->SetShields(100.0f);
    CExplosionObject blast(0, 2, player_->GetX() + c.distance, player_->GetY(), player_->GetZ(), 10.0f, 20.0f, 0,
                           -1);
    if (c.hurt) {
      // Depth 1 of the blast: strength x 0.1 x depth.
      EXPECT_NEAR(player_->GetShields(), 100.0f - 2.0f, 0.01f) << c.distance;
    } else {
      EXPECT_FLOAT_EQ(player_->GetShields(), 100.0f) << c.distance;
    }
  }
  // Damage of 0.01 or less blasts nothing.
  player_->SetShields(100.0f);
  CExplosionObject weak(0, 3, player_->GetX(), player_->GetY(), player_->GetZ(), 10.0f, 0.01f, 0, -1);
  EXPECT_FLOAT_EQ(player_->GetShields(), 100.0f);
}

TEST_F(EffectsTest, AnExplosionsLightKeepsFullStrengthForTwoThirdsThenFades) {
  CExplosionObject explosion(0, 1, kOutside, 0, 0, 5.0f, 0.0f, 0, -1);
  ASSERT_NE(explosion.GetLight(), nullptr);
  EXPECT_FLOAT_EQ(explosion.GetLight()->size, 10.0f);
  EXPECT_FLOAT_EQ(explosion.GetLight()->radius, 40.0f);
  for (int k = 1; k <= 8; ++k) {
    ASSERT_TRUE(explosion.Update(100));
    EXPECT_FLOAT_EQ(explosion.GetLight()->size, 10.0f) << k;
  }
  for (int k = 9; k < 12; ++k) {
    ASSERT_TRUE(explosion.Update(100));
    const float value = (12.0f - static_cast<float>(k)) * 10.0f / 5.0f;
    EXPECT_NEAR(explosion.GetLight()->size, value, 1e-4f) << k;
    EXPECT_NEAR(explosion.GetLight()->radius, 4.0f * value, 1e-3f) << k;
  }
}

TEST_F(EffectsTest, ADelayedExplosionShowsAndBlastsWhenItsDelayRunsOut) {
  player_->SetShields(100.0f);
  // Beside the ship (a viewer inside the square would leave it no way to
  // face it), within the blast.
  CExplosionObject late(0, 1, player_->GetX() + 5.0f, player_->GetY(), player_->GetZ(), 10.0f, 20.0f, 0, 250);
  EXPECT_TRUE(late.IsActive());
  EXPECT_EQ(late.GetQuad(), nullptr);
  EXPECT_FLOAT_EQ(player_->GetShields(), 100.0f);
  EXPECT_TRUE(late.Update(200));
  EXPECT_EQ(late.GetQuad(), nullptr);
  EXPECT_FLOAT_EQ(player_->GetShields(), 100.0f);
  EXPECT_TRUE(late.Update(100));
  EXPECT_NE(late.GetQuad(), nullptr);
  EXPECT_LT(player_->GetShields(), 100.0f);
}

// Each factory row this work builds: the class it makes and its sounds.
TEST_F(EffectsTest, EachFactoryMakesItsClassAndPlaysItsSound) {
  WorldPolygon* wall = WorldFirstPolygon(doc_->GetWorld());
  while (wall && wall->vertexCount < 3) wall = PolygonNext(wall);
  ASSERT_NE(wall, nullptr);
  const float x = kOutside, y = 0, z = 0;
  const struct {
    const char* name;
    std::function<void(CNetDoc*)> spawn;
    uint16_t type;
    std::vector<int> sounds;
  } rows[] = {
      {"bullet mark", [&](CNetDoc* d) { d->SpawnBulletMark(0, x, y, z); }, kTypeBulletMark, {}},
      {"laser mark", [&](CNetDoc* d) { d->SpawnLaserMark(0, x, y, z); }, kTypeLaserMark, {}},
      {"static smoke", [&](CNetDoc* d) { d->SpawnStaticSmoke(0, x, y, z, 0); }, kTypeStaticSmoke, {}},
      {"smoke", [&](CNetDoc* d) { d->SpawnSmoke(0, 0, x, y, z, 2); }, kTypeSmoke, {}},
      {"respawn light", [&](CNetDoc* d) { d->SpawnRespawnLight(0, x, y, z); }, kTypeRespawnLight, {3}},
      {"flash light", [&](CNetDoc* d) { d->SpawnFlashLight(0, x, y, z, 2.5f, 2.5f); }, kTypeFlashLight, {}},
      {"bomb", [&](CNetDoc* d) { d->SpawnBomb(0, x, y, z, 0, 0, 0, 0); }, kTypeBomb, {14}},
      {"tracer", [&](CNetDoc* d) { d->SpawnTracer(0, x, y, z, 1, 0, 0, 0xFF00, 4, true); }, kTypeTracer, {}},
      {"dust", [&](CNetDoc* d) { d->SpawnDust(0, x, y, z, 0xFF, 1); }, kTypeDust, {}},
      {"explosion", [&](CNetDoc* d) { d->SpawnExplosion(0, x, y, z, 5, 0, true, false, 0, 0xFFFFFFFF); },
       kTypeExplosion, {16}},
      {"silent explosion", [&](CNetDoc* d) { d->SpawnExplosion(0, x, y, z, 5, 0, false, true, 0, 0xFFFFFFFF); },
       kTypeExplosion, {}},
      {"small explosion", [&](CNetDoc* d) { d->SpawnSmallExplosion(0, x, y, z); }, kTypeSmallExplosion, {}},
      {"force field", [&](CNetDoc* d) { d->SpawnForceField(wall, x, y, z, 4); }, kTypeForceField, {}},
      {"random debris", [&](CNetDoc* d) { d->SpawnRandomDebris(0, x, y, z); }, kTypeFallingPart, {}},
      {"ship debris", [&](CNetDoc* d) { d->SpawnDebris(0, x, y, z, "HERO.3ds", nullptr, true); }, kTypeFallingPart,
       {}},
      {"big explosion", [&](CNetDoc* d) { d->SpawnBigExplosion(0, x, y, z); }, kTypeFireWave, {16, 17}},
  };
  for (const auto& row : rows) {
    g_Sounds.clear();
    const int before = g_pObjectManager->GetCount();
    row.spawn(doc_);
    ASSERT_GT(g_pObjectManager->GetCount(), before) << row.name;
    EXPECT_EQ(Newest()->GetTypeCode(), row.type) << row.name;
    std::vector<int> ids;
    for (const PlayedSound& sound : g_Sounds) ids.push_back(sound.id);
    EXPECT_EQ(ids, row.sounds) << row.name;
  }
  // The big explosion rings itself with 32 fire-wave segments out there.
  EXPECT_EQ(CountOf(kTypeFireWave), 32);
  // The smoke option off makes no smoke; particle level 0 no sparks.
  options_.smoke = false;
  options_.particles = 0;
  const int before = g_pObjectManager->GetCount();
  doc_->SpawnSmoke(0, 0, x, y, z, 1);
  doc_->SpawnStaticSmoke(0, x, y, z, 1);
  doc_->SpawnTracerBurst(0, x, y, z, 60, 0xFFFFFF);
  doc_->SpawnSparks(0, x, y, z, 0, 1, 0, 0xFFFFFF);
  EXPECT_EQ(g_pObjectManager->GetCount(), before);
  // A burst of 60 asks for 55 sparks; three times as many at level 2.
  options_.particles = 2;
  const int tracers = CountOf(kTypeTracer);
  doc_->SpawnTracerBurst(0, x, y, z, 60, 0xFFFFFF);
  EXPECT_EQ(CountOf(kTypeTracer) - tracers, 165);
}

TEST_F(EffectsTest, DebrisFallsUnderGravityWithDragAndBouncesOffTheFloor) {
  options_.debris = true;
  doc_->GetPlayerShip()->collidable = 0;
  const float floor = FloorUnderShip();
  Model* model = ModelFindByFileName("hero.3ds");
  ASSERT_NE(model, nullptr);
  const float x0 = player_->GetX(), y0 = floor - 20.0f, z0 = player_->GetZ();
  CFallingPartObject part(0, 1, x0, y0, z0, model, nullptr, 4000, 300.0f);
  ASSERT_TRUE(part.IsActive());
  part.SetVelocity(0, 0, 30.0f);
  float x, y, z;
  // Gravity 120: after n updates of 100 ms the part has fallen 0.6 n (n + 1).
  int n = 1;
  for (; n <= 5; ++n) {
    ASSERT_TRUE(part.Update(100));
    part.GetPosition(x, y, z);
    EXPECT_NEAR(y, y0 + 0.6f * static_cast<float>(n * (n + 1)), 1e-3f) << n;
    EXPECT_NEAR(z, z0 + 3.0f * static_cast<float>(n), 1e-3f) << n;
    EXPECT_NEAR(part.GetVelocity()[1], 12.0f * static_cast<float>(n), 1e-3f);
  }
  // The sixth would take it 25.2 below its start, through the floor: it is
  // pushed out to 1.2 over it, with 0.7 of its velocity mirrored upwards.
  ASSERT_TRUE(part.Update(100));
  part.GetPosition(x, y, z);
  EXPECT_NEAR(y, floor - 1.2f, 0.01f);
  EXPECT_NEAR(part.GetVelocity()[1], -0.7f * 72.0f, 0.01f);
  EXPECT_NEAR(part.GetVelocity()[2], 0.7f * 30.0f, 0.01f);
  EXPECT_NEAR(part.GetVelocity()[0], 0.0f, 0.01f);

  // Drag above a speed of 100: s - (s - 100)^1.25 t.
  options_.debris = false;
  CFallingPartObject fast(0, 2, kOutside, 0, 0, model, nullptr, 4000, 300.0f);
  fast.SetVelocity(300.0f, 0, 0);
  ASSERT_TRUE(fast.Update(100));
  const float s = std::sqrt(300.0f * 300.0f + 12.0f * 12.0f);
  const float factor = (s - std::pow(s - 100.0f, 1.25f) * 0.1f) / s;
  EXPECT_NEAR(fast.GetVelocity()[0], 300.0f * factor, 1e-2f);
  EXPECT_NEAR(fast.GetVelocity()[1], 12.0f * factor, 1e-3f);
  // At rest: moving slower than the rest speed, whatever the frame's length.
  for (uint32_t ms : {10u, 100u}) {
    CFallingPartObject still(0, 3, kOutside, 0, 0, model, nullptr, 4000, 300.0f);
    still.SetVelocity(5.0f, -0.06f * static_cast<float>(ms), 0);
    EXPECT_FALSE(still.Update(ms)) << ms;
    CFallingPartObject moving(0, 4, kOutside, 0, 0, model, nullptr, 4000, 300.0f);
    moving.SetVelocity(30.0f, -0.06f * static_cast<float>(ms), 0);
    EXPECT_TRUE(moving.Update(ms)) << ms;
  }
}

TEST_F(EffectsTest, AWreckUnderTheHangarsBoulderComesToRestOnTheFloorWithItsPieces) {
  // The ship comes near enough to wake the boulder, then hovers on the floor
  // right under it; the boulder drops onto it and the ship dies a long death
  // as it touches it.
  // Realistic collision: the pieces meet the world too.
  options_.debris = true;
  CGenericObject* boulder = nullptr;
  const CObjectList& list = g_pObjectManager->GetObjects();
  for (POSITION at = list.GetHeadPosition(); at;) {
    auto* object = static_cast<CGenericObject*>(list.GetNext(at));
    if (object->GetTypeCode() == kTypeFreeMoving) boulder = object;
  }
  ASSERT_NE(boulder, nullptr);
  float bx, by, bz;
  boulder->GetPosition(bx, by, bz);
  PlayerStateBlock& state = player_->State();
  state.matrix[12] = bx, state.matrix[14] = bz;
  const float floor = FloorUnderShip();
  const float radius = player_->GetRadius();
  state.matrix[13] = by + 100.0f;
  doc_->SetInvulnerable(true);
  auto frame = [&] {
    ClockSetTime(timeGetTime() + 20);
    g_GameTime = GameTimeAdd(g_GameTime, 20);
    doc_->UpdatePlayers();
    doc_->UpdateObjects(20);
  };
  for (int ms = 0; ms < 10000 && !player_->IsDead(); ms += 20) {
    frame();
    boulder->GetPosition(bx, by, bz);
    if (floor - by < 120.0f) state.matrix[13] = floor - radius - 1.0f;
    if (player_->GetY() - by < 1.2f * radius + 10.0f) {
      player_->SetShields(0);
      player_->SetHealth(-2.0f);
      player_->CheckDeath();
    }
  }
  ASSERT_TRUE(player_->IsLongDeath());
  // The wreck stays on the floor under the boulder until it breaks up, and
  // its pieces fall no lower than the floor.
  int pieces = 0;
  for (int ms = 0; ms < 6000; ms += 20) {
    frame();
    if (!player_->IsExploded()) {
      ASSERT_LT(player_->GetY(), floor - radius / 2.0f) << ms;
      continue;
    }
    for (POSITION at = list.GetHeadPosition(); at;) {
      auto* object = static_cast<CGenericObject*>(list.GetNext(at));
      if (object->GetTypeCode() != kTypeFallingPart) continue;
      ++pieces;
      float x, y, z;
      object->GetPosition(x, y, z);
      ASSERT_LT(y, floor) << ms;
    }
  }
  EXPECT_TRUE(player_->IsExploded()) << "a wreck at rest on the floor breaks up";
  EXPECT_GT(pieces, 0);
  EXPECT_LT(player_->GetY(), floor - radius / 2.0f);
  boulder->GetPosition(bx, by, bz);
  EXPECT_LT(by, floor) << "the boulder stays in the hangar too";
}

TEST_F(EffectsTest, APartWithoutItsModelIsDroppedAndLivesShorterWithoutCollision) {
  CFallingPartObject none(0, 1, kOutside, 0, 0, nullptr, nullptr, 4000, 300.0f);
  EXPECT_FALSE(none.IsActive());
  EXPECT_EQ(none.GetInstance(), nullptr);
  Model* model = ModelFindByFileName("hero.3ds");
  for (int i = 0; i < 20; ++i) {
    CFallingPartObject part(0, 2, kOutside, 0, 0, model, nullptr, 4000, 0.0f);
    EXPECT_GE(part.GetLife(), 533u);
    EXPECT_LE(part.GetLife(), 800u);
    EXPECT_GE(part.GetSpeed(), 200.0f - 0.01f) << "speed below 0.001 counts as 300";
    EXPECT_LE(part.GetSpeed(), 300.0f);
  }
}

TEST_F(EffectsTest, ABombGoesOffThreeSecondsAfterItWasThrown) {
  g_GameTime = 50000;
  CBomb bomb(0, 1, kOutside, 0, 0, 0, 0, 0, false);
  ASSERT_TRUE(bomb.IsActive());
  ASSERT_TRUE(bomb.Update(100));
  float x, y, z;
  bomb.GetPosition(x, y, z);
  EXPECT_NEAR(y, 1.2f, 1e-4f) << "gravity 120";
  g_Sounds.clear();
  g_GameTime = 50000 + 3000;
  EXPECT_TRUE(bomb.Update(0));
  g_GameTime = 50000 + 3001;
  EXPECT_FALSE(bomb.Update(0));
  EXPECT_TRUE(bomb.WillExplode());
  ASSERT_FALSE(g_Sounds.empty());
  EXPECT_EQ(g_Sounds.back().id, 17) << "the big explosion";
  // A bomb without its model is dropped, not made from nothing.
  CGenBomb body(0, 2, kOutside, 0, 0, 0, 0, 0, kBombFuseMs);
  EXPECT_FALSE(body.IsActive());
}

TEST_F(EffectsTest, AStickyBombStopsAtTheFloorAndABouncingOneLosesSpeed) {
  doc_->GetPlayerShip()->collidable = 0;
  const float floor = FloorUnderShip();
  for (bool sticky : {true, false}) {
    CBomb bomb(0, 1, player_->GetX(), floor - 4.0f, player_->GetZ(), 20.0f, 50.0f, 0, sticky);
    ASSERT_TRUE(bomb.Update(100)) << sticky;
    EXPECT_EQ(bomb.IsResting(), sticky);
    if (sticky) {
      EXPECT_FLOAT_EQ(bomb.GetVelocity()[1], 0.0f);
    } else {
      EXPECT_NEAR(bomb.GetVelocity()[1], -0.4f * 62.0f, 0.01f);
      EXPECT_NEAR(bomb.GetVelocity()[0], 0.4f * 20.0f, 0.01f);
    }
  }
}

TEST_F(EffectsTest, TheFireWaveStopsAtAWallOrSixHundredUnitsOut) {
  // Out in the open, 590 units out at speed 80: the update after its inner
  // edge has passed 600 ends it.
  const float a = 0.0f, b = 3.1415927f / 16.0f;
  auto corners = [&](float cx, float cz, float inner, float outer, float out[8]) {
    const float values[8] = {cx + inner * std::cos(a), cz + inner * std::sin(a), cx + outer * std::cos(a),
                             cz + outer * std::sin(a), cx + outer * std::cos(b), cz + outer * std::sin(b),
                             cx + inner * std::cos(b), cz + inner * std::sin(b)};
    for (int i = 0; i < 8; ++i) out[i] = values[i];
  };
  float far[8];
  corners(kOutside, 0, 590, 595, far);
  CFireWave open(0, 1, far, kOutside, 0, 0, 80.0f);
  EXPECT_NE(open.GetPolygon(), nullptr);
  int updates = 0;
  while (open.Update(100) && updates < 100) ++updates;
  const float reached = std::hypot(open.GetCornerX(0) - kOutside, open.GetCornerZ(0));
  EXPECT_GT(reached, 600.0f);
  EXPECT_LT(reached, 620.0f);
  EXPECT_EQ(open.GetPolygon(), nullptr);

  // In the level: it ends where a wall crosses its way.
  const float cx = player_->GetX(), cy = player_->GetY(), cz = player_->GetZ();
  const float mid = b / 2.0f;
  float hx = cx + 2000.0f * std::cos(mid), hy = cy, hz = cz + 2000.0f * std::sin(mid);
  ASSERT_EQ(CollideSegment(doc_->GetWorld(), cx, cy, cz, &hx, &hy, &hz), 1);
  const float wall = std::hypot(hx - cx, hz - cz);
  ASSERT_GT(wall, 30.0f);
  ASSERT_LT(wall, 590.0f);
  float near[8];
  corners(cx, cz, 20, 25, near);
  CFireWave rolling(0, 2, near, cx, cy, cz, 80.0f);
  updates = 0;
  while (rolling.Update(100) && updates < 1000) ++updates;
  const float stopped = std::hypot(rolling.GetCornerX(1) - cx, rolling.GetCornerZ(1) - cz);
  EXPECT_GT(stopped, wall - 40.0f);
  EXPECT_LT(stopped, wall + 40.0f) << "ended by the wall, not by the 600 units";
}

TEST_F(EffectsTest, ASparksHeadDimsAndItsTrailFadesOut) {
  CTracer spark(0, 1, kOutside, 0, 0, 100.0f, 0, 0, 0x6496FF, 5.0f, true);
  ASSERT_EQ(spark.GetTrail().size(), 1u);
  EXPECT_NEAR(spark.GetThreshold(), 0.3f * std::sqrt(255.f * 255 + 150 * 150 + 100 * 100), 1e-3f);
  // An update of 30 ms is just short of a step (0.03 x 33.333); one of 31
  // ms makes one: a new particle 3 units on, the head dimmed by 0.9.
  ASSERT_TRUE(spark.Update(31));
  EXPECT_EQ(spark.GetRed(), 254);
  EXPECT_EQ(spark.GetGreen(), 149);
  EXPECT_EQ(spark.GetBlue(), 99);
  ASSERT_EQ(spark.GetTrail().size(), 2u);
  const float full = std::sqrt(255.f * 255 + 150 * 150 + 100 * 100);
  for (const CTracer::Segment& segment : spark.GetTrail()) {
    const float m = std::sqrt(float(segment.red * segment.red + segment.green * segment.green +
                                    segment.blue * segment.blue));
    EXPECT_LE(m, full - 0.03f * spark.GetFadeRate() + 0.01f);
    EXPECT_GT(m, full - 0.03f * spark.GetFadeRate() - 3.0f);
  }
  // The head's life (300..400 ms without collision) runs out; the trail
  // fades and the spark goes with its last particle.
  int updates = 0;
  while (spark.Update(30) && updates < 200) ++updates;
  EXPECT_TRUE(spark.IsDying());
  EXPECT_TRUE(spark.GetTrail().empty());
  EXPECT_LT(updates, 30);
  // A black spark stops in its first step and its particle goes with it.
  CTracer black(0, 2, kOutside, 0, 0, 100.0f, 0, 0, 0, 5.0f, true);
  EXPECT_FALSE(black.Update(30));
}

TEST_F(EffectsTest, FlashLightsFadeFasterAndFaster) {
  CRespawnLight respawn(0, 1, kOutside, 0, 0);
  ASSERT_NE(respawn.GetLight(), nullptr);
  EXPECT_FALSE(respawn.Update(1000)) << "rate 5.5, intensity 5 - 5.5";
  CFlashLight flash(0, 2, kOutside, 0, 0, 2.5f, 2.5f);
  ASSERT_TRUE(flash.Update(100));
  EXPECT_NEAR(flash.GetFadeRate(), 2.8f, 1e-5f);
  EXPECT_NEAR(flash.GetIntensity(), 2.5f - 0.28f, 1e-5f);
  EXPECT_NEAR(flash.GetLight()->size, 20.0f * flash.GetIntensity(), 1e-4f);
  CFlashLight unstarted(0, 3, kOutside, 0, 0, 2.5f, -1.0f);
  EXPECT_FALSE(unstarted.IsActive());
}

TEST_F(EffectsTest, DustShrinksAndSmokeSwellsAtTheSameRateAtAnyFrameRate) {
  CDust small(0, 1, kOutside, 0, 0, 0xFF, 0.12f);
  EXPECT_FALSE(small.Update(100));
  CDust lasting(0, 2, kOutside, 0, 0, 0xFF, 0.12f);
  EXPECT_TRUE(lasting.Update(50));
  CDust rising(0, 3, kOutside, 0, 0, 0xFF, -1.0f);
  EXPECT_FALSE(rising.IsSinking());
  // One second in 10 or 20 updates: the same vertical drift within the
  // phase's randomness (both start at a phase of 0 here).
  CDust coarse(0, 4, kOutside, 0, 0, 0xFF, 1.0f), fine(0, 5, kOutside, 0, 0, 0xFF, 1.0f);
  for (int i = 0; i < 10; ++i) coarse.Update(100);
  for (int i = 0; i < 20; ++i) fine.Update(50);
  EXPECT_NEAR(coarse.GetSize(), fine.GetSize(), 1e-4f);
  EXPECT_GT(coarse.GetVerticalSpeed(), 0.0f);

  CSmoke a(0, 6, false, kOutside, 0, 0, 2.0f), b(0, 7, false, kOutside, 0, 0, 2.0f);
  ASSERT_EQ(a.GetFrameCount(), 16);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(a.Update(100));
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(b.Update(50));
  EXPECT_NEAR(a.GetSize(), 2.0f * std::exp(1.0f), 1e-3f);
  EXPECT_NEAR(b.GetSize(), a.GetSize(), 1e-3f);
  // 8 frames a second: 16 frames in 2 seconds.
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(a.Update(125));
  EXPECT_NE(a.GetSquare(), nullptr);
  for (int i = 0; i < 10 && a.Update(125); ++i) {
  }
  EXPECT_GE(a.GetFramePosition(), 16.0f);
}

// Stores one object under its class name and reads it back.
CObject* RoundTrip(CObject* object) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << object;
    ar.Close();
  }
  CMemFile input(file.Data());
  CArchive ar(&input, CArchive::load);
  CObject* loaded = nullptr;
  ar >> loaded;
  return loaded;
}

TEST_F(EffectsTest, EverySavedClassComesBackFromASavedGame) {
  Model* model = ModelFindByFileName("hero.3ds");
  const float corners[8] = {kOutside + 20, 0, kOutside + 25, 0, kOutside + 25, 5, kOutside + 20, 4};
  std::vector<CGenericObject*> objects = {
      new CExplosionObject(0, 11, kOutside, 1, 2, 5.0f, 7.0f, 0, 300),
      new CSmallExplosionObject(0, 12, kOutside, 1, 2),
      new CBulletMarkObject(0, 13, kOutside, 1, 2),
      new CLaserMarkObject(0, 14, kOutside, 1, 2),
      new CStaticSmoke(0, 15, kOutside, 1, 2, 0),
      new CForceField(0, 16, kOutside, 1, 2, 0, 0, 1, 4),
      new CFallingPartObject(0, 17, kOutside, 1, 2, model, nullptr, 4000, 300),
      new CBomb(0, 18, kOutside, 1, 2, 3, 4, 5, true),
      new CFireWave(0, 19, corners, kOutside, 1, 0, 80),
      new CFlashLight(0, 20, kOutside, 1, 2, 2.5f, 2.5f),
      new CRespawnLight(0, 21, kOutside, 1, 2),
      new CTracer(0, 22, kOutside, 1, 2, 3, 4, 5, 0x6496FF, 5, true),
      new CDust(0, 23, kOutside, 1, 2, 0xFF, 1.0f),
      new CSmoke(0, 24, true, kOutside, 1, 2, 2.0f),
  };
  for (CGenericObject* object : objects) {
    object->Update(40);
    std::unique_ptr<CObject> copy(RoundTrip(object));
    auto* loaded = dynamic_cast<CGenericObject*>(copy.get());
    ASSERT_NE(loaded, nullptr) << object->GetRuntimeClass()->m_lpszClassName;
    EXPECT_STREQ(loaded->GetRuntimeClass()->m_lpszClassName, object->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(loaded->GetTypeCode(), object->GetTypeCode());
    EXPECT_EQ(loaded->GetObjectId(), object->GetObjectId());
    float a[3], b[3];
    object->GetPosition(a[0], a[1], a[2]);
    loaded->GetPosition(b[0], b[1], b[2]);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(a[i], b[i]) << object->GetRuntimeClass()->m_lpszClassName;
    // A plain flash light is not started again; everything else is.
    const bool plainLight = std::string(object->GetRuntimeClass()->m_lpszClassName) == "CFlashLight";
    EXPECT_EQ(loaded->IsActive(), !plainLight) << object->GetRuntimeClass()->m_lpszClassName;
  }
  auto* explosion = static_cast<CExplosionObject*>(objects[0]);
  std::unique_ptr<CObject> copy(RoundTrip(explosion));
  auto* loaded = static_cast<CExplosionObject*>(copy.get());
  EXPECT_EQ(loaded->GetDelay(), explosion->GetDelay());
  EXPECT_EQ(loaded->GetLight(), nullptr) << "a restored explosion has no light";
  auto* smoke = static_cast<CSmoke*>(objects.back());
  std::unique_ptr<CObject> puff(RoundTrip(smoke));
  EXPECT_TRUE(static_cast<CSmoke*>(puff.get())->IsNoSend());
  EXPECT_EQ(static_cast<CSmoke*>(puff.get())->GetFramePrefix(), smoke->GetFramePrefix());
  for (CGenericObject* object : objects) delete object;
}

TEST_F(EffectsTest, AnExplosionLoadedAfterItsBlastDoesNotBlastAgain) {
  player_->SetShields(100.0f);
  CExplosionObject blast(0, 1, player_->GetX() + 5.0f, player_->GetY(), player_->GetZ(), 10.0f, 20.0f, 0, -1);
  const float after = player_->GetShields();
  ASSERT_LT(after, 100.0f);
  std::unique_ptr<CObject> copy(RoundTrip(&blast));
  EXPECT_TRUE(static_cast<CGenericObject*>(copy.get())->IsActive());
  EXPECT_FLOAT_EQ(player_->GetShields(), after);
  // One saved while still waiting blasts when its delay runs out.
  CExplosionObject waiting(0, 2, player_->GetX() + 5.0f, player_->GetY(), player_->GetZ(), 10.0f, 20.0f, 0, 100);
  std::unique_ptr<CObject> waited(RoundTrip(&waiting));
  EXPECT_FLOAT_EQ(player_->GetShields(), after);
  static_cast<CGenericObject*>(waited.get())->Update(150);
  EXPECT_LT(player_->GetShields(), after);
}

uint32_t U32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24; }
float F32(const uint8_t* at) {
  const uint32_t bits = U32(at);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The creation messages field by field, their padding zero.
TEST_F(EffectsTest, CreationMessagesCarryTheirFieldsAndZeroPadding) {
  CExplosionObject explosion(77, 0x1234, kOutside, 2, 3, 5.0f, 7.0f, 2, 250);
  uint8_t sprite[kSpriteMessageBytes];
  std::memset(sprite, 0xAB, sizeof sprite);
  explosion.WriteCreateMessage(sprite);
  EXPECT_EQ(U32(sprite), kMessageIdBase + kTypeExplosion);
  EXPECT_EQ(U32(sprite + 4), 77u);
  EXPECT_EQ(U32(sprite + 12), 0x1234u);
  EXPECT_EQ(sprite[16], 1);
  EXPECT_FLOAT_EQ(F32(sprite + 20), kOutside);
  EXPECT_FLOAT_EQ(F32(sprite + 32), 5.0f);
  EXPECT_FLOAT_EQ(F32(sprite + 36), 7.0f);
  EXPECT_EQ(sprite[40], explosion.GetVariant());
  EXPECT_EQ(U32(sprite + 44), 250u);
  for (int i : {17, 18, 19, 41, 42, 43}) EXPECT_EQ(sprite[i], 0) << i;

  CBomb bomb(0, 5, kOutside, 1, 2, 3, 4, 5, true);
  uint8_t thrown[kBombMessageBytes];
  std::memset(thrown, 0xAB, sizeof thrown);
  bomb.WriteCreateMessage(thrown);
  EXPECT_EQ(U32(thrown), kMessageIdBase + kTypeBomb);
  EXPECT_FLOAT_EQ(F32(thrown + 32), 3.0f);
  EXPECT_EQ(thrown[44], 1);
  for (int i : {17, 18, 19, 45, 46, 47}) EXPECT_EQ(thrown[i], 0) << i;

  CFlashLight flash(0, 6, kOutside, 1, 2, 2.5f, 1.5f);
  uint8_t light[kLightMessageBytes];
  std::memset(light, 0xAB, sizeof light);
  flash.WriteCreateMessage(light);
  EXPECT_FLOAT_EQ(F32(light + 32), 2.5f);
  EXPECT_FLOAT_EQ(F32(light + 36), 1.5f);
  for (int i : {17, 18, 19}) EXPECT_EQ(light[i], 0) << i;

  CSmoke puff(0, 7, false, kOutside, 1, 2, 3.0f);
  uint8_t smoke[kSmokeMessageBytes];
  std::memset(smoke, 0xAB, sizeof smoke);
  puff.WriteCreateMessage(smoke);
  EXPECT_EQ(U32(smoke), kMessageIdBase + kTypeSmoke);
  EXPECT_FLOAT_EQ(F32(smoke + 32), 3.0f);
  for (int i : {17, 18, 19}) EXPECT_EQ(smoke[i], 0) << i;
}

TEST_F(EffectsTest, FlatPolygonsLieAcrossTheirNormal) {
  WorldPolygon* disc = CreateRoundMarkPolygon(kOutside, 0, 0, 0, 0, 1, 2.0f, 42);
  ASSERT_NE(disc, nullptr);
  EXPECT_EQ(disc->vertexCount, 8);
  EXPECT_NEAR(disc->vertices[0].y, -1.0f, 1e-5f) << "the first vertex at C + V, V = (0, -1, 0)";
  EXPECT_EQ(disc->flatColour, 42);
  EXPECT_EQ(disc->flags & 0x74, 0x74);
  PolygonDelete(disc);
  EXPECT_EQ(CreateRoundMarkPolygon(kOutside, 0, 0, 0, 0, 1, 0.0f, 42), nullptr) << "size 0 collapses";
  Texture* frames[31] = {};
  int count = 0;
  doc_->LoadFrameSequence("!smok", frames, &count);
  WorldPolygon* square = CreateSquareMarkPolygon(kOutside, 0, 0, 0, 1, 0, 4.0f, frames[0]);
  ASSERT_NE(square, nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(square->vertices[i].y, 0.0f, 1e-5f) << "flat on a floor";
  PolygonDelete(square);
  // A texture record 1 texel wide (the store makes none, but records come
  // from files) maps without dividing by zero.
  Texture* thin = CreateTexture("!thin.bmp", 32, 32);
  ASSERT_NE(thin, nullptr);
  thin->width = 1;
  WorldPolygon* sliver = CreateSquareMarkPolygon(kOutside, 0, 0, 0, 0, 1, 4.0f, thin);
  thin->width = 32;
  ASSERT_NE(sliver, nullptr);
  EXPECT_TRUE(std::isfinite(sliver->surface->uAxis.x));
  EXPECT_TRUE(std::isfinite(sliver->surface->origin.x));
  PolygonDelete(sliver);
}

}  // namespace
