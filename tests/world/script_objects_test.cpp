// Sensors, movements, doors and facing polygons over fabricated worlds: the
// events they raise (recorded), the sounds doors play (recorded), their
// movers run by the engine's mover update, and their saved records.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/frame_stamp.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "game/game_clock.h"
#include "game/net_wire.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/world/script_world.h"
#include "world/document/level_group_effects.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"

namespace {

using Props = std::vector<std::pair<std::string, std::string>>;

class Recorder : public CEventManager {
 public:
  BOOL RaiseEvent(const CString& command, const char* source) override {
    raised.emplace_back(command.GetString(), source ? source : "");
    return TRUE;
  }
  std::vector<std::pair<std::string, std::string>> raised;
};

std::vector<std::string>* g_Sounds = nullptr;
void RecordSound(const char* name, PolygonGroup* /*group*/) {
  if (g_Sounds) g_Sounds->push_back(name);
}

// Events and sounds are recorded; the level's group callback reaches the
// script objects.
class ScriptObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEvents_ = g_pEventManager;
    g_pEventManager = &events_;
    g_CallbackWorld = level_.world();
    g_Sounds = &sounds_;
    g_DoorSoundObserver = &RecordSound;
  }
  void TearDown() override {
    g_pEventManager = savedEvents_;
    g_CallbackWorld = nullptr;
    g_Sounds = nullptr;
    g_DoorSoundObserver = nullptr;
  }
  // The texts raised since the last call, joined by spaces.
  std::string Events() {
    std::string out;
    for (const auto& [text, source] : events_.raised) out += (out.empty() ? "" : " ") + text;
    events_.raised.clear();
    return out;
  }
  std::string Sounds() {
    std::string out;
    for (const std::string& name : sounds_) out += (out.empty() ? "" : " ") + name;
    sounds_.clear();
    return out;
  }
  void Run(float seconds) {
    WorldUpdateMovers(level_.world(), seconds);
    WorldRebuildGroups(level_.world());
  }
  float Position(PolygonGroup* group) {
    float position = -1, speed = 0;
    GroupGetMoverState(group, &position, &speed);
    return position;
  }

  ScriptWorld level_;
  Recorder events_;
  std::vector<std::string> sounds_;
  CEventManager* savedEvents_ = nullptr;
};

// Every motion event and sound a door or movement can raise, each raising
// its own name.
Props MotionProps(Props extra) {
  Props props = {{"openevent", "open"},   {"close_event", "close"},    {"stopevent", "stop"},
                 {"startevent", "start"}, {"finishevent", "finish"},   {"opensound", "dooropen"},
                 {"closesound", "doorshut"}, {"stopsound", "doorstop"}, {"forwardevent", "forward"},
                 {"reverse_event", "reverse"}, {"counterzeroevent", "zero"}};
  props.insert(props.end(), extra.begin(), extra.end());
  return props;
}

// ---------------------------------------------------------------------------
// Sensors
// ---------------------------------------------------------------------------

TEST_F(ScriptObjectsTest, ASensorFiresAtItsBoundaryForAdmittedActorsOnly) {
  const struct {
    const char* filter;
    const char* actor;
    float x;  // along x from the sensor at the origin; radius 20 + actor 5
    bool fires;
  } cases[] = {
      {"", "player", 25.0f, true},         {"", "player", 25.01f, false},
      {"player", "player", 10.0f, true},   {"player", "drone1", 10.0f, false},
      {"drone*", "DRONE_7", 10.0f, true},  {"drone*", "player", 10.0f, false},
      {"guard", "guardian", 10.0f, true},
  };
  for (const auto& c : cases) {
    CSensor sensor(CString("gate"));
    sensor.objectFilter = c.filter;
    sensor.event = "open door_a";
    sensor.Test(c.actor, {c.x, 0, 0}, 5.0f);
    EXPECT_EQ(!events_.raised.empty(), c.fires) << c.filter << " / " << c.actor << " at " << c.x;
    if (c.fires) {
      EXPECT_EQ(events_.raised[0].second, std::string("sensor gate by ") + c.actor);
      EXPECT_TRUE(sensor.disabled) << "a sensor that is not continuous fires once";
    }
    events_.raised.clear();
  }
  // A radius of 0 still reaches an actor whose own radius covers the centre.
  CSensor point(CString("point"));
  point.SetRadius(0.0f);
  point.Test("player", {4.0f, 3.0f, 0.0f}, 5.0f);
  EXPECT_EQ(Events(), kMissingSensorEvent);
}

