// The level grammar, the script commands, the actor pass and the script
// section of saved games, over fabricated worlds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/polygon_group.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/world/script_world.h"
#include "world/script/script_grammar.h"
#include "world/script/script_keywords.h"
#include "world/script/script_manager.h"

namespace {

TEST(LevelGrammarTest, NamesAndTypesDecideTheKind) {
  const struct {
    const char* name;
    const char* type;
    ScriptGroupKind kind;
    DoorShape shape;
  } cases[] = {
      {"door_a", nullptr, kScriptGroupDoor, kDoorShapeSliding},
      {"swinging_b", nullptr, kScriptGroupDoor, kDoorShapeRotating},
      {"spinning_c", nullptr, kScriptGroupDoor, kDoorShapeRotating},
      {"pathgroup_d", nullptr, kScriptGroupDoor, kDoorShapeSliding},
      {"moving_e", nullptr, kScriptGroupDoor, kDoorShapeSliding},
      {"sliding_b", "swinging", kScriptGroupDoor, kDoorShapeRotating},
      {"door_p", "parent", kScriptGroupDoor, kDoorShapeParent},
      {"swinging_s", "sliding", kScriptGroupDoor, kDoorShapeSliding},
      {"door_a", "elevator", kScriptGroupNone, kDoorShapePlain},
      {"facing_f", nullptr, kScriptGroupFacing, kDoorShapePlain},
      {"movement_m", nullptr, kScriptGroupMovement, kDoorShapePlain},
      {"move_m", nullptr, kScriptGroupMovement, kDoorShapePlain},
      {"vector_m", nullptr, kScriptGroupMovement, kDoorShapePlain},
      {"rotation_m", nullptr, kScriptGroupMovement, kDoorShapePlain},
      {"slide_m", nullptr, kScriptGroupMovement, kDoorShapePlain},
      {"Door_upper", nullptr, kScriptGroupNone, kDoorShapePlain},
      {"trigger_hall", "sliding", kScriptGroupNone, kDoorShapePlain},
  };
  for (const auto& c : cases) {
    const ScriptGroupDecision decision = ClassifyScriptGroup(c.name, c.type);
    EXPECT_EQ(decision.kind, c.kind) << c.name;
    if (c.kind == kScriptGroupDoor) {
      EXPECT_EQ(decision.doorShape, c.shape) << c.name;
    }
  }
}

TEST(LevelGrammarTest, AFabricatedLevelBecomesScriptObjectsWithOwnersAndParents) {
  ScriptWorld level;
  PolygonGroup* doorA = level.Group("door_a");
  level.Face(doorA);
  level.Group("door_elevator", {{"type", "elevator"}});
  level.Group("sliding_b", {{"type", "swinging"}});
  level.Group("door_o1", {{"owner", "door_a"}});
  level.Group("door_o2", {{"owner", "door_a"}});
  level.Group("door_self", {{"owner", "door_self"}});
  level.Group("door_stray", {{"owner", "nobody"}});
  PolygonGroup* facingOne = level.Group("facing_one");
  WorldPolygon* onlyFace = level.Face(facingOne);
  PolygonGroup* facingAxis = level.Group("facing_axis");
  WorldPolygon* firstFace = level.Face(facingAxis);
  level.Line(facingAxis, {1, 2, 3}, {1, 7, 3});
  WorldPolygon* lastFace = level.Face(facingAxis, 50, 0, 0);
  PolygonGroup* facingLines = level.Group("facing_lines");
  level.Line(facingLines, {0, 0, 0}, {0, 1, 0});
  level.Line(facingLines, {0, 0, 0}, {1, 0, 0});
  level.Group("movement_lift");
  PolygonGroup* lamp = level.Group("lamp", {{"parent", "door_a"}});
  PolygonGroup* orphan = level.Group("orphan", {{"parent", "no_such_group"}});

  CScriptManager scripts;
  scripts.BuildFromWorld(level.world());

  std::vector<std::string> doors;
  for (const RefPtr<CDoor>& door : scripts.Doors()) doors.push_back(door->GetName());
  EXPECT_EQ(doors, (std::vector<std::string>{"door_a", "sliding_b", "door_o1", "door_o2", "door_self", "door_stray"}));
  EXPECT_EQ(scripts.Doors()[0]->GetShape(), kDoorShapeSliding);
  EXPECT_EQ(scripts.Doors()[1]->GetShape(), kDoorShapeRotating);
  EXPECT_EQ(doorA->scriptObject, scripts.Doors()[0].Get()) << "a node object sits in its group's slot";

  const std::vector<CDoor*>& owned = scripts.FindDoorByName("door_a")->ownedDoors;
  ASSERT_EQ(owned.size(), 2u);
  EXPECT_STREQ(owned[0]->GetName(), "door_o1");
  EXPECT_STREQ(owned[1]->GetName(), "door_o2");
  EXPECT_TRUE(scripts.FindDoorByName("door_self")->ownedDoors.empty()) << "only other doors are searched";

  ASSERT_EQ(scripts.FacingObjects().size(), 2u);
  EXPECT_EQ(scripts.FacingObjects()[0]->GetFace(), onlyFace);
  EXPECT_FALSE(scripts.FacingObjects()[0]->HasAxisLine());
  // Scanned from the end: the last face and the line before it.
  EXPECT_EQ(scripts.FacingObjects()[1]->GetFace(), lastFace);
  EXPECT_NE(scripts.FacingObjects()[1]->GetFace(), firstFace);
  EXPECT_TRUE(scripts.FacingObjects()[1]->HasAxisLine());
  EXPECT_FLOAT_EQ(scripts.FacingObjects()[1]->GetAxisPoint().y, 2.0f);
  EXPECT_FLOAT_EQ(scripts.FacingObjects()[1]->GetAxisDirection().y, 1.0f) << "the axis is a unit vector";

  ASSERT_EQ(scripts.Movements().size(), 1u);
  EXPECT_STREQ(scripts.Movements()[0]->GetGroup()->name, "movement_lift");
  EXPECT_EQ(lamp->parent, doorA);
  EXPECT_EQ(orphan->parent, nullptr);
}

TEST(LevelGrammarTest, AnEmptyOwnerEndsTheLinking) {
  ScriptWorld level;
  level.Group("door_a");
  level.Group("door_b", {{"owner", ""}});
  level.Group("door_c", {{"owner", "door_a"}});
  CScriptManager scripts;
  scripts.BuildFromWorld(level.world());
  EXPECT_TRUE(scripts.FindDoorByName("door_a")->ownedDoors.empty());
}

TEST(ScriptKeywordsTest, KeywordsAndNumbersWithDefaults) {
  const KeywordEntry table[] = {{"auto", 1}, {"moving", 2}, {nullptr, -7}};
  EXPECT_EQ(LookupKeyword("  moving", table), 2);
  EXPECT_EQ(LookupKeyword("Moving", table), -7);
  EXPECT_EQ(LookupKeyword(nullptr, table), -7);
  EXPECT_EQ(LookupKeyword("auto", nullptr), kNoKeywordTable);
  EXPECT_EQ(ParseIntDefault(" -12", 5), -12);
  EXPECT_EQ(ParseIntDefault("x12", 5), 5);
  EXPECT_EQ(ParseIntDefault(nullptr, 5), 5);
  EXPECT_EQ(ParseIntDefault("123456789012345", 5), 2147483647);
  EXPECT_FLOAT_EQ(ParseFloatDefault(" .5", 1.0f), 0.5f);
  EXPECT_FLOAT_EQ(ParseFloatDefault("fast", 1.0f), 1.0f);
}

// A door that records what the commands asked of it.
class RecordingDoor : public CDoor {
 public:
  explicit RecordingDoor(PolygonGroup* group) : CDoor(group, kDoorShapeSliding) {}
  void Toggle() override { calls += "toggle "; }
  void SetOpen(BOOL on) override { calls += on ? "open " : "close "; }
  void Freeze(BOOL on) override { calls += on ? "freeze " : "thaw "; }
  void DecCounter() override { calls += "dec "; }
  void IncCounter() override { calls += "inc "; }
  void SetAxis(const Vec3& from, const Vec3& to) override {
    calls += "axis ";
    axisFrom = from;
    axisTo = to;
  }
  void Apply() override { calls += "apply "; }
  std::string calls;
  Vec3 axisFrom = {}, axisTo = {};
};

class RecordingMovement : public CMovement {
 public:
  explicit RecordingMovement(PolygonGroup* group) : CMovement(group) {}
  void Forward() override { calls += "forward "; }
  void Reverse() override { calls += "reverse "; }
  std::string calls;
};

class ScriptCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doorGroup_ = level_.Group("d");
    level_.Face(doorGroup_);
    door_ = new RecordingDoor(doorGroup_);
    scripts_.AddDoor(door_);
    highDoor_ = new RecordingDoor(level_.Group("d\xE9"));
    scripts_.AddDoor(highDoor_);
    level_.Group("plain");
    PolygonGroup* axis = level_.Group("axis_line");
    level_.Line(axis, {1, 2, 3}, {4, 5, 6});
    lift_ = level_.Group("lift");
    movement_ = new RecordingMovement(lift_);
    scripts_.AddMovementObject(movement_);
    child_ = level_.Group("child");
    scripts_.BuildFromWorld(level_.world());  // no grammar names: only binds the world
    sensor_ = new CSensor(CString("Sensor_1"));
    scripts_.AddSensorObject(sensor_);
  }
  ScriptWorld level_;
  CScriptManager scripts_;
  PolygonGroup* doorGroup_ = nullptr;
  PolygonGroup* lift_ = nullptr;
  PolygonGroup* child_ = nullptr;
  RecordingDoor* door_ = nullptr;
  RecordingDoor* highDoor_ = nullptr;
  RecordingMovement* movement_ = nullptr;
  CSensor* sensor_ = nullptr;
};

