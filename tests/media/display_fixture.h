#pragma once
// An interface display with a real (headless) full-screen set-up: an
// exclusive DirectDraw object, a display mode and a primary surface with a
// back buffer, for the tests of what draws through it.
#include <gtest/gtest.h>

#include "media/interface_display.h"
#include "platform/framework/wnd.h"

class TestDisplay : public CInterfaceDisplay {
 public:
  // A display at width x height x bits; the primary heads a flip chain.
  void Enter(HWND window, int width = 640, int height = 480, int bits = 16);
  void SetMenuActive(bool on) { menuActive_ = on ? 1 : 0; }
  void SetBrightnessRaw(int brightness) { brightness_ = brightness; }
  using CInterfaceDisplay::SetDisplayWindow;
};

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  CWnd window_;
  TestDisplay* display_ = nullptr;
};
