#pragma once
// A follower of a path: a camera, a camera target or the player's ship moved
// along one of the level's paths. The document keeps four of them (camera
// position, camera target, player position, player target). Built with the
// world simulation.
#include "engine/records.h"

class CArchive;

class CPathPoint {
 public:
  virtual ~CPathPoint() = default;
  // Where the follower is now (the camera reads it each frame).
  virtual Vec3 GetPoint() const { return {0.0f, 0.0f, 0.0f}; }
  // The follower has come to the end of its path.
  virtual bool IsFinished() const { return true; }
};

// Writes a follower reference of a saved game (null allowed).
CArchive& operator<<(CArchive& archive, const CPathPoint* point);
// Reads a follower reference of a saved game (null allowed) into point;
// anything but a follower throws CArchiveException.
CArchive& operator>>(CArchive& archive, CPathPoint*& point);
