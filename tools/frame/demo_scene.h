#pragma once
// The demo mission as the benchmarks look at it.
#include <string>

#include "tools/frame/mission_frame.h"

// Writes the demo data set into folder and loads its mission with the main
// door open, so that a camera path can run from the hangar into the rooms
// beyond. False, with a reason, on failure.
bool DemoSceneLoadDoorOpen(const std::string& folder, MissionScene* scene, std::string* error);
