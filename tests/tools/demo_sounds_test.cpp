// Every sound that the demo missions' level data asks for by name is in the
// demo "SOUND.CAN": the script's "sound" and "soundloop" words, the doors'
// sounds, the countdown's tick, the quake's rumble and spoken messages.
#include "tools/builder/demo_sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/model.h"
#include "engine/name_hash.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/records.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "tests/support/demo_engine.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"

namespace {

// The sounds one property asks for.
void CollectSounds(const PropertyEntry* props, std::set<std::string>* names) {
  static const std::regex kPlayed(R"((?:^|[|{"0-9])\s*(?:sound|soundloop) +([^\s|}"]+))");
  static const std::regex kSpoken(R"((?:^|[|{"0-9])\s*log +(M[^\s|}"]*))");
  static const std::regex kQuake(R"((?:^|[|{"0-9])\s*quake +[1-9])");
  static const std::regex kCountdown(R"((?:^|[|{"0-9])\s*countdown )");
  static const int kDoorSounds[] = {NameHash("opensound"), NameHash("closesound"), NameHash("stopsound")};
  for (const PropertyEntry* p = props; p; p = p->next) {
    if (!p->value) continue;
    const std::string text = p->value;
    if (std::find(std::begin(kDoorSounds), std::end(kDoorSounds), p->key) != std::end(kDoorSounds)) names->insert(text);
    for (const std::regex* words : {&kPlayed, &kSpoken}) {
      for (std::sregex_iterator m(text.begin(), text.end(), *words), end; m != end; ++m) names->insert((*m)[1]);
    }
    if (std::regex_search(text, kQuake)) names->insert("rumble");
    if (std::regex_search(text, kCountdown)) names->insert("counter");
  }
}

class DemoSoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoData(temp_.Path(), &error)) << error;
    ASSERT_EQ(OpenTextureArchive(kTextureBudgetDefault, temp_.Join("TEXTURES.CAN").c_str()), 1);
  }
  void TearDown() override { DemoEngineReset(); }
  // The sounds a mission's level names: its world's, groups', polygons' and
  // instances' properties.
  std::set<std::string> MissionSounds(const char* archive) {
    std::set<std::string> names;
    World* world = DemoMissionWorldLoad(temp_.Join(archive));
    if (world) {
      CollectSounds(world->props, &names);
      for (const PolygonGroup* g = world->firstGroup; g; g = g->next) CollectSounds(g->props, &names);
      for (const WorldPolygon* p = world->firstPolygon; p; p = p->next) CollectSounds(p->props, &names);
      for (const Instance* i = world->firstInstance; i; i = i->next) CollectSounds(i->props, &names);
    }
    EXPECT_NE(world, nullptr) << archive << ": no level";
    WorldFree(world);
    return names;
  }

  TempFolder temp_;
};

TEST_F(DemoSoundsTest, EverySoundTheMissionsNameIsInTheSoundArchive) {
  std::set<std::string> missions;
  for (const auto& entry : std::filesystem::directory_iterator(temp_.Path())) {
    const std::string name = entry.path().filename().string();
    if (name.size() == 6 && name[0] == 'M' && name.substr(2) == ".CAN") missions.insert(name);
  }
  ASSERT_GE(missions.size(), 3u);
  std::set<std::string> named;
  for (const std::string& mission : missions) {
    const std::set<std::string> names = MissionSounds(mission.c_str());
    ASSERT_EQ(ArchiveOpen(temp_.Join("SOUND.CAN").c_str()), 1);
    for (const std::string& name : names) {
      EXPECT_EQ(ArchiveFindMember((name + ".wav").c_str()), 1) << mission << " names \"" << name << "\"";
      EXPECT_FALSE(DemoSoundWave(name).empty()) << name;
    }
    ArchiveClose();
    named.insert(names.begin(), names.end());
  }
  // The campaign's countdowns and doors at least.
  EXPECT_FALSE(named.empty());
}

}  // namespace
