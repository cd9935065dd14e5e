#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/texture.h"
#include "render/d3d/execute_batch_3d.h"
#include "render/d3d/module_3d.h"
#include "render/d3d/texture_slots_3d.h"
#include "tests/d3d/d3d_fixture.h"

namespace {

class TextureSlots3DTest : public D3DFixture {
 protected:
  std::vector<PolyVertex> Triangle() {
    std::vector<PolyVertex> v(3, PolyVertex{65536.0f, 65536.0f, 10.0f, 0.1f, 0, 0, 1.0f, 0, 0, 0});
    return v;
  }
  void Draw(Texture* texture) {
    std::vector<PolyVertex> v = Triangle();
    AddPolygon3D(3, v.data(), texture, 0);
  }
  void NextFrame() {
    FlushPolygons3D();
    EndScene3D();
    BeginScene3D();
  }
  static bool Resident(const Texture* t) { return g_D3DTextureSlots[t->hardwareSlot].videoSurface != nullptr; }
};

TEST_F(TextureSlots3DTest, OneSlotPerTexturePlusTheWhiteOneInThePalettizedFormat) {
  ASSERT_TRUE(SetUpBackEnd());
  for (int i = 0; i < 120; ++i) ASSERT_NE(CreateTexture(("t" + std::to_string(i)).c_str(), 32, 32), nullptr);
  LoadAllTextures3D();
  EXPECT_EQ(g_D3DTextureSlotCount, 120);
  EXPECT_EQ(TextureSlotOf3D(nullptr), 120);
  EXPECT_NE(g_D3DTextureSlots[120].videoSurface, nullptr);
  EXPECT_EQ(g_D3DTextureSlots[120].texture, nullptr);
  // The device lists 16-bit 565 before 8-bit palettized: palettized wins.
  EXPECT_EQ(D3DModule().textureFormat.palettized, 1);
  // Textures made in memory keep their pixels: nothing could load them again.
  EXPECT_NE(TextureListHead()->pixels, nullptr);
}

TEST_F(TextureSlots3DTest, MasksGiveTheirShiftAndWidth) {
  struct Case {
    DWORD mask;
    int shift, bits;
  };
  for (const Case& c : {Case{0xF800, 11, 5}, Case{0x07E0, 5, 6}, Case{0x001F, 0, 5}, Case{0, 0, 0}}) {
    int shift = -1, bits = -1;
    MaskShiftAndBits(c.mask, &shift, &bits);
    EXPECT_EQ(shift, c.shift) << std::hex << c.mask;
    EXPECT_EQ(bits, c.bits) << std::hex << c.mask;
  }
}

TEST_F(TextureSlots3DTest, RgbCopiesConvertThroughThePaletteAndKeyOnlyBangNames) {
  DDPIXELFORMAT rgb565;
  rgb565.dwFlags = DDPF_RGB;
  rgb565.dwRGBBitCount = 16;
  rgb565.dwRBitMask = 0xF800;
  rgb565.dwGBitMask = 0x07E0;
  rgb565.dwBBitMask = 0x001F;
  Direct3DDeviceSpec spec = HardwareDeviceSpec(D3DPSHADECAPS_ALPHAFLATBLEND);
  spec.textureFormats = {rgb565};
  Direct3DSetDevices({spec});
  ASSERT_TRUE(SetUpBackEnd());
  ASSERT_EQ(D3DModule().textureFormat.palettized, 0);
  EXPECT_EQ(D3DModule().textureFormat.greenBits, 6);
  Texture* keyed = CreateTexture("!grate", 32, 32);
  Texture* plain = CreateTexture("floor", 32, 32);
  keyed->pixels[0] = 255;   // top row, left: see-through
  keyed->pixels[1] = 200;
  plain->pixels[0] = 255;
  LoadAllTextures3D();
  BeginScene3D();
  Draw(keyed);
  Draw(plain);
  FlushPolygons3D();
  DDCOLORKEY key;
  EXPECT_EQ(g_D3DTextureSlots[keyed->hardwareSlot].videoSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, g_D3DTextureSlots[keyed->hardwareSlot].keyValue);
  EXPECT_EQ(g_D3DTextureSlots[plain->hardwareSlot].videoSurface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  // The device saw the keyed texel see-through and the others opaque; the
  // copy's rows run upside down (texture row 0 is the last).
  const Recording3DDevice::Texture& seen = device_->textures[g_D3DTextureSlots[keyed->hardwareSlot].textureHandle];
  ASSERT_EQ(seen.width, 32);
  const size_t lastRow = 31 * 32 * 4;
  EXPECT_EQ(seen.rgba[lastRow + 3], 0);
  EXPECT_EQ(seen.rgba[lastRow + 4 + 3], 255);
  EXPECT_NEAR(seen.rgba[lastRow + 4], 200, 8);
  const Recording3DDevice::Texture& other = device_->textures[g_D3DTextureSlots[plain->hardwareSlot].textureHandle];
  EXPECT_EQ(other.rgba[lastRow + 3], 255);
}

TEST_F(TextureSlots3DTest, EvictionTakesTheLeastRecentlyUsedAndSparesThisFrameAndTheLast) {
  ASSERT_TRUE(SetUpBackEnd());
  Texture* a = CreateTexture("a", 32, 32);
  Texture* b = CreateTexture("b", 32, 32);
  Texture* c = CreateTexture("c", 32, 32);
  LoadAllTextures3D();
  DDCAPS caps;
  ASSERT_EQ(current_->GetCaps(&caps, nullptr), DD_OK);
  // Room for two 32x32 video copies beside what is there.
  DirectDrawSetVideoMemory(caps.dwVidMemTotal - caps.dwVidMemFree + 2 * 1024 + 512);
  BeginScene3D();  // frame 1
  Draw(a);
  Draw(b);
  EXPECT_TRUE(Resident(a) && Resident(b));
  NextFrame();  // frame 2: nothing drawn
  NextFrame();  // frame 3
  Draw(c);
  EXPECT_FALSE(Resident(a));  // a and b tie; the lower index goes
  EXPECT_TRUE(Resident(b) && Resident(c));
  NextFrame();  // frame 4: c is protected, b is not
  Draw(a);
  EXPECT_TRUE(Resident(a) && Resident(c));
  EXPECT_FALSE(Resident(b));
  // Frame 4 still: a and c are in use, so b cannot come back this frame and
  // its polygons are drawn with the white slot.
  const size_t before = Executions().size();
  Draw(b);
  Draw(b);
  EXPECT_FALSE(Resident(b));
  FlushPolygons3D();
  ASSERT_EQ(Executions().size(), before + 1);
  const std::vector<D3DSTATE> states = RenderStates(LastProgram());
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.back().dwArg, g_D3DTextureSlots[g_D3DTextureSlotCount].textureHandle);
}

TEST_F(TextureSlots3DTest, ANewTextureIsDrawnUntexturedUntilTheNextSceneRebuildsTheSlots) {
  ASSERT_TRUE(SetUpBackEnd());
  CreateTexture("first", 32, 32);
  LoadAllTextures3D();
  BeginScene3D();
  // A placeholder for a missing id: temporary, freed with its last user.
  Texture* later = TextureFromId(12345);
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(TextureSlotOf3D(later), g_D3DTextureSlotCount);
  NextFrame();
  EXPECT_EQ(g_D3DTextureSlotCount, 2);
  EXPECT_EQ(TextureSlotOf3D(later), 1);
  ReleaseTexture(later);
  NextFrame();
  EXPECT_EQ(g_D3DTextureSlotCount, 1);
}

TEST_F(TextureSlots3DTest, ReleasingTheSurfacesDropsEveryVideoCopyButTheWhiteOne) {
  ASSERT_TRUE(SetUpBackEnd());
  Texture* t = CreateTexture("t", 32, 32);
  LoadAllTextures3D();
  BeginScene3D();
  Draw(t);
  ASSERT_TRUE(Resident(t));
  ReleaseTextureSurfaces3D();
  EXPECT_FALSE(Resident(t));
  EXPECT_NE(g_D3DTextureSlots[g_D3DTextureSlotCount].videoSurface, nullptr);
  NextFrame();
  Draw(t);
  EXPECT_TRUE(Resident(t));
}

}  // namespace
