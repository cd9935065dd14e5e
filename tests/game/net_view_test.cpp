// The game view: a frame of the started demo mission, the order of a
// frame's steps, the frame-rate smoothing, the dirty-rectangle table, tints,
// the view's size, and the keys and commands.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>
#include <set>
#include <string>
#include <vector>

#include "apps/korvane3d/direct3d_overlays.h"
#include "apps/korvanesw/software_variant.h"
#include "engine/depth_cue.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_layer.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/headless/headless_backend.h"
#include "platform/framework/window_manager.h"
#include "render/raster_state.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "tests/support/temp_folder.h"
#include "world/enemies/enemy_manager.h"

namespace {

std::vector<std::string> g_Steps;
void RecordStep(const char* step) { g_Steps.emplace_back(step); }

TEST(ViewFps, SmoothedAtWorkedFrameTimes) {
  EXPECT_FLOAT_EQ(ViewSmoothFps(20.0f, 30, 600), 27.5f);  // (50 + 60) / 4
  EXPECT_FLOAT_EQ(ViewSmoothFps(20.0f, 10, 500), 20.0f);  // steady at 20
  EXPECT_FLOAT_EQ(ViewSmoothFps(40.0f, 1, 1000), 30.25f); // (1 + 120) / 4
}

TEST(ViewSize, SidesAreRaisedToAMultipleOfEightAndExactMultiplesStay) {
  const int cases[][2] = {{16, 16}, {17, 24}, {23, 24}, {24, 24}, {640, 640}, {641, 648},
                          {10, 16}, {3, 16},  {-5, 16}, {11, 16}, {15, 16}};
  for (const auto& c : cases) EXPECT_EQ(ViewRoundSide(c[0]), c[1]) << c[0];
}

// A started demo mission with its view, on either program's display.
class NetViewTest : public DocumentTest {
 protected:
  void TearDown() override {
    g_ViewStepObserver = nullptr;
    g_FrameStepObserver = nullptr;
    delete view_;
    view_ = nullptr;
    DocumentTest::TearDown();
  }
  void Start(bool software) {
    if (software) {
      BuildVariantInstall(&software_);
    } else {
      BuildVariantInstall(&variant_);
    }
    MakeInterface(2);
    ASSERT_TRUE(interface_->EnterFullScreen(-1));
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    view_ = new CNetView;
    ASSERT_EQ(doc_->GetView(), view_);
  }
  void Frame() {
    ClockSetTime(timeGetTime() + 20);
    view_->OnDraw(nullptr);
  }

