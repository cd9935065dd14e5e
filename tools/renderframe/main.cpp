// renderframe: renders one frame of a mission through the engine's software
// renderer and writes it as an 8-bit BMP with the game palette.
//   renderframe <TEXTURES.CAN> <mission.CAN> <out.bmp|out.png> [options]
//     --size WxH        frame size (640x480)
//     --at X,Y,Z        camera position (default: the player start)
//     --angles AX,AY,AZ camera angles in degrees, turned about x, y, then z
//     --flags HEX       RenderFlags (0x4781)
//     --open GROUP      put the group's mover at its end (a door opened)
//     --run MS          run the world's movers for MS milliseconds first
//     --triangles       draw as korvane3d does, through the Direct3D back end
//                       (--size is then the display's; the frame is a PNG)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/polygon_group.h"
#include "engine/world.h"
#include "tools/frame/frame_png.h"
#include "tools/frame/mission_frame.h"
#include "tools/frame/triangle_frame.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: renderframe <TEXTURES.CAN> <mission.CAN> <out.bmp> [--size WxH] [--at X,Y,Z]\n"
               "                   [--angles AX,AY,AZ] [--flags HEX] [--open GROUP] [--run MS]\n");
  return 2;
}

bool ParseFloats(const char* text, float* out, int count) {
  const char* p = text;
  for (int i = 0; i < count; ++i) {
    char* end = nullptr;
    out[i] = std::strtof(p, &end);
    if (end == p) return false;
    p = end;
    if (i + 1 < count) {
      if (*p != ',') return false;
      ++p;
    }
  }
  return *p == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  const std::string textures = argv[1], mission = argv[2], output = argv[3];
  FrameOptions options;
  bool placed = false, turned = false;
  FramePlacement placement;
  std::vector<std::string> open;
  int runMs = 0;
  bool triangles = false;
  for (int i = 4; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--triangles") {
      triangles = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    float v[3];
    if (option == "--size") {
      if (std::sscanf(value, "%dx%d", &options.width, &options.height) != 2) return Usage();
    } else if (option == "--at") {
      if (!ParseFloats(value, v, 3)) return Usage();
      placement.position = {v[0], v[1], v[2]};
      placed = true;
    } else if (option == "--angles") {
      if (!ParseFloats(value, v, 3)) return Usage();
      const float toRadians = 3.14159265f / 180.0f;
      placement.angles = {v[0] * toRadians, v[1] * toRadians, v[2] * toRadians};
      turned = true;
    } else if (option == "--flags") {
      options.flags = static_cast<RenderFlags>(std::strtol(value, nullptr, 16));
    } else if (option == "--open") {
      open.push_back(value);
    } else if (option == "--run") {
      runMs = std::atoi(value);
    } else {
      return Usage();
    }
  }

  MissionScene scene;
  std::string error;
  if (!MissionSceneLoad(textures, mission, &scene, &error)) {
    std::fprintf(stderr, "renderframe: %s\n", error.c_str());
    return 1;
  }
  for (const std::string& name : open) {
    PolygonGroup* group = GroupFindByName(scene.world, name.c_str());
    if (!group || !GroupSetMoverState(group, 1.0f, 0.0f)) {
      std::fprintf(stderr, "renderframe: no group with a mover named %s\n", name.c_str());
    }
  }
  for (int elapsed = 0; elapsed < runMs; elapsed += 20) WorldUpdate(scene.world, 20);

  float camera[16];
  if (placed || turned) {
    if (!placed && scene.hasStart) {
      placement.position = {scene.startMatrix[12], scene.startMatrix[13], scene.startMatrix[14]};
    }
    float frame[16];
    FramePlacementMatrix(placement, frame);
    CameraMatrixFromFrame(frame, camera);
  } else {
    MissionStartCamera(scene, camera);
  }
  if (triangles) {
    TriangleFrameOptions triangleOptions;
    triangleOptions.displayWidth = options.width;
    triangleOptions.displayHeight = options.height;
    triangleOptions.flags = options.flags;
    RgbFrame frame;
    const bool drawn = RenderMissionFrameTriangles(&scene, camera, triangleOptions, &frame, &error);
    MissionSceneFree(&scene);
    if (!drawn || !RgbFrameWritePng(frame, output.c_str())) {
      std::fprintf(stderr, "renderframe: %s\n", drawn ? ("cannot write " + output).c_str() : error.c_str());
      return 1;
    }
    std::printf("renderframe: %dx%d frame written to %s\n", frame.width, frame.height, output.c_str());
    return 0;
  }
  FrameImage image;
  const bool rendered = RenderMissionFrame(&scene, camera, options, &image);
  // A name ending in ".png" gets a PNG; anything else the 8-bit BMP.
  const bool png = output.size() > 4 && output.compare(output.size() - 4, 4, ".png") == 0;
  const bool written = rendered && (png ? WriteFramePng(output, image, &error) : WriteFrameBmp(output, image, &error));
  MissionSceneFree(&scene);
  if (!rendered) {
    std::fprintf(stderr, "renderframe: cannot render a %dx%d frame\n", options.width, options.height);
    return 1;
  }
  if (!written) {
    std::fprintf(stderr, "renderframe: %s\n", error.c_str());
    return 1;
  }
  std::printf("renderframe: %dx%d frame written to %s\n", image.width, image.height, output.c_str());
  return 0;
}
