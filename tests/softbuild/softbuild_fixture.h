#pragma once
// korvanesw's display on the headless back end: its build variant, the
// fixed-step clock, an interface manager in full screen with a palette of
// known colours, and helpers that read and fill the screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "apps/korvanesw/software_variant.h"
#include "game/interface_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"

class SoftbuildTest : public ::testing::Test {
 protected:
  SoftbuildTest();
  void SetUp() override;
  void TearDown() override;

  // The interface manager, in full screen at mode (the "ScreenRes" index)
  // with its palette object. The palette table: entry i is (i, 255 - i,
  // (i * 7) & 255) for the game's entries.
  void Make(int mode = 0);
  // Replaces the input with one that plays script (its times count from
  // now). Before Make: the interface's devices read the input installed
  // when it was made.
  void InstallScript(const std::string& script);

  // The screen's pixels, row by row (width x height bytes).
  std::vector<uint8_t> Screen(IDirectDrawSurface* surface = nullptr) const;
  // Fills the screen with colour.
  void FillScreen(uint8_t colour, IDirectDrawSurface* surface = nullptr) const;
  // Counts of each pixel value on the screen.
  static int Count(const std::vector<uint8_t>& pixels, uint8_t value);

  // The demo's interface archive, which a document reads its HUD pictures
  // from: written once for the program.
  static const std::string& MediaFolder();

  TempFolder folder_;
  ScopedEnv config_;
  ScopedEnv data_;
  ScopedEnv media_;
  SoftwareVariant variant_;
  HeadlessInput* input_ = nullptr;
  std::unique_ptr<CInterface> ui_;
};
