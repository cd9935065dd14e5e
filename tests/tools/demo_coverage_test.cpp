// The demo missions together use everything the game's levels can hold:
// every enemy type (placed, spawned by the script, or deployed as a
// sentry), every pick-up, every door shape and kind, every word of the
// level script (event keywords, script commands and enemy orders), the
// level's script objects and the groups' and polygons' effects, and
// something that makes each dynamic object class appear. The data
// set is written and each mission archive "M<n>.CAN" read back the way the
// level loader reads it; the names come from the game's own tables where
// it has them, so a new enemy type, order or command that no mission uses
// fails here. Every piece of every event text must be understood, too.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "game/net_doc.h"
#include "platform/ascii.h"
#include "tests/support/demo_engine.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"
#include "world/document/level_group_effects.h"
#include "world/enemies/enemy_orders.h"
#include "world/enemies/enemy_types.h"
#include "world/objects/object_type_codes.h"
#include "world/script/event_split.h"
#include "world/script/script_grammar.h"
#include "world/script/script_manager.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A property name and its spelling without '_' are one property.
std::string Plain(std::string name) {
  std::string out;
  for (char c : Lower(name)) {
    if (c != '_') out += c;
  }
  return out;
}

std::string Trim(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + " ") {
    if (static_cast<unsigned char>(c) <= 32) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The event keywords the event manager tries before the script commands
// and enemy orders, as a piece begins (a blank ends the words that take an
// argument; the others are the whole piece or begin it).
const char* const kEventKeywords[] = {
    "hide ",      "show ",          "remove_group ",  "mission_failed ", "quake ",       "event_mission_failed",
    "timer ",     "countdown ",     "fireball ",      "sound ",          "soundloop ",   "soundstop ",
    "beep",       "log ",           "activate ",      "deactivate ",     "camerapath ",  "cameratargetpath ",
    "playerpath ", "playertargetpath ", "stopcamera", "randomevent ",    "execute ",     "next_mission ",
    "end_game",   "launch_missile", "spawn_enemy ",   "create_beacon ",
};

// The properties whose text is an event.
const char* const kInstanceEvents[] = {"event", "event0", "event1", "event2", "event3", "event4", "event5",
                                       "deathevent"};
const char* const kGroupEvents[] = {
    "openevent",   "closeevent",    "stopevent",     "startevent",   "finishevent", "counterzeroevent",
    "open_event",  "close_event",   "stop_event",    "start_event",  "finish_event", "counterzero_event",
    "forwardevent", "reverseevent", "touch_event",   "toggle_event", "missile_event", "button_event",
    "damage_event", "destroy_event", "touchevent",   "toggleevent",  "missileevent", "damageevent",
    "destroyevent",
};
const char* const kPolygonEvents[] = {"event", "animation_stop_event", "animationstopevent"};

struct InstanceRecord {
  std::string model;  // lower case
  std::string name;
  std::map<std::string, std::string> props;  // the names asked for that it has
};

// What one mission's archive holds, as far as the checks below look.
struct Mission {
  std::string archive;
  std::set<std::string> models;  // lower case
  std::vector<InstanceRecord> instances;
  std::map<std::string, std::map<std::string, std::string>> groups;  // name -> plain property -> text
  std::set<std::string> polygonProperties;                            // plain names
  std::vector<std::pair<std::string, std::string>> texts;            // event text, where from
  std::map<std::string, std::string> macros;                          // world properties asked for
};

// Every property name the checks ask about.
std::vector<std::string> AskedProperties() {
  std::vector<std::string> names = {
      "level",  "type",     "auto",        "continuous",  "counter", "angle",         "owner",      "parent",
      "object", "radius",   "viewradius",  "start",       "speed",   "seconds",       "time",       "fear",
      "escort", "heal_ship", "animated_object", "total_frames", "static_object", "arc_to", "segment_size",
      "rate",   "damage",   "light",       "flash",       "radioactivity", "dented",  "explosive",  "opensound",
      "closesound", "stopsound", "next_info_group", "next_state_group",
  };
  for (const char* name : g_GroupContactProperties) names.push_back(name);
  for (const char* name : kInstanceEvents) names.push_back(name);
  for (const char* name : kGroupEvents) names.push_back(name);
  return names;
}

Mission ReadMission(const std::string& folder, const std::string& archive) {
  Mission mission;
  mission.archive = archive;
  EXPECT_EQ(OpenTextureArchive(kTextureBudgetDefault, (folder + "/TEXTURES.CAN").c_str()), 1);
  World* world = DemoMissionWorldLoad(folder + "/" + archive);
  EXPECT_NE(world, nullptr) << archive;
  for (Model* model = ModelListHead(); model; model = model->next) mission.models.insert(Lower(model->name));
  const std::vector<std::string> asked = AskedProperties();
  if (world) {
    for (Instance* instance = world->firstInstance; instance; instance = instance->next) {
      InstanceRecord record;
      record.model = instance->model ? Lower(instance->model->name) : "";
      record.name = instance->name;
      for (const std::string& name : asked) {
        if (const char* text = InstanceGetProperty(instance, name.c_str())) record.props[name] = text;
      }
      for (const char* name : kInstanceEvents) {
        if (const char* text = InstanceGetProperty(instance, name)) mission.texts.push_back({text, record.name});
      }
      mission.instances.push_back(record);
    }
    for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) {
      auto& props = mission.groups[group->name ? group->name : ""];
      for (const std::string& name : asked) {
        if (const char* text = GroupGetProperty(group, name.c_str())) props[Plain(name)] = text;
      }
      for (const char* name : kGroupEvents) {
        if (const char* text = GroupGetProperty(group, name)) mission.texts.push_back({text, group->name});
      }
    }
    for (WorldPolygon* polygon = world->firstPolygon; polygon; polygon = polygon->next) {
      for (const char* name : {"animated", "sliding", "flow", "destructive", "surface"}) {
        if (PolygonGetProperty(polygon, name)) mission.polygonProperties.insert(name);
      }
      for (const char* name : kPolygonEvents) {
        if (const char* text = PolygonGetProperty(polygon, name)) mission.texts.push_back({text, "a polygon"});
      }
    }
    // The macros: every name an event text may raise (execute, randomevent).
    std::function<void(const std::string&)> collect = [&](const std::string& text) {
      for (const std::string& raw : SplitEventText(text)) {
        std::string piece = Trim(raw);
        if (!piece.empty() && std::isdigit(static_cast<unsigned char>(piece[0]))) piece = piece.substr(1);
        if (piece.size() > 1 && (piece[0] == '{' || piece[0] == '"')) piece = piece.substr(1, piece.size() - 2);
        const std::vector<std::string> words = Words(piece);
        if (words.size() < 2) continue;
        if (words[0] == "execute" || words[0] == "randomevent") {
          for (int n = 0; n <= 100; ++n) {
            const std::string name = words[0] == "execute" ? words[1] : words[1] + std::to_string(n);
            const char* macro = WorldGetProperty(world, name.c_str());
            if (macro && !mission.macros.count(name)) {
              mission.macros[name] = macro;
              collect(macro);
            }
            if (words[0] == "execute") break;
          }
        }
        const size_t blank = piece.find_first_of(" \t");
        if (blank != std::string::npos) collect(piece.substr(blank + 1));
      }
    };
    for (const auto& text : std::vector<std::pair<std::string, std::string>>(mission.texts)) collect(text.first);
    WorldFree(world);
  }
  DemoEngineReset();
  return mission;
}