TEST_F(ScriptObjectsTest, AContinuousSensorFiresForEveryActorInEveryFrameThroughTheManager) {
  CScriptManager scripts;
  auto* sensor = new CSensor(CString("zone"));
  sensor->continuous = true;
  sensor->event = "beep";
  sensor->radius = 50.0f;
  scripts.AddSensorObject(sensor);
  for (int frame = 0; frame < 2; ++frame) {
    scripts.TestActor(10, 0, 0, 5, "drone1");
    scripts.TestActor(0, 10, 0, 5, "drone2");
    scripts.TestActor(0, 0, 10, 5, "player");
    scripts.TestActor(0, 0, 500, 5, "player");
  }
  EXPECT_EQ(events_.raised.size(), 6u);
  EXPECT_FALSE(sensor->disabled);
  EXPECT_TRUE(scripts.ExecuteCommand("disable_sensor ZONE", nullptr));
  scripts.TestActor(0, 0, 10, 5, "player");
  EXPECT_EQ(events_.raised.size(), 6u);
}

TEST_F(ScriptObjectsTest, SensorRecordsAndStateMessages) {
  CSensor sensor(CString("s1"));
  sensor.position = {1, 2, 3};
  sensor.radius = 44.0f;
  sensor.objectFilter = "drone*";
  sensor.event = "log HI";
  sensor.disabled = true;
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    sensor.Serialize(ar);
    ar.Close();
  }
  CSensor loaded;
  CMemFile input(file.Data());
  CArchive ar(&input, CArchive::load);
  loaded.Serialize(ar);
  EXPECT_EQ(loaded.GetName(), "s1");
  EXPECT_FLOAT_EQ(loaded.position.z, 3.0f);
  EXPECT_FLOAT_EQ(loaded.radius, 44.0f);
  EXPECT_EQ(loaded.objectFilter, "drone*");
  EXPECT_EQ(loaded.event, "log HI");
  EXPECT_TRUE(loaded.disabled);
  EXPECT_FALSE(loaded.continuous);

  uint8_t message[kSensorStateSize] = {};
  message[16] = 2;
  message[17] = 2;  // enabled, continuous
  NetWriteF32(message + 20, 75.0f);
  loaded.RestoreState(message, sizeof message - 1);
  EXPECT_TRUE(loaded.disabled) << "a message without its radius changes nothing";
  loaded.RestoreState(message, sizeof message);
  EXPECT_FALSE(loaded.disabled);
  EXPECT_TRUE(loaded.continuous);
  EXPECT_FLOAT_EQ(loaded.radius, 75.0f);
}

// ---------------------------------------------------------------------------
// Movements
// ---------------------------------------------------------------------------

TEST_F(ScriptObjectsTest, AMovementReadsItsSpeedFromSecondsTimeOrSpeed) {
  const struct {
    Props props;
    float speed;
  } cases[] = {
      {{{"seconds", "4"}}, 0.25f}, {{{"time", "0.5"}}, 2.0f}, {{{"seconds", "0"}}, 0.0f},
      {{{"speed", "0.6"}}, 0.6f},  {{}, 0.25f},
  };
  int n = 0;
  for (const auto& c : cases) {
    PolygonGroup* group = level_.Group("movement_" + std::to_string(n++), c.props);
    CMovement movement(group);
    EXPECT_FLOAT_EQ(movement.speed, c.speed);
    EXPECT_FALSE(GroupIsVisible(group)) << "the controller group is geometry only";
  }
}

TEST_F(ScriptObjectsTest, AMovementSlidesItsPlatformAndRaisesItsEnds) {
  PolygonGroup* lift = level_.Group("movement_lift", MotionProps({{"seconds", "2"}}));
  level_.Line(lift, {0, 0, 0}, {0, -100, 0});
  PolygonGroup* platform = level_.Group("platform");
  level_.Face(platform);
  RefPtr<CMovement> movement(new CMovement(lift));
  EXPECT_EQ(movement->flags, kMovementTranslates);
  movement->Carry(platform);
  WorldRebuildGroups(level_.world());
  float x, y, z;
  GroupGetCentre(platform, &x, &y, &z);
  EXPECT_FLOAT_EQ(y, 5.0f);

  movement->Forward();
  EXPECT_EQ(Events(), "forward");
  Run(1.0f);
  EXPECT_FLOAT_EQ(Position(lift), 0.5f);
  Run(1.5f);
  EXPECT_EQ(Events(), "stop finish");
  GroupGetCentre(platform, &x, &y, &z);
  EXPECT_FLOAT_EQ(y, -95.0f) << "the carried platform rode up with it";

  // "reverse" runs it back from where it stands; a second one turns it again.
  movement->Reverse();
  Run(0.5f);
  movement->Reverse();
  EXPECT_EQ(Events(), "reverse reverse");
  Run(1.0f);
  EXPECT_EQ(Events(), "stop finish");
  movement->Reverse();
  Run(3.0f);
  EXPECT_EQ(Events(), "reverse stop start");
  EXPECT_FLOAT_EQ(Position(lift), 0.0f);
}