  SoftwareVariant software_;
  CNetView* view_ = nullptr;
};

// Five frames of either program; the last presented frame must show the
// level: many colours over at least a quarter of the screen.
void ExpectPresentedLevel(const char* name) {
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the screen shows what was drawn
  RgbFrame frame;
  ASSERT_TRUE(PlatformBackendGet().display->ReadPresented(&frame));
  ASSERT_EQ(frame.width, 640);
  ASSERT_EQ(frame.height, 480);
  if (const char* dir = std::getenv("KORVANE_VIEW_FRAMES")) RgbFrameWritePng(frame, (std::string(dir) + name).c_str());
  std::set<int> colours;
  int lit = 0;
  for (int y = 0; y < 480; y += 4) {
    for (int x = 0; x < 640; x += 4) {
      const Rgb8 c = frame.At(x, y);
      colours.insert(c.r << 16 | c.g << 8 | c.b);
      if (c.r + c.g + c.b > 30) ++lit;
    }
  }
  EXPECT_GT(colours.size(), 20u) << name;
  EXPECT_GT(lit, 160 * 120 / 4) << name;
}

TEST_F(NetViewTest, BothProgramsPresentTheStartedMission) {
  // korvane3d's pixels need a device that draws (the tests' own records
  // only what it is asked).
  ScopedEnv drawing("KORVANE_3D_DEVICE", "gl");
  HeadlessBackendInstall();
  for (const bool software : {true, false}) {
    SCOPED_TRACE(software ? "korvanesw" : "korvane3d");
    Start(software);
    for (int i = 0; i < 5; ++i) Frame();
    ExpectPresentedLevel(software ? "/korvanesw.png" : "/korvane3d.png");
    EXPECT_EQ(view_->GetFrameCounter(), 5);
    EXPECT_FALSE(doc_->IsRenderInProgress());
    delete view_;
    view_ = nullptr;
    DeleteDocument();
    interface_.reset();
  }
}

TEST_F(NetViewTest, AFrameRunsItsStepsInOrderAndRendersBetweenTheFrameFlagsResetAndSet) {
  Start(true);
  g_Steps.clear();
  g_ViewStepObserver = RecordStep;
  static bool renderFlagSeen = false;
  g_FrameStepObserver = [](const char*) { renderFlagSeen = g_pNetDoc->IsRenderInProgress(); };
  Frame();
  // The first frame also switches the view to the full screen.
  const std::vector<std::string> order = {
      "EnterFullScreenMode", "UpdateGameTime", "Fps",     "StepSimulation", "ResetFrameEvent",
      "RenderFrame",         "RestoreSurfaces", "RenderWorld", "Cockpit", "DrawHud", "DrawStatistics",
      "Present",             "SetFrameEvent",  "DecayHitFlash", "HalfResolution"};
  EXPECT_EQ(g_Steps, order);
  EXPECT_FALSE(renderFlagSeen) << "the simulation step is not part of the render";
}

TEST_F(NetViewTest, AGameRequestedByTheStepIsLeftForTheNextIdleCall) {
  CGameApp app;
  Start(true);
  g_Steps.clear();
  g_ViewStepObserver = RecordStep;
  static bool requested = false;
  requested = false;
  g_FrameStepObserver = [](const char*) {
    if (!requested) GameApp()->RequestNewGame(false);
    requested = true;
  };
  Frame();
  const std::vector<std::string> order = {"EnterFullScreenMode", "UpdateGameTime", "Fps", "StepSimulation",
                                          "NewGameRequested"};
  EXPECT_EQ(g_Steps, order);
  EXPECT_TRUE(app.IsNewGameRequested()) << "still waiting for the idle call";
  EXPECT_EQ(g_pNetDoc, doc_) << "the document is not replaced inside the frame";
}

TEST_F(NetViewTest, TheSimulationStepIsAtMostOneSecondWhileTheClockMovesOn) {
  Start(true);
  Frame();
  const int mission = doc_->GetMissionTime();
  const int before = GetGameTime();
  ClockSetTime(timeGetTime() + 3000);
  view_->OnDraw(nullptr);
  EXPECT_EQ(GetGameTime() - before, 3000);
  EXPECT_EQ(doc_->GetMissionTime() - mission, 1000);
}

// The time spent in the menus and the load before a level is not the
// level's: its first step is one frame long.
TEST_F(NetViewTest, ALevelsFirstStepLeavesOutTheTimeBeforeTheLevel) {
  BuildVariantInstall(&software_);
  MakeInterface(2);
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  MakeDocument();
  view_ = new CNetView;  // made with the document, long before the level
  view_->OnDraw(nullptr);
  ClockSetTime(timeGetTime() + 5000);
  ASSERT_TRUE(doc_->StartLevel());
  const int mission = doc_->GetMissionTime();
  Frame();
  EXPECT_EQ(doc_->GetMissionTime() - mission, 20);
}

TEST_F(NetViewTest, TheEleventhDirtyRectangleTurnsTheTableIntoTheWholeScreen) {
  Start(true);
  for (int i = 0; i < kDirtyRectCapacity; ++i) EXPECT_EQ(view_->AddDirtyRect(i, 0, i + 1, 1), i + 1);
  EXPECT_EQ(view_->AddDirtyRect(50, 50, 60, 60), 1);
  EXPECT_EQ(view_->AddDirtyRect(70, 70, 80, 80), 1) << "the whole screen already covers it";
  const DirtyRect& whole = view_->GetDirtyRect(0);
  EXPECT_EQ(whole.left, 0);
  EXPECT_EQ(whole.top, 0);
  EXPECT_EQ(whole.right, 640);
  EXPECT_EQ(whole.bottom, 480);
  Frame();  // a new frame starts with an empty table
  EXPECT_EQ(view_->AddDirtyRect(1, 2, 3, 4), 1);
  EXPECT_EQ(view_->GetDirtyRect(0).left, 1);
}

TEST_F(NetViewTest, TintsAreCappedAndAPureRedIsRaisedTo128) {
  Start(true);
  struct Case {
    int r, g, b;
    float er, eg, eb;
  };
  const Case cases[] = {
      {300, 0, 0, 1.0f, 0, 0},                 // a hit flash of 40: 300 capped
      {15, 0, 0, 128 / 255.0f, 0, 0},          // a hit flash of 2: raised
      {32, 32, 64, 32 / 255.0f, 32 / 255.0f, 64 / 255.0f},
  };
  for (const Case& c : cases) {
    view_->SetScreenTint(c.r, c.g, c.b, 128);
    ASSERT_TRUE(view_->IsTintPending());
    EXPECT_FLOAT_EQ(view_->GetTint()[0], c.er);
    EXPECT_FLOAT_EQ(view_->GetTint()[1], c.eg);
    EXPECT_FLOAT_EQ(view_->GetTint()[2], c.eb);
    EXPECT_FLOAT_EQ(view_->GetTint()[3], 128 / 255.0f);
  }
}

TEST_F(NetViewTest, Korvane3dsHalfSizeViewIs124HighWithTheCockpit) {
  Start(false);
  interface_->SetCockpitShown(false);
  // The 3-D size as the scene sees it (the 2-D layers after it use 640x480).
  static int width = 0, height = 0;
  g_ViewStepObserver = [](const char* step) {
    if (std::string(step) != "Cockpit") return;
    width = g_pNetDoc->GetViewer()->width;
    height = g_pNetDoc->GetViewer()->height;
  };
  Frame();
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 240);
  EXPECT_EQ(view_->HandleKey(115), 1);  // F4
  EXPECT_TRUE(interface_->IsCockpitShown());
  Frame();
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 124);
}

