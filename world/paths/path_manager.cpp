#include "world/paths/path_manager.h"

CNewPathMgr* g_pPathMgr = nullptr;

// Will turn every "path_" scene object into a path.
void CNewPathMgr::BuildFromScene(World* /*world*/) {}

// Will write or read the paths.
void CNewPathMgr::SerializePaths(CArchive& /*archive*/) {}
