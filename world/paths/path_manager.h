#pragma once
// The level's paths: one per scene object whose name begins with "path_",
// followed by enemies and cameras. A new manager is made by every level start
// and saved-game load (g_pPathMgr) and deleted with the document.
//
// The paths come with the world simulation; until then every operation here
// does nothing and answers the neutral value.
#include "engine/records.h"

class CArchive;

class CNewPathMgr {
 public:
  CNewPathMgr() = default;
  ~CNewPathMgr() = default;
  CNewPathMgr(const CNewPathMgr&) = delete;
  CNewPathMgr& operator=(const CNewPathMgr&) = delete;

  // One path per scene object whose name begins with "path_", which is
  // removed from the scene.
  void BuildFromScene(World* world);
  // Stores or loads the paths.
  void SerializePaths(CArchive& archive);
};

extern CNewPathMgr* g_pPathMgr;