TEST_F(NetViewTest, TheDepthBufferFollowsTheViewsSize) {
  Start(true);
  view_->ResizeBuffers(100, 50);
  ASSERT_TRUE(view_->OnCmdMsg(kCmdZBuffer));
  ASSERT_NE(g_ZBuffer, nullptr);
  EXPECT_TRUE(view_->IsCommandChecked(kCmdZBuffer));
  EXPECT_EQ(g_ZBufferWidth, 104);
  EXPECT_EQ(g_ZBufferHeight, 56);
  view_->ResizeBuffers(200, 80);
  EXPECT_EQ(g_ZBufferWidth, 200);
  EXPECT_EQ(g_ZBufferHeight, 80);
  view_->OnCmdMsg(kCmdZBuffer);
  EXPECT_EQ(g_ZBuffer, nullptr);
  EXPECT_FALSE(view_->IsCommandChecked(kCmdZBuffer));
}

TEST_F(NetViewTest, KeysAndCommandsChangeTheirFlags) {
  CGameApp app;
  Start(true);
  interface_->SetCockpitShown(false);
  // The kept inventory may hold the homing flag set: start from rockets.
  g_pNetDoc->SetHomingToggle(0);
  struct Case {
    const char* what;
    bool (*flag)(CNetView* view);
    void (*act)(CNetView* view);
  };
  const Case cases[] = {
      {"F4 cockpit", [](CNetView*) { return g_pInterface->IsCockpitShown(); },
       [](CNetView* v) { EXPECT_EQ(v->HandleKey(115), 1); }},
      {"F1 help", [](CNetView*) { return g_pInterface->IsMenuActive(); },
       [](CNetView* v) { EXPECT_EQ(v->HandleKey(112), 1); }},
      {"'1' rockets/homing", [](CNetView*) { return g_pNetDoc->GetHomingToggle() != 0; },
       [](CNetView* v) { EXPECT_EQ(v->HandleKey('1'), 1); }},
      {"radar command", [](CNetView*) { return !g_pNetDoc->IsRadarShown(); },
       [](CNetView* v) { EXPECT_TRUE(v->OnCmdMsg(kCmdRadar)); }},
      {"auto low-res command", [](CNetView*) { return g_pInterface->IsAutoLowRes(); },
       [](CNetView* v) { EXPECT_TRUE(v->OnCmdMsg(kCmdAutoLoRes)); }},
      {"clear background command", [](CNetView* v) { return !v->IsBackgroundClearing(); },
       [](CNetView* v) { EXPECT_TRUE(v->OnCmdMsg(kCmdClearBackground)); }},
      {"chase camera command", [](CNetView* v) { return v->IsCommandChecked(kCmdChaseCamera); },
       [](CNetView* v) { EXPECT_TRUE(v->OnCmdMsg(kCmdChaseCamera)); }},
  };
  for (const Case& c : cases) {
    if (g_pInterface->IsMenuActive()) g_pInterface->CloseMenu();
    EXPECT_FALSE(c.flag(view_)) << c.what << " before";
    c.act(view_);
    EXPECT_TRUE(c.flag(view_)) << c.what << " after";
  }
  // A menu open takes every key.
  g_pInterface->OpenHelp();
  EXPECT_EQ(view_->HandleKey('9'), 1);
  g_pInterface->CloseMenu();
  EXPECT_EQ(view_->HandleKey('Q'), 0) << "not the game's key";
  // After a failed mission Space restarts it (at the next idle call).
  view_->SetMissionFailed(true);
  EXPECT_EQ(view_->HandleKey(32), 1);
  EXPECT_FALSE(view_->IsMissionFailed());
  EXPECT_TRUE(app.IsNewGameRequested());
}

