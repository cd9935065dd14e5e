#pragma once
// Worlds of any size for measuring how the engine scales: N rooms on a
// square grid, each joined to its neighbours by short passages. A room is a
// 400 x 240 x 400 box with a floor and a ceiling of 4 x 4 tiles, walls cut
// round its doorways, a pillar, two hazard strips lying on its floor tiles
// and one point light. Every floor lies in the plane of the BSP root, so
// the root holds a coplanar fragment per floor tile and strip of the world.
//
// About 58 polygons a room; the world is built through the engine's own
// polygon creation and BSP insertion, as the demo level is.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"
#include "tools/builder/world_writer.h"

inline constexpr float kRoomsFloor = 100.0f;   // floor plane, y
inline constexpr float kRoomsCeiling = -140.0f;
inline constexpr float kRoomsSize = 400.0f;    // inside, along x and z
inline constexpr float kRoomsPitch = 420.0f;   // from one room's corner to the next
inline constexpr float kRoomsTile = 100.0f;

// Rooms per row of the grid for a world of rooms rooms.
int RoomsPerRow(int rooms);
// The corner (least x and z, at the floor) of room index.
Vec3 RoomCorner(int rooms, int index);
// The room in the middle of the grid.
int RoomsMiddle(int rooms);

// Lays the rooms out in world (empty, with a BSP root on the floor plane and
// a welded vertex pool); instances (a player start in the first room) and
// settings go into level.
struct RoomsLevel {
  std::vector<BuilderInstance> instances;
  WorldMemberSettings settings;
};
void BuildRoomsLevel(World* world, int rooms, RoomsLevel* level);
// A world ready for BuildRoomsLevel; free it with WorldFree.
World* RoomsWorldCreate();

// The world member of a level of rooms rooms; empty when it could not be
// written.
std::vector<uint8_t> RoomsLevelMember(int rooms);
// Writes a mission archive "M1.CAN" holding the demo models and a level of
// rooms rooms into folder; false with a reason in *error.
bool WriteRoomsMission(const std::string& folder, int rooms, std::string* error);