TEST_F(ScriptCommandTest, CommandsReachTheirObjects) {
  const struct {
    const char* text;
    BOOL result;
    const char* calls;
  } cases[] = {
      {"toggle d", TRUE, "toggle "},
      {"open d", TRUE, "open "},
      {"close d", TRUE, "close "},
      {"freeze d", TRUE, "freeze "},
      {"thaw d", TRUE, "thaw "},
      {"deccounter d", TRUE, "dec "},
      {"inccounter d", TRUE, "inc "},
      {"setaxis d axis_line", TRUE, "axis "},
      {"setaxis d no_group", TRUE, ""},
      {"disable d", TRUE, "freeze "},
      {"open plain", TRUE, ""},  // a door word on a plain group: accepted, ignored
      {"open nothing", FALSE, ""},
      {"dance d", FALSE, ""},
      {" open d", FALSE, ""},  // an empty first word
      {"open\td", TRUE, "open "},
  };
  for (const auto& c : cases) {
    door_->calls.clear();
    EXPECT_EQ(scripts_.ExecuteCommand(c.text, nullptr), c.result) << c.text;
    EXPECT_EQ(door_->calls, c.calls) << c.text;
  }
  EXPECT_FLOAT_EQ(door_->viewRadius, 0.0f);
  EXPECT_FLOAT_EQ(door_->axisTo.z, 6.0f);

  EXPECT_TRUE(scripts_.ExecuteCommand("set_viewradius d 250.5", nullptr));
  EXPECT_FLOAT_EQ(door_->viewRadius, 250.5f);
  EXPECT_TRUE(scripts_.ExecuteCommand("doortype d ROTATING", nullptr));
  EXPECT_EQ(door_->kind, kDoorKindSpin);
  EXPECT_TRUE(scripts_.ExecuteCommand("doortype d sideways", nullptr));
  EXPECT_EQ(door_->kind, kDoorKindSpin);
  // Character codes above 127 stay inside words.
  EXPECT_TRUE(scripts_.ExecuteCommand("open d\xE9", nullptr));
  EXPECT_EQ(highDoor_->calls, "open ");
}

