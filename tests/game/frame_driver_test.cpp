// The document's frame driver: traffic rates, the lockouts, the frame flag,
// the player's own ship around the render and the lights that follow level
// groups.
#include <gtest/gtest.h>

#include "engine/instance.h"
#include "engine/polygon_group.h"
#include "engine/texture_remap.h"
#include "engine/texture.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level.h"

namespace {

class FrameDriverTest : public DocumentTest {
 protected:
  void AdvanceGameTime(int ms) { g_GameTime = GameTimeAdd(g_GameTime, ms); }
};

TEST_F(FrameDriverTest, TrafficRatesChangeOnlyOnceASecondHasPassed) {
  g_GameTime = 0;
  MakeDocument();
  doc_->CountBytesReceived(3000);
  doc_->CountBytesSent(1500);
  AdvanceGameTime(400);
  EXPECT_EQ(doc_->FrameTick(), 0);
  EXPECT_FLOAT_EQ(doc_->GetReceivedRate(), 0.0f);
  AdvanceGameTime(600);  // exactly 1000: not more than a second yet
  doc_->FrameTick();
  EXPECT_FLOAT_EQ(doc_->GetReceivedRate(), 0.0f);
  AdvanceGameTime(200);
  doc_->FrameTick();
  EXPECT_FLOAT_EQ(doc_->GetReceivedRate(), 2500.0f);
  EXPECT_FLOAT_EQ(doc_->GetSentRate(), 1250.0f);
  // The counters start again from the update.
  AdvanceGameTime(1001);
  doc_->FrameTick();
  EXPECT_FLOAT_EQ(doc_->GetReceivedRate(), 0.0f);
}

TEST_F(FrameDriverTest, LockoutsCountDownOnlyWhileAboveZero) {
  MakeDocument();
  doc_->SetLockouts(100, 10);
  doc_->UpdateFrame(30);
  EXPECT_EQ(doc_->GetGunLockout(), 70);
  EXPECT_EQ(doc_->GetMissileLockout(), -20);
  doc_->UpdateFrame(30);
  EXPECT_EQ(doc_->GetGunLockout(), 40);
  EXPECT_EQ(doc_->GetMissileLockout(), -20);
}

TEST_F(FrameDriverTest, WaitingForTheFrameNeverBlocks) {
  MakeDocument();
  EXPECT_TRUE(doc_->WaitForFrame());
  doc_->ResetFrameEvent();
  EXPECT_FALSE(doc_->WaitForFrame());
  doc_->SetFrameEvent();
  EXPECT_TRUE(doc_->WaitForFrame());
}

TEST_F(FrameDriverTest, TheCockpitViewHidesTheOwnShipForTheRenderOnly) {
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  Instance* ship = doc_->GetPlayerShip();
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(ship->collidable, 1);
  doc_->HideOwnShip();
  EXPECT_EQ(ship->collidable, 0);
  doc_->ShowOwnShip();
  EXPECT_EQ(ship->collidable, 1);
}

TEST_F(FrameDriverTest, AnAttachedLightFollowsItsGroupWhileTheGroupIsShown) {
  MakeDocument();
  doc_->LoadLevel();
  PolygonGroup* door = GroupFindByName(doc_->GetWorld(), kDemoDoorGroup);
  ASSERT_NE(door, nullptr);
  auto* record = new AttachedLight{door, 20.0f, nullptr};
  doc_->AttachedLights().AddTail(record);  // the document frees it

  doc_->UpdateAttachedLights();
  ASSERT_NE(record->light, nullptr);
  float x, y, z;
  GroupGetCentre(door, &x, &y, &z);
  EXPECT_FLOAT_EQ(record->light->x, x);
  EXPECT_FLOAT_EQ(record->light->y, y);
  EXPECT_FLOAT_EQ(record->light->z, z);
  EXPECT_FLOAT_EQ(record->light->radius, 80.0f);

  GroupHide(door, 1);
  doc_->UpdateAttachedLights();
  EXPECT_EQ(record->light, nullptr);
  GroupShow(door, 1);
  doc_->UpdateAttachedLights();
  EXPECT_NE(record->light, nullptr);
}

TEST_F(FrameDriverTest, TheShipWearsTheSkinsOfItsCode) {
  MakeDocument();
  doc_->LoadLevel();
  Instance* ship = InstanceCreate(doc_->GetWorld(), doc_->GetShipModel(), 0, 0, 0, 0, 0, 0, 0);
  ASSERT_NE(ship, nullptr);
  Texture* body = TextureFindByName("BODY05.BMP");
  Texture* wing = TextureFindByName("WING05.BMP");
  // A letter beyond H takes the last body skin; a digit the first wing skin.
  ApplyShipSkin(ship, "z3");
  EXPECT_EQ(TextureRemap(ship, body), TextureFindByName("BODY08.BMP"));
  EXPECT_EQ(TextureRemap(ship, wing), TextureFindByName("WING01.BMP"));
  ApplyShipSkin(ship, "B");  // too short: unchanged
  EXPECT_EQ(TextureRemap(ship, body), TextureFindByName("BODY08.BMP"));
  ApplyShipSkin(ship, "CD");
  EXPECT_EQ(TextureRemap(ship, body), TextureFindByName("BODY03.BMP"));
  EXPECT_EQ(TextureRemap(ship, wing), TextureFindByName("WING04.BMP"));
  InstanceDelete(ship);
}

}  // namespace
