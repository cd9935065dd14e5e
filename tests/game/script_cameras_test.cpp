// The document's script cameras and countdown, the hit and explosion
// flashes, the level's message lines and the telefrag, on a document
// without a level (paths made in memory).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_message_check.h"
#include "tests/game/document_fixture.h"
#include "world/paths/path.h"
#include "world/paths/path_manager.h"
#include "world/paths/path_point.h"
#include "world/script/event_manager.h"

namespace {

class ScriptCameraTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    MakeDocument();
    g_pPathMgr = new CNewPathMgr;
  }
  void TearDown() override {
    delete g_pPathMgr;
    g_pPathMgr = nullptr;
    DocumentTest::TearDown();
  }
  // A straight path along x from 0 to length, with an event on each node
  // after the first ("node 1", "node 2" ...).
  void MakePath(const char* name, int nodes, float length) {
    auto* path = new CNewPath;
    path->SetName(name);
    CPathNode* previous = nullptr;
    for (int i = 0; i < nodes; ++i) {
      const std::string event = i ? "node " + std::to_string(i) : "";
      CPathNode* node = path->FindOrAddNode(length * i / (nodes - 1), 0, 0, event.c_str());
      if (previous) {
        previous->SetNext(node);
        node->SetPrev(previous);
      }
      previous = node;
    }
    path->FindFirstNode();
    g_pPathMgr->AddPath(path);
  }
  // The newest line of the message log and its colour.
  int LastLine() const {
    for (int line = CNetDoc::kMessageLines - 1; line > 0; --line) {
      if (!doc_->GetMessageText(line).IsEmpty()) return line;
    }
    return 0;
  }
  std::string LastMessage() const { return doc_->GetMessageText(LastLine()).GetString(); }
  CPathPoint* Slot(int slot) const { return doc_->GetCameraSlot(slot); }
  std::vector<std::string> RaisedTexts() const {
    std::vector<std::string> texts;
    for (const auto& [text, source] : events_->raised) texts.push_back(text);
    return texts;
  }
};

TEST_F(ScriptCameraTest, ACameraPathFliesTheViewWithItsTargetAheadUntilStopped) {
  MakePath("path_intro", 3, 100.0f);  // 100 units in 2 s: 50 a second
  ASSERT_TRUE(doc_->CreateLocalPlayer());
  doc_->SetFireHeld(1);
  doc_->CreateCustomCamera("path_intro", 2.0f);

  EXPECT_TRUE(doc_->IsScriptCameraActive()) << "the letterbox and the held controls";
  EXPECT_TRUE(doc_->IsCustomCameraActive());
  EXPECT_FALSE(doc_->IsFireHeld()) << "the ship stops";
  ASSERT_NE(Slot(CNetDoc::kCameraPosition), nullptr);
  ASSERT_NE(Slot(CNetDoc::kCameraTarget), nullptr);
  EXPECT_EQ(Slot(CNetDoc::kPlayerPosition), nullptr);
  // The target runs 200 ms (10 units) ahead on the same path.
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kCameraTarget)->GetLinearPosition().x, 10.0f);
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kCameraPosition)->GetLinearPosition().x, 0.0f);

  // The camera passes node 1 at 50 units: its event is raised with the
  // path's name; the target's (silent) are not.
  for (int frame = 0; frame < 6; ++frame) doc_->UpdateCameras(200);
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kCameraPosition)->GetLinearPosition().x, 60.0f);
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kCameraTarget)->GetLinearPosition().x, 70.0f);
  using Raised = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(events_->raised, (Raised{{"node 1", "path_intro"}}));

  // At the end both stay; only "stopcamera" ends the scripted view.
  for (int frame = 0; frame < 10; ++frame) doc_->UpdateCameras(200);
  EXPECT_TRUE(Slot(CNetDoc::kCameraPosition)->IsFinished());
  EXPECT_TRUE(doc_->IsScriptCameraActive());
  EXPECT_EQ(RaisedTexts(), (std::vector<std::string>{"node 1", "node 2"}));
  doc_->ReleaseCameras();
  EXPECT_FALSE(doc_->IsScriptCameraActive());
  EXPECT_FALSE(doc_->IsCustomCameraActive());
  for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(Slot(slot), nullptr) << slot;
}

