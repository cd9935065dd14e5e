#pragma once
// A follower of a path: a camera, a camera target or the player's ship moved
// along one of the level's paths. The document keeps four of them (camera
// position, camera target, player position, player target). Built with the
// world simulation.
class CArchive;

class CPathPoint {
 public:
  virtual ~CPathPoint() = default;
};

// Reads a follower reference of a saved game (null allowed) into point.
CArchive& operator>>(CArchive& archive, CPathPoint*& point);