TEST_F(ScriptObjectsTest, AContinuousMovementTurnsRoundAtBothEnds) {
  PolygonGroup* arm = level_.Group("rotation_arm", MotionProps({{"time", "1"}, {"continuous", "1"}, {"start", "1"}}));
  WorldPolygon* line = level_.Line(arm, {0, 0, 0}, {0, 10, 0});
  PropSet(&line->props, NameHash("angle"), "90");
  RefPtr<CMovement> movement(new CMovement(arm));
  EXPECT_EQ(movement->flags, kMovementRotates | kMovementContinuous);
  EXPECT_FLOAT_EQ(movement->angle, 3.1415927f * 0.5f);
  EXPECT_EQ(Events(), "forward");
  Run(1.0f);
  EXPECT_EQ(Events(), "stop finish reverse");
  Run(1.0f);
  EXPECT_EQ(Events(), "stop start forward");
  EXPECT_TRUE(GroupIsMoving(arm));
}

TEST_F(ScriptObjectsTest, AZeroLengthRotationAxisTurnsByTheSmallestAngle) {
  PolygonGroup* pin = level_.Group("rotation_pin", {{"angle", "45"}});
  // A line the engine accepts, then squeezed to a point.
  WorldPolygon* line = level_.Line(pin, {1, 1, 1}, {1, 2, 1});
  ASSERT_NE(line, nullptr);
  line->vertices[1] = line->vertices[0];
  CMovement movement(pin);
  EXPECT_EQ(movement.flags & kMovementRotates, 0);
  EXPECT_FLOAT_EQ(movement.angle, 1.1920929e-07f);
}

// ---------------------------------------------------------------------------
// Doors
// ---------------------------------------------------------------------------

TEST_F(ScriptObjectsTest, APlainSlidingDoorRunsAFullCycleWithItsEventsAndSounds) {
  PolygonGroup* group = level_.Group("door_a", MotionProps({{"speed", "0.5"}}));
  level_.Face(group);
  level_.Line(group, {0, 0, 0}, {0, -40, 0});
  RefPtr<CDoor> door(MakeDoor(group, kDoorShapeSliding));
  EXPECT_EQ(door->kind, kDoorKindPlain);
  EXPECT_EQ(group->polygonCount, 1) << "the axis line leaves the world";
  EXPECT_FALSE(GroupIsMoving(group));

  door->SetOpen(TRUE);
  EXPECT_EQ(Events(), "open");
  EXPECT_EQ(Sounds(), "dooropen");
  door->SetOpen(TRUE);
  EXPECT_EQ(Events(), "") << "already open";
  Run(1.0f);
  EXPECT_FLOAT_EQ(Position(group), 0.5f);
  Run(1.5f);
  EXPECT_EQ(Events(), "stop finish");
  EXPECT_EQ(Sounds(), "doorstop");
  EXPECT_FLOAT_EQ(Position(group), 1.0f);

  door->Toggle();
  EXPECT_FALSE(door->open);
  EXPECT_EQ(Events(), "close");
  EXPECT_EQ(Sounds(), "doorshut");
  Run(2.5f);
  EXPECT_EQ(Events(), "stop start");
  EXPECT_FLOAT_EQ(Position(group), 0.0f);

  // Frozen, the door ignores commands; thawed, the next one acts.
  door->Freeze(TRUE);
  door->SetOpen(TRUE);
  EXPECT_FALSE(door->open);
  door->Freeze(FALSE);
  door->SetOpen(TRUE);
  EXPECT_EQ(Events(), "open");
}

