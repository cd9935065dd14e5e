// The demo mission's opening camera, its flashing lamps, its animated
// screen and the control room's countdown, on the started mission.
#include <gtest/gtest.h>

#include <string>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/records.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level.h"
#include "world/document/surface_animation.h"
#include "world/paths/path_manager.h"
#include "world/paths/path_point.h"
#include "world/script/script_manager.h"
#include "world/script/sensor.h"

namespace {

class DemoIntroTest : public DocumentTest {
 protected:
  void StartDemo() {
    MakeDocument();
    events_->runs = true;
    ASSERT_TRUE(doc_->StartLevel());
  }
  size_t Raised(const std::string& text, const std::string& source) const {
    size_t count = 0;
    for (const auto& [raised, from] : events_->raised) count += raised == text && from == source;
    return count;
  }
};

TEST_F(DemoIntroTest, TheMissionOpensWithAThreeSecondCameraOverTheHangar) {
  StartDemo();
  ASSERT_NE(g_pPathMgr, nullptr);
  EXPECT_NE(g_pPathMgr->FindPath(kDemoIntroCameraPath), nullptr);
  EXPECT_NE(g_pPathMgr->FindPath(kDemoIntroLookPath), nullptr);
  EXPECT_EQ(GroupFindByName(doc_->GetWorld(), kDemoIntroCameraPath), nullptr) << "path groups leave the world";
  ASSERT_TRUE(doc_->IsScriptCameraActive());
  CPathPoint* camera = doc_->GetCameraSlot(CNetDoc::kCameraPosition);
  ASSERT_NE(camera, nullptr);
  const Vec3 start = camera->GetPoint();

  // Frames of 100 ms: the camera beeps on its way and stops itself a little
  // before three seconds, from its path's last but one node.
  int frames = 0;
  while (doc_->IsScriptCameraActive() && frames < 40) {
    doc_->UpdateCameras(100);
    ++frames;
  }
  EXPECT_GE(frames, 28);
  EXPECT_LE(frames, 30);
  EXPECT_FALSE(doc_->IsCustomCameraActive());
  EXPECT_EQ(Raised("beep", kDemoIntroCameraPath), 1u);
  EXPECT_EQ(Raised("stopcamera", kDemoIntroCameraPath), 1u);
  EXPECT_NE(start.x, 0.0f) << "it started away from the ship";
}

TEST_F(DemoIntroTest, TheWarningLampsFlashAndTheBigScreenPlaysItsFrames) {
  StartDemo();
  const SurfaceAnimation* records = doc_->GetSurfaceAnimation();
  ASSERT_NE(records, nullptr);
  ASSERT_EQ(records->FlashingGroups().size(), 1u);
  const FlashingGroup& lamps = records->FlashingGroups()[0];
  EXPECT_STREQ(lamps.group->name, kDemoFlashingGroup);
  EXPECT_FLOAT_EQ(lamps.min, 0.2f);
  EXPECT_FLOAT_EQ(lamps.max, 1.0f);
  EXPECT_FALSE(lamps.random);
  ASSERT_EQ(records->PolygonAnimations().size(), 1u);
  const PolygonTextureAnimation& screen = records->PolygonAnimations()[0];
  ASSERT_EQ(screen.frames.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::string(screen.frames[i]->name), "COMPUTR" + std::to_string(i + 1) + ".BMP");
  EXPECT_FLOAT_EQ(screen.fps, 2.0f);
}

TEST_F(DemoIntroTest, TheControlRoomSensorsCountdownAccomplishesTheMission) {
  StartDemo();
  CSensor* sensor = g_pScriptManager->FindSensorByName(kDemoSensorInstance);
  ASSERT_NE(sensor, nullptr);
  EXPECT_LT(doc_->GetCountdownMs(), 0);
  sensor->Trigger("player");
  EXPECT_EQ(doc_->GetCountdownMs(), 10000);
  EXPECT_EQ(doc_->GetCountdownEvent(), CString(kDemoCountdownEvent));
  for (int i = 0; i < 101; ++i) doc_->UpdateCountdown(100);
  EXPECT_EQ(Raised(kDemoCountdownEvent, "countdown"), 1u);
  CString line;
  EXPECT_TRUE(doc_->LookupText("PUMPS", line)) << "the level's message table has the line";
  // The pumps down, the mission is accomplished: the second one is next.
  EXPECT_STREQ(g_NextMissionArchive.GetString(), "M2.CAN");
  g_NextMissionArchive.Empty();
}

}  // namespace
