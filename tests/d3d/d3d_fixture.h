#pragma once
// Tests of korvane3d's Direct3D back end: a headless back end whose 3-D
// device is the recording one, a window, and the back end set up as the
// interface manager sets it up (InitDirect3D to SetRenderStates3D).
// Everything made is released at the end and checked for leaks.
#include <gtest/gtest.h>

#include "platform/direct3d.h"
#include "platform/direct_draw.h"
#include "platform/framework/wnd.h"
#include "platform/headless/recording_device_3d.h"

class D3DFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The set-up steps up to SetRenderStates3D; false at the first that fails.
  bool SetUpBackEnd();
  // The decoded programs the device drew, and the last one.
  const std::vector<Recording3DDevice::Execution>& Executions() const { return device_->executions; }
  const Direct3DProgram& LastProgram() const { return device_->executions.back().program; }
  // The render states of every STATERENDER instruction of a program, in order.
  static std::vector<D3DSTATE> RenderStates(const Direct3DProgram& program);
  // Fills the engine palette with a grey ramp and entry 255 white.
  static void GreyPalette();

  Recording3DDevice* device_ = nullptr;
  CWnd window_;
  IDirectDraw* current_ = nullptr;
  IDirectDraw* display_ = nullptr;
  IDirectDraw* accelerator_ = nullptr;
  IDirect3D* direct3D_ = nullptr;
  IDirectDrawSurface* front_ = nullptr;
  IDirectDrawSurface* back_ = nullptr;
  IDirectDrawSurface* zBuffer_ = nullptr;
  IDirectDrawClipper* clipper_ = nullptr;
  IDirectDrawPalette* palette_ = nullptr;
  int notFound_ = -1;
  int mustFullScreen_ = -1;
};

// A hardware device of a fake list with these shade capabilities.
Direct3DDeviceSpec HardwareDeviceSpec(DWORD shadeCaps, DWORD renderDepths = DDBD_16 | DDBD_32);
