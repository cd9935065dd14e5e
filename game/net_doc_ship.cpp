// The document's side of the player's ship: flow lines, the chase camera's
// switch, gun cooling, and the per-frame steps of the players and of the
// objects.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/script/script_manager.h"

namespace {

constexpr float kMinFlowLength = 0.001f;
constexpr int kMaxObjectStepMs = 523;
// A start position within this many radii of another ship is taken.
constexpr float kStartPositionClearance = 4.0f;

}  // namespace

void CNetDoc::LoadFlowLines() {
  flowLines_.clear();
  if (!world_) return;
  for (WorldPolygon* polygon = world_->firstPolygon; polygon;) {
    WorldPolygon* next = polygon->next;
    const char* flow = PolygonGetProperty(polygon, "flow");
    if (flow && polygon->vertexCount == 2) {
      const float speed = static_cast<float>(std::atof(flow));
      FlowLine line = {};
      const PolygonVertex& a = polygon->vertices[0];
      const PolygonVertex& b = polygon->vertices[1];
      line.start[0] = a.x, line.start[1] = a.y, line.start[2] = a.z;
      line.end[0] = b.x, line.end[1] = b.y, line.end[2] = b.z;
      const float d[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
      line.length = std::max(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), kMinFlowLength);
      for (int i = 0; i < 3; ++i) line.velocity[i] = d[i] * speed / line.length;
      const char* rotation = PolygonGetProperty(polygon, "rotation");
      line.rotation = rotation ? static_cast<float>(std::atof(rotation)) : 0.0f;
      flowLines_.push_back(line);
      PolygonDelete(polygon);
    }
    polygon = next;
  }
}

void CNetDoc::GetFlowAt(float x, float y, float z, float radius, float* vx, float* vy, float* vz,
                        float* rotation) const {
  *vx = *vy = *vz = *rotation = 0.0f;
  const float p[3] = {x, y, z};
  for (const FlowLine& line : flowLines_) {
    float u[3], q[3];
    for (int i = 0; i < 3; ++i) {
      u[i] = line.start[i] - line.end[i];
      q[i] = p[i] - line.end[i];
    }
    const float t = (q[0] * u[0] + q[1] * u[1] + q[2] * u[2]) / line.length;
    if (t < -radius || t > line.length + radius) continue;
    float distanceSq = 0.0f;
    for (int i = 0; i < 3; ++i) {
      const float across = q[i] - u[i] * t / line.length;
      distanceSq += across * across;
    }
    if (radius * radius <= distanceSq) continue;
    *vx += line.velocity[0];
    *vy += line.velocity[1];
    *vz += line.velocity[2];
    *rotation += line.rotation;
  }
}

void CNetDoc::ToggleChaseCamera() {
  if (!chaseView_) {
    chaseView_ = 1;
    const float radius = localPlayer_ ? localPlayer_->GetRadius() : 0.0f;
    chaseOffset_ = {0.0f, -0.85f * radius, -4.0f * radius};
    SyncCameraToShip();
  } else {
    chaseOffset_ = {0.0f, 0.0f, 0.0f};
    chaseView_ = 0;
    SyncCameraToShip();
    if (view_) view_->InvalidateHud();
  }
}

void CNetDoc::SyncCameraToShip() {
  if (!localPlayer_) return;
  chaseCamera_ = {localPlayer_->GetX(), localPlayer_->GetY(), localPlayer_->GetZ()};
  if (viewer_) viewer_->position = chaseCamera_;
}

void CNetDoc::CoolGun(float amount) { gunHeat_ = std::max(gunHeat_ - amount, 0.0f); }

bool CNetDoc::HasInputFocus() const { return g_pInterface && g_pInterface->HasWindowFocus(); }

void CNetDoc::UpdatePlayers() {
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (player && player != localPlayer_) player->Update();
  }
  UpdateCamera();
}

void CNetDoc::UpdateObjects(int /*dtMs*/) {
  const uint32_t now = static_cast<uint32_t>(GetGameTime());
  int dt = objectStepTime_ == 0 ? 1 : static_cast<int>(now - objectStepTime_);
  objectStepTime_ = now;
  dt = std::min(dt, kMaxObjectStepMs);
  CoolGun(static_cast<float>(dt) * 0.0002f);
  shakeLevel_ = std::max(shakeLevel_ - dt, 0);
  if (frozen_) return;
  // The statistics overlay's profile: what the step took so far is the
  // step's own ("can"); then the dynamic objects ("dobj"), the level's
  // script objects and timed level objects ("obj") and the enemies ("nobj")
  // each get their time.
  auto charge = [view = view_](ViewProfileSlot slot) {
    if (view) view->ChargeProfile(slot);
  };
  charge(kProfileCan);
  if (g_pObjectManager) g_pObjectManager->Update(static_cast<uint32_t>(dt));
  charge(kProfileDobj);
  if (g_pScriptManager) g_pScriptManager->FrameUpdate();
  charge(kProfileObj);
  if (g_pEnemyManager) g_pEnemyManager->Update();
  charge(kProfileNobj);
  UpdateTimedObjects(dt);
  charge(kProfileObj);
}

void CNetDoc::UpdateTimedObjects(int dtMs) {
  for (POSITION at = damageableGroups_.GetStartPosition(); at;) {
    CString name;
    void* value = nullptr;
    damageableGroups_.GetNextAssoc(at, name, value);
    DamageableGroup* entry = static_cast<DamageableGroup*>(value);
    if (!entry || entry->hitPoints >= 0.0f || entry->countdown < 0) continue;
    entry->countdown -= dtMs;
    if (entry->countdown < 0) DestroyLevelObject(entry->group);
  }
}

bool CNetDoc::IsStartPositionTaken(const float* point) const {
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (!player || player == localPlayer_) continue;
    const PlayerStateBlock& state = player->GetState();
    if (!(state.flags & kPlayerStateShown) || (state.flags & kPlayerStateDead)) continue;
    const float dx = state.matrix[12] - point[12], dy = state.matrix[13] - point[13], dz = state.matrix[14] - point[14];
    // Well beyond the telefrag's reach (1.8 radii of the ship in the way).
    const float reach = kStartPositionClearance * std::max(state.radius, player->GetRadius());
    if (dx * dx + dy * dy + dz * dz < reach * reach) return true;
  }
  return false;
}

void CNetDoc::NextStartPosition(float matrix[16]) {
  if (!IsNetworkGame() || respawnPoints_.IsEmpty()) return;
  // The next point in turn that no other live ship stands on: a ship that
  // appears on another one telefrags it, which its pilot did nothing to
  // earn. When every point is taken, the next in turn all the same.
  POSITION chosen = respawnPoints_.GetHeadPosition();
  for (POSITION at = chosen; at;) {
    POSITION here = at;
    if (!IsStartPositionTaken(static_cast<const float*>(respawnPoints_.GetNext(at)))) {
      chosen = here;
      break;
    }
  }
  void* point = respawnPoints_.GetAt(chosen);
  respawnPoints_.RemoveAt(chosen);
  std::memcpy(matrix, point, sizeof(Matrix));
  respawnPoints_.AddTail(point);
}
