#pragma once
// One frame of a mission, rendered as the game's software build renders it,
// for looking at what the engine draws before the game's own screens exist
// (the renderframe tool) and for tests of whole frames.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"

// A mission loaded the way the level loader loads it: textures, models, the
// world, the depth cue and the instance light default; sphere lights on
// their own list, lights of types 1 to 3 gone; the player start instances
// ("player.3ds") taken out, their placement kept.
struct MissionScene {
  World* world = nullptr;
  bool hasStart = false;
  Matrix startMatrix = {};  // the first player start's matrix (its frame to the world)
};

// Loads "TEXTURES.CAN" at texturesPath and the mission archive at
// missionPath. False, with a reason and nothing left loaded, on failure.
bool MissionSceneLoad(const std::string& texturesPath, const std::string& missionPath, MissionScene* scene,
                      std::string* error);
// Frees the world, the models and the textures.
void MissionSceneFree(MissionScene* scene);

// A camera placed as an instance is: turned about x, then y, then z by
// angles (radians), then moved to position. The camera looks along its +z
// with y down the screen.
struct FramePlacement {
  Vec3 position = {0, 0, 0};
  Vec3 angles = {0, 0, 0};
};
// The placement's frame-to-world matrix.
void FramePlacementMatrix(const FramePlacement& placement, float out[16]);
// World-to-camera matrix of a camera whose frame-to-world matrix is given.
void CameraMatrixFromFrame(const float frameToWorld[16], float out[16]);
// The camera at the player start (the identity when the mission has none).
void MissionStartCamera(const MissionScene& scene, float cameraMatrix[16]);

struct FrameImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // palette indices, top row first
  std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct FrameOptions {
  int width = 640;
  int height = 480;
  RenderFlags flags = kRenderFlagsDefault;
  float projection = 0.45f;     // focal length = width x projection, as the game view sets it
  std::uint8_t clearIndex = 0;  // what the image holds before the frame is drawn
};

// Renders one frame through RenderWorld. False for a size the rasteriser
// cannot draw (the image is then empty).
bool RenderMissionFrame(MissionScene* scene, const float cameraMatrix[16], const FrameOptions& options,
                        FrameImage* image);

// Writes the image as an 8-bit BMP (bottom-up rows, 256-entry palette from
// the loaded palette). False with a reason on failure.
bool WriteFrameBmp(const std::string& path, const FrameImage& image, std::string* error);
// The BMP file's bytes.
std::vector<std::uint8_t> FrameBmpBytes(const FrameImage& image);
