#include "tests/media/display_fixture.h"

#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"

void TestDisplay::Enter(HWND window, int width, int height, int bits) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &displayDD_, nullptr), DD_OK);
  acceleratorDD_ = directDraw_ = displayDD_;
  ASSERT_EQ(directDraw_->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(directDraw_->SetDisplayMode(width, height, bits), DD_OK);
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  ASSERT_EQ(directDraw_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
  DDSCAPS caps;
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back_), DD_OK);
  screenWidth_ = width;
  screenHeight_ = height;
  fullScreen_ = 1;
}

void DisplayTest::SetUp() {
  MessageQueueReset();
  ClockUseFixedStep(20);
  HeadlessBackendInstall();
  DirectDrawResetTestState();
  g_BlackColour = 109;
  ASSERT_TRUE(window_.CreateEx(0, nullptr, "korvane", WS_POPUP, 0, 0, 640, 480, nullptr, 0));
  display_ = new TestDisplay();
}

void DisplayTest::TearDown() {
  delete display_;
  window_.DestroyWindow();
  DirectDrawResetTestState();
  ClockUseRealTime();
  EXPECT_EQ(DirectDrawLiveObjects(), 0);
  EXPECT_EQ(InterfaceDisplay(), nullptr);
}
