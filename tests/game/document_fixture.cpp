#include "tests/game/document_fixture.h"

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tools/builder/demo_cockpit.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_textures.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/paths/path_manager.h"
#include "world/script/script_manager.h"

void WriteDocumentData(const std::string& folder) {
  std::string error;
  ASSERT_TRUE(WriteDemoTextures(folder, &error)) << error;
  ASSERT_TRUE(WriteDemoInterface(folder, &error)) << error;
  ASSERT_TRUE(WriteDemoMission1(folder, &error)) << error;
  ASSERT_TRUE(WriteDemoCockpit(folder, &error)) << error;
}

ArchiveWriter DemoMissionArchive() {
  ArchiveWriter archive;
  EXPECT_TRUE(AddDemoMission1Members(&archive));
  return archive;
}

ArchiveWriter ArchiveWithout(const ArchiveWriter& source, const std::string& drop) {
  ArchiveWriter archive;
  for (const ArchiveMember& member : source.Members()) {
    if (member.name != drop) archive.AddMember(member.name, member.bytes);
  }
  return archive;
}

BOOL RecordingEventManager::RaiseEvent(const CString& command, const char* source) {
  raised.emplace_back(command.Str(), source ? source : "");
  return runs ? CEventManager::RaiseEvent(command, source) : TRUE;
}

DocumentTest::DocumentTest() : current_(folder_.Path()), dataHome_("XDG_DATA_HOME", data_.Path().c_str()) {}

DocumentTest::~DocumentTest() = default;

void DocumentTest::SetUp() {
  MessageQueueReset();
  HeadlessBackendInstall();
  BuildVariantInstall(&variant_);
  ClockUseFixedStep(20);
  ClockSetTime(5000);
  ResetGameTimeBase();
  ResetMissionNames();
  WriteDocumentData(folder_.Path());
}

void DocumentTest::TearDown() {
  DeleteDocument();
  interface_.reset();
  EXPECT_EQ(g_pNetDoc, nullptr);
  EXPECT_EQ(g_pEventManager, nullptr);
  EXPECT_EQ(g_pScriptManager, nullptr);
  EXPECT_EQ(g_pObjectManager, nullptr);
  EXPECT_EQ(g_pPathMgr, nullptr);
  EXPECT_EQ(g_pEnemyManager, nullptr);
  ArchiveClose();
  ObjTableFree();
  PaletteReset();
  DepthCueSet(0.0f, -1.0f);
  ClockUseRealTime();
  MessageQueueReset();
  ResetMissionNames();
}

void DocumentTest::ResetMissionNames() {
  // An accomplished mission (a next mission named) makes the ship
  // invulnerable and ends the level; a test that jumped missions leaves
  // another current one.
  g_CurrentMissionArchive = "M1.CAN";
  g_NextMissionArchive.Empty();
}

void DocumentTest::MakeDocument() {
  doc_ = new CNetDoc();
  ASSERT_EQ(g_pNetDoc, doc_);
  delete g_pEventManager;
  g_pEventManager = events_ = new RecordingEventManager();
}

void DocumentTest::DeleteDocument() {
  delete doc_;
  doc_ = nullptr;
  events_ = nullptr;
}

void DocumentTest::MakeInterface(int difficulty) {
  // The old interface goes first: the game has one at a time, and its input
  // thread and g_pInterface must not meet the new one while it is made.
  interface_.reset();
  interface_ = std::make_unique<CInterface>();
  interface_->SetDifficulty(difficulty);
}
