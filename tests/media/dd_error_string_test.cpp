#include "media/dd_error_string.h"

#include <gtest/gtest.h>

#include "platform/direct_draw.h"

namespace {
class DDErrorStringTest : public ::testing::Test {
 protected:
  void TearDown() override { DDErrorStringUseDirect3D(true); }
};
}  // namespace

TEST_F(DDErrorStringTest, KnownCodesHaveTheirTextsAndOthersTheDefault) {
  EXPECT_EQ(DDErrorString(DD_OK), "No error.");
  EXPECT_EQ(DDErrorString(DDERR_GENERIC), "Generic failure.");
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x887601C2u)),
            "Access to this surface is being refused because the surface memory is gone. The DirectDrawSurface "
            "object representing this surface should have Restore called on it.");
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x8876017Cu)), DDErrorString(static_cast<HRESULT>(0x8007000Eu)));
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x8007000Eu)),
            "DirectDraw does not have enough memory to perform the operation.");
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x887602BCu)), "D3DERR_BADMAJORVERSION");
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x887602EEu)), "D3DERR_LIGHT_SET_FAILED");
  for (HRESULT unknown : {1, static_cast<HRESULT>(0x88760006u), static_cast<HRESULT>(0x887602BEu),
                          static_cast<HRESULT>(0x80000000u)})
    EXPECT_EQ(DDErrorString(unknown), "Unrecognized error value.") << std::hex << unknown;
}

TEST_F(DDErrorStringTest, TheTableHolds117CodesAndKorvaneswsHasNoDirect3DRows) {
  // Every code in the ranges the table draws from, counted.
  int withDirect3D = 0, without = 0;
  auto count = [&](HRESULT code) {
    if (DDErrorText(code, true)) ++withDirect3D;
    if (DDErrorText(code, false)) ++without;
  };
  for (uint32_t code : {0x0u, 0x80004001u, 0x80004005u, 0x8007000Eu, 0x80070057u}) count(static_cast<HRESULT>(code));
  for (uint32_t code = 0x88760000u; code <= 0x887602FFu; ++code) count(static_cast<HRESULT>(code));
  EXPECT_EQ(withDirect3D, 117);
  EXPECT_EQ(without, 91);
  EXPECT_NE(DDErrorText(MakeDDResult(0x24D), false), nullptr) << "the last DirectDraw code";

  DDErrorStringUseDirect3D(false);
  EXPECT_EQ(DDErrorString(static_cast<HRESULT>(0x887602BCu)), "Unrecognized error value.");
  EXPECT_EQ(DDErrorString(DDERR_SURFACELOST), DDErrorText(DDERR_SURFACELOST, true));
}
