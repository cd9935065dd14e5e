#include "world/paths/path_point.h"

#include <cmath>
#include <unordered_set>
#include <vector>

#include "game/net_doc.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"
#include "world/paths/path.h"
#include "world/paths/path_manager.h"
#include "world/script/event_manager.h"

IMPLEMENT_SERIAL_CLASS(CPathPoint, CObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kMinSeconds = 0.01f;
constexpr float kMinLength = 0.01f;
// The squared segment length below which the curve's parameter is not
// divided by it.
constexpr float kMinSquaredSegment = 0.0001f;

float Distance(const Vec3& a, const Vec3& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float SquaredDistance(const Vec3& a, const Vec3& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return dx * dx + dy * dy + dz * dz;
}

// The length from the first node along the next links, up to the end or to
// the first node met again (a loop is counted once round).
float PathLength(const CPathNode* first) {
  std::unordered_set<const CPathNode*> counted = {first};
  float length = 0.0f;
  const CPathNode* previous = first;
  for (const CPathNode* node = first->GetNext(); node && counted.insert(node).second; node = node->GetNext()) {
    length += Distance(node->GetPosition(), previous->GetPosition());
    previous = node;
  }
  return length;
}

}  // namespace

void CPathPoint::Start(const CString& pathName, float seconds) {
  path_ = g_pPathMgr ? g_pPathMgr->FindPath(pathName) : nullptr;
  if (!path_) {
    if (g_pNetDoc) g_pNetDoc->AddMessage(CString("No camera path: ") + pathName, -1, FALSE);
    return;
  }
  const CPathNode* first = path_->GetFirstNode();
  if (!first) {
    // A path without segments, or a closed loop: there is no start to
    // stand on, so the follower stays where it is.
    OutputDebugString(CString("korvane: path ") + path_->GetName() + " has no first node to follow\n");
    target_ = nullptr;
    speed_ = 0.0f;
    finished_ = true;
    return;
  }
  x_ = first->GetX();
  y_ = first->GetY();
  z_ = first->GetZ();
  finished_ = false;
  target_ = first->GetNext();
  const float length = PathLength(first);
  speed_ = 0.0f;
  if (seconds < kMinSeconds || !std::isfinite(seconds)) seconds = kMinSeconds;
  if (length > kMinLength) speed_ = length / seconds;
}

void CPathPoint::Advance(int dtMs, bool silent) {
  if (finished_) return;
  if (!target_) {
    finished_ = true;
    return;
  }
  std::vector<CString> events;
  float d = static_cast<float>(dtMs) * speed_ * 0.001f;
  while (d > 0.0f) {
    if (!target_) {
      finished_ = true;
      break;
    }
    const Vec3 to = target_->GetPosition();
    const float l = Distance({x_, y_, z_}, to);
    if (d < l) {
      const float f = d / l;
      x_ += (to.x - x_) * f;
      y_ += (to.y - y_) * f;
      z_ += (to.z - z_) * f;
      break;
    }
    d -= l;
    x_ = to.x;
    y_ = to.y;
    z_ = to.z;
    if (!silent && target_->HasEvent()) events.emplace_back(target_->GetEvent());
    target_ = target_->GetNext();
  }
  if (events.empty() || !g_pEventManager) return;
  // Raised once the move is done, in path order: an event may restart or
  // release (delete) this follower, so nothing of it is touched after the
  // first one.
  const CString source = path_ ? CString(path_->GetName()) : CString("path");
  for (const CString& event : events) g_pEventManager->RaiseEvent(event, source);
}

void CPathPoint::GetPos(float* x, float* y, float* z) const {
  if (finished_ || !target_) {
    *x = x_;
    *y = y_;
    *z = z_;
    return;
  }
  const CPathNode* n2 = target_;
  const CPathNode* n1 = n2->GetPrev() ? n2->GetPrev() : n2;
  const CPathNode* n0 = n1->GetPrev() ? n1->GetPrev() : n1;
  const CPathNode* n3 = n2->GetNext() ? n2->GetNext() : n2;
  const Vec3 p0 = n0->GetPosition(), p1 = n1->GetPosition(), p2 = n2->GetPosition(), p3 = n3->GetPosition();
  float s = SquaredDistance(p1, p2);
  if (s < kMinSquaredSegment) s = kMinSquaredSegment;
  const float r = SquaredDistance({x_, y_, z_}, p2);
  const float t = 1.0f - std::sqrt(r / s);
  const float* a0 = &p0.x;
  const float* a1 = &p1.x;
  const float* a2 = &p2.x;
  const float* a3 = &p3.x;
  float out[3];
  for (int i = 0; i < 3; ++i) {
    const float A = 0.5f * (-a0[i] + 3.0f * a1[i] - 3.0f * a2[i] + a3[i]);
    const float B = 0.5f * (2.0f * a0[i] - 5.0f * a1[i] + 4.0f * a2[i] - a3[i]);
    const float C = 0.5f * (a2[i] - a0[i]);
    const float D = a1[i];
    out[i] = ((A * t + B) * t + C) * t + D;
  }
  *x = out[0];
  *y = out[1];
  *z = out[2];
}

void CPathPoint::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << static_cast<const CObject*>(path_) << static_cast<const CObject*>(target_);
    ar << x_ << y_ << z_ << speed_;
    ar << static_cast<uint8_t>(finished_ ? 1 : 0);
    return;
  }
  ar >> path_ >> target_;
  ar >> x_ >> y_ >> z_ >> speed_;
  for (float v : {x_, y_, z_, speed_}) {
    if (!std::isfinite(v)) throw CArchiveException(CArchiveException::generic);
  }
  uint8_t finished = 0;
  ar >> finished;
  finished_ = finished != 0;
}

CArchive& operator<<(CArchive& archive, const CPathPoint* point) {
  archive.WriteObject(point);
  return archive;
}
