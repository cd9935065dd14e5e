#pragma once
// The demo models of "OBJECTS": small closed procedural meshes textured from
// the demo "TEXTURES.CAN", in the game's model axes (+z forward, -y up, x to
// the side), one world unit as the level uses it:
//   "hero.3ds"       the player's ship (hull "BODY05.BMP", wings
//                    "WING05.BMP": the skins replace exactly these)
//   "HERO-1.3ds" .. "HERO-4.3ds"  the ship's pieces when it breaks up
//                    (nose, hull, left and right wing, in place)
//   "player.3ds"     the player-start marker, a ship of the same shape
//   "rocket.3ds", "homing.3ds", "nukebomb.3ds", "cargo.3ds"
//   "sentry.3ds"     nodes "base", "turret" and "barrels" (the barrels
//                    pivot on a position key)
//   "sensor.3ds"     the small marker the level turns into sensors
//   "respawn.3ds"    the marker of a network respawn point
//   "debris00.3ds" .. "debris05.3ds"
//   the pick-up models ("SHIELDS.3DS" .. "FREON.3DS"; "CARGO.3DS" is the
//                    cargo model above, the names hash without case)
//   "testrig.3ds"    two animated nodes, a shared vertex and a path network
//                    (below), for tests and the level's moving display
#include <vector>

#include "tools/builder/model_writer.h"

inline constexpr const char* kDemoHeroModel = "hero.3ds";
inline constexpr const char* kDemoPlayerStartModel = "player.3ds";
inline constexpr const char* kDemoSensorModel = "sensor.3ds";
inline constexpr const char* kDemoRespawnModel = "respawn.3ds";
inline constexpr const char* kDemoTestRigModel = "testrig.3ds";
inline constexpr int kDemoDebrisCount = 6;

// testrig.3ds: node 0 "base" turns a quarter turn about y between keys at
// times 0, 10 and 20 and rises 10 units (-y) from 0 to 20; node 1 "arm"
// (child of "base") sits 3 units above it on a position key and tips by
// pi/4 about x from time 0 to 20; the arm's vertex 0 follows the base's
// vertex 0. Path: junctions 100, 101, 102; segments (in each junction's
// list order) 1: 100->101, 2 s, 10 units/s along +z, animTime 0..10;
// 4: 101->100, 0.5 s, only for pathMask bit 0 (mask 1, pattern ~1);
// 2: 101->102, 1 s, 5 units/s along +x turning pi/2 per second about y,
// animTime 10..20; 3: 102->100, 1 s, 10 units/s along -z, animTime 20..0.
inline constexpr float kTestRigTurn = 1.5707964f;

std::vector<BuilderModel> MakeDemoModels();
