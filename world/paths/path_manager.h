#pragma once
// The level's paths: one per polygon group whose name begins with "path_"
// (any case), built when a level starts and read back from a saved game.
// Cameras and the player's view glide along them (world/paths/path_point.h);
// enemies find them by name and walk them node by node, from the first node
// or from the node nearest to them (CNewPath::NearestNode). Exactly one
// manager exists while a level runs (g_pPathMgr); the document makes it at
// every level start and saved-game load and deletes it with the level, and
// the paths and nodes with it. Nothing changes a path once it is built.
//
// Game thread only.
#include "platform/framework/ob_list.h"
#include "world/paths/path.h"

class CArchive;

class CNewPathMgr {
 public:
  CNewPathMgr() = default;
  ~CNewPathMgr();
  CNewPathMgr(const CNewPathMgr&) = delete;
  CNewPathMgr& operator=(const CNewPathMgr&) = delete;

  // One path per "path_" group of the world, in the world's order; each
  // such group leaves the world with its line segments (its other polygons
  // stay, without a group). Says on the debug output about a path group
  // without segments (its path has no nodes and no first node).
  void BuildFromScene(World* world);
  // Takes the "path_" groups and their line segments out of the world
  // without building paths: a saved game brings its paths along, and its
  // world must look as the one it was saved from.
  static void RemovePathGroups(World* world);
  // The first path whose name equals name, ignoring case; null for none or
  // a null name.
  CNewPath* FindPath(const char* name) const;
  // Appends a path made by other means (tests, generated levels); the
  // manager owns it from now on.
  void AddPath(CNewPath* path) { paths_.AddTail(path); }
  int GetPathCount() const { return paths_.GetCount(); }
  const CTypedPtrList<CObList, CNewPath*>& GetPaths() const { return paths_; }
  // Stores or loads the path list (count, then each path as an object).
  // Loading appends what it reads; a path listed twice, or a node listed by
  // two paths, is kept once, so that nothing is owned twice. A failed load
  // throws CArchiveException and keeps the paths read so far.
  void SerializePaths(CArchive& archive);

 private:
  // Appends the paths read, each path and each node owned once.
  void Adopt(const CTypedPtrList<CObList, CNewPath*>& read);

  CTypedPtrList<CObList, CNewPath*> paths_;
};

extern CNewPathMgr* g_pPathMgr;
