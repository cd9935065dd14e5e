#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "tests/engine/texture_fixture.h"
#include "tools/builder/demo_data.h"

namespace {

bool StartsWithNoCase(const char* name, const char* prefix) {
  for (; *prefix; ++name, ++prefix) {
    if (std::toupper(static_cast<unsigned char>(*name)) != std::toupper(static_cast<unsigned char>(*prefix))) {
      return false;
    }
  }
  return true;
}

TEST_F(TextureStoreTest, TheDemoTextureArchiveLoadsWithEverythingTheLevelLoadBinds) {
  std::string error;
  ASSERT_TRUE(WriteDemoData(temp_.Path(), &error)) << error;
  ASSERT_EQ(OpenTextureArchive(0xC00000, temp_.Join("TEXTURES.CAN").c_str()), 1);
  EXPECT_EQ(g_PaletteCount, 256);

  std::set<std::string> names;
  std::set<int> widths, heights;
  int keyedWithHoles = 0;
  for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
    names.insert(t->name);
    widths.insert(t->width);
    heights.insert(t->height);
    ASSERT_GE(t->archiveOffset, 0) << t->name;
    const uint8_t* pixels = TextureLoadPixels(t);
    ASSERT_NE(pixels, nullptr) << t->name;
    int holes = 0;
    for (int i = 0; i < t->width * t->height; ++i) {
      if (pixels[i] == kTransparentIndex) {
        ++holes;
      } else {
        EXPECT_GE(pixels[i], kPaletteGameFirst) << t->name;
        EXPECT_LE(pixels[i], kPaletteGameLast) << t->name;
      }
    }
    if (t->name[0] == '!') {
      if (holes > 0) ++keyedWithHoles;
    } else {
      EXPECT_EQ(holes, 0) << t->name << " is not colour-keyed";
    }
  }
  EXPECT_EQ(g_TextureLoadCount, static_cast<int>(names.size()));
  for (const char* required : {"RLASER.BMP", "SLASER.BMP", "FIREWAVE.BMP", "RBULLET.BMP", "!BHOLE1.BMP", "!BHOLE2.BMP",
                               "MOLNIA.BMP", "!GRATE01.BMP"}) {
    EXPECT_EQ(names.count(required), 1u) << required;
  }
  // Ship skins 1..8 and the energy-pulse frames, as the level load finds them.
  std::set<int> bodies, wings, pulses;
  for (const std::string& name : names) {
    if (StartsWithNoCase(name.c_str(), "BODY0")) bodies.insert(name[5] - '1');
    if (StartsWithNoCase(name.c_str(), "WING0")) wings.insert(name[5] - '1');
    if (StartsWithNoCase(name.c_str(), "!mpulse")) pulses.insert(name[7] - '0');
  }
  EXPECT_EQ(bodies, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(wings, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(pulses.count(0), 1u);
  EXPECT_GE(keyedWithHoles, 4);  // the grate, the bullet holes, the pulses
  EXPECT_EQ(widths, (std::set<int>{32, 64, 128, 256}));
  EXPECT_EQ(heights, (std::set<int>{32, 64, 128, 256}));
}

}  // namespace