// In a network game F9 opens the chat line and the saving keys are taken
// but do nothing.
TEST_F(NetViewTest, InANetworkGameF9OpensTheChatLineAndF5SavesNothing) {
  Start(true);
  std::vector<FakeSend> sends;
  DPADDRESS address{};
  ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends)));
  EXPECT_FALSE(doc_->IsConsoleOpen());
  EXPECT_EQ(view_->HandleKey(120), 1);
  EXPECT_TRUE(doc_->IsConsoleOpen());
  doc_->CloseConsole();
  EXPECT_EQ(view_->HandleKey(116), 1);  // F5
  EXPECT_EQ(view_->HandleKey(119), 0);  // F8 is not the network game's
  EXPECT_FALSE(interface_->IsMenuActive());
  g_Net.Close();
  EXPECT_EQ(view_->HandleKey(120), 1);
  EXPECT_FALSE(doc_->IsConsoleOpen()) << "no chat line in single play";
}

// The gun sights over the 3-D area: korvanesw's four green lines round the
// screen's centre; korvane3d's crosshair picture, with the cockpit's band
// below the centre of its 124-row view; and korvane3d's overlays of the
// cockpit: the pilot's hands and the four panels.
TEST_F(NetViewTest, TheCrosshairAndTheCockpitOverlaysAreInThePresentedFrame) {
  const auto green = [](Rgb8 c) { return c.g > 150 && c.g > c.r + 60 && c.g > c.b + 60; };
  const auto presented = [](RgbFrame* frame) {
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    ASSERT_TRUE(PlatformBackendGet().display->ReadPresented(frame));
  };
  Start(true);
  interface_->SetCockpitShown(false);
  for (int i = 0; i < 3; ++i) Frame();
  RgbFrame frame;
  presented(&frame);
  if (const char* dir = std::getenv("KORVANE_VIEW_FRAMES")) RgbFrameWritePng(frame, (std::string(dir) + "/crosshair-sw.png").c_str());
  for (const auto& [x, y] : {std::pair{320 - 8, 240}, std::pair{320 + 8, 240}, std::pair{320, 240 - 8}, std::pair{320, 240 + 8}})
    EXPECT_TRUE(green(frame.At(x, y))) << "korvanesw line at " << x << "," << y;
  EXPECT_FALSE(green(frame.At(320, 240))) << "the centre stays open";
  delete view_;
  view_ = nullptr;
  DeleteDocument();
  interface_.reset();

  Direct3DOverlayBitmaps overlays;
  OverlayBitmapsInstall(&overlays);
  Start(false);
  view_->LoadCockpitBitmaps();
  interface_->SetCockpitShown(true);
  view_->InvalidateHud();
  // Turning left, as the cockpit reads the steering: the hands of code 4.
  g_ViewStepObserver = [](const char* step) {
    if (std::string(step) == "Cockpit") g_pNetDoc->SetSteering(4);
  };
  for (int i = 0; i < 3; ++i) Frame();
  g_ViewStepObserver = nullptr;
  presented(&frame);
  if (const char* dir = std::getenv("KORVANE_VIEW_FRAMES")) RgbFrameWritePng(frame, (std::string(dir) + "/cockpit-3d.png").c_str());
  EXPECT_TRUE(green(frame.At(320 + 5, 64 + 124))) << "korvane3d's crosshair";
  EXPECT_EQ(view_->GetSteeringShown(), 4);
  // The hands' yoke hub (amber) at the middle of their picture.
  const Rgb8 hub = frame.At(224 + 104, 377 + 64);
  EXPECT_GT(hub.r, 120) << "the hands";
  for (int i = 0; i < CNetView::kCockpitPanelCount; ++i) EXPECT_GT(view_->GetCockpitPanel(i).GetFrameCount(), 0);
  delete view_;
  view_ = nullptr;
  OverlayBitmapsInstall(nullptr);
}