// What the missions use, gathered over all of them.
struct Use {
  std::set<std::string> eventKeywords, commands, orders, doortypes, spawned;
  std::set<std::string> unknownPieces;
};

bool NamesEnemy(const Mission& mission, const std::string& target) {
  std::string stem = Lower(target);
  const bool all = !stem.empty() && stem.back() == '*';
  if (all) stem.pop_back();
  for (const InstanceRecord& instance : mission.instances) {
    if (IsLevelEnemyModel(instance.model.c_str()) && StartsWith(Lower(instance.name), stem)) return true;
  }
  return false;
}

bool NamesScriptTarget(const Mission& mission, const std::string& target) {
  if (mission.groups.count(target)) return true;
  for (const InstanceRecord& instance : mission.instances) {
    if (instance.model == "sensor.3ds" && AsciiCompareNoCase(instance.name.c_str(), target.c_str()) == 0) return true;
  }
  return false;
}

// One piece of event text: its words counted, the texts it carries read in
// turn.
void ReadPiece(const Mission& mission, std::string piece, Use* use, int depth) {
  piece = Trim(piece);
  if (piece.empty() || depth > 32) return;
  if (std::isdigit(static_cast<unsigned char>(piece[0]))) piece = Trim(piece.substr(1));
  if (piece.size() > 1 && ((piece.front() == '{' && piece.back() == '}') || (piece.front() == '"' && piece.back() == '"'))) {
    for (const std::string& inner : SplitEventText(piece.substr(1, piece.size() - 2))) {
      ReadPiece(mission, inner, use, depth + 1);
    }
    return;
  }
  const std::vector<std::string> words = Words(piece);
  const std::string lower = Lower(piece);
  if (StartsWith(lower, "mission_") && lower.size() > 5 && lower.substr(lower.size() - 5) == "_done") {
    use->eventKeywords.insert("mission_N_done");
    return;
  }
  bool understood = false;
  for (const char* keyword : kEventKeywords) {
    const std::string word = keyword;
    const bool anyCase = word == "hide " || word == "show " || word == "remove_group ";
    if (!StartsWith(anyCase ? lower : piece, word)) continue;
    // "hide" and "show" go on to the enemy orders too.
    if (word == "hide " || word == "show ") {
      if (words.size() >= 2 && NamesEnemy(mission, words[1])) use->orders.insert(Lower(words[0]));
    }
    if (word == "create_beacon " && words.size() >= 2 && NamesEnemy(mission, words[1])) {
      use->orders.insert("create_beacon");
      return;
    }
    use->eventKeywords.insert(Trim(word));
    understood = true;
    if (word == "timer " || word == "countdown ") {
      size_t at = word.size();
      while (at < piece.size() && std::isdigit(static_cast<unsigned char>(piece[at]))) ++at;
      for (const std::string& inner : SplitEventText(piece.substr(at))) ReadPiece(mission, inner, use, depth + 1);
    } else if (word == "execute " && words.size() >= 2 && mission.macros.count(words[1])) {
      for (const std::string& inner : SplitEventText(mission.macros.at(words[1]))) {
        ReadPiece(mission, inner, use, depth + 1);
      }
    } else if (word == "randomevent " && words.size() >= 2) {
      for (const auto& [name, text] : mission.macros) {
        if (StartsWith(name, words[1]) && name.size() > words[1].size() &&
            std::isdigit(static_cast<unsigned char>(name[words[1].size()]))) {
          for (const std::string& inner : SplitEventText(text)) ReadPiece(mission, inner, use, depth + 1);
        }
      }
    } else if (word == "spawn_enemy " && words.size() >= 5) {
      use->spawned.insert(Lower(words[1]) + ".3ds");
    }
    break;
  }
  if (understood || words.size() < 2) {
    if (!understood) use->unknownPieces.insert(mission.archive + ": " + piece);
    return;
  }
  // A script command on a door, group or sensor of the level, else an
  // enemy order on an enemy (or the satellite).
  const int command = LookupKeyword(words[0].c_str(), g_ScriptCommandTable);
  if (command != kCommandUnknown && NamesScriptTarget(mission, words[1])) {
    use->commands.insert(words[0]);
    if (command == kCommandDoorType && words.size() >= 3) use->doortypes.insert(Lower(words[2]));
    return;
  }
  if (FindEnemyOrder(words[0].c_str()) > 0 &&
      (AsciiCompareNoCase(words[1].c_str(), "satellite") == 0 || NamesEnemy(mission, words[1]))) {
    use->orders.insert(Lower(words[0]));
    return;
  }
  use->unknownPieces.insert(mission.archive + ": " + piece);
}

class DemoCoverageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(WriteDemoData(folder.Path(), &error)) << error;
    missions_ = new std::vector<Mission>;
    for (int n = 1; n <= 9; ++n) {
      const std::string name = "M" + std::to_string(n) + ".CAN";
      if (std::filesystem::exists(folder.Join(name))) missions_->push_back(ReadMission(folder.Path(), name));
    }
    use_ = new Use;
    for (const Mission& mission : *missions_) {
      for (const auto& text : mission.texts) {
        for (const std::string& piece : SplitEventText(text.first)) ReadPiece(mission, piece, use_, 0);
      }
    }
  }
  static void TearDownTestSuite() {
    delete missions_;
    delete use_;
  }

  // Whether any mission has an instance of the model (any case) that
  // exists at some single-play difficulty.
  static bool Placed(const std::string& model) {
    for (const Mission& mission : *missions_) {
      for (const InstanceRecord& instance : mission.instances) {
        if (instance.model != Lower(model)) continue;
        const auto level = instance.props.find("level");
        if (level == instance.props.end() || level->second.find_first_of("123") != std::string::npos) return true;
      }
    }
    return false;
  }
  static bool HasModel(const std::string& model) {
    for (const Mission& mission : *missions_) {
      if (mission.models.count(Lower(model))) return true;
    }
    return false;
  }
  // The groups of all missions, with their properties.
  static std::vector<std::pair<std::string, std::map<std::string, std::string>>> Groups() {
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> all;
    for (const Mission& mission : *missions_) {
      for (const auto& group : mission.groups) all.push_back(group);
    }
    return all;
  }

  static std::vector<Mission>* missions_;
  static Use* use_;
};