TEST_F(ScriptCommandTest, SensorAndGroupCommands) {
  EXPECT_TRUE(scripts_.ExecuteCommand("disable_sensor SENSOR_1", nullptr));
  EXPECT_TRUE(sensor_->disabled);
  EXPECT_TRUE(scripts_.ExecuteCommand("enable_sensor sensor_1", nullptr));
  EXPECT_FALSE(sensor_->disabled);
  EXPECT_TRUE(scripts_.ExecuteCommand("set_sensorradius sensor_1 80", nullptr));
  EXPECT_FLOAT_EQ(sensor_->radius, 80.0f);
  EXPECT_FALSE(scripts_.ExecuteCommand("enable_sensor d", nullptr));

  EXPECT_TRUE(scripts_.ExecuteCommand("transfer lift child", nullptr));
  EXPECT_EQ(movement_->calls, "forward ");
  EXPECT_EQ(child_->parent, lift_);
  EXPECT_TRUE(scripts_.ExecuteCommand("transferneg lift", nullptr));
  EXPECT_EQ(movement_->calls, "forward reverse ");
  EXPECT_TRUE(scripts_.ExecuteCommand("detach child", nullptr));
  EXPECT_EQ(child_->parent, nullptr);
  EXPECT_TRUE(scripts_.ExecuteCommand("reverse plain", nullptr)) << "no script object: only TRUE";
  EXPECT_FALSE(scripts_.ExecuteCommand("detach nothing", nullptr));
}

