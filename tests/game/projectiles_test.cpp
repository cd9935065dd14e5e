// The plasma ball and the rubber ball in the demo hangar: their lights,
// frames and sounds, their hits on the local ship and on walls, the rubber
// ball's mirror bounces, its liquid swallow, its trail and its single hurt
// per pass, their range, saved records and network messages.
#include <cmath>
#include <cstring>
#include <memory>

#include "engine/collision.h"
#include "engine/name_hash.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "tests/game/world_effect_fixture.h"
#include "world/objects/fire_ball.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/rubber_ball.h"

namespace {

// Far outside the level: nothing there blocks or collides.
constexpr float kOutside = 100000.0f;

class ProjectilesTest : public WorldEffectTest {
 protected:
  // The point where a segment first meets the level (+y is down), or the
  // polygon it meets there.
  WorldPolygon* FirstPolygon(float x0, float y0, float z0, float x1, float y1, float z1, float* hy = nullptr) {
    float hx, hyy, hz;
    WorldPolygon* polygon = nullptr;
    CollideRay(doc_->GetWorld(), &hx, &hyy, &hz, &polygon, nullptr, x0, y0, z0, x1, y1, z1);
    if (hy) *hy = hyy;
    return polygon;
  }
};

TEST_F(ProjectilesTest, APlasmaBallGlowsGreenOrCyanWithItsOwnFramesAndTheFactoryPicksItsDamage) {
  const struct {
    bool upgraded;
    float green, blue;
    const char* prefix;
    float lowest, highest;
  } cases[] = {{false, 1.0f, 0.0f, "!gpulse", 0.8f * 4.5f, 4.5f}, {true, 1.0f, 1.0f, "!dpulse", 1.2f * 4.5f, 6.75f}};
  for (const auto& c : cases) {
    Sounds().clear();
    doc_->SpawnFireBall(0, nullptr, kOutside, 0, 0, 0, 0, 750, c.upgraded ? 1 : 0, -1.0f);
    auto* ball = dynamic_cast<CFireBall*>(Newest());
    ASSERT_NE(ball, nullptr);
    Light* light = ball->GetLight();
    ASSERT_NE(light, nullptr);
    EXPECT_FLOAT_EQ(light->red, 0.0f);
    EXPECT_FLOAT_EQ(light->green, c.green);
    EXPECT_FLOAT_EQ(light->blue, c.blue) << c.prefix;
    EXPECT_FLOAT_EQ(light->size, 50.0f);
    EXPECT_FLOAT_EQ(light->radius, 200.0f);
    EXPECT_EQ(ball->GetFramePrefix(), c.prefix);
    EXPECT_EQ(ball->GetFrameCount(), 8);
    EXPECT_GE(ball->GetDamage(), c.lowest - 1e-4f);
    EXPECT_LE(ball->GetDamage(), c.highest + 1e-4f);
    ASSERT_EQ(Sounds().size(), 1u);
    EXPECT_EQ(Sounds()[0].id, kSoundLaser3);
    // The light travels with the ball; the square is drawn a third of the
    // way along the step.
    ASSERT_TRUE(ball->Update(100));
    EXPECT_FLOAT_EQ(light->z, 75.0f);
    ASSERT_NE(ball->GetSquare(), nullptr);
    EXPECT_EQ(ball->GetSquare()->surface->texture, ball->GetFrame(3));
  }
  // A given damage is kept.
  doc_->SpawnFireBall(0, nullptr, kOutside, 0, 0, 0, 0, 750, 1, 2.0f);
  EXPECT_FLOAT_EQ(static_cast<CFireBall*>(Newest())->GetDamage(), 2.0f);
}

TEST_F(ProjectilesTest, APlasmaBallHurtsTheLocalShipWithoutSparksAndMarksAWall) {
  PlaceShipInstance();
  const int tracers = CountOf(kTypeTracer);
  const float before = ship_->GetShields();
  CFireBall atShip(0xA00, 1, nullptr, 0, 40, -150, 0, 0, -750, false, 4.0f);
  ASSERT_TRUE(atShip.Update(100));
  ASSERT_TRUE(atShip.Update(100));
  EXPECT_TRUE(atShip.IsHit());
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 4.0f);
  EXPECT_EQ(CountOf(kTypeTracer), tracers) << "no sparks off the local ship";
  EXPECT_NE(atShip.GetSquare(), nullptr) << "the hitting update still draws";
  EXPECT_FALSE(atShip.Update(100));

