#pragma once
// The demo's enemy models, in the game's model axes (+z forward, -y up, x to
// the side), each centred on its bounding box so that a ground vehicle's
// half height puts it on the floor:
//   "TPLT.3ds"   a stationary gun: "base", "turret" (turns about the
//                vertical) and "barrels" (pitch; two position keys, frames 0
//                and 10, for the firing recoil)
//   "tank.3ds"   a ground vehicle: "hull", "tower" (turns), "rckt00" (the
//                rocket rack, pitch)
//   "drone.3ds"  a flyer without parts
//   "striker.3ds" a heavier flyer without parts, placed nowhere: the enemy
//                cheat word brings one beside the ship
// The sentry turret ("sentry.3ds") is among the other demo models.
#include <vector>

#include "tools/builder/model_writer.h"

inline constexpr const char* kDemoGunModel = "TPLT.3ds";
inline constexpr const char* kDemoTankModel = "tank.3ds";
inline constexpr const char* kDemoDroneModel = "drone.3ds";
inline constexpr const char* kDemoStrikerModel = "striker.3ds";
// The barrels' last position key's frame (the firing animation's length).
inline constexpr float kDemoGunRecoilFrames = 10.0f;

std::vector<BuilderModel> MakeDemoEnemyModels();