std::vector<Mission>* DemoCoverageTest::missions_ = nullptr;
Use* DemoCoverageTest::use_ = nullptr;

TEST_F(DemoCoverageTest, TheDataSetHasAtLeastTheFirstTwoMissions) {
  ASSERT_GE(missions_->size(), 2u);
  EXPECT_EQ((*missions_)[0].archive, "M1.CAN");
  EXPECT_EQ((*missions_)[1].archive, "M2.CAN");
}

TEST_F(DemoCoverageTest, EveryEnemyTypeIsPlacedSpawnedOrDeployed) {
  for (int type = 0; type < kEnemyTypeCount; ++type) {
    const std::string model = g_EnemyTypeNames[type];
    SCOPED_TRACE(model);
    EXPECT_TRUE(HasModel(model)) << "no mission carries the model";
    if (IsLevelEnemyModel(model.c_str())) {
      EXPECT_TRUE(Placed(model)) << "no mission places it at a single-play difficulty";
    } else if (type == kKindSentry) {
      // Sentries are deployed: by the vardik, or by the player's sentry
      // missiles.
      EXPECT_TRUE(Placed("vardik.3ds") || Placed("SMSSLS.3DS") || Placed("SMSSLL.3DS"));
    } else {
      EXPECT_TRUE(use_->spawned.count(Lower(model))) << "no mission's script spawns it";
    }
  }
}

TEST_F(DemoCoverageTest, EveryPickUpLiesInSomeMission) {
  for (int kind = 0;; ++kind) {
    const std::string model = CNetDoc::GetPickupModelName(kind);
    if (model.empty()) {
      EXPECT_GE(kind, 33);
      break;
    }
    EXPECT_TRUE(Placed(model)) << model;
  }
}

TEST_F(DemoCoverageTest, EveryPieceOfEveryEventTextIsUnderstood) {
  EXPECT_TRUE(use_->unknownPieces.empty()) << *use_->unknownPieces.begin();
}

TEST_F(DemoCoverageTest, EveryWordOfTheLevelScriptIsUsed) {
  for (const char* keyword : kEventKeywords) EXPECT_TRUE(use_->eventKeywords.count(Trim(keyword))) << keyword;
  EXPECT_TRUE(use_->eventKeywords.count("mission_N_done"));
  for (const KeywordEntry* row = g_ScriptCommandTable; row->text; ++row) {
    EXPECT_TRUE(use_->commands.count(row->text)) << "script command " << row->text;
  }
  for (const char* order : g_EnemyOrderTable) EXPECT_TRUE(use_->orders.count(order)) << "enemy order " << order;
  for (const char* kind : {"none", "auto", "moving", "rotating"}) {
    EXPECT_TRUE(use_->doortypes.count(kind)) << "doortype " << kind;
  }
}

TEST_F(DemoCoverageTest, EveryDoorShapeAndKindIsBuilt) {
  std::set<int> shapes, kinds;
  for (const auto& [name, props] : Groups()) {
    const auto type = props.find("type");
    const ScriptGroupDecision decision = ClassifyScriptGroup(name.c_str(), type == props.end() ? nullptr : type->second.c_str());
    if (decision.kind != kScriptGroupDoor) continue;
    shapes.insert(decision.doorShape);
    const bool continuous = props.count("continuous") != 0;
    if (decision.doorShape == kDoorShapeRotating && (props.count("angle") ? props.at("angle") == "0" : continuous)) {
      kinds.insert(kDoorKindSpin);
    } else if (continuous) {
      kinds.insert(kDoorKindContinuous);
    } else if (props.count("auto")) {
      kinds.insert(kDoorKindAuto);
    } else {
      kinds.insert(kDoorKindPlain);
    }
  }
  for (int shape : {kDoorShapeSliding, kDoorShapeRotating, kDoorShapeParent}) EXPECT_TRUE(shapes.count(shape)) << shape;
  for (int kind : {kDoorKindPlain, kDoorKindAuto, kDoorKindContinuous, kDoorKindSpin}) {
    EXPECT_TRUE(kinds.count(kind)) << kind;
  }
}

