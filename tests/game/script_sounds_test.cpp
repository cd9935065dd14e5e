// The level script's death sound on a document with a ship: a failed
// mission is heard where the local ship is.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/direct_player.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_sounds.h"

namespace {

class ScriptSoundsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ASSERT_TRUE(WriteDemoSoundArchive(folder_.Join("SOUND.CAN")));
    sounds_ = std::make_unique<CSoundManager>(reinterpret_cast<HWND>(1));
    ASSERT_TRUE(sounds_->IsStarted());
    MakeDocument();
    events_->runs = true;
  }
  void TearDown() override {
    sounds_.reset();
    DocumentTest::TearDown();
  }
  std::unique_ptr<CSoundManager> sounds_;
};

TEST_F(ScriptSoundsTest, AFailedMissionSoundsTheDeathAtTheShip) {
  // No ship yet: nowhere to hear it from.
  EXPECT_TRUE(events_->RaiseEvent("mission_failed 2", nullptr));
  EXPECT_TRUE(sounds_->Instances().empty());

  ASSERT_TRUE(doc_->CreateLocalPlayer());
  float* m = doc_->GetLocalPlayer()->GetOrientation();
  m[12] = 120.0f, m[13] = -40.0f, m[14] = 600.0f;
  EXPECT_TRUE(events_->RaiseEvent("mission_failed 2", nullptr));
  ASSERT_EQ(sounds_->Instances().size(), 1u);
  const CSoundInstance& s = *sounds_->Instances()[0];
  EXPECT_EQ(std::string(s.name.GetString()), "PLAYDED1");
  EXPECT_TRUE(s.positional);
  EXPECT_FALSE(s.loop);
  EXPECT_EQ(s.mover, nullptr);
  EXPECT_FLOAT_EQ(s.x, 120.0f);
  EXPECT_FLOAT_EQ(s.y, -40.0f);
  EXPECT_FLOAT_EQ(s.z, 600.0f);
}

}  // namespace