TEST_F(ScriptCommandTest, AutomaticDoorsOpenForAdmittedActorsAndCloseWhenLeft) {
  WorldRebuildGroups(level_.world());
  door_->kind = kDoorKindAuto;
  door_->radius = 50.0f;
  const struct {
    const char* filter;
    const char* actor;
    bool admitted;
  } cases[] = {
      {"", "player", true},         {"robot*", "ROBOT7", true}, {"robot", "robotic", true},
      {"guard", "player", false},   {"player", "player", true},
  };
  for (const auto& c : cases) {
    door_->objectFilter = c.filter;
    door_->open = false;
    door_->calls.clear();
    scripts_.ResetAutoDoors();
    scripts_.TestActor(5, 5, 20, 10, c.actor);
    scripts_.CloseAutoDoors();
    EXPECT_EQ(door_->open, c.admitted) << c.filter << " / " << c.actor;
    EXPECT_EQ(door_->calls, c.admitted ? "apply " : "") << c.filter << " / " << c.actor;
  }
  // Nobody near in the next frame: closed and applied.
  door_->objectFilter = "";
  door_->calls.clear();
  scripts_.ResetAutoDoors();
  scripts_.TestActor(500, 5, 20, 10, "player");
  scripts_.CloseAutoDoors();
  EXPECT_FALSE(door_->open);
  EXPECT_EQ(door_->calls, "apply ");
}

TEST_F(ScriptCommandTest, FarAwayMachineryFreezesForThePlayerOnly) {
  WorldRebuildGroups(level_.world());
  door_->kind = kDoorKindContinuous;
  door_->viewRadius = 100.0f;
  scripts_.TestActor(500, 0, 0, 10, "robot");
  EXPECT_EQ(door_->calls, "");
  scripts_.TestActor(500, 0, 0, 10, "player");
  scripts_.TestActor(5, 5, 0, 10, "player");
  EXPECT_EQ(door_->calls, "freeze thaw ");
}

TEST(ScriptSaveTest, SectionFramesEachSequenceAndLoadingRebuildsFacing) {
  ScriptWorld level;
  level.Group("door_a");
  level.Group("door_b", {{"owner", "door_a"}});
  level.Group("movement_m");
  level.Face(level.Group("facing_f"));
  CScriptManager scripts;
  scripts.BuildFromWorld(level.world());
  scripts.AddSensor(static_cast<Instance*>(nullptr));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    scripts.SerializeWithWorld(ar, level.world());
    ar.Close();
  }
  // Each sequence: a byte 1 before every record, a byte 0 after the last.
  ASSERT_FALSE(file.Data().empty());
  EXPECT_EQ(file.Data().front(), 1);
  EXPECT_EQ(file.Data().back(), 0);

  CScriptManager loaded;
  CMemFile input(file.Data());
  CArchive ar(&input, CArchive::load);
  loaded.SerializeWithWorld(ar, level.world());
  EXPECT_EQ(loaded.Sensors().size(), 1u);
  ASSERT_EQ(loaded.Doors().size(), 2u);
  EXPECT_EQ(loaded.Doors()[0]->GetShape(), kDoorShapePlain) << "doors come back plain";
  EXPECT_STREQ(loaded.Doors()[1]->GetName(), "door_b");
  ASSERT_EQ(loaded.Doors()[0]->ownedDoors.size(), 1u) << "owner links are made again";
  EXPECT_EQ(loaded.Doors()[0]->ownedDoors[0], loaded.Doors()[1].Get());
  EXPECT_EQ(loaded.Movements().size(), 1u);
  EXPECT_EQ(loaded.FacingObjects().size(), 1u) << "facing objects are made again, not saved";
}

}  // namespace
