// The typed words of single play and their effect on the running demo
// mission's document.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_view.h"
#include "game/typed_words.h"
#include "media/cd_audio.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/paths.h"
#include "platform/process_services.h"
#include "tests/game/document_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_sounds.h"
#include "world/enemies/enemy_manager.h"

namespace {

class CheatWordsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    g_TypedWordBuffer.Empty();
    MakeInterface(2);
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    ship_ = doc_->GetLocalPlayer();
    ASSERT_NE(ship_, nullptr);
  }
  void TearDown() override {
    g_TypedWordBuffer.Empty();
    g_CdTrack = 2;
    DocumentTest::TearDown();
  }
  void Type(const std::string& text) {
    for (char c : text) {
      g_TypedWordBuffer += c;
      doc_->CheckCheatWords();
    }
  }
  // The newest line of the HUD's message log.
  std::string LastMessage() const {
    for (int line = CNetDoc::kMessageLines - 1; line >= 0; --line)
      if (!doc_->GetMessageText(line).IsEmpty()) return doc_->GetMessageText(line).GetString();
    return {};
  }

  CDirectPlayer* ship_ = nullptr;
};

}  // namespace

TEST_F(CheatWordsTest, EachWordActsOnTheDocument) {
  Type("XTRUMX");  // other characters before a word don't matter
  EXPECT_TRUE(ship_->IsGodMode());
  EXPECT_EQ(LastMessage(), "Entering God Mode");
  Type("TRUMX");
  EXPECT_FALSE(ship_->IsGodMode());

  ship_->SetHealth(5.0f);
  ship_->SetShields(10.0f);
  Type("FENRUB");
  EXPECT_EQ(ship_->GetHealth(), kShipMaxHealth);
  EXPECT_EQ(ship_->GetShields(), kShipMaxShieldsSingle);
  EXPECT_EQ(LastMessage(), "Super heal...");

  const bool stats = doc_->IsStatisticsShown();
  Type("QUIMB");
  EXPECT_NE(doc_->IsStatisticsShown(), stats);

  ASSERT_TRUE(doc_->IsShipCollisionOn());
  Type("NOWSOL");
  EXPECT_FALSE(doc_->IsShipCollisionOn());
  EXPECT_EQ(LastMessage(), "No collision");
  Type("NOWSOL");
  EXPECT_TRUE(doc_->IsShipCollisionOn());
  EXPECT_EQ(LastMessage(), "Do collision");

  Type("HOLTEZ");
  EXPECT_TRUE(doc_->IsHudOff());
  Type("HOLTEZ");
  EXPECT_FALSE(doc_->IsHudOff());

  Type("JYKOJYKOWEPO");
  EXPECT_EQ(doc_->GetTypedCounter(), 1);

  // The viewer record of the game's window (none here without one).
  View viewer{};
  viewer.flags = kRenderFlagsDefault;
  View* own = doc_->GetViewer();
  doc_->SetViewer(&viewer);
  Type("BROXU");
  EXPECT_EQ(viewer.flags & kRenderLights, 0);
  Type("BRAXI");
  EXPECT_NE(viewer.flags & kRenderLights, 0);
  doc_->SetViewer(own);

  Type("OPTLAKE");
  EXPECT_EQ(LastMessage(), "Opening all doors...");
}

TEST_F(CheatWordsTest, TheRadarWordNeedsAViewAndTheTrackWordANumber) {
  const bool radar = doc_->IsRadarShown();
  Type("VEXLORN");
  // Only with a view (the game's window) to show it in.
  if (doc_->GetView()) EXPECT_NE(doc_->IsRadarShown(), radar);
  else EXPECT_EQ(doc_->IsRadarShown(), radar);
  g_CdTrack = 2;
  Type("GLOMBIT00");
  EXPECT_EQ(g_CdTrack, 2);
  Type("GLOMBITX7");
  EXPECT_EQ(g_CdTrack, 2);
  Type("GLOMBIT07");
  EXPECT_EQ(g_CdTrack, 7);
}

TEST_F(CheatWordsTest, TheAllWeaponsWordFillsTheLoadoutAndKeepsHomingMissiles) {
  doc_->SetOwnedWeapons(doc_->GetOwnedGuns(), 0x02);  // homing missiles only
  doc_->SetAmmo(kAmmoHoming, 3);
  const TuningBlock& t = doc_->GetTuning();
  for (int times = 1; times <= 3; ++times) {
    Type("ARMZULOP");
    const int c = times < 2 ? times : 2;
    EXPECT_EQ(doc_->GetCargoUnits(), c);
    EXPECT_EQ(doc_->GetOwnedMissiles(), 0x6F);
    EXPECT_EQ(doc_->GetOwnedGuns(), 127);
    EXPECT_EQ(doc_->GetSelectedGun(), 1);
    EXPECT_EQ(doc_->GetSelectedMissile(), 1);
    EXPECT_EQ(doc_->GetAmmo(kAmmoShells), t.shellCapacity);
    EXPECT_EQ(doc_->GetAmmo(kAmmoEnergyCells), t.energyCellCapacity);
    EXPECT_EQ(doc_->GetAmmo(kAmmoNukes), t.nukeCapacity * c);
    EXPECT_EQ(doc_->GetAmmo(kAmmoVortexShields), t.vortexShieldCapacity * c);
    EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), t.rocketCapacity * (c + 1));
    EXPECT_EQ(doc_->GetAmmo(kAmmoMicroMissiles), t.microMissileCapacity * (c + 1));
    EXPECT_EQ(doc_->GetAmmo(kAmmoHoming), 3);
    EXPECT_EQ(LastMessage(), "All weapons...");
  }
}

