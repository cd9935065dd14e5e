#pragma once
// Models read from "OBJECTS" members built with the data builder, and a
// fixture that leaves the model list, texture store, matrix stack and
// archive reader as it found them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/pool.h"
#include "engine/texture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/model_writer.h"

class ModelTest : public ::testing::Test {
 protected:
  void TearDown() override {
    FreeWorld();
    while (g_ModelListHead) ModelFree(g_ModelListHead);
    FreeAllTextures();
    TextureArchiveClose();
    PaletteReset();
    while (ArchivePopState()) {
    }
    ArchiveClose();
    ObjTableFree();
    MatrixIdentity();
    g_MatrixStack.depth = 0;
  }

  // Reads member bytes as "OBJECTS" through ModelsReload.
  int LoadObjectsBytes(const std::vector<uint8_t>& bytes) {
    ArchiveWriter archive;
    EXPECT_TRUE(archive.AddMember("OBJECTS", bytes));
    const std::string path = temp_.Join("objects" + std::to_string(++archives_) + ".can");
    temp_.WriteFile("objects" + std::to_string(archives_) + ".can", archive.Build());
    if (ArchiveOpen(path.c_str()) != 1) return -1;
    if (ArchiveFindMember("OBJECTS") != 1) return -1;
    const int result = ModelsReload();
    ArchiveClose();
    return result;
  }
  int LoadModels(const std::vector<BuilderModel>& models) { return LoadObjectsBytes(ObjectsMember(models)); }

  static int ModelCount() {
    int n = 0;
    for (Model* m = g_ModelListHead; m; m = m->next) ++n;
    return n;
  }

  // A world record for instances; freed (with its instances) in TearDown.
  World* NewWorld() {
    if (!world_) world_ = PoolNew<World>();
    return world_;
  }
  void FreeWorld();

  TempFolder temp_;
  World* world_ = nullptr;
  int archives_ = 0;
};

// A one-node model: a closed box of half size h around centre, textured.
BuilderModel BoxModel(const std::string& name, Vec3 half, Vec3 centre = {0, 0, 0}, const std::string& texture = "");
inline constexpr float kHalfPi = 1.5707964f;
