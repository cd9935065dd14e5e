#pragma once
// Texture archives built with the data builder, and a fixture that leaves
// the texture store, palette and archive reader as it found them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/palette_builder.h"
#include "tools/builder/texture_writer.h"

// A texture of one colour, with an optional transparent square at (0, 0).
inline BuilderTexture FlatTexture(const std::string& name, int width, int height, uint8_t colour, int hole = 0) {
  BuilderTexture texture;
  texture.name = name;
  texture.width = width;
  texture.height = height;
  texture.level0.assign(static_cast<size_t>(width) * height, colour);
  for (int y = 0; y < hole; ++y)
    for (int x = 0; x < hole; ++x) texture.level0[y * width + x] = 255;
  return texture;
}

class TextureStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { palette_ = MakeDemoPalette(); }
  void TearDown() override {
    FreeAllTextures();
    TextureArchiveClose();
    PaletteReset();
    while (ArchivePopState()) {
    }
    ArchiveClose();
  }

  std::string WriteArchive(const std::string& name, const ArchiveWriter& archive) {
    temp_.WriteFile(name, archive.Build());
    return temp_.Join(name);
  }
  std::string WriteTextures(const std::string& name, const std::vector<BuilderTexture>& textures) {
    ArchiveWriter archive;
    EXPECT_TRUE(AddTextureArchive(&archive, palette_, textures));
    return WriteArchive(name, archive);
  }
  // An archive whose "TEXTURES" member is the given bytes (and no pixels).
  std::string WriteMember(const std::string& name, const std::vector<uint8_t>& member) {
    ArchiveWriter archive;
    EXPECT_TRUE(archive.AddMember("TEXTURES", member));
    return WriteArchive(name, archive);
  }
  static Texture* Find(const char* name) {
    for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
      if (std::string(t->name) == name) return t;
    }
    return nullptr;
  }
  static int ListLength() {
    int n = 0;
    for (Texture* t = TextureListHead(); t; t = TextureNext(t)) ++n;
    return n;
  }

  BuilderPalette palette_;
  TempFolder temp_;
};
