// The demo mission's level script driven by the game's own frames: the start
// event's timers and macro blink the exit sign, which the presented frames
// show; the macro held back by its flag and the piece gated by difficulty
// never put out the ceiling lamp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "apps/korvanesw/software_variant.h"
#include "engine/polygon_group.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/framework/window_manager.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level.h"
#include "world/script/event_manager.h"

namespace {

class LevelScriptTest : public DocumentTest {
 protected:
  void TearDown() override {
    delete view_;
    view_ = nullptr;
    DocumentTest::TearDown();
  }
  // korvanesw's view over the started mission, at difficulty 1, with the
  // level script running.
  void Start() {
    BuildVariantInstall(&software_);
    MakeInterface(1);
    ASSERT_TRUE(interface_->EnterFullScreen(-1));
    MakeDocument();
    events_->runs = true;
    ASSERT_TRUE(doc_->StartLevel());
    view_ = new CNetView;
  }
  // One frame of the game view (its simulation step included); the
  // presented picture.
  RgbFrame Frame() {
    ClockSetTime(timeGetTime() + 20);
    view_->OnDraw(nullptr);
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    RgbFrame frame;
    EXPECT_TRUE(PlatformBackendGet().display->ReadPresented(&frame));
    return frame;
  }

  SoftwareVariant software_;
  CNetView* view_ = nullptr;
};

int DifferingPixels(const RgbFrame& a, const RgbFrame& b) {
  int count = 0;
  for (int y = 0; y < a.height && y < b.height; ++y) {
    for (int x = 0; x < a.width && x < b.width; ++x) {
      const Rgb8 p = a.At(x, y);
      const Rgb8 q = b.At(x, y);
      if (p.r != q.r || p.g != q.g || p.b != q.b) ++count;
    }
  }
  return count;
}

void Keep(const RgbFrame& frame, const char* name) {
  if (const char* dir = std::getenv("KORVANE_VIEW_FRAMES")) RgbFrameWritePng(frame, (std::string(dir) + name).c_str());
}

TEST_F(LevelScriptTest, TheDemoStartEventBlinksTheExitSignInTheFrames) {
  Start();
  World* world = doc_->GetWorld();
  PolygonGroup* sign = GroupFindByName(world, kDemoBlinkingSignGroup);
  PolygonGroup* lamp = GroupFindByName(world, kDemoHeldLampGroup);
  ASSERT_NE(sign, nullptr);
  ASSERT_NE(lamp, nullptr);
  ASSERT_NE(events_->FindFlag("lamp_off"), nullptr);
  EXPECT_EQ(events_->FindFlag("lamp_off")->disabled_, 1);

  // The game time of each change of the sign, frame by frame, and a frame
  // of each state.
  std::vector<std::string> changes;
  std::vector<RgbFrame> shownFrames;
  std::vector<RgbFrame> hiddenFrames;
  bool shown = true;
  for (int frame = 1; frame <= 400; ++frame) {
    RgbFrame picture = Frame();
    const int time = doc_->GetMissionTime();
    if ((GroupIsVisible(sign) != 0) != shown) {
      shown = !shown;
      changes.push_back(std::string(shown ? "shown" : "hidden") + " in frame " + std::to_string(frame));
    }
    EXPECT_TRUE(GroupIsVisible(lamp)) << "frame " << frame << " at " << time;
    if (frame == 190) shownFrames.push_back(std::move(picture));
    else if (frame == 225) hiddenFrames.push_back(std::move(picture));
    else if (frame == 275) shownFrames.push_back(std::move(picture));
  }
  const std::vector<std::string> expected = {"hidden in frame 200", "shown in frame 250", "hidden in frame 300",
                                             "shown in frame 350"};
  EXPECT_EQ(changes, expected);
  ASSERT_EQ(shownFrames.size(), 2u);
  ASSERT_EQ(hiddenFrames.size(), 1u);
  Keep(shownFrames[0], "/sign_shown.png");
  Keep(hiddenFrames[0], "/sign_hidden.png");
  Keep(shownFrames[1], "/sign_shown_again.png");
  // The sign's stripes leave the picture while it is hidden and come back.
  const int blinked = DifferingPixels(shownFrames[0], hiddenFrames[0]);
  const int back = DifferingPixels(shownFrames[0], shownFrames[1]);
  EXPECT_GT(blinked, 500);
  EXPECT_LT(back, blinked / 10);
  EXPECT_EQ(events_->GetTimedEventCount(), 0);
}

}  // namespace
