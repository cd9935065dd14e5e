#include "world/paths/path_manager.h"

#include <unordered_set>
#include <vector>

#include "engine/polygon_group.h"
#include "engine/world_polygon.h"
#include "platform/ascii.h"
#include "platform/debug_output.h"
#include "platform/framework/cstring.h"
#include "platform/framework/serial_archive.h"

CNewPathMgr* g_pPathMgr = nullptr;

namespace {

constexpr char kPathPrefix[] = "path_";
constexpr size_t kPathPrefixLength = sizeof kPathPrefix - 1;

bool IsPathGroup(const PolygonGroup* group) {
  return group->name && AsciiCompareNoCaseN(group->name, kPathPrefix, kPathPrefixLength) == 0;
}

}  // namespace

CNewPathMgr::~CNewPathMgr() {
  for (POSITION pos = paths_.GetHeadPosition(); pos;) delete paths_.GetNext(pos);
  paths_.RemoveAll();
}

void CNewPathMgr::BuildFromScene(World* world) {
  if (!world) return;
  for (PolygonGroup* group = GroupFirst(world); group;) {
    // Taken first: the group is deleted below.
    PolygonGroup* next = GroupNext(group);
    if (IsPathGroup(group)) {
      auto* path = new CNewPath;
      path->BuildFromScene(group);
      paths_.AddTail(path);
      if (path->GetNodeCount() == 0) {
        OutputDebugString(CString("korvane: path ") + path->GetName() + " has no segments\n");
      }
      GroupDelete(group);
    }
    group = next;
  }
}

void CNewPathMgr::RemovePathGroups(World* world) {
  if (!world) return;
  for (PolygonGroup* group = GroupFirst(world); group;) {
    PolygonGroup* next = GroupNext(group);
    if (IsPathGroup(group)) {
      std::vector<WorldPolygon*> segments;
      for (WorldPolygon* polygon = GroupFirstPolygon(group); polygon; polygon = GroupNextPolygon(polygon)) {
        if (polygon->vertexCount == 2) segments.push_back(polygon);
      }
      for (WorldPolygon* polygon : segments) PolygonDelete(polygon);
      GroupDelete(group);
    }
    group = next;
  }
}

CNewPath* CNewPathMgr::FindPath(const char* name) const {
  if (!name) return nullptr;
  for (POSITION pos = paths_.GetHeadPosition(); pos;) {
    CNewPath* path = paths_.GetNext(pos);
    if (AsciiCompareNoCase(path->GetName(), name) == 0) return path;
  }
  return nullptr;
}

void CNewPathMgr::SerializePaths(CArchive& archive) {
  if (archive.IsStoring()) {
    paths_.Serialize(archive);
    return;
  }
  CTypedPtrList<CObList, CNewPath*> read;
  try {
    read.Serialize(archive);
  } catch (...) {
    // The paths read whole so far are kept (and owned) here.
    Adopt(read);
    throw;
  }
  Adopt(read);
}

void CNewPathMgr::Adopt(const CTypedPtrList<CObList, CNewPath*>& read) {
  std::unordered_set<CNewPath*> seenPaths;
  std::unordered_set<CPathNode*> seenNodes;
  for (POSITION pos = paths_.GetHeadPosition(); pos;) {
    CNewPath* path = paths_.GetNext(pos);
    seenPaths.insert(path);
    for (POSITION n = path->GetNodes().GetHeadPosition(); n;) seenNodes.insert(path->GetNodes().GetNext(n));
  }
  for (POSITION pos = read.GetHeadPosition(); pos;) {
    CNewPath* path = read.GetNext(pos);
    if (!path || !seenPaths.insert(path).second) continue;
    std::vector<CPathNode*> shared;
    for (POSITION n = path->GetNodes().GetHeadPosition(); n;) {
      CPathNode* node = path->GetNodes().GetNext(n);
      if (!seenNodes.insert(node).second) shared.push_back(node);
    }
    for (CPathNode* node : shared) path->ReleaseNode(node);
    paths_.AddTail(path);
  }
}