  // The same ball passing the ship (its shooter's) goes on to the back wall:
  // a ricochet, a laser mark, and the end.
  const int marks = CountOf(kTypeLaserMark);
  CFireBall atWall(0, 2, doc_->GetPlayerShip(), 0, 40, -250, 0, 0, -750, false, 4.0f);
  for (int i = 0; i < 4 && !atWall.IsHit(); ++i) ASSERT_TRUE(atWall.Update(100));
  ASSERT_TRUE(atWall.IsHit());
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 4.0f) << "the shooter's ship is passed by";
  EXPECT_EQ(CountOf(kTypeLaserMark), marks + 1);
  EXPECT_EQ(SoundCount(8), 1) << "laserric";
  float x, y, z;
  atWall.GetPosition(x, y, z);
  EXPECT_NEAR(z, -399.0f, 2.0f);
  EXPECT_FALSE(atWall.Update(100));
}

TEST_F(ProjectilesTest, APlasmaBallEndsPastTwelveHundredUnitsAndItsFramesWrap) {
  CFireBall ball(0, 1, nullptr, kOutside, 0, 0, 0, 0, 750, false, 4.0f);
  // 0 ms: no way, no distance, no animation.
  ball.SetFramePosition(9.5f);
  ASSERT_TRUE(ball.Update(0));
  EXPECT_FLOAT_EQ(ball.GetDistance(), 0.0f);
  EXPECT_FLOAT_EQ(ball.GetFramePosition(), 1.5f) << "8 frames: 9.5 wraps to 1.5";
  EXPECT_EQ(ball.GetSquare()->surface->texture, ball.GetFrame(1));
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(ball.Update(100)) << i;
  EXPECT_FLOAT_EQ(ball.GetDistance(), 1200.0f);
  EXPECT_FALSE(ball.Update(100));
  EXPECT_EQ(ball.GetSquare(), nullptr) << "no square past the range";
}

TEST_F(ProjectilesTest, ARubberBallMirrorsOffTheFloorLosingEightPercent) {
  float floor = 0;
  ASSERT_NE(FirstPolygon(100, 40, -200, 100, 400, -200, &floor), nullptr);
  CRubberBall ball(0, 1, nullptr, 100, floor - 1.0f, -200, 100, 20, 0, 10.0f);
  ASSERT_TRUE(ball.Update(100));
  EXPECT_EQ(ball.GetBounces(), 1);
  EXPECT_FLOAT_EQ(ball.GetDamage(), 9.2f);
  EXPECT_FALSE(ball.IsFinished());
  EXPECT_FLOAT_EQ(ball.GetVelocity()[0], 100.0f);
  EXPECT_FLOAT_EQ(ball.GetVelocity()[1], -20.0f);
  EXPECT_FLOAT_EQ(ball.GetVelocity()[2], 0.0f);
  float x, y, z;
  ball.GetPosition(x, y, z);
  EXPECT_NEAR(x, 105.0f + 0.01f, 1e-3f);
  EXPECT_NEAR(y, floor - 0.002f, 1e-3f) << "just above the hit point";
}

TEST_F(ProjectilesTest, ARubberBallBouncesFiveTimesThenEndsAndAHeadOnHitEndsAtOnce) {
  // Steeply between the hangar's floor and ceiling, away from the ship.
  CRubberBall ball(0, 1, nullptr, 100, 0, -100, 10, 500, 0, 10.0f);
  int updates = 0;
  while (!ball.IsFinished() && updates < 200) {
    ASSERT_TRUE(ball.Update(50));
    ++updates;
  }
  ASSERT_TRUE(ball.IsFinished());
  EXPECT_EQ(ball.GetBounces(), 5);
  EXPECT_NEAR(ball.GetDamage(), 10.0f * std::pow(0.92f, 5.0f), 1e-4f);
  EXPECT_FALSE(ball.Update(50)) << "removed the update after";

  // Straight into the back wall along its normal: no turn axis, the end.
  CRubberBall headOn(0, 2, nullptr, 100, 0, -350, 0, 0, -500, 10.0f);
  for (int i = 0; i < 4 && !headOn.IsFinished(); ++i) ASSERT_TRUE(headOn.Update(50));
  EXPECT_TRUE(headOn.IsFinished());
  EXPECT_EQ(headOn.GetBounces(), 1);
  EXPECT_FLOAT_EQ(headOn.GetVelocity()[2], -500.0f);
}