// korvane3d's target marker and screen tint: with the autocannon selected
// the marker's corner brackets sit round the centre of the view; a pending
// tint colours the next frame over the scene, blended.
TEST_F(NetViewTest, Korvane3dDrawsTheTargetMarkerAndTheScreenTint) {
  const auto presented = [](RgbFrame* frame) {
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    ASSERT_TRUE(PlatformBackendGet().display->ReadPresented(frame));
  };
  // The mean of red minus green over the 3-D area, away from the sights.
  const auto redness = [](const RgbFrame& frame) {
    double sum = 0;
    int n = 0;
    for (int y = 40; y < 440; y += 8)
      for (int x = 16; x < 624; x += 8) {
        if (std::abs(x - 320) < 20 && std::abs(y - 240) < 20) continue;
        const Rgb8 c = frame.At(x, y);
        sum += c.r - c.g;
        ++n;
      }
    return sum / n;
  };
  ScopedEnv drawing("KORVANE_3D_DEVICE", "gl");  // a device that draws, so the tint shows
  HeadlessBackendInstall();
  Direct3DOverlayBitmaps overlays;
  OverlayBitmapsInstall(&overlays);
  Start(false);
  view_->LoadCockpitBitmaps();
  interface_->SetCockpitShown(false);
  doc_->SetSelectedGunBits(1);  // the autocannon
  for (int i = 0; i < 3; ++i) Frame();
  RgbFrame plain;
  presented(&plain);
  // "cur2.bmp": a red bracket at each corner of its 21 x 21 square.
  const Rgb8 corner = plain.At(320 - 10, 240 - 10);
  EXPECT_TRUE(corner.r > 150 && corner.r > corner.g + 60) << "the target marker's top left bracket";
  EXPECT_TRUE(doc_->IsTargetMarkerValid());

  view_->SetScreenTint(300, 0, 0, 128);  // a hit flash's red, as UpdateScreenFlash sets it
  Frame();
  EXPECT_FALSE(view_->IsTintPending()) << "drawn once";
  RgbFrame tinted;
  presented(&tinted);
  EXPECT_GT(redness(tinted), redness(plain) + 20.0) << "the red tint over the scene";
  delete view_;
  view_ = nullptr;
  OverlayBitmapsInstall(nullptr);
}

TEST(ViewProfile, EachAccumulatorIsShownAsItsShareAndDecaysToNineTenths) {
  int64_t sums[kViewProfileSlots] = {100, 200, 300, 400, 0, 0, 0};
  char line[192];
  ViewProfileLine(true, sums, line, sizeof line);
  EXPECT_STREQ(line, "out=10.0% rend=20.0% can=30.0% dyn=40.0% dobj= 0.0% obj= 0.0% nobj= 0.0% ");
  const int64_t after[kViewProfileSlots] = {90, 180, 270, 360, 0, 0, 0};
  for (int i = 0; i < kViewProfileSlots; ++i) EXPECT_EQ(sums[i], after[i]) << i;
  ViewProfileLine(false, sums, line, sizeof line);
  EXPECT_STREQ(line, "No high resolution hardware timer present...");
  EXPECT_EQ(sums[0], 90) << "nothing decays without the counter";
}

