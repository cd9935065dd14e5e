// The level script's sound words on a small world, heard through the sound
// manager on the loopback output over the demo sounds: what plays, how
// loud, following which group, what stops it, and names that are not there.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/polygon_group.h"
#include "media/sound_manager.h"
#include "media/sound_services.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"
#include "tests/world/script_world.h"
#include "tests/world/test_event_manager.h"
#include "tools/builder/demo_sounds.h"

namespace {

const HWND kWindow = reinterpret_cast<HWND>(1);

class EventSoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessBackendInstall();
    ClockUseFixedStep(10);
    ClockSetTime(kClockDefaultStart);
    ASSERT_TRUE(WriteDemoSoundArchive(folder_.Join("SOUND.CAN")));
    inFolder_ = std::make_unique<ScopedCurrentFolder>(folder_.Path());
    manager_ = std::make_unique<CSoundManager>(kWindow);
    ASSERT_TRUE(manager_->IsStarted());
    g1_ = world_.Group("g1");
    world_.Face(g1_);
  }
  void TearDown() override {
    manager_.reset();
    inFolder_.reset();
    ClockUseRealTime();
  }
  // "NAME loop positional mover" of every sound in the manager's list.
  std::vector<std::string> Playing() const {
    std::vector<std::string> out;
    for (const auto& s : manager_->Instances()) {
      out.push_back(std::string(s->name.GetString()) + (s->loop ? " loop" : "") +
                    (s->positional ? " placed" : "") + (s->mover ? std::string(" on ") + s->mover->name : "") +
                    " " + std::to_string(s->volume));
    }
    return out;
  }

  TempFolder folder_;
  std::unique_ptr<ScopedCurrentFolder> inFolder_;
  std::unique_ptr<CSoundManager> manager_;
  ScriptWorld world_;
  PolygonGroup* g1_ = nullptr;
  TestEventManager events_{world_.world()};
};

using Sounds = std::vector<std::string>;

TEST_F(EventSoundsTest, EachWordPlaysItsSound) {
  const struct {
    const char* text;
    Sounds sounds;
  } cases[] = {
      {"sound alarm", {"ALARM 0"}},
      {"soundloop alarm", {"ALARM loop 0"}},
      {"sound alarm g1", {"ALARM placed on g1 0"}},
      {"soundloop Alarm g1", {"ALARM loop placed on g1 0"}},
      {"beep", {"CONFIRM 0"}},
      {"quake 300", {"RUMBLE loop 0"}},
      {"quake 0", {}},
      // A group that is not there plays nothing, also not unplaced.
      {"sound alarm nowhere", {}},
      // A name the sound archive lacks plays nothing, looping or not.
      {"sound nosuchsound", {}},
      {"soundloop nosuchsound g1", {}},
  };
  for (const auto& c : cases) {
    manager_->StopAll();
    EXPECT_TRUE(events_.RaiseEvent(c.text, nullptr)) << c.text;
    EXPECT_EQ(Playing(), c.sounds) << c.text;
  }
  // The missing name was asked once and is remembered as missing.
  EXPECT_TRUE(manager_->IsCached("nosuchsound"));
  manager_->Update();
  EXPECT_TRUE(manager_->Instances().empty());
}

TEST_F(EventSoundsTest, SoundstopStopsAGroupsSoundsOrEverySoundOfAName) {
  PolygonGroup* g2 = world_.Group("g2");
  world_.Face(g2);
  ASSERT_TRUE(events_.RaiseEvent("soundloop alarm g1|soundloop frcfield g1|soundloop alarm g2|soundloop alarm|"
                                 "soundloop frcfield",
                                 nullptr));
  ASSERT_EQ(Playing().size(), 5u);
  // A group name stops what follows that group, whatever its name.
  EXPECT_TRUE(events_.RaiseEvent("soundstop g1", nullptr));
  EXPECT_EQ(Playing(), (Sounds{"ALARM loop placed on g2 0", "ALARM loop 0", "FRCFIELD loop 0"}));
  // A sound name, in any case, stops every sound of that name.
  EXPECT_TRUE(events_.RaiseEvent("soundstop alarm", nullptr));
  EXPECT_EQ(Playing(), (Sounds{"FRCFIELD loop 0"}));
  // Neither a group nor a playing sound: nothing changes.
  EXPECT_TRUE(events_.RaiseEvent("soundstop nothing", nullptr));
  EXPECT_EQ(Playing(), (Sounds{"FRCFIELD loop 0"}));
  manager_->Update();
  EXPECT_EQ(Playing(), (Sounds{"FRCFIELD loop 0"})) << "a loop plays on";
}

TEST_F(EventSoundsTest, AQuakesRumbleEndsWithItsTime) {
  ASSERT_TRUE(events_.RaiseEvent("quake 300", nullptr));
  ASSERT_EQ(Playing(), (Sounds{"RUMBLE loop 0"}));
  ASSERT_GE(manager_->Instances()[0]->channel, 0) << "heard at once";
  events_.UpdateTimedEvents(299);
  manager_->Update();
  EXPECT_EQ(Playing(), (Sounds{"RUMBLE loop 0"}));
  events_.UpdateTimedEvents(1);
  EXPECT_TRUE(Playing().empty());
}

TEST_F(EventSoundsTest, AHiddenGroupTakesItsSoundAlong) {
  ASSERT_TRUE(events_.RaiseEvent("soundloop alarm g1", nullptr));
  ASSERT_TRUE(events_.RaiseEvent("hide g1", nullptr));
  manager_->Update();
  EXPECT_TRUE(Playing().empty());
}

TEST_F(EventSoundsTest, WithoutASoundManagerOrAShipTheWordsDoNothing) {
  // No local ship: the death sound has no place to be heard from.
  EXPECT_TRUE(events_.RaiseEvent("mission_failed 2", nullptr));
  EXPECT_TRUE(Playing().empty());
  manager_.reset();
  ASSERT_EQ(g_pSoundManager, nullptr);
  for (const char* text : {"sound alarm", "soundloop alarm g1", "soundstop alarm", "soundstop g1", "beep",
                           "quake 100", "mission_failed 1"})
    EXPECT_TRUE(events_.RaiseEvent(text, nullptr)) << text;
  events_.UpdateTimedEvents(100);
}

}  // namespace