TEST_F(ScriptObjectsTest, AnAutomaticDoorOpensForANearActorAndClosesWhenLeft) {
  PolygonGroup* group = level_.Group("door_auto", MotionProps({{"auto", "1"}, {"radius", "30"}, {"speed", "1"}}));
  level_.Face(group);
  level_.Line(group, {0, 0, 0}, {0, -40, 0});
  CScriptManager scripts;
  scripts.BuildFromWorld(level_.world());
  ASSERT_EQ(scripts.Doors().size(), 1u);
  CDoor* door = scripts.Doors()[0].Get();
  EXPECT_EQ(door->kind, kDoorKindAuto);
  auto frame = [&](float x) {
    scripts.ResetAutoDoors();
    scripts.TestActor(x, 5, 0, 5, "player");
    scripts.CloseAutoDoors();
    Run(0.5f);
  };
  frame(20);
  EXPECT_EQ(Events(), "open");
  frame(20);
  frame(20);
  EXPECT_EQ(Events(), "stop finish");
  frame(500);
  EXPECT_EQ(Events(), "close");
  frame(500);
  EXPECT_EQ(Events(), "stop start");
  EXPECT_EQ(Sounds(), "dooropen doorstop doorshut doorstop");
}

TEST_F(ScriptObjectsTest, AContinuousDoorKeepsOpeningAndClosing) {
  PolygonGroup* group =
      level_.Group("door_pump", MotionProps({{"continuous", "1"}, {"start", "1"}, {"speed", "1"}}));
  level_.Face(group);
  level_.Line(group, {0, 0, 0}, {10, 0, 0});
  RefPtr<CDoor> door(MakeDoor(group, kDoorShapeSliding));
  EXPECT_EQ(door->kind, kDoorKindContinuous);
  EXPECT_TRUE(GroupIsMoving(group));
  Run(1.0f);
  // At the end it toggles open, which raises its open event but does not
  // move it; the next update reports the end again and it turns back.
  EXPECT_EQ(Events(), "stop finish open");
  EXPECT_TRUE(door->open);
  Run(0.1f);
  EXPECT_EQ(Events(), "stop finish close");
  Run(1.0f);
  EXPECT_EQ(Events(), "stop start open");
  EXPECT_FLOAT_EQ(Position(group), 0.0f);
}

TEST_F(ScriptObjectsTest, ASpinDoorTurnsWithoutEndAndStandsStillOutOfView) {
  PolygonGroup* group = level_.Group(
      "spinning_fan", MotionProps({{"continuous", "1"}, {"start", "1"}, {"speed", "0.25"}, {"viewradius", "100"}}));
  level_.Face(group);
  level_.Line(group, {5, 0, 5}, {5, -10, 5});
  CScriptManager scripts;
  scripts.BuildFromWorld(level_.world());
  ASSERT_EQ(scripts.Doors().size(), 1u);
  CDoor* fan = scripts.Doors()[0].Get();
  EXPECT_EQ(fan->GetShape(), kDoorShapeRotating);
  EXPECT_EQ(fan->kind, kDoorKindSpin);
  EXPECT_FLOAT_EQ(fan->angle, 0.0f);
  EXPECT_FALSE(fan->frozen) << "a started door runs until the player is tested";
  for (int i = 0; i < 10; ++i) Run(1.0f);
  EXPECT_TRUE(GroupIsMoving(group));
  EXPECT_EQ(Events(), "") << "a full-turn rotation never ends";
  EXPECT_NEAR(Position(group), 0.5f, 1e-4f) << "10 s at 0.25 a second, wrapped";

  scripts.TestActor(500, 0, 0, 5, "player");
  EXPECT_TRUE(fan->frozen);
  Run(1.0f);
  EXPECT_NEAR(Position(group), 0.5f, 1e-4f);
  EXPECT_TRUE(scripts.ExecuteCommand("open spinning_fan", nullptr));
  EXPECT_FALSE(fan->open) << "a frozen door ignores commands";
  scripts.TestActor(50, 0, 0, 5, "player");
  EXPECT_FALSE(fan->frozen);
  Run(1.0f);
  EXPECT_NEAR(Position(group), 0.75f, 1e-4f);
}