TEST_F(CheatWordsTest, OnlyUpperCaseWordsAtTheBufferEndAct) {
  Type("trumx");
  EXPECT_FALSE(ship_->IsGodMode());
  Type("TrUMX");
  EXPECT_FALSE(ship_->IsGodMode());
  // The application's keys go through the same buffer.
  g_TypedWordBuffer.Empty();
  for (char c : std::string("TRUMX")) HandleTypedChar(c);
  EXPECT_TRUE(ship_->IsGodMode());
}

namespace {

// The enemy word's request (the enemies themselves come with the world
// simulation): who asked and what.
std::vector<std::pair<DPID, std::string>> g_SpawnRequests;
void RecordSpawn(DPID owner, const char* text) { g_SpawnRequests.emplace_back(owner, text ? text : ""); }

}  // namespace

TEST_F(CheatWordsTest, TheEnemyWordAsksForAStrikerBesideTheShip) {
  ASSERT_NE(g_pEnemyManager, nullptr);
  g_SpawnRequests.clear();
  g_EnemySpawnObserver = RecordSpawn;
  float x = 0, y = 0, z = 0;
  ship_->GetPosition(&x, &y, &z);
  Type("MUNCHEL");
  g_EnemySpawnObserver = nullptr;
  ASSERT_EQ(g_SpawnRequests.size(), 1u);
  EXPECT_EQ(g_SpawnRequests[0].first, 0u);  // owned by nobody: the level's
  char expected[128];
  std::snprintf(expected, sizeof expected, "striker %f %f %f", x + 100.0f, y, z);
  EXPECT_EQ(g_SpawnRequests[0].second, expected);
}

// The music word starts the music on its track when music is on: the disc
// (the "music" folder) holds track 7.
TEST_F(CheatWordsTest, TheTrackWordPlaysItsTrackOnlyWithMusicOn) {
  folder_.WriteFile("music/track07.wav", DemoMusicWave(7));
  PlatformMusic& music = *PlatformBackendGet().music;
  interface_->MusicOff();
  Type("GLOMBIT07");
  EXPECT_EQ(g_CdTrack, 7);
  EXPECT_FALSE(music.IsPlaying());
  g_CdTrack = 2;  // a track the disc lacks: switching music on plays nothing
  interface_->MusicOn();
  EXPECT_FALSE(music.IsPlaying());
  Type("GLOMBIT07");
  EXPECT_TRUE(music.IsPlaying());
  StopCdAudio();
  interface_->MusicOff();
}

namespace {

// The demo mission with the game's view: the words that need one.
class CheatWordsWithViewTest : public CheatWordsTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    g_TypedWordBuffer.Empty();
    MakeInterface(2);
    ASSERT_TRUE(interface_->EnterFullScreen(-1));
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    ship_ = doc_->GetLocalPlayer();
    view_ = new CNetView;
    ASSERT_EQ(doc_->GetView(), view_);
  }
  void TearDown() override {
    delete view_;
    view_ = nullptr;
    CheatWordsTest::TearDown();
  }
  void Frame() {
    ClockSetTime(timeGetTime() + 20);
    view_->OnDraw(nullptr);
  }

  CNetView* view_ = nullptr;
};

}  // namespace

TEST_F(CheatWordsWithViewTest, TheRadarWordTogglesTheRadar) {
  const bool radar = doc_->IsRadarShown();
  Type("VEXLORN");
  EXPECT_NE(doc_->IsRadarShown(), radar);
  Type("VEXLORN");
  EXPECT_EQ(doc_->IsRadarShown(), radar);
}

// The screenshot word: the next rendered frame is written as KRVNE0.BMP, a
// 24-bit bitmap of the 640x480 screen, into the program's data folder.
TEST_F(CheatWordsWithViewTest, TheScreenshotWordWritesTheNextFrame) {
  const std::string path = UserDataFolder() + "KRVNE0.BMP";
  ASSERT_FALSE(PathFileExists(path));
  Type("SNAPKOV");
  EXPECT_TRUE(view_->IsScreenshotRequested());
  EXPECT_FALSE(PathFileExists(path));  // nothing before the frame
  Frame();
  EXPECT_FALSE(view_->IsScreenshotRequested());
  const std::vector<uint8_t> file = ReadFileBytes(path);
  ASSERT_GE(file.size(), 54u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  auto u32 = [&](size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
  };
  EXPECT_EQ(u32(18), 640u);
  EXPECT_EQ(u32(22), 480u);
  EXPECT_EQ(file[28], 24);
  EXPECT_EQ(file.size(), u32(10) + 640u * 480u * 3u);  // the pixels after the headers
  // A second frame writes nothing more.
  Frame();
  EXPECT_FALSE(PathFileExists(UserDataFolder() + "KRVNE1.BMP"));
}
