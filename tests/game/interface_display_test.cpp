// The interface manager's display operations that depend on the program and
// the document: entering and leaving full screen through the build variants,
// the fatal display set-up, the brightness setting.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "apps/korvane3d/direct3d_variant.h"
#include "apps/korvanesw/software_variant.h"
#include "game/game_app.h"
#include "media/dd_error_string.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/profile.h"
#include "game/data_archive_locator.h"
#include "media/media_archive.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/game/document_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

class InterfaceDisplayTest : public ::testing::Test {
 protected:
  InterfaceDisplayTest()
      : config_("XDG_CONFIG_HOME", folder_.Join("config").c_str()),
        data_("XDG_DATA_HOME", folder_.Join("data").c_str()),
        media_("KORVANE_MEDIA_DIRS", Media().Path().c_str()) {}

  // A document reads its pictures and texts: the demo's archives, written
  // once for the suite.
  static TempFolder& Media() {
    static TempFolder media;
    return media;
  }
  static void SetUpTestSuite() { WriteDocumentData(Media().Path()); }

  void SetUp() override {
    MessageQueueReset();
    ClockUseFixedStep(20);
    input_ = HeadlessBackendInstall();
    DirectDrawResetTestState();
    BuildVariantInstall(&direct3D_);
    // The document's pictures are found along the media folders, as the
    // application finds them.
    MediaSetArchiveOpener(OpenDataArchive);
  }
  void TearDown() override {
    MediaSetArchiveOpener(nullptr);
    interface_.reset();
    delete g_pNetDoc;
    app_.reset();
    BuildVariantInstall(nullptr);
    DirectDrawResetTestState();
    ClockUseRealTime();
    MessageQueueReset();
    EXPECT_EQ(DirectDrawLiveObjects(), 0);
    EXPECT_EQ(WindowCount(), 0);
  }

  void Make() {
    interface_ = std::make_unique<CInterface>();
    ASSERT_EQ(g_pInterface, interface_.get());
  }
  // The objects CInterface holds besides the surfaces and the 3-D device
  // (DirectDraw, Direct3D).
  static int LiveBesidesSurfaces() { return 2; }

  TempFolder folder_;
  ScopedEnv config_;
  ScopedEnv data_;
  ScopedEnv media_;
  HeadlessInput* input_ = nullptr;
  Direct3DVariant direct3D_;
  SoftwareVariant software_;
  std::unique_ptr<CGameApp> app_;
  std::unique_ptr<CInterface> interface_;
};

DDSURFACEDESC Describe(IDirectDrawSurface* surface) {
  DDSURFACEDESC desc;
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  return desc;
}

}  // namespace