TEST_F(ScriptObjectsTest, RotatingDoorsOpenByTheirAngle) {
  const struct {
    Props props;
    float degrees;
    DoorKind kind;
  } cases[] = {
      {{}, 90.0f, kDoorKindPlain},
      {{{"angle", "30"}}, 30.0f, kDoorKindPlain},
      {{{"angle", "0"}}, 0.0f, kDoorKindSpin},
      {{{"continuous", "1"}}, 0.0f, kDoorKindSpin},
  };
  int n = 0;
  for (const auto& c : cases) {
    PolygonGroup* group = level_.Group("swinging_" + std::to_string(n++), c.props);
    level_.Face(group);
    level_.Line(group, {0, 0, 0}, {0, 10, 0});
    RefPtr<CDoor> door(MakeDoor(group, kDoorShapeRotating));
    EXPECT_NEAR(door->angle, c.degrees * 3.1415927f / 180.0f, 1e-6f);
    EXPECT_EQ(door->kind, c.kind);
    EXPECT_FLOAT_EQ(group->angle, door->angle);
  }
}

TEST_F(ScriptObjectsTest, DoorsThatOwnEachOtherOpenOnceEach) {
  PolygonGroup* a = level_.Group("door_a", {{"owner", "door_b"}, {"openevent", "open a"}});
  level_.Face(a);
  level_.Line(a, {0, 0, 0}, {0, -10, 0});
  PolygonGroup* b = level_.Group("door_b", {{"owner", "door_a"}, {"openevent", "open b"}});
  level_.Face(b, 50, 0, 0);
  level_.Line(b, {50, 0, 0}, {50, -10, 0});
  CScriptManager scripts;
  scripts.BuildFromWorld(level_.world());
  ASSERT_EQ(scripts.Doors().size(), 2u);
  CDoor* doorA = scripts.Doors()[0].Get();
  CDoor* doorB = scripts.Doors()[1].Get();
  ASSERT_EQ(doorA->ownedDoors.size(), 1u);
  ASSERT_EQ(doorB->ownedDoors.size(), 1u);
  EXPECT_TRUE(scripts.ExecuteCommand("toggle door_a", nullptr));
  EXPECT_TRUE(doorA->open);
  EXPECT_TRUE(doorB->open);
  EXPECT_EQ(Events(), "open b open a") << "the owned door first, each once";
  doorA->Freeze(TRUE);
  EXPECT_TRUE(doorB->frozen);
}

TEST_F(ScriptObjectsTest, ACounterRaisesItsZeroEventOnce) {
  PolygonGroup* group = level_.Group("door_safe", MotionProps({{"counter", "3"}}));
  level_.Face(group);
  RefPtr<CDoor> door(MakeDoor(group, kDoorShapeParent));
  for (int i = 0; i < 4; ++i) door->DecCounter();
  door->IncCounter();
  EXPECT_EQ(door->counter, 0);
  EXPECT_EQ(Events(), "zero");
}

TEST_F(ScriptObjectsTest, ADoorSavedMidMotionComesBackWithItsState) {
  PolygonGroup* group = level_.Group("door_x", MotionProps({{"auto", "1"}, {"object", "drone*"}, {"counter", "4"}}));
  level_.Face(group);
  level_.Line(group, {0, 0, 0}, {0, -40, 0});
  CScriptManager scripts;
  scripts.BuildFromWorld(level_.world());
  CDoor* door = scripts.Doors()[0].Get();
  door->SetOpen(TRUE);
  door->DecCounter();
  Run(1.0f);
  EXPECT_TRUE(GroupIsMoving(group));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    scripts.SerializeWithWorld(ar, level_.world());
    ar.Close();
  }
  CScriptManager loaded;
  CMemFile input(file.Data());
  CArchive ar(&input, CArchive::load);
  loaded.SerializeWithWorld(ar, level_.world());
  ASSERT_EQ(loaded.Doors().size(), 1u);
  CDoor* back = loaded.Doors()[0].Get();
  EXPECT_EQ(back->GetGroup(), group);
  EXPECT_EQ(group->scriptObject, back) << "the group's end reaches the loaded door";
  EXPECT_TRUE(back->open);
  EXPECT_EQ(back->kind, kDoorKindAuto);
  EXPECT_EQ(back->counter, 3);
  EXPECT_EQ(back->objectFilter, "drone*");
  EXPECT_FLOAT_EQ(back->centre.x, door->centre.x);
  EXPECT_FLOAT_EQ(back->radius, door->radius);
  Events();
  Run(5.0f);
  EXPECT_EQ(Events(), "stop finish");

  uint8_t message[kDoorStateSize] = {};
  NetWriteF32(message + 20, 12.0f);
  NetWriteF32(message + 24, 99.0f);
  message[28] = kDoorKindContinuous;
  NetWriteU32(message + 32, 7);
  message[36] = 8;  // frozen, closed
  back->RestoreState(message, kDoorStateSize - 1);
  EXPECT_EQ(back->counter, 3) << "a short message changes nothing";
  back->RestoreState(message, kDoorStateSize);
  EXPECT_FLOAT_EQ(back->viewRadius, 99.0f);
  EXPECT_EQ(back->kind, kDoorKindContinuous);
  EXPECT_EQ(back->counter, 7);
  EXPECT_FALSE(back->open);
  EXPECT_TRUE(back->frozen);
}

