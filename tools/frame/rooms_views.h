#pragma once
// Fixed camera placements in a level of rooms (tools/builder/rooms_level.h),
// the same for every size of level, so that frames of small and large
// levels show the same things and differ only in how much world lies
// beyond them.
#include <vector>

#include "tools/frame/mission_frame.h"

// Six views round the room in the middle of the level: along the room
// toward a doorway, across it, from a corner, from a passage, back toward
// the corner, and down at the floor under the light.
std::vector<FramePlacement> RoomsLevelViews(int rooms);
// The world-to-camera matrix of a placement.
std::vector<float> PlacementCamera(const FramePlacement& placement);
