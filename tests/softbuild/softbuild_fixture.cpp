#include "tests/softbuild/softbuild_fixture.h"

#include <algorithm>
#include <cstring>

#include "game/data_archive_locator.h"
#include "media/media_archive.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/window_manager.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_textures.h"

const std::string& SoftbuildTest::MediaFolder() {
  static TempFolder folder;
  static bool written = false;
  if (!written) {
    written = true;
    std::string error;
    EXPECT_TRUE(WriteDemoTextures(folder.Path(), &error)) << error;
    EXPECT_TRUE(WriteDemoInterface(folder.Path(), &error)) << error;
  }
  return folder.Path();
}

SoftbuildTest::SoftbuildTest()
    : config_("XDG_CONFIG_HOME", folder_.Join("config").c_str()),
      data_("XDG_DATA_HOME", folder_.Join("data").c_str()),
      media_("KORVANE_MEDIA_DIRS", MediaFolder().c_str()) {}

void SoftbuildTest::SetUp() {
  MessageQueueReset();
  ClockUseFixedStep(20);
  ClockSetTime(3000000);
  input_ = HeadlessBackendInstall();
  DirectDrawResetTestState();
  BuildVariantInstall(&variant_);
  MediaSetArchiveOpener(OpenDataArchive);
}

void SoftbuildTest::TearDown() {
  ui_.reset();
  MediaSetArchiveOpener(nullptr);
  BuildVariantInstall(nullptr);
  DirectDrawResetTestState();
  ClockUseRealTime();
  MessageQueueReset();
  EXPECT_EQ(DirectDrawLiveObjects(), 0);
}

void SoftbuildTest::Make(int mode) {
  ui_ = std::make_unique<CInterface>();
  ASSERT_EQ(g_pInterface, ui_.get());
  PALETTEENTRY entries[256] = {};
  for (int i = 10; i < 246; ++i)
    entries[i] = PALETTEENTRY{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>((i * 7) & 255), 0};
  ui_->SetPaletteEntries(entries);
  ui_->SetResolution(mode);
  ASSERT_TRUE(ui_->EnterFullScreen(-1));
  ui_->CreatePalette();
  ui_->ApplyPalette();
}

void SoftbuildTest::InstallScript(const std::string& script) {
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(InputScriptParse(script, &events, &error)) << error;
  input_ = HeadlessBackendInstall(events);
}

std::vector<uint8_t> SoftbuildTest::Screen(IDirectDrawSurface* surface) const {
  if (!surface) surface = ui_->GetPrimarySurface();
  DDSURFACEDESC desc;
  std::vector<uint8_t> out;
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return out;
  out.resize(static_cast<size_t>(desc.dwWidth) * desc.dwHeight);
  for (DWORD y = 0; y < desc.dwHeight; ++y)
    std::memcpy(&out[y * desc.dwWidth], static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, desc.dwWidth);
  surface->Unlock(desc.lpSurface);
  return out;
}

void SoftbuildTest::FillScreen(uint8_t colour, IDirectDrawSurface* surface) const {
  if (!surface) surface = ui_->GetPrimarySurface();
  DDSURFACEDESC desc;
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (DWORD y = 0; y < desc.dwHeight; ++y)
    std::memset(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, colour, desc.dwWidth);
  surface->Unlock(desc.lpSurface);
}

int SoftbuildTest::Count(const std::vector<uint8_t>& pixels, uint8_t value) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), value));
}
