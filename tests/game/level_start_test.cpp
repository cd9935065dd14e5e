// Loading and starting a mission through the document: the demo's "M1.CAN"
// and variants of it, in single play.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/instance.h"
#include "engine/light.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/texture.h"
#include "game/direct_player.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tests/support/process_info.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_models.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/paths/path_manager.h"
#include "world/script/script_manager.h"

namespace {

// The demo level's player start as the builder placed it.
BuilderInstance DemoPlayerStart(const std::function<void(DemoLevel*)>& edit = {}) {
  BuilderInstance start;
  DemoLevelMember([&](DemoLevel* level) {
    if (edit) edit(level);
    for (const BuilderInstance& instance : level->instances) {
      if (instance.model == kDemoPlayerStartModel) start = instance;
    }
  });
  return start;
}

// Rotated about x, then y, then z, then moved: the placement of a marker.
void PlacementMatrix(const BuilderInstance& marker, float out[16]) {
  MatrixIdentity();
  MatrixRotateX(marker.angles.x);
  MatrixRotateY(marker.angles.y);
  MatrixRotateZ(marker.angles.z);
  MatrixTranslate(marker.position.x, marker.position.y, marker.position.z);
  MatrixGet(out);
}

int CountInstancesOf(World* world, const char* modelFile) {
  int count = 0;
  for (Instance* instance = world->firstInstance; instance; instance = instance->next) {
    if (instance->model && instance->model == ModelFindByFileName(modelFile)) ++count;
  }
  return count;
}

std::vector<std::string> g_Steps;
void RecordStep(const char* step) { g_Steps.emplace_back(step); }

class LevelStartTest : public DocumentTest {
 protected:
  // The ship must stand where the start is, moved by the respawn's jitter
  // of -0.2, 0 or +0.2 x its radius on each axis, turned as the start is.
  void ExpectShipAtStart(const BuilderInstance& start) {
    CDirectPlayer* player = doc_->GetLocalPlayer();
    ASSERT_NE(player, nullptr);
    float expected[16];
    PlacementMatrix(start, expected);
    const float* actual = player->GetOrientation();
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "element " << i;
    const float step = player->GetRadius() * 0.2f;
    for (int axis = 12; axis < 15; ++axis) {
      const float offset = actual[axis] - expected[axis];
      const float steps = offset / step;
      EXPECT_NEAR(steps, std::round(steps), 1e-3f) << "axis " << axis - 12;
      EXPECT_LE(std::fabs(std::round(steps)), 1.0f) << "axis " << axis - 12;
    }
  }
};

TEST_F(LevelStartTest, TheDemoMissionStartsWithTheShipAtThePlayerStart) {
  MakeInterface(2);
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());

  EXPECT_TRUE(doc_->IsGameRunning());
  EXPECT_FALSE(doc_->IsLoading());
  ExpectShipAtStart(DemoPlayerStart());
  CDirectPlayer* player = doc_->GetLocalPlayer();
  Instance* ship = doc_->GetPlayerShip();
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(ship->model, ModelFindByFileName("hero.3ds"));
  EXPECT_FLOAT_EQ(player->GetRadius(), 0.95f * ship->radius);
  EXPECT_TRUE(player->IsLocal());
  EXPECT_FALSE(player->IsDead());
  EXPECT_EQ(player->GetName(), "ego");
  EXPECT_EQ(doc_->FindPlayer(player->GetId()), player);
  EXPECT_NE(player->GetId(), 0u);

  // The start's own event, then the one of the difficulty; no other.
  const std::vector<std::pair<std::string, std::string>> raised = {{kDemoStartEvent, "player start"},
                                                                   {"log VETERAN", "player start"}};
  EXPECT_EQ(events_->raised, raised);

  // The markers are gone from the world: sensors and the start.
  EXPECT_EQ(CountInstancesOf(doc_->GetWorld(), "player.3ds"), 0);
  EXPECT_EQ(CountInstancesOf(doc_->GetWorld(), "sensor.3ds"), 0);
  EXPECT_GT(CountInstancesOf(doc_->GetWorld(), "cargo.3ds"), 0);
  for (Light* light = doc_->GetWorld()->firstLight; light; light = light->next) {
    EXPECT_TRUE(light->type < 1 || light->type > 3);
  }