TEST_F(InterfaceDisplayTest, Korvane3dEntersA640x480ScreenWithAFlipChainAndAVideoSurface) {
  Make();
  // And the texture slots' shared material, which then goes with the device.
  EXPECT_EQ(DirectDrawLiveObjects(), LiveBesidesSurfaces() + 1);
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  EXPECT_TRUE(interface_->IsFullScreen());
  EXPECT_TRUE(interface_->GetWindow()->IsWindowVisible());
  EXPECT_TRUE(interface_->IsReadyToRender());
  EXPECT_EQ(interface_->GetScreenWidth(), 640);
  EXPECT_EQ(interface_->GetScreenHeight(), 480);
  const DDSURFACEDESC primary = Describe(interface_->GetPrimarySurface());
  EXPECT_EQ(primary.dwWidth, 640u);
  EXPECT_EQ(primary.ddpfPixelFormat.dwRGBBitCount, 16u) << "the device renders at 16 bits";
  EXPECT_TRUE(primary.ddsCaps.dwCaps & DDSCAPS_FLIP);
  EXPECT_TRUE(Describe(interface_->GetBackSurface()).ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
  const DDSURFACEDESC video = Describe(interface_->GetVideoSurface());
  EXPECT_EQ(video.dwWidth, 320u);
  EXPECT_EQ(video.dwHeight, 240u);
  EXPECT_TRUE(video.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);

  interface_->LeaveFullScreen(false);
  EXPECT_FALSE(interface_->IsFullScreen());
  EXPECT_FALSE(interface_->GetWindow()->IsWindowVisible());
  EXPECT_EQ(interface_->GetPrimarySurface(), nullptr);
  EXPECT_EQ(interface_->GetVideoSurface(), nullptr);
  EXPECT_EQ(DirectDrawLiveObjects(), LiveBesidesSurfaces());
  DDSURFACEDESC mode;
  ASSERT_EQ(interface_->GetDirectDraw()->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(static_cast<int>(mode.dwWidth), GetSystemMetrics(SM_CXSCREEN)) << "the desktop's mode is back";
}

TEST_F(InterfaceDisplayTest, EnteringAgainChangesNothingAndKeepsThePauseFlagAsItWas) {
  Make();
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  IDirectDrawSurface* primary = interface_->GetPrimarySurface();
  const int live = DirectDrawLiveObjects();
  new CNetDoc();
  ASSERT_FALSE(g_pNetDoc->IsPaused());
  EXPECT_TRUE(interface_->EnterFullScreen(-1));
  EXPECT_EQ(interface_->GetPrimarySurface(), primary);
  EXPECT_EQ(DirectDrawLiveObjects(), live);
  EXPECT_FALSE(g_pNetDoc->IsPaused()) << "clear before, clear after";
  g_pNetDoc->SetPaused(true);
  EXPECT_TRUE(interface_->EnterFullScreen(-1));
  EXPECT_TRUE(g_pNetDoc->IsPaused()) << "set before: an outer switch still holds it";
}

TEST_F(InterfaceDisplayTest, ARefusedModeFailsTheEntryAndARetryStartsClean) {
  Make();
  const int before = LiveBesidesSurfaces();
  DirectDrawFailNext(DDCall::SetDisplayMode, DDERR_INVALIDMODE);
  EXPECT_FALSE(interface_->EnterFullScreen(-1));
  EXPECT_FALSE(interface_->IsFullScreen());
  EXPECT_EQ(DirectDrawLiveObjects(), before);

  // A failure after the primary surface was made releases it as well.
  DirectDrawFailNext(DDCall::GetAttachedSurface, DDERR_GENERIC);
  EXPECT_FALSE(interface_->EnterFullScreen(-1));
  EXPECT_EQ(DirectDrawLiveObjects(), before);
  EXPECT_EQ(interface_->GetPrimarySurface(), nullptr);

  // No mode the device can render at: none is chosen.
  DirectDrawSetModes({{640, 480, 8}, {800, 600, 32}});
  EXPECT_FALSE(interface_->EnterFullScreen(-1));
  DirectDrawResetTestState();

  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  EXPECT_NE(interface_->GetPrimarySurface(), nullptr);
}

TEST_F(InterfaceDisplayTest, WithoutA640x480ModeTheLast800x600OneIsUsed) {
  DirectDrawSetModes({{800, 600, 16}, {640, 480, 8}, {1024, 768, 16}});
  Make();
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  EXPECT_EQ(Describe(interface_->GetPrimarySurface()).dwWidth, 800u);
}

TEST_F(InterfaceDisplayTest, AVideoSurfaceThatCantBeMadeLeavesTheDisplayWithoutOne) {
  Make();
  // The primary surface is the first made, the video surface the second.
  DirectDrawFailNext(DDCall::CreateSurface, DDERR_OUTOFMEMORY, 1, 1);
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  EXPECT_EQ(interface_->GetVideoSurface(), nullptr);
}

TEST_F(InterfaceDisplayTest, KorvaneswEntersAn8BitScreenOfItsOwn) {
  BuildVariantInstall(&software_);
  Make();
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  const DDSURFACEDESC primary = Describe(interface_->GetPrimarySurface());
  EXPECT_EQ(primary.dwWidth, 640u);
  EXPECT_EQ(primary.ddpfPixelFormat.dwFlags, DDPF_PALETTEINDEXED8);
  EXPECT_NE(interface_->GetVideoSurface(), nullptr);
}

TEST_F(InterfaceDisplayTest, BrightnessFromTheSliderIsStoredInTheProfile) {
  app_ = std::make_unique<CGameApp>();
  app_->SetRegistryKey("Tallow Ferngate");
  Make();
  interface_->SetBrightness(0.5f);
  EXPECT_EQ(interface_->GetBrightness(), 64);
  EXPECT_EQ(app_->GetProfileInt("Settings", "BrightnessCorrection", 0), 64u);
  interface_->SetBrightness(1.0f);
  EXPECT_EQ(interface_->GetBrightness(), 96);
  interface_->SetBrightness(0.0f);
  EXPECT_EQ(app_->GetProfileInt("Settings", "BrightnessCorrection", 0), 32u);
}

TEST_F(InterfaceDisplayTest, TheDisplayErrorTextsFollowTheProgram) {
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x887602BCu)), "D3DERR_BADMAJORVERSION");
  BuildVariantInstall(&software_);
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x887602BCu)), "Unrecognized error value.");
  BuildVariantInstall(&direct3D_);
}

TEST_F(InterfaceDisplayTest, ADisplayThatCantBeSetUpIsFatal) {
  GTEST_FLAG_SET(death_test_style, "fast");
  for (DDCall call : {DDCall::DirectDrawCreate, DDCall::EnumDisplayModes, DDCall::Direct3DCreate}) {
    DirectDrawFailNext(call, DDERR_GENERIC);
    EXPECT_EXIT(Make(), ::testing::ExitedWithCode(1), "");
    DirectDrawResetTestState();
  }
  const std::vector<uint8_t> log = ReadFileBytes(folder_.Join("data/korvane/ERROR.LOG"));
  const std::string text(log.begin(), log.end());
  size_t lines = 0;
  for (size_t at = text.find(" dd(798): Abnormal exit\n"); at != std::string::npos;
       at = text.find(" dd(798): Abnormal exit\n", at + 1))
    ++lines;
  EXPECT_EQ(lines, 3u) << text;
}

TEST_F(InterfaceDisplayTest, ComingBackToTheProgramRestoresItsLostSurfaces) {
  Make();
  ASSERT_TRUE(interface_->EnterFullScreen(-1));
  DirectDrawLoseSurfaces();
  InputEvent focus{InputEventType::Activate};
  focus.active = false;
  input_->Inject(focus);
  focus.active = true;
  input_->Inject(focus);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_EQ(interface_->GetPrimarySurface()->IsLost(), DD_OK);
  EXPECT_EQ(interface_->GetBackSurface()->IsLost(), DD_OK);
}
