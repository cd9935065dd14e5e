// A whole mission: the input is a mission archive, loaded with the demo
// textures as the level loader loads it ("OBJECTS", then the first "*.CCW"),
// and run for a few simulation steps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/world.h"
#include "fuzz/support/fuzz_support.h"
#include "tools/frame/mission_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& textures = FuzzDemoTexturesPath();
  const std::string path = FuzzWriteFile("MISSION.CAN", data, size);
  MissionScene scene;
  std::string error;
  if (MissionSceneLoad(textures, path, &scene, &error)) {
    if (!scene.world) FuzzFault("a mission loaded without a world");
    FuzzNote("mission loaded");
    for (const int milliseconds : {20, 20, 250, 1000}) WorldUpdate(scene.world, milliseconds);
    MissionSceneFree(&scene);
  } else if (error.empty()) {
    FuzzFault("a mission was refused without a reason");
  } else {
    FuzzNote("mission refused: " + error);
  }
  FuzzEngineReset();
  return 0;
}