TEST_F(ScriptCameraTest, OwnTargetAndPlayerPathsAndACameraWithoutTarget) {
  MakePath("path_cam", 2, 100.0f);
  MakePath("path_look", 2, 30.0f);
  // A target given first keeps its own path.
  doc_->StartCameraTargetPath("path_look", 3.0f);
  doc_->CreateCustomCamera("path_cam", 2.0f);
  EXPECT_EQ(Slot(CNetDoc::kCameraTarget)->GetPath(), g_pPathMgr->FindPath("path_look"));
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kCameraTarget)->GetLinearPosition().x, 0.0f) << "not moved ahead";

  // The player's path: a target 200 ms ahead, no letterbox of its own.
  doc_->ReleaseCameras();
  doc_->StartPlayerPath("path_cam", 1.0f);
  EXPECT_FALSE(doc_->IsScriptCameraActive());
  ASSERT_NE(Slot(CNetDoc::kPlayerTarget), nullptr);
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kPlayerTarget)->GetLinearPosition().x, 20.0f);
  doc_->UpdateCameras(500);
  EXPECT_FLOAT_EQ(Slot(CNetDoc::kPlayerPosition)->GetLinearPosition().x, 50.0f);

  // A camera whose target slot was emptied ends the whole scripted view.
  doc_->CreateCustomCamera("path_cam", 2.0f);
  CPathPoint* target = Slot(CNetDoc::kCameraTarget);
  doc_->SetCameraSlot(CNetDoc::kCameraTarget, nullptr);
  delete target;
  doc_->UpdateCameras(20);
  for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(Slot(slot), nullptr) << slot;
  EXPECT_FALSE(doc_->IsScriptCameraActive());
}

TEST_F(ScriptCameraTest, ANodeEventThatStopsTheCameraEndsItInTheFrame) {
  auto* path = new CNewPath;
  path->SetName("path_end");
  CPathNode* a = path->FindOrAddNode(0, 0, 0, nullptr);
  CPathNode* b = path->FindOrAddNode(50, 0, 0, "stopcamera");
  a->SetNext(b);
  b->SetPrev(a);
  path->FindFirstNode();
  g_pPathMgr->AddPath(path);
  events_->runs = true;  // the level script's own handling of the text
  doc_->CreateCustomCamera("path_end", 1.0f);
  doc_->UpdateCameras(1200);  // past the last node: its event runs
  EXPECT_FALSE(doc_->IsScriptCameraActive());
  EXPECT_EQ(Slot(CNetDoc::kCameraPosition), nullptr);
}

TEST_F(ScriptCameraTest, AMissingPathIsSaidAndLeavesTheFollowerStill) {
  doc_->CreateCustomCamera("path_nowhere", 2.0f);
  EXPECT_EQ(LastMessage(), "No camera path: path_nowhere");
  ASSERT_NE(Slot(CNetDoc::kCameraPosition), nullptr);
  EXPECT_TRUE(Slot(CNetDoc::kCameraPosition)->IsFinished());
  doc_->UpdateCameras(100);
  EXPECT_TRUE(events_->raised.empty());
}

TEST_F(ScriptCameraTest, TheCountdownTicksDownAndRaisesItsEventOnce) {
  const struct {
    int ms;
    int framesToEvent;  // frames of 100 ms until the event
  } cases[] = {{3500, 36}, {0, 1}, {99, 1}, {100, 2}};
  for (const auto& c : cases) {
    events_->raised.clear();
    doc_->StartCountdown(c.ms, "open door");
    EXPECT_EQ(doc_->GetCountdownMs(), c.ms);
    int frames = 0;
    while (events_->raised.empty() && frames < 100) {
      doc_->UpdateCountdown(100);
      ++frames;
    }
    EXPECT_EQ(frames, c.framesToEvent) << c.ms;
    using Raised = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(events_->raised, (Raised{{"open door", "countdown"}})) << c.ms;
    EXPECT_LT(doc_->GetCountdownMs(), 0);
    EXPECT_TRUE(doc_->GetCountdownEvent().IsEmpty());
    doc_->UpdateCountdown(100);
    EXPECT_EQ(events_->raised.size(), 1u) << "over: raised once";
  }
  // A step of less than a millisecond does nothing.
  doc_->StartCountdown(50, "x");
  doc_->UpdateCountdown(0);
  EXPECT_EQ(doc_->GetCountdownMs(), 50);
}