TEST_F(ProjectilesTest, ALiquidSwallowsARubberBallWithASplash) {
  WorldPolygon* lava = FirstPolygon(600, 50, 1180, 600, 200, 1180);
  ASSERT_NE(lava, nullptr);
  PropSet(&lava->props, NameHash("surface"), "lava");
  ASSERT_EQ(GetSurfaceType(lava), 2);
  const int tracers = CountOf(kTypeTracer);
  CRubberBall ball(0, 1, nullptr, 600, 90, 1180, 10, 300, 0, 10.0f);
  ASSERT_TRUE(ball.Update(50));
  EXPECT_TRUE(ball.IsFinished());
  EXPECT_EQ(ball.GetBounces(), 1);
  EXPECT_FLOAT_EQ(ball.GetVelocity()[1], 300.0f) << "no bounce";
  EXPECT_EQ(SoundCount(ImpactSoundForSurface(2, kSoundRicochetWater)), 1);
  EXPECT_GT(CountOf(kTypeTracer), tracers) << "the splash";
  EXPECT_LE(CountOf(kTypeTracer), tracers + 20);
  EXPECT_FALSE(ball.Update(50));
}

TEST_F(ProjectilesTest, ARubberBallHurtsAShipOncePerPassAndPassesThrough) {
  Instance* ship = PlaceShipInstance();
  ASSERT_NE(ship, nullptr);
  const float before = ship_->GetShields();
  // 5 units a step through the ship's sphere: several updates inside it.
  CRubberBall ball(0xA00, 1, nullptr, -10, 40, -220, 10, 0, -500, 3.0f);
  for (int i = 0; i < 24; ++i) ASSERT_TRUE(ball.Update(10)) << i;
  float x, y, z;
  ball.GetPosition(x, y, z);
  EXPECT_LT(z, ship_->GetZ() - ship_->GetRadius()) << "through and out";
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 3.0f) << "once for the pass";
  EXPECT_EQ(ball.GetBounces(), 0);
  // Off the back wall and through the ship again: a second pass, a second
  // hurt, with the bounce's loss.
  for (int i = 0; i < 100 && z < -200.0f; ++i) {
    ASSERT_TRUE(ball.Update(10));
    ball.GetPosition(x, y, z);
  }
  ASSERT_EQ(ball.GetBounces(), 1);
  EXPECT_FLOAT_EQ(ship_->GetShields(), before - 3.0f - 3.0f * 0.92f);
}

TEST_F(ProjectilesTest, TheTrailTakesNewSquaresByStepLengthAndAgesThemAlong) {
  const struct {
    uint32_t ms;
    int squares;
  } steps[] = {{6, 2}, {30, 8}, {0, 1}};  // 500 u/s: 3 units, 15 units, none
  for (const auto& s : steps) {
    CRubberBall ball(0, 1, nullptr, kOutside, 0, 0, 0, 0, 500, 10.0f);
    ASSERT_TRUE(ball.Update(s.ms));
    int made = 0;
    for (int k = 0; k < kRubberBallTrail; ++k) made += ball.GetTrail(k) != nullptr;
    EXPECT_EQ(made, s.squares) << s.ms;
    for (int k = 0; k < s.squares; ++k) {
      ASSERT_NE(ball.GetTrail(k), nullptr);
      EXPECT_EQ(ball.GetTrail(k)->surface->texture, doc_->GetEnergyPulseFrame(k));
      EXPECT_TRUE(ball.GetTrail(k)->flags & 0x200) << "translucent";
    }
  }
  // Two squares, then two more: the first two move to slots 2 and 3 and
  // take those slots' textures.
  CRubberBall ball(0, 2, nullptr, kOutside, 0, 0, 0, 0, 500, 10.0f);
  ASSERT_TRUE(ball.Update(6));
  WorldPolygon* first = ball.GetTrail(0);
  ASSERT_TRUE(ball.Update(6));
  EXPECT_EQ(ball.GetTrail(2), first);
  EXPECT_EQ(first->surface->texture, doc_->GetEnergyPulseFrame(2));
  EXPECT_EQ(ball.GetTrail(4), nullptr);
}

