#include "tests/game/game_fixture.h"

#include <filesystem>

#include "game/build_variant.h"
#include "game/game_clock.h"
#include "game/joystick.h"
#include "game/main_frame.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/window_manager.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/bmp_writer.h"
#include "tools/builder/demo_interface.h"

namespace {

// The archives the whole application reads: the demo's, except that the
// title the start-up shows is a plain field of colour kTitleColour.
void WriteAppData(const std::string& folder) {
  WriteDocumentData(folder);
  BuilderPicture title;
  title.width = 640;
  title.height = 480;
  title.pixels.assign(640 * 480, AppTest::kTitleColour);
  ArchiveWriter demo;
  std::string error;
  ASSERT_TRUE(AddDemoInterface(&demo, &error)) << error;
  ArchiveWriter archive = ArchiveWithout(demo, "TITLE.BMP");
  ASSERT_TRUE(archive.AddMember("TITLE.BMP", BmpFileBytes(title, DemoInterfacePalette())));
  ASSERT_TRUE(archive.WriteFile(folder + "/INTERFC.CAN"));
}

// Written once for every test of the program: nothing writes into it.
const std::string& AppDataFolder() {
  static TempFolder folder;
  static bool written = false;
  if (!written) {
    written = true;
    WriteAppData(folder.Path());
  }
  return folder.Path();
}

}  // namespace

HeadlessGameTest::HeadlessGameTest()
    : config_("XDG_CONFIG_HOME", folder_.Path().c_str()), data_("XDG_DATA_HOME", folder_.Join("data").c_str()) {}

void HeadlessGameTest::SetUp() {
  MessageQueueReset();
  ClockUseFixedStep(20);
  ClockSetTime(3000000);
  input_ = HeadlessBackendInstall();
  BuildVariantInstall(&variant_);
}

void HeadlessGameTest::TearDown() {
  ClockUseRealTime();
  MessageQueueReset();
  EXPECT_EQ(g_pInterface, nullptr);
  EXPECT_EQ(DirectDrawLiveObjects(), 0);
  BuildVariantInstall(nullptr);
  // Forget any joystick the test plugged in.
  HeadlessBackendInstall();
  InitJoystick();
}

void HeadlessGameTest::InstallScript(const std::string& script) {
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(InputScriptParse(script, &events, &error)) << error;
  input_ = HeadlessBackendInstall(events);
}

void HeadlessGameTest::TakeInputEvents() {
  InputEvent event;
  while (input_->PollEvent(&event)) {
  }
}

void HeadlessGameTest::Send(const InputEvent& event) {
  input_->Inject(event);
  TakeInputEvents();
}

void HeadlessGameTest::SendKey(InputEventType type, int scanCode) {
  InputEvent event{type};
  event.scanCode = scanCode;
  Send(event);
}

void HeadlessGameTest::SendJoystick(InputEventType type, int index, int value) {
  InputEvent event{type};
  event.button = index;
  event.value = value;
  Send(event);
}

void HeadlessGameTest::Advance(uint32_t ms) { ClockSetTime(timeGetTime() + ms); }

void InterfaceTest::TearDown() {
  delete ui_;
  ui_ = nullptr;
  HeadlessGameTest::TearDown();
}

void InterfaceTest::MakeInterface() {
  ui_ = new CInterface();
  ASSERT_EQ(g_pInterface, ui_);
}

AppTest::AppTest() : media_("KORVANE_MEDIA_DIRS", AppDataFolder().c_str()) {}

void AppTest::SetUp() {
  HeadlessGameTest::SetUp();
  MainFrameResetSizing();
  g_IdleReady = 1;
  g_GameTimePaused = 0;
  g_CurrentMissionArchive = "M1.CAN";
  app_ = std::make_unique<CGameApp>();
}

void AppTest::TearDown() {
  if (app_) app_->ExitInstance();
  app_.reset();
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_EQ(g_pNetDoc, nullptr);
  g_GameTimePaused = 0;
  HeadlessGameTest::TearDown();
}

void AppTest::AddMissionCopy(const char* name) {
  if (!missions_) {
    missions_ = std::make_unique<TempFolder>();
    inMissions_ = std::make_unique<ScopedCurrentFolder>(missions_->Path());
  }
  std::filesystem::copy_file(AppDataFolder() + "/M1.CAN", missions_->Join(name),
                             std::filesystem::copy_options::overwrite_existing);
}

void AppTest::Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
}

HWND AppTest::ViewWindow() { return g_pNetDoc && g_pNetDoc->GetView() ? g_pNetDoc->GetView()->m_hWnd : nullptr; }

CMainFrame* AppTest::Frame() {
  CNetView* view = g_pNetDoc ? g_pNetDoc->GetView() : nullptr;
  return view ? static_cast<CMainFrame*>(view->GetParentFrame()) : nullptr;
}