TEST_F(DemoCoverageTest, EveryScriptObjectAndLevelEffectIsUsed) {
  std::set<std::string> used;
  for (const auto& [name, props] : Groups()) {
    const ScriptGroupDecision decision = ClassifyScriptGroup(name.c_str(), nullptr);
    if (decision.kind == kScriptGroupFacing) used.insert("facing group");
    if (decision.kind == kScriptGroupMovement) used.insert("movement group");
    if (StartsWith(Lower(name), "path_")) used.insert("path");
    for (const char* hand : {"spinning_clock_hh", "spinning_clock_mh", "spinning_clock_sh"}) {
      if (Lower(name) == hand) used.insert(hand);
    }
    for (const auto& prop : props) used.insert("group " + prop.first);
  }
  for (const Mission& mission : *missions_) {
    for (const std::string& name : mission.polygonProperties) used.insert("polygon " + name);
    for (const InstanceRecord& instance : mission.instances) {
      if (instance.model == "sensor.3ds") used.insert("sensor");
      if (instance.model == "player.3ds") used.insert("player start");
      if (instance.model == "respawn.3ds") used.insert("respawn point");
      if (StartsWith(Lower(instance.name), "physical_")) used.insert("free-moving object");
      const bool enemy = IsLevelEnemyModel(instance.model.c_str());
      for (const auto& prop : instance.props) used.insert((enemy ? "enemy " : "instance ") + prop.first);
    }
  }
  std::set<std::string> wanted = {
      "facing group",          "movement group",          "path",
      "spinning_clock_hh",     "spinning_clock_mh",       "spinning_clock_sh",
      "sensor",                "player start",            "respawn point",
      "free-moving object",    "polygon animated",        "polygon sliding",
      "polygon flow",          "polygon destructive",     "polygon surface",
      "group arcto",           "group segmentsize",       "group light",
      "group flash",           "group radioactivity",     "group dented",
      "group explosive",       "group parent",            "group owner",
      "group viewradius",      "group opensound",         "group closesound",
      "group stopsound",       "group nextstategroup",   "instance heal_ship",      "instance animated_object",
      "instance static_object", "instance continuous",    "instance object",
      "enemy level",           "enemy fear",              "enemy escort",
      "enemy speed",           "enemy parent",            "enemy deathevent",
  };
  for (const char* name : g_GroupContactProperties) wanted.insert("group " + Plain(name));
  for (const std::string& name : wanted) EXPECT_TRUE(used.count(name)) << name;
}

