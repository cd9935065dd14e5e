#include "world/paths/path.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "platform/framework/serial_archive.h"

IMPLEMENT_SERIAL_CLASS(CPathNode, CObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CNewPath, CObject, VERSIONABLE_SCHEMA | 1)

namespace {

// Copies text into a fixed array, cut to fit and always terminated.
void CopyBounded(char* out, size_t capacity, const char* text) {
  const size_t length = strnlen(text, capacity - 1);
  std::memcpy(out, text, length);
  out[length] = '\0';
}

// A text saved as its 32-bit length and its bytes.
void StoreText(CArchive& ar, const char* text) {
  const uint32_t length = static_cast<uint32_t>(std::strlen(text));
  ar << length;
  ar.Write(text, length);
}

// Refuses a text that would not fit the array (capacity includes the NUL).
void LoadText(CArchive& ar, char* out, size_t capacity) {
  uint32_t length = 0;
  ar >> length;
  if (length >= capacity) throw CArchiveException(CArchiveException::generic);
  if (ar.Read(out, length) != length) throw CArchiveException(CArchiveException::endOfFile);
  out[length] = '\0';
}

void RequireFinite(float value) {
  if (!std::isfinite(value)) throw CArchiveException(CArchiveException::generic);
}

}  // namespace

void CPathNode::Set(float x, float y, float z, const char* text) {
  x_ = x;
  y_ = y;
  z_ = z;
  if (text) CopyBounded(event_, sizeof event_, text);
}

void CPathNode::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << x_ << y_ << z_;
    StoreText(ar, event_);
    ar << static_cast<const CObject*>(next_) << static_cast<const CObject*>(prev_);
    ar << radius_;
    return;
  }
  ar >> x_ >> y_ >> z_;
  for (float v : {x_, y_, z_}) RequireFinite(v);
  LoadText(ar, event_, sizeof event_);
  ar >> next_ >> prev_;
  ar >> radius_;
  RequireFinite(radius_);
}

CNewPath::~CNewPath() {
  for (POSITION pos = nodes_.GetHeadPosition(); pos;) delete nodes_.GetNext(pos);
  nodes_.RemoveAll();
}

void CNewPath::SetName(const char* name) { CopyBounded(name_, sizeof name_, name ? name : ""); }

void CNewPath::BuildFromScene(PolygonGroup* group) {
  SetName(group->name);
  std::vector<WorldPolygon*> segments;
  for (WorldPolygon* polygon = GroupFirstPolygon(group); polygon; polygon = GroupNextPolygon(polygon)) {
    if (polygon->vertexCount != 2) continue;
    const PolygonVertex& a = polygon->vertices[0];
    const PolygonVertex& b = polygon->vertices[1];
    CPathNode* start = FindOrAddNode(a.x, a.y, a.z, PolygonGetProperty(polygon, "event"));
    CPathNode* end = FindOrAddNode(b.x, b.y, b.z, nullptr);
    start->SetNext(end);
    end->SetPrev(start);
    segments.push_back(polygon);
  }
  FindFirstNode();
  // Deleted only after the walk: deleting takes a polygon out of the
  // group's table that the walk goes through.
  for (WorldPolygon* polygon : segments) PolygonDelete(polygon);
}

CPathNode* CNewPath::FindOrAddNode(float x, float y, float z, const char* text) {
  CPathNode* found = nullptr;
  for (POSITION pos = nodes_.GetHeadPosition(); pos && !found;) {
    CPathNode* node = nodes_.GetNext(pos);
    const float dx = node->GetX() - x, dy = node->GetY() - y, dz = node->GetZ() - z;
    if (std::sqrt(dx * dx + dy * dy + dz * dz) < kPathNodeMergeDistance) found = node;
  }
  if (!found) {
    found = new CPathNode;
    nodes_.AddTail(found);
  }
  found->Set(x, y, z, text);
  return found;
}

void CNewPath::FindFirstNode() {
  for (POSITION pos = nodes_.GetHeadPosition(); pos;) {
    CPathNode* node = nodes_.GetNext(pos);
    if (!node->GetPrev()) {
      first_ = node;
      return;
    }
  }
}

CPathNode* CNewPath::NearestNode(float x, float y, float z) const {
  CPathNode* best = nullptr;
  float bestDistance = kPathNearestLimit;
  for (POSITION pos = nodes_.GetHeadPosition(); pos;) {
    CPathNode* node = nodes_.GetNext(pos);
    const float d = std::fabs(node->GetX() - x) + std::fabs(node->GetY() - y) + std::fabs(node->GetZ() - z);
    if (d < bestDistance) {
      bestDistance = d;
      best = node;
    }
  }
  return best;
}

bool CNewPath::ReleaseNode(CPathNode* node) {
  POSITION pos = nodes_.Find(node);
  if (!pos) return false;
  nodes_.RemoveAt(pos);
  return true;
}

void CNewPath::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    nodes_.Serialize(ar);
    ar << static_cast<const CObject*>(first_);
    StoreText(ar, name_);
    return;
  }
  // Read into a list of its own first: a node listed twice would be
  // deleted twice.
  CTypedPtrList<CObList, CPathNode*> read;
  read.Serialize(ar);
  std::unordered_set<CPathNode*> seen;
  for (POSITION pos = nodes_.GetHeadPosition(); pos;) seen.insert(nodes_.GetNext(pos));
  for (POSITION pos = read.GetHeadPosition(); pos;) {
    CPathNode* node = read.GetNext(pos);
    if (node && seen.insert(node).second) nodes_.AddTail(node);
  }
  ar >> first_;
  LoadText(ar, name_, sizeof name_);
}
