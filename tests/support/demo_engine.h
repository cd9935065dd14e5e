// For tests that read the demo missions through the engine: a mission's
// level loaded with its models, and the engine's state given back after.
#pragma once
#include <string>

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "engine/world.h"

// The mission archive at path: its models loaded and its level (the one
// "*.CCW" member) read; the archive is closed again. nullptr where a step
// fails.
inline World* DemoMissionWorldLoad(const std::string& path) {
  if (ArchiveOpen(path.c_str()) != 1) return nullptr;
  World* world = nullptr;
  if (ArchiveFindMember("OBJECTS") == 1 && ModelsReload() == 1) {
    if (const ArchiveEntry* member = ArchiveFindWildcard("*.CCW")) {
      if (ArchiveFindMember(member->name) == 1) WorldLoad(&world);  // null when it fails
    }
  }
  ArchiveClose();
  return world;
}

// Everything the engine holds freed, and the palette and depth cueing as
// at start, so that the next test finds the engine as a program does.
inline void DemoEngineReset() {
  EngineFreeAll();
  TextureArchiveClose();
  PaletteReset();
  ArchiveClose();
  ObjTableFree();
  DepthCueSet(0.0f, -1.0f);
}
