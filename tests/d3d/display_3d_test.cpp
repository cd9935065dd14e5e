#include <gtest/gtest.h>

#include "render/d3d/display_3d.h"
#include "render/d3d/error_text_3d.h"
#include "render/d3d/module_3d.h"
#include "tests/d3d/d3d_fixture.h"

namespace {

class Display3DTest : public D3DFixture {};

DirectDrawDriverSpec Driver(uint32_t id, bool has3D) {
  DirectDrawDriverSpec d;
  d.hasGuid = true;
  d.guid.Data1 = id;
  d.name = "card" + std::to_string(id);
  d.description = d.name;
  d.has3D = has3D;
  return d;
}

TEST_F(Display3DTest, TheFirstDriverWithAGuidAndThreeDIsTheAccelerator) {
  DirectDrawSetDrivers({DirectDrawDriverSpec{}, Driver(1, false), Driver(2, true), Driver(3, true)});
  ASSERT_TRUE(SetUpBackEnd());
  EXPECT_EQ(current_, accelerator_);
  EXPECT_NE(display_, accelerator_);
  EXPECT_EQ(D3DModule().noAccelerator, 0);
}

TEST_F(Display3DTest, WithoutAThreeDCardThePrimaryDriverServesAll) {
  DirectDrawSetDrivers({DirectDrawDriverSpec{}, Driver(1, false)});
  ASSERT_TRUE(SetUpBackEnd());
  EXPECT_EQ(current_, display_);
  EXPECT_EQ(display_, accelerator_);
  EXPECT_EQ(D3DModule().noAccelerator, 1);
}

TEST_F(Display3DTest, AFailedDisplayObjectFailsTheStartAndLeavesNothing) {
  DirectDrawSetDrivers({DirectDrawDriverSpec{}, Driver(2, true)});
  // The accelerator's object is made; the display's fails.
  DirectDrawFailNext(DDCall::DirectDrawCreate, DDERR_GENERIC, 1, 1);
  EXPECT_FALSE(InitDirect3D(&current_, &direct3D_, &display_, &accelerator_, &notFound_, &mustFullScreen_));
  EXPECT_EQ(display_, nullptr);
  EXPECT_EQ(accelerator_, nullptr);
}

TEST_F(Display3DTest, TheModeIsTheFirst640x480TheDeviceRendersElseTheLast800x600) {
  struct Case {
    std::vector<DisplayModeSpec> modes;
    int width, height, bits;  // 0: none chosen
  };
  const Case cases[] = {
      {{{640, 480, 8}, {800, 600, 16}, {640, 480, 16}}, 640, 480, 16},
      {{{640, 480, 8}, {800, 600, 16}, {800, 600, 32}, {1024, 768, 16}}, 800, 600, 32},
      {{{640, 480, 15}, {640, 480, 4}, {800, 600, 24}}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    DirectDrawSetModes(c.modes);
    const bool ok = SetUpBackEnd();
    EXPECT_EQ(ok, c.width != 0);
    int width = -1, height = -1;
    GetDisplaySize3D(&width, &height);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    if (ok) {
      DDPIXELFORMAT format;
      ASSERT_EQ(back_->GetPixelFormat(&format), DD_OK);
      EXPECT_EQ(static_cast<int>(format.dwRGBBitCount), c.bits);
    }
  }
}

TEST_F(Display3DTest, On800x600TheTwoDLayerStandsCentred) {
  DirectDrawSetModes({{800, 600, 16}});
  ASSERT_TRUE(SetUpBackEnd());
  int x = -1, y = -1;
  GetDisplayOrigin3D(&x, &y);
  EXPECT_EQ(x, 80);
  EXPECT_EQ(y, 60);
}

TEST_F(Display3DTest, OnlyEmulationDevicesMeanNoDeviceFound) {
  Direct3DDeviceSpec emulation;
  emulation.name = "RGB Emulation";
  emulation.emulation.dcmColorModel = D3DCOLOR_RGB;
  Direct3DSetDevices({emulation});
  EXPECT_FALSE(InitDirect3D(&current_, &direct3D_, &display_, &accelerator_, &notFound_, &mustFullScreen_));
  EXPECT_EQ(notFound_, 1);
}

TEST_F(Display3DTest, WithNoThreeDDeviceTheReasonIsNamed) {
  device_->available = false;
  EXPECT_FALSE(InitDirect3D(&current_, &direct3D_, &display_, &accelerator_, &notFound_, &mustFullScreen_));
  EXPECT_EQ(notFound_, 1);
  EXPECT_NE(std::string(Direct3DMissingReason()).find("unavailable"), std::string::npos);
}

TEST_F(Display3DTest, RenderStatesComeInTwoPassesOf12ThenOf15Or19) {
  struct Case {
    DWORD shadeCaps;
    size_t states;
    DWORD extraFirst;  // the first state after the 15 (0: none)
  };
  for (const Case& c : {Case{D3DPSHADECAPS_ALPHAFLATBLEND, 19, D3DRENDERSTATE_BLENDENABLE},
                        Case{D3DPSHADECAPS_ALPHAFLATSTIPPLED, 19, D3DRENDERSTATE_STIPPLEDALPHA}, Case{0, 15, 0}}) {
    TearDown();
    SetUp();
    Direct3DSetDevices({HardwareDeviceSpec(c.shadeCaps)});
    ASSERT_TRUE(SetUpBackEnd());
    ASSERT_EQ(Executions().size(), 2u);
    const std::vector<D3DSTATE> off = RenderStates(Executions()[0].program);
    ASSERT_EQ(off.size(), 12u);
    for (const D3DSTATE& s : off) EXPECT_EQ(s.dwArg, 0u);
    EXPECT_EQ(off.front().dwStateType, D3DRENDERSTATE_ZWRITEENABLE);
    EXPECT_EQ(off.back().dwStateType, D3DRENDERSTATE_STIPPLEENABLE);
    const std::vector<D3DSTATE> on = RenderStates(Executions()[1].program);
    ASSERT_EQ(on.size(), c.states);
    const DWORD order[] = {11, 9, 4, 7, 14, 23, 17, 18, 21, 8, 26, 29, 2, 28, 34};
    for (size_t i = 0; i < 15; ++i) EXPECT_EQ(on[i].dwStateType, order[i]) << i;
    EXPECT_EQ(on[1].dwArg, D3DSHADE_GOURAUD);
    EXPECT_EQ(on[6].dwArg, D3DFILTER_LINEAR);
    if (c.extraFirst) {
      EXPECT_EQ(on[15].dwStateType, c.extraFirst);
      EXPECT_EQ(on[15].dwArg, 1u);
      EXPECT_EQ(on[16].dwArg, D3DBLEND_SRCALPHA);
      EXPECT_EQ(on[17].dwArg, D3DBLEND_INVSRCALPHA);
    }
    EXPECT_EQ(DeviceHasCapsBits3D(), c.extraFirst ? 1 : 0);
  }
}

TEST_F(Display3DTest, ResultTextsEndWithALineFeed) {
  EXPECT_STREQ(D3DErrorToString(static_cast<HRESULT>(0x887602BCu)), "D3DERR_BADMAJORVERSION\n");
  EXPECT_STREQ(D3DErrorToString(DD_OK), "No error.\n");
  EXPECT_STREQ(D3DErrorToString(1), "Unrecognized error value.\n");
}

}  // namespace
