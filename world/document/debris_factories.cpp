// Debris: the numbered part models of a broken model fly apart, and pieces
// of the level's rubble. Every program makes its own; none is announced.
#include <cstdio>
#include <cstdlib>

#include "engine/model.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "world/objects/falling_part.h"
#include "world/objects/object_manager.h"

void CNetDoc::SpawnDebris(DPID owner, float x, float y, float z, const char* modelName, const float* placement,
                          bool fast) {
  if (!modelName) return;
  CString base(modelName);
  const int dot = base.Find('.');
  if (dot >= 0) base = base.Left(dot);
  int n = 1;
  for (;; ++n) {
    CString partName;
    partName.Format("%s-%d.3ds", static_cast<const char*>(base), n);
    Model* part = ModelFindByFileName(partName);
    if (!part) break;
    CacheDebrisPart(partName, part);
    SpawnFallingPart(owner, x, y, z, part, placement, fast);
  }
  if (n > 1) {
    CString line;
    line.Format("korvane: %s breaks into %d pieces\n", static_cast<const char*>(base), n - 1);
    OutputDebugString(line);
  }
}

void CNetDoc::SpawnFallingPart(DPID owner, float x, float y, float z, Model* part, const float* placement,
                               bool fast) {
  if (!part || !g_pObjectManager) return;
  g_pObjectManager->AddObject(
      new CFallingPartObject(owner, NewObjectId(), x, y, z, part, placement, 4000, fast ? 300.0f : 150.0f));
}

void CNetDoc::SpawnRandomDebris(DPID owner, float x, float y, float z) {
  if (debrisCount_ <= 0 || !g_pObjectManager) return;
  Model* rubble = debrisModels_[CrtRand() % debrisCount_];
  if (!rubble) return;
  g_pObjectManager->AddObject(new CFallingPartObject(owner, NewObjectId(), x, y, z, rubble, nullptr, 2666, 200.0f));
}