TEST_F(ScriptCameraTest, HitFlashCapsAtFortyAndFadesInThreeSeconds) {
  g_GameTime = 10000;
  doc_->DecayHitFlash();
  doc_->AddHitFlash(30.0f);
  doc_->AddHitFlash(30.0f);
  EXPECT_FLOAT_EQ(doc_->GetHitFlash(), 40.0f);
  g_GameTime = 11500;
  doc_->DecayHitFlash();
  EXPECT_NEAR(doc_->GetHitFlash(), 20.0f, 1e-3f);
  g_GameTime = 13000;
  doc_->DecayHitFlash();
  EXPECT_NEAR(doc_->GetHitFlash(), 0.0f, 1e-3f);
  g_GameTime = 14000;
  doc_->DecayHitFlash();
  EXPECT_FLOAT_EQ(doc_->GetHitFlash(), 0.0f) << "never below 0";
}

TEST_F(ScriptCameraTest, TheExplosionFlashPeaksTwoHundredMillisecondsAfterTheBlast) {
  doc_->SetExplosionFlash(20000, 0.6f);
  const struct {
    int after;
    float flash;
  } cases[] = {{0, 0.5f}, {200, 0.6f}, {1000, 0.2f}, {1400, 0.0f}, {5000, 0.0f}};
  for (const auto& c : cases) {
    g_GameTime = 20000 + c.after;
    EXPECT_NEAR(doc_->GetExplosionFlash(), c.flash, 1e-4f) << c.after;
  }
}

TEST_F(ScriptCameraTest, ARespawnWithinOnePointEightRadiiTelefragsTheShip) {
  // By the distance: radius 10, 17 units away dies, 19 lives (the squared
  // distance against 18 would spare a ship 5 units away).
  const struct {
    Vec3 at;
    bool dies;
  } cases[] = {{{17, 0, 0}, true}, {{0, 12, 12}, true}, {{19, 0, 0}, false}, {{0, 0, 18}, false},
               {{NAN, 0, 0}, false}, {{INFINITY, 0, 0}, false}};
  for (const auto& c : cases) {
    doc_->DeletePlayer();
    ASSERT_TRUE(doc_->CreateLocalPlayer());
    CDirectPlayer* ship = doc_->GetLocalPlayer();
    ship->SetRadius(10.0f);
    float* m = ship->GetOrientation();
    m[12] = 100, m[13] = 50, m[14] = -20;
    doc_->CheckTelefrag(100 + c.at.x, 50 + c.at.y, -20 + c.at.z);
    EXPECT_EQ(ship->IsDead(), c.dies) << c.at.x << "," << c.at.y << "," << c.at.z;
    EXPECT_EQ(LastMessage() == "You've been telefragged!", c.dies);
    doc_->AddMessage("-", -1, FALSE);
  }
  // The peer's message is read only at its one size.
  std::vector<uint8_t> message(40, 0);
  const uint32_t code = 0x32100000u + 0x4D28;
  for (int i = 0; i < 4; ++i) message[i] = static_cast<uint8_t>(code >> (8 * i));
  EXPECT_EQ(NetCheckUserMessage(message.data(), message.size()), NetCheck::kOk);
  EXPECT_EQ(NetCheckUserMessage(message.data(), 39), NetCheck::kShort);
  message.push_back(0);
  EXPECT_EQ(NetCheckUserMessage(message.data(), message.size()), NetCheck::kLong);
}

TEST_F(ScriptCameraTest, LevelMessagesShowTheTableLineOrSayItIsMissing) {
  CString known;
  ASSERT_TRUE(doc_->LookupText("SENSOR", known)) << "the demo's LOGS.TXT has it";
  doc_->ShowScriptMessage("Sensor");
  EXPECT_EQ(LastMessage(), std::string(known.GetString()));
  EXPECT_EQ(doc_->GetMessageColour(LastLine()), 239);
  doc_->ShowScriptMessage("nokey");
  EXPECT_EQ(LastMessage(), "message NOKEY not found");
}

}  // namespace
