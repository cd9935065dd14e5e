#pragma once
// The demo texture set of "TEXTURES.CAN": procedural walls, floors, metal
// panels, lights and effects at sizes from 32 to 256, one colour-keyed grate,
// and every texture the level load binds by name:
//   "RLASER.BMP", "SLASER.BMP", "FIREWAVE.BMP", "RBULLET.BMP",
//   "!BHOLE1.BMP", "!BHOLE2.BMP", "MOLNIA.BMP",
//   "BODY01.BMP" .. "BODY08.BMP", "WING01.BMP" .. "WING08.BMP" (ship skins),
//   "!mpulse0.bmp" .. "!mpulse7.bmp" (energy-pulse frames),
// and the effects' frame sequences (tools/builder/demo_effect_textures.h).
// Level and model writers name their textures by the constants below or by
// those names; DemoTextureNames() lists the whole set.
#include <string>
#include <vector>

#include "tools/builder/palette_builder.h"
#include "tools/builder/texture_writer.h"

// Names of the level's surfaces, for the world and model writers.
inline constexpr const char* kDemoWallBrick = "WALL01.BMP";
inline constexpr const char* kDemoWallConcrete = "WALL02.BMP";
inline constexpr const char* kDemoWallTech = "WALL03.BMP";
inline constexpr const char* kDemoFloorTiles = "FLOOR01.BMP";
inline constexpr const char* kDemoFloorGrating = "FLOOR02.BMP";
inline constexpr const char* kDemoCeiling = "CEIL01.BMP";
inline constexpr const char* kDemoMetalPlate = "METAL01.BMP";
inline constexpr const char* kDemoHazardStripes = "METAL02.BMP";
inline constexpr const char* kDemoLightPanel = "LIGHT01.BMP";
inline constexpr const char* kDemoLightStrip = "LIGHT02.BMP";
inline constexpr const char* kDemoPipes = "PIPE01.BMP";
inline constexpr const char* kDemoDoor = "DOOR01.BMP";
inline constexpr const char* kDemoComputer = "COMPUTR1.BMP";
inline constexpr const char* kDemoWater = "WATER01.BMP";
inline constexpr const char* kDemoLava = "LAVA01.BMP";
inline constexpr const char* kDemoSludge = "SLUDGE01.BMP";
inline constexpr const char* kDemoGrate = "!GRATE01.BMP";  // colour-keyed

// Every texture of the demo set, in list order, drawn in palette's colours.
std::vector<BuilderTexture> MakeDemoTextures(const BuilderPalette& palette);
std::vector<std::string> DemoTextureNames();

// Writes "TEXTURES.CAN" (demo palette and textures) into folder; false with a
// reason in *error when it cannot.
bool WriteDemoTextures(const std::string& folder, std::string* error);
