// Collisions and a small software frame of a mission: the input is a mission
// archive, loaded with the demo textures. From the player start (or the
// origin) spheres are pushed out of the world, segments cast in the six
// directions of the axes, and one 80x60 frame is drawn.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/collision.h"
#include "fuzz/support/fuzz_support.h"
#include "tools/frame/mission_frame.h"

namespace {

void Collide(World* world, float x, float y, float z) {
  float cx = x, cy = y, cz = z;
  WorldCollideSphere(world, &cx, &cy, &cz, 20.0f);
  WorldSphereTouch(world, x, y, z, 40.0f);
  const float steps[6][3] = {{500, 0, 0}, {-500, 0, 0}, {0, 500, 0}, {0, -500, 0}, {0, 0, 500}, {0, 0, -500}};
  for (const auto& step : steps) {
    float ex = x + step[0], ey = y + step[1], ez = z + step[2];
    WorldSegmentBlocked(world, x, y, z, ex, ey, ez);
    if (CollideSegment(world, x, y, z, &ex, &ey, &ez) == 0 && (ex != x + step[0] || ez != z + step[2])) {
      FuzzFault("a segment that hit nothing had its end moved");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& textures = FuzzDemoTexturesPath();
  const std::string path = FuzzWriteFile("MISSION.CAN", data, size);
  MissionScene scene;
  std::string error;
  if (MissionSceneLoad(textures, path, &scene, &error)) {
    FuzzNote("mission loaded");
    float camera[16];
    MissionStartCamera(scene, camera);
    const float* start = scene.hasStart ? &scene.startMatrix[12] : nullptr;
    if (start && std::isfinite(start[0]) && std::isfinite(start[1]) && std::isfinite(start[2])) {
      Collide(scene.world, start[0], start[1], start[2]);
    } else {
      Collide(scene.world, 0, 0, 0);
    }
    FrameOptions options;
    options.width = 80;
    options.height = 60;
    FrameImage image;
    const bool drawn = RenderMissionFrame(&scene, camera, options, &image);
    if (drawn && image.pixels.size() != static_cast<std::size_t>(options.width) * options.height) {
      FuzzFault("a frame of the wrong size");
    }
    FuzzNote(drawn ? "frame drawn" : "no frame");
    MissionSceneFree(&scene);
  }
  FuzzEngineReset();
  return 0;
}
