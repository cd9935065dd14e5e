#pragma once
// A follower of a path: a point that travels along one of the level's paths
// (world/paths/path.h) at the speed that makes the whole path take a given
// time, raises each node's event text as it passes the node (with the
// path's name as the source), and reports a smoothed position on a
// Catmull-Rom curve through the nodes. The document keeps four of them for
// the script's cameras (camera position, camera target, player position,
// player target); enemies may use them to glide along paths too.
//
// The follower never owns its path or nodes, which belong to the path
// manager. A new follower is finished; Start makes it run and Advance ends
// it at the last node. Saved with the game by class name.
//
// Game thread only.
#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "platform/framework/runtime_class.h"

class CArchive;
class CNewPath;
class CPathNode;

class CPathPoint : public CObject {
  DECLARE_SERIAL_CLASS(CPathPoint)
 public:
  CPathPoint() = default;

  // Starts on the path of that name (g_pPathMgr) so that the whole path
  // takes seconds (at least 0.01). No such path: the message log says "No
  // camera path: " and the name, and the follower names no path but keeps
  // the rest of its state. A path without a first node (no segments, or a
  // closed loop): a debug line, and the follower stands still, finished.
  void Start(const CString& pathName, float seconds);
  // Moves on by dtMs of game time, passing as many nodes as that takes;
  // with silent set their events are not raised (and are lost).
  void Advance(int dtMs, bool silent);
  // The smoothed position on the curve through the nodes around the target.
  void GetPos(float* x, float* y, float* z) const;
  Vec3 GetPoint() const {
    Vec3 p;
    GetPos(&p.x, &p.y, &p.z);
    return p;
  }
  void SetSpeed(float speed) { speed_ = speed; }
  float GetSpeed() const { return speed_; }
  // At the end of its path, or never started.
  bool IsFinished() const { return finished_; }
  CNewPath* GetPath() const { return path_; }
  CPathNode* GetTarget() const { return target_; }
  // The point on the straight segment towards the target.
  Vec3 GetLinearPosition() const { return {x_, y_, z_}; }

  // path, target (object references), x, y, z, speed, finished (a byte).
  // Loading refuses a position or speed that is no number and a reference
  // to anything but a path or a node.
  void Serialize(CArchive& ar) override;

 private:
  CNewPath* path_ = nullptr;
  CPathNode* target_ = nullptr;
  float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
  float speed_ = 0.0f;
  bool finished_ = true;
};

// A follower reference of a saved game (null allowed).
CArchive& operator<<(CArchive& archive, const CPathPoint* point);