  // The level's pixels stay within its budget; the models and the special
  // textures are bound.
  EXPECT_GT(g_TextureBytesLoaded, 0);
  EXPECT_LE(g_TextureBytesLoaded, kLevelTextureBudget);
  EXPECT_EQ(g_TextureBudget, kLevelTextureBudget);
  ASSERT_NE(doc_->GetLaserTexture(false), nullptr);
  EXPECT_STREQ(doc_->GetLaserTexture(false)->name, "RLASER.BMP");
  EXPECT_STREQ(doc_->GetLaserTexture(true)->name, "SLASER.BMP");
  EXPECT_NE(doc_->GetLaserTexture(true)->pixels, nullptr);
  for (int n = 0; n < 8; ++n) {
    ASSERT_NE(doc_->GetBodySkin(n), nullptr);
    EXPECT_EQ(std::string(doc_->GetBodySkin(n)->name), "BODY0" + std::to_string(n + 1) + ".BMP");
  }
  EXPECT_EQ(doc_->GetDebrisCount(), kDemoDebrisCount);
  EXPECT_EQ(doc_->GetDebrisModel(0), ModelFindByFileName("debris00.3ds"));
  const uint8_t fileId[4] = {static_cast<uint8_t>(kDemoMission1FileId), 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(doc_->GetFileId(), doc_->GetFileId() + 4), std::vector<uint8_t>(fileId, fileId + 4));

  // The managers of the world simulation exist while the level runs.
  EXPECT_NE(g_pScriptManager, nullptr);
  EXPECT_NE(g_pObjectManager, nullptr);
  EXPECT_NE(g_pPathMgr, nullptr);
  EXPECT_NE(g_pEnemyManager, nullptr);

  // One step of the simulation takes the steps in their fixed order; gun fire
  // only while fire is held.
  g_Steps.clear();
  g_FrameStepObserver = RecordStep;
  doc_->UpdateFrame(20);
  doc_->SetFireHeld(1);
  doc_->UpdateFrame(20);
  g_FrameStepObserver = nullptr;
  std::vector<std::string> order = {"FlushDeferredDeletes", "UpdateTimedEvents", "Lockouts",
                                    "UpdateCameras", "UpdateFlashingGroups", "UpdateTextureAnimations",
                                    "UpdateAnimatedObjects", "UpdateButtons", "UpdatePlayers",
                                    "ApplyHazardZones", "UpdateObjects", "CoolWithFreon", "UpdateArcs",
                                    "UpdateAttachedLights", "UpdateCountdown", "UpdateSpinningClocks",
                                    "PollNetwork"};
  std::vector<std::string> twice = order;
  twice.insert(twice.begin() + static_cast<int>(order.size()) - 6, "FireGun");
  order.insert(order.end(), twice.begin(), twice.end());
  EXPECT_EQ(g_Steps, order);
}

TEST_F(LevelStartTest, AStartThatIsTurnedTurnsTheShipAndRaisesTheEventOfTheDifficulty) {
  const auto turnStart = [](DemoLevel* level) {
    for (BuilderInstance& instance : level->instances) {
      if (instance.model != kDemoPlayerStartModel) continue;
      instance.angles = {0.3f, -1.2f, 0.15f};
      instance.properties = {{"event0", "network only"}, {"event3", "elite"}, {"event", "always"}};
    }
  };
  ArchiveWriter mission = ArchiveWithout(DemoMissionArchive(), kDemoLevelMember);
  ASSERT_TRUE(mission.AddMember(kDemoLevelMember, DemoLevelMember(turnStart)));
  ASSERT_TRUE(mission.WriteFile(folder_.Join("M1.CAN")));

  MakeInterface(3);
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  ExpectShipAtStart(DemoPlayerStart(turnStart));
  const std::vector<std::pair<std::string, std::string>> raised = {{"always", "player start"},
                                                                   {"elite", "player start"}};
  EXPECT_EQ(events_->raised, raised);
}

TEST_F(LevelStartTest, ADifficultyOutsideSinglePlaysRangeIsTakenIntoIt) {
  MakeInterface(0);
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  EXPECT_EQ(interface_->GetDifficulty(), 1);
  const std::vector<std::pair<std::string, std::string>> raised = {{kDemoStartEvent, "player start"},
                                                                   {"log ROOKIE", "player start"}};
  EXPECT_EQ(events_->raised, raised);
}

TEST_F(LevelStartTest, ADocumentGoesWithEverythingItLoadedAndANewOneStartsAgain) {
  std::size_t heapAfter[2] = {};
  for (std::size_t& after : heapAfter) {
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    World* world = doc_->GetWorld();
    ASSERT_NE(world, nullptr);
    DeleteDocument();
    EXPECT_EQ(g_pNetDoc, nullptr);
    EXPECT_EQ(g_pEventManager, nullptr);
    EXPECT_EQ(g_pScriptManager, nullptr);
    EXPECT_EQ(g_pObjectManager, nullptr);
    EXPECT_EQ(g_pPathMgr, nullptr);
    EXPECT_EQ(g_pEnemyManager, nullptr);
    EXPECT_EQ(ModelListHead(), nullptr);
    EXPECT_EQ(TextureListHead(), nullptr);
    after = HeapBytesInUse();
  }
  // The second level reuses what the first one gave back: a level that
  // stayed behind would be megabytes of world and pixels.
  EXPECT_LT(heapAfter[1], heapAfter[0] + 64 * 1024);
}

}  // namespace
