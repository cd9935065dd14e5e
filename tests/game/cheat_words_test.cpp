// The typed words of single play and their effect on the running demo
// mission's document.
#include <gtest/gtest.h>

#include <string>

#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_view.h"
#include "game/typed_words.h"
#include "tests/game/document_fixture.h"

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