TEST(ViewLatency, TheMeanAndTheLateSharesOfTheRemoteUpdates) {
  const struct {
    int32_t late[4];
    float average;
    const char* line;
  } cases[] = {
      {{0, 0, 0, 0}, 0.0f, "net latency: avr=0.0 x2=100.0% x4=100.0% x10=100.0% "},
      {{99, 9, 4, 0}, 80.5f, "net latency: avr=80.5 x2=10.0% x4=5.0% x10=1.0% "},
      // Counters at their limit do not overflow the shares.
      {{INT32_MAX, INT32_MAX, 0, 0}, 1.0f, "net latency: avr=1.0 x2=100.0% x4=0.0% x10=0.0% "},
  };
  for (const auto& c : cases) {
    char line[192];
    ViewLatencyLine(c.late, c.average, line, sizeof line);
    EXPECT_STREQ(line, c.line);
  }
}

// The object update charges its parts to the last three accumulators.
TEST_F(NetViewTest, TheObjectUpdateChargesItsOwnProfileAccumulators) {
  Start(true);
  ASSERT_NE(g_pEnemyManager, nullptr);
  const bool hadCounter = g_HasPerfCounter;
  g_HasPerfCounter = true;
  // The profile measures real time; the fixed step stands still in between.
  ClockUseRealTime();
  view_->ChargeProfile(kProfileOut);
  for (int step = 0; step < 300; ++step) doc_->UpdateObjects(20);
  g_HasPerfCounter = hadCounter;
  for (ViewProfileSlot slot : {kProfileDobj, kProfileObj, kProfileNobj}) {
    EXPECT_GT(view_->GetProfileSum(slot), 0) << slot;
  }
  EXPECT_EQ(view_->GetProfileSum(kProfileDyn), 0) << "no render in between";
}

// In a network game the overlay has the latency line and the queue line
// after the first two: seven lines, the rectangle to 104.
TEST_F(NetViewTest, TheStatisticsOverlayOfANetworkGameHasItsTwoNetworkLines) {
  Start(true);
  std::vector<FakeSend> sends;
  DPADDRESS address{};
  ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends)));
  doc_->SetStatisticsShown(true);
  const int before = view_->GetDirtyRectCount();
  view_->DrawStatistics();
  g_Net.Close();
  ASSERT_EQ(view_->GetDirtyRectCount(), before + 1);
  EXPECT_EQ(view_->GetDirtyRect(before).bottom, 104);
}

// The statistics overlay in single play: five lines from y = 48, the last
// at 80, and one dirty rectangle (0, 40) to (640, 88) over them.
TEST_F(NetViewTest, TheStatisticsOverlayRecordsTheRectangleOfItsLines) {
  Start(true);
  Frame();
  doc_->SetStatisticsShown(true);
  const int before = view_->GetDirtyRectCount();
  view_->DrawStatistics();
  ASSERT_EQ(view_->GetDirtyRectCount(), before + 1);
  const DirtyRect& r = view_->GetDirtyRect(before);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right, 640);
  EXPECT_EQ(r.bottom, 88);
}

TEST_F(NetViewTest, DepthCueingOnALevelWithoutOneTurnsOnAt1000) {
  DepthCueSet(300.0f, -1.0f);
  Start(true);
  DepthCueSet(300.0f, -1.0f);
  CNetView view;  // made while the level has no depth cue
  EXPECT_FALSE(view.IsDepthCueing());
  view.OnCmdMsg(kCmdDepthCueing);
  EXPECT_TRUE(view.IsDepthCueing());
  EXPECT_FLOAT_EQ(DepthCueFar(), 1000.0f);
  view.OnCmdMsg(kCmdDepthCueing);
  EXPECT_FLOAT_EQ(DepthCueFar(), -1.0f);
  doc_->SetView(view_);
}

}  // namespace