// ---------------------------------------------------------------------------
// Facing polygons
// ---------------------------------------------------------------------------

TEST(FacingRotationTest, TheAxisRotationMultipliesOnTheRight) {
  float m[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1};
  MatrixMultiplyAxisRotation(m, {0, 0, 1}, std::cos(3.1415927f / 6), std::sin(3.1415927f / 6));
  const float expected[12] = {1.866f, 1.232f, 3, 5.964f, 2.330f, 6, 10.062f, 3.428f, 9, 14.160f, 4.526f, 12};
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 3; ++col) EXPECT_NEAR(m[row * 4 + col], expected[row * 3 + col], 2e-3f);
  }
  EXPECT_FLOAT_EQ(m[15], 1.0f);
}

TEST_F(ScriptObjectsTest, AFacingPolygonTurnsToFaceAMovedShip) {
  PolygonGroup* group = level_.Group("facing_sign");
  const float xs[] = {-5, 5, 5, -5}, ys[] = {0, 0, 10, 10}, zs[] = {0, 0, 0, 0}, light[] = {0.1f, 0.2f, 0.3f, 0.4f};
  WorldPolygon* face = PolygonCreate(level_.world(), -4, xs, ys, zs, light, nullptr);
  ASSERT_NE(face, nullptr);
  PolygonSetGroup(face, group, 0);
  RefPtr<CFacingObject> facing(new CFacingObject(face, nullptr));
  facing->Init();
  for (const Vec3& ship : {Vec3{0, 5, 100}, Vec3{100, 5, 0}, Vec3{-70, 5, -70}}) {
    facing->FaceToward(ship);
    WorldPolygon* now = facing->GetFace();
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->group, group) << "the rebuilt face stays in its group";
    const float toShip = now->normal.x * ship.x + now->normal.y * (ship.y - 5) + now->normal.z * ship.z;
    EXPECT_GT(toShip, 0.99f * std::sqrt(ship.x * ship.x + ship.z * ship.z)) << "its front looks at the ship";
    // The vertices come back in reverse order, each with its own light.
    EXPECT_FLOAT_EQ(now->vertices[0].light, 0.4f);
    EXPECT_FLOAT_EQ(now->vertices[3].light, 0.1f);
    EXPECT_FLOAT_EQ(now->vertices[0].y, 10.0f);
  }
  EXPECT_EQ(group->polygonCount, 1);

  // A rebuild that cannot be made keeps the face there is.
  WorldPolygon* kept = facing->GetFace();
  World* world = kept->world;
  kept->world = nullptr;
  facing->FaceToward({0, 5, -100});
  EXPECT_EQ(facing->GetFace(), kept);
  kept->world = world;
}

TEST_F(ScriptObjectsTest, AnUnseenFacingPolygonIsRebuiltOnlyEveryThreeSeconds) {
  PolygonGroup* group = level_.Group("facing_tree");
  RefPtr<CFacingObject> facing(new CFacingObject(level_.Face(group), nullptr));
  g_GameTime = 10000;
  facing->Init();
  EXPECT_TRUE(facing->RebuildDue());
  // Sphere queries advance the engine stamp, not the rendered frames.
  g_FrameStamp += 1000;
  EXPECT_TRUE(facing->RebuildDue());
  g_RenderedFrames += 201;
  EXPECT_TRUE(facing->RebuildDue()) << "the first unseen look";
  EXPECT_FALSE(facing->RebuildDue());
  g_GameTime += 2999;
  EXPECT_FALSE(facing->RebuildDue());
  g_GameTime += 1;
  EXPECT_TRUE(facing->RebuildDue());
  // Drawn again: every frame.
  facing->GetFace()->lastDrawn = FrameStampAdvance();
  EXPECT_TRUE(facing->RebuildDue());
  EXPECT_TRUE(facing->RebuildDue());
}

}  // namespace
