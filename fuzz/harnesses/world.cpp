// The world reader: the input is a world member ("*.CCW"), read with the demo
// models loaded, as the level loader reads it. A world that loads runs a few
// simulation steps (movers, instances on paths) and is freed.
#include <cstddef>
#include <cstdint>

#include "engine/data_archive.h"
#include "engine/object_graph.h"
#include "engine/properties.h"
#include "engine/world.h"
#include "fuzz/support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadDemoModels();
  const std::string path = FuzzWriteMemberArchive("world.can", "M1.CCW", data, size);
  World* world = nullptr;
  if (ArchiveOpen(path.c_str()) && ArchiveFindMember("M1.CCW")) {
    const int loaded = WorldLoad(&world);
    if (loaded != (world != nullptr)) FuzzFault("the world reader's result and its world disagree");
  }
  ArchiveClose();
  ObjTableFree();
  FuzzNote(world ? "world loaded" : "world refused");
  if (world) {
    WorldGetProperty(world, "name");
    for (const int milliseconds : {0, 20, 500}) WorldUpdate(world, milliseconds);
    WorldFree(world);
  }
  FuzzEngineReset();
  return 0;
}