// Every number of the object and message code space, with what in a level
// makes an object of that class appear at run time (the classes the
// player's own weapons make come from the pick-ups that give them), or
// that it is a message or not used.
enum class Cause { kPickup, kPlaced, kWord, kOrder, kPolygon, kPhysical, kMessage, kUnused };
struct ObjectCause {
  uint16_t code;
  const char* what;
  Cause cause;
  const char* name;
};
constexpr ObjectCause kObjectCauses[] = {
    {kTypeBulletMark, "bullet mark", Cause::kPickup, "MG.3DS"},
    {kTypeMissile, "rocket and homing missile", Cause::kPickup, "HMSSLS.3DS"},
    {kTypeSmallExplosion, "small explosion", Cause::kPickup, "ROCKETS.3DS"},
    {kTypeFallingPart, "falling part", Cause::kOrder, "explode"},
    {0x4D05, "", Cause::kUnused, ""},
    {0x4D06, "", Cause::kUnused, ""},
    {kTypeForceField, "force field", Cause::kPolygon, "surface"},
    {kTypeMicroMissile, "sentry missile", Cause::kPlaced, "vardik.3ds"},
    {kTypeBomb, "bomb", Cause::kPickup, "NUKES.3DS"},
    {kTypeFireWave, "fire wave", Cause::kPlaced, "thunder.3ds"},
    {kTypeBullet, "bullet", Cause::kPlaced, "TPLT.3ds"},
    {kTypeLaserMark, "laser mark", Cause::kPickup, "LASER.3DS"},
    {kTypeGroupState, "", Cause::kMessage, ""},
    {0x4D14, "", Cause::kUnused, ""},
    {kTypeHitscanShot, "", Cause::kMessage, ""},
    {kTypeBulletShot, "", Cause::kMessage, ""},
    {0x4D17, "", Cause::kUnused, ""},
    {kTypeExplosion, "explosion", Cause::kPlaced, "drone.3ds"},
    {kTypeFireSphere, "fire sphere", Cause::kWord, "fireball"},
    {kTypeTracer, "tracer", Cause::kPickup, "FLTCHCAN.3DS"},
    {kTypeFreeMoving, "free-moving object", Cause::kPhysical, ""},
    {kTypeEnergyPulse, "energy pulse", Cause::kPickup, "EMS.3DS"},
    {kTypeDust, "dust", Cause::kPlaced, "TPLT.3ds"},
    {kTypeFlashLight, "flash light", Cause::kPlaced, "tank.3ds"},
    {kTypeRespawnLight, "respawn light", Cause::kPlaced, "respawn.3ds"},
    {kTypeGroupActivation, "", Cause::kMessage, ""},
    {kTypeTextMessage, "", Cause::kMessage, ""},
    {0x4D2B, "", Cause::kUnused, ""},
    {kTypeSensorState, "", Cause::kMessage, ""},
    {kTypeDoorState, "", Cause::kMessage, ""},
    {kTypeKillReport, "", Cause::kMessage, ""},
    {kTypeFireBall, "fireball", Cause::kPlaced, "striker.3ds"},
    {kTypeArcShot, "", Cause::kMessage, ""},
    {0x4D31, "", Cause::kUnused, ""},
    {kTypeSlugShot, "", Cause::kMessage, ""},
    {kTypeSentry, "", Cause::kMessage, ""},
    {kTypeMessage34, "", Cause::kMessage, ""},
    {kTypeVortexShield, "vortex shield", Cause::kPickup, "SVORTEXS.3DS"},
    {kTypeRubberBall, "rubber ball", Cause::kPlaced, "ttg.3ds"},
    {kTypeStaticSmoke, "static smoke", Cause::kPickup, "MG.3DS"},
    {kTypeSmoke, "smoke", Cause::kPlaced, "tank.3ds"},
    {kTypeBackPack, "back pack", Cause::kPlaced, "respawn.3ds"},
    {kTypeStaticShield, "static shield", Cause::kPlaced, "TPLT.3ds"},
    {kTypeSphere, "sphere", Cause::kOrder, "uncloak"},
};

TEST_F(DemoCoverageTest, EveryObjectClassHasSomethingInALevelThatMakesIt) {
  std::map<int, const ObjectCause*> byCode;
  for (const ObjectCause& entry : kObjectCauses) byCode[entry.code] = &entry;
  bool physical = false, polygon = false;
  for (const Mission& mission : *missions_) {
    for (const InstanceRecord& instance : mission.instances) physical |= StartsWith(Lower(instance.name), "physical_");
    polygon |= mission.polygonProperties.count("surface") != 0;
  }
  for (int code = kTypeBulletMark; code <= kTypeSphere; ++code) {
    SCOPED_TRACE(code);
    // The pick-up kinds fill their own range: the pick-up test covers them.
    if (code >= kTypeSupplyFirst && code <= kTypeSupplyLast && !byCode.count(code)) continue;
    ASSERT_TRUE(byCode.count(code)) << "a code the table does not know";
    const ObjectCause& entry = *byCode[code];
    switch (entry.cause) {
      case Cause::kPickup:
      case Cause::kPlaced:
        EXPECT_TRUE(Placed(entry.name)) << entry.what << ": " << entry.name;
        break;
      case Cause::kWord:
        EXPECT_TRUE(use_->eventKeywords.count(entry.name)) << entry.what;
        break;
      case Cause::kOrder:
        EXPECT_TRUE(use_->orders.count(entry.name)) << entry.what;
        break;
      case Cause::kPolygon:
        EXPECT_TRUE(polygon) << entry.what;
        break;
      case Cause::kPhysical:
        EXPECT_TRUE(physical) << entry.what;
        break;
      case Cause::kMessage:
      case Cause::kUnused:
        break;
    }
  }
}

}  // namespace