TEST_F(ProjectilesTest, SavedBallsComeBackWithoutTrailAndWithTheirFlight) {
  CFireBall plasma(0, 1, nullptr, kOutside, 1, 2, 3, 4, 5, true, 6.0f);
  CRubberBall rubber(0, 2, nullptr, kOutside, 1, 2, 3, 4, 500, 7.0f);
  ASSERT_TRUE(plasma.Update(100));
  ASSERT_TRUE(rubber.Update(100));
  std::unique_ptr<CFireBall> plasmaCopy(RoundTrip(&plasma));
  std::unique_ptr<CRubberBall> rubberCopy(RoundTrip(&rubber));
  ASSERT_TRUE(plasmaCopy && rubberCopy);
  CFireBall& plasmaBack = *plasmaCopy;
  CRubberBall& rubberBack = *rubberCopy;
  EXPECT_TRUE(plasmaBack.IsActive());
  EXPECT_TRUE(plasmaBack.IsUpgraded());
  EXPECT_FLOAT_EQ(plasmaBack.GetDamage(), 6.0f);
  EXPECT_FLOAT_EQ(plasmaBack.GetDistance(), plasma.GetDistance());
  ASSERT_NE(plasmaBack.GetLight(), nullptr);
  EXPECT_FLOAT_EQ(plasmaBack.GetLight()->blue, 1.0f);
  EXPECT_EQ(plasmaBack.GetFrameCount(), 8);
  EXPECT_FLOAT_EQ(rubberBack.GetDamage(), 7.0f);
  EXPECT_FLOAT_EQ(rubberBack.GetVelocity()[2], 500.0f);
  EXPECT_FLOAT_EQ(rubberBack.GetSpiralAngle(), 0.0f);
  for (int k = 0; k < kRubberBallTrail; ++k) EXPECT_EQ(rubberBack.GetTrail(k), nullptr);
  EXPECT_EQ(rubberBack.GetFrameCount(), 8);
}

TEST_F(ProjectilesTest, BallMessagesCarryTheFlightAndAreRepeatedWithTheSendersShipPassedBy) {
  JoinNetwork();
  doc_->SpawnFireBall(0, nullptr, kOutside, 1, 2, 3, 4, 5, 1, 6.0f);
  doc_->SpawnRubberBall(0, nullptr, kOutside, 1, 2, 3, 4, 5, 7.0f);
  const auto plasma = Sent(kTypeFireBall), rubber = Sent(kTypeRubberBall);
  ASSERT_EQ(plasma.size(), 1u);
  ASSERT_EQ(rubber.size(), 1u);
  for (const auto* m : {&plasma[0], &rubber[0]}) {
    ASSERT_EQ(m->size(), 52u);
    EXPECT_EQ(NetReadU32(m->data() + 4), doc_->GetLocalPlayerId());
    EXPECT_EQ((*m)[16], 1);
    EXPECT_FLOAT_EQ(NetReadF32(m->data() + 20), kOutside);
    EXPECT_FLOAT_EQ(NetReadF32(m->data() + 40), 5.0f);
    for (int i : {17, 18, 19, 49, 50, 51}) EXPECT_EQ((*m)[i], 0) << i;
  }
  EXPECT_FLOAT_EQ(NetReadF32(plasma[0].data() + 44), 6.0f);
  EXPECT_EQ(plasma[0][48], 1);
  EXPECT_FLOAT_EQ(NetReadF32(rubber[0].data() + 44), 7.0f);
  EXPECT_EQ(rubber[0][48], 0);

  CDirectPlayer* shooter = AddPlayer(0xB00, 0, 40, -100);
  ASSERT_NE(shooter->GetInstance(), nullptr);
  const size_t sentBefore = sends_.size();
  for (uint16_t type : {kTypeFireBall, kTypeRubberBall}) {
    std::vector<uint8_t> m = Message(type, 52, shooter->GetId());
    NetWriteF32(m.data() + 20, kOutside);
    NetWriteF32(m.data() + 44, 3.0f);
    m[48] = 1;
    const int count = CountOf(type);
    doc_->HandleNetMessage(shooter->GetId(), doc_->GetLocalPlayerId(), m.data(), 51);
    EXPECT_EQ(CountOf(type), count) << "51 bytes: refused";
    doc_->HandleNetMessage(shooter->GetId(), doc_->GetLocalPlayerId(), m.data(), m.size());
    ASSERT_EQ(CountOf(type), count + 1);
    CGenericObject* copy = Newest();
    EXPECT_EQ(copy->GetOwner(), shooter->GetId());
    EXPECT_NE(copy->GetObjectId(), 77u) << "an id of this program's own";
    if (type == kTypeFireBall) {
      EXPECT_EQ(static_cast<CFireBall*>(copy)->GetIgnored(), shooter->GetInstance());
      EXPECT_TRUE(static_cast<CFireBall*>(copy)->IsUpgraded());
    } else {
      EXPECT_FLOAT_EQ(static_cast<CRubberBall*>(copy)->GetDamage(), 3.0f);
    }
  }
  EXPECT_EQ(sends_.size(), sentBefore) << "copies are not announced";
}

}  // namespace
