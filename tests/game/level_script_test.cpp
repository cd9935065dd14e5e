// The demo mission's level script driven by the document's own frames: the
// start event's timers and macro blink the hangar lamp; the macro held back
// by its flag and the piece gated by difficulty never touch the exit sign.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/polygon_group.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level.h"
#include "world/script/event_manager.h"

namespace {

class LevelScriptTest : public DocumentTest {};

TEST_F(LevelScriptTest, TheDemoStartEventBlinksTheLampOnItsTimers) {
  MakeInterface(1);
  MakeDocument();
  events_->runs = true;
  ASSERT_TRUE(doc_->StartLevel());
  PolygonGroup* lamp = GroupFindByName(doc_->GetWorld(), kDemoBlinkingLampGroup);
  PolygonGroup* sign = GroupFindByName(doc_->GetWorld(), kDemoExitSignGroup);
  ASSERT_NE(lamp, nullptr);
  ASSERT_NE(sign, nullptr);
  EXPECT_TRUE(GroupIsVisible(lamp));
  EXPECT_NE(events_->FindFlag("sign_off"), nullptr);
  EXPECT_EQ(events_->FindFlag("sign_off")->disabled_, 1);

  // The game time of each change of the lamp, frame by frame.
  std::vector<std::string> changes;
  bool shown = true;
  for (int time = 20; time <= 5000; time += 20) {
    doc_->UpdateFrame(20);
    if ((GroupIsVisible(lamp) != 0) != shown) {
      shown = !shown;
      changes.push_back((shown ? "shown at " : "hidden at ") + std::to_string(time));
    }
    EXPECT_TRUE(GroupIsVisible(sign)) << "at " << time;
  }
  const std::vector<std::string> expected = {"hidden at 1000", "shown at 2000", "hidden at 3000", "shown at 4000"};
  EXPECT_EQ(changes, expected);
  EXPECT_EQ(events_->GetTimedEventCount(), 0);
}

}  // namespace
